#include "qt_modal_provider.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <iostream>

#include "qt_support.h"

namespace host {
namespace {

// Platforms without a screen: a modal dialog there would wait for a user who can't see it.
bool NobodyCanSee() {
  const QString platform = QGuiApplication::platformName();
  return platform == "offscreen" || platform == "minimal";
}

}  // namespace

void QtModalProvider::ShowMessage(const std::string& text) {
  if (NobodyCanSee()) {
    std::cerr << "Message: " << text << '\n';
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                  framework::ToQt(text), QMessageBox::Ok);
  box.exec();
}

std::string DialogFilter(const FileTypeInfo& type) {
  std::string patterns;
  for (const std::string& extension : type.extensions) {
    patterns += (patterns.empty() ? "*." : " *.") + extension;
  }
  const std::string suffix = "(" + patterns + ")";
  if (type.name.ends_with(suffix))
    return type.name;
  return type.name.empty() ? suffix : type.name + " " + suffix;
}

std::optional<std::string> QtModalProvider::ChooseOpenFile(const std::vector<FileTypeInfo>& types) {
  if (NobodyCanSee())
    return std::nullopt;
  // The dialog reads each filter's patterns from its last parentheses.
  QStringList filters;
  for (const FileTypeInfo& type : types) {
    filters << framework::ToQt(DialogFilter(type));
  }
  const QString path =
      QFileDialog::getOpenFileName(nullptr, QString(), QString(), filters.join(";;"));
  if (path.isEmpty())
    return std::nullopt;
  return path.toStdString();
}

}  // namespace host
