// Modal interaction: message boxes and the open-file dialog. All of it goes through one
// replaceable provider, so tests can answer the dialogs; the program uses the toolkit's.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/object.h"

namespace host {

struct FileTypeInfo {
  std::string name;                     // "Syx File (*.syx)"
  std::string macType;                  // "SYX"
  std::vector<std::string> extensions;  // {"syx"}
};

class ModalProvider {
 public:
  virtual ~ModalProvider() = default;
  // Shows the text and returns once the user dismissed it.
  virtual void ShowMessage(const std::string& text) = 0;
  // Lets the user choose an existing file of one of the types (any file when none is
  // given); nothing when the user cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::vector<FileTypeInfo>& types) = 0;
};

// Replaces the provider; nullptr restores the toolkit's dialogs.
void SetModalProvider(std::shared_ptr<ModalProvider> provider);
ModalProvider& CurrentModalProvider();

// A modal message box; returns when it is closed.
void MsgBox(std::string_view text);

class FolderItem : public Object {
 public:
  static const ClassDescription& Class();
  static Ref<FolderItem> Make(std::string path);

  const std::string& Path() const { return path_; }
  // True for an existing file or folder.
  bool Exists() const;

 private:
  explicit FolderItem(std::string path);
  std::string path_;
};

class FileType : public Object {
 public:
  static const ClassDescription& Class();
  FileType();

  const std::string& Name() const { return name_; }
  void SetName(std::string value) { name_ = std::move(value); }
  const std::string& MacType() const { return macType_; }
  void SetMacType(std::string value) { macType_ = std::move(value); }
  // Extensions without the point, separated by ";" ("syx" or "syx;mid").
  const std::string& Extensions() const { return extensions_; }
  void SetExtensions(std::string value) { extensions_ = std::move(value); }

  // The type's text form: registers the type with the framework and answers its Name,
  // which a dialog's Filter can then name.
  std::string Operator_Convert() const;
  FileTypeInfo Info() const;

 private:
  std::string name_;
  std::string macType_;
  std::string extensions_;
};

class FolderItemDialog : public Object {
 public:
  static const ClassDescription& Class();

  // Names of registered file types, separated by ";"; the dialog offers files of those
  // types (empty: any file).
  const std::string& Filter() const { return filter_; }
  void SetFilter(std::string value) { filter_ = std::move(value); }

  // The chosen file, or nil when the user cancelled.
  Ref<FolderItem> ShowModal();

 protected:
  explicit FolderItemDialog(const ClassDescription& cls);

 private:
  std::string filter_;
};

class OpenDialog : public FolderItemDialog {
 public:
  static const ClassDescription& Class();
  explicit OpenDialog(const ClassDescription& cls = Class());
  virtual void Constructor() {}
};

}  // namespace host
