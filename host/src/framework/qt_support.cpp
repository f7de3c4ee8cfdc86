#include "qt_support.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace host::framework {
namespace {

// The system face, preferring faces with the metrics the window layouts were measured with
// (the widest instruction texts fill their labels exactly); the platform's default font
// when none of them is installed.
QStringList SystemFamilies(const QFont& base) {
  return {"Helvetica", "Nimbus Sans", "Liberation Sans", "Arial", base.family()};
}

}  // namespace

QFont MakeFont(const QFont& base, const std::string& name, float size, bool bold, bool italic,
               bool underline) {
  QFont font = base;
  if (name.empty() || name == "System") {
    font.setFamilies(SystemFamilies(base));
  } else {
    font.setFamilies({ToQt(name)});
  }
  if (size > 0)
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  return font;
}

}  // namespace host::framework
