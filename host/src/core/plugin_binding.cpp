#include "host/plugin_binding.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "core_internal.h"
#include "host/exception.h"
#include "host/plugin_loader.h"

namespace host {
namespace {

std::span<PluginBindingRecord>& Table() {
  static std::span<PluginBindingRecord> table;
  return table;
}

std::optional<std::string>& Directory() {
  static std::optional<std::string> directory;
  return directory;
}

std::string ExecutableDirectory() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : exe.parent_path().string();
}

std::string_view ClassNameOf(const PluginBindingRecord& record) {
  std::string_view declaration = record.declaration ? record.declaration : "";
  return declaration.substr(0, declaration.find('.'));
}

}  // namespace

void SetPluginBindingTable(std::span<PluginBindingRecord> table) {
  Table() = table;
}

void SetPluginDirectory(std::string directory) {
  Directory() = std::move(directory);
}

std::string PluginDirectory() {
  if (!Directory())
    Directory() = ExecutableDirectory();
  return *Directory();
}

bool core::IsBoundPluginClass(std::string_view className) {
  for (const PluginBindingRecord& record : Table()) {
    if (ClassNameOf(record) == className)
      return true;
  }
  return false;
}

void InitPluginEntrypoints() {
  std::vector<std::string_view> libraries;
  for (const PluginBindingRecord& record : Table()) {
    std::string_view name = record.libraryName ? record.libraryName : "";
    if (std::find(libraries.begin(), libraries.end(), name) == libraries.end()) {
      libraries.push_back(name);
    }
  }
  for (std::string_view name : libraries) {
    if (name.empty())
      Raise("PluginException", "a plugin binding record names no library");
    LoadPluginLibrary(PluginDirectory() + "/" + std::string(name));
  }
}

void ResolvePluginClasses() {
  std::size_t missing = 0;
  const PluginBindingRecord* firstMissing = nullptr;
  for (PluginBindingRecord& record : Table()) {
    record.entrySlot = record.declaration ? FindPluginMember(record.declaration) : nullptr;
    if (!record.entrySlot && missing++ == 0)
      firstMissing = &record;
  }
  if (missing > 0) {
    Raise("PluginException",
          std::to_string(missing) + " plugin member(s) could not be bound, the first being \"" +
              (firstMissing->declaration ? firstMissing->declaration : "") + "\" of " +
              (firstMissing->libraryName ? firstMissing->libraryName : "no library") +
              "; their entries stay empty");
  }
}

}  // namespace host
