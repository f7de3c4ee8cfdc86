#include "host/modal.h"

#include <algorithm>
#include <filesystem>

#include "framework_internal.h"
#include "qt_modal_provider.h"

namespace host {
namespace {

std::shared_ptr<ModalProvider>& InstalledProvider() {
  static auto* provider = new std::shared_ptr<ModalProvider>;
  return *provider;
}

std::vector<FileTypeInfo>& FileTypeRegistry() {
  static auto* registry = new std::vector<FileTypeInfo>;
  return *registry;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos)
      end = text.size();
    std::string part = text.substr(start, end - start);
    const auto first = part.find_first_not_of(' ');
    const auto last = part.find_last_not_of(' ');
    if (first != std::string::npos)
      parts.push_back(part.substr(first, last - first + 1));
    start = end + 1;
  }
  return parts;
}

}  // namespace

void SetModalProvider(std::shared_ptr<ModalProvider> provider) {
  InstalledProvider() = std::move(provider);
}

ModalProvider& CurrentModalProvider() {
  if (!InstalledProvider())
    InstalledProvider() = std::make_shared<QtModalProvider>();
  return *InstalledProvider();
}

void MsgBox(std::string_view text) {
  CurrentModalProvider().ShowMessage(std::string(text));
}

const ClassDescription& FolderItem::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("FolderItem", nullptr);
  return cls;
}

Ref<FolderItem> FolderItem::Make(std::string path) {
  return Ref<FolderItem>::Adopt(new FolderItem(std::move(path)));
}

FolderItem::FolderItem(std::string path) : Object(Class()), path_(std::move(path)) {}

bool FolderItem::Exists() const {
  std::error_code error;
  return std::filesystem::exists(path_, error);
}

const ClassDescription& FileType::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("FileType", nullptr);
  return cls;
}

FileType::FileType() : Object(Class()) {}

FileTypeInfo FileType::Info() const {
  return {name_, macType_, SplitList(extensions_)};
}

std::string FileType::Operator_Convert() const {
  auto& registry = FileTypeRegistry();
  const auto same = std::find_if(registry.begin(), registry.end(),
                                 [&](const FileTypeInfo& type) { return type.name == name_; });
  if (same != registry.end()) {
    *same = Info();
  } else {
    registry.push_back(Info());
  }
  return name_;
}

const ClassDescription& FolderItemDialog::Class() {
  static const ClassDescription& cls =
      framework::DescribeFrameworkClass("FolderItemDialog", nullptr);
  return cls;
}

FolderItemDialog::FolderItemDialog(const ClassDescription& cls) : Object(cls) {}

Ref<FolderItem> FolderItemDialog::ShowModal() {
  std::vector<FileTypeInfo> types;
  for (const std::string& name : SplitList(filter_)) {
    for (const FileTypeInfo& type : FileTypeRegistry()) {
      if (type.name == name)
        types.push_back(type);
    }
  }
  std::optional<std::string> chosen = CurrentModalProvider().ChooseOpenFile(types);
  if (!chosen)
    return nullptr;
  return FolderItem::Make(std::move(*chosen));
}

const ClassDescription& OpenDialog::Class() {
  static const ClassDescription& cls =
      framework::DescribeFrameworkClass("OpenDialog", &FolderItemDialog::Class());
  return cls;
}

OpenDialog::OpenDialog(const ClassDescription& cls) : FolderItemDialog(cls) {}

}  // namespace host
