#include "host/plugin_loader.h"

#include <dlfcn.h>

#include <set>

#include "host/exception.h"

namespace host {
namespace {

using PluginMain = void (*)(REALpluginResolver);

std::set<std::string>& LoadedPaths() {
  static std::set<std::string> paths;
  return paths;
}

}  // namespace

void LoadPluginLibrary(const std::string& path) {
  if (LoadedPaths().contains(path))
    return;
  // Never closed: the host keeps pointers into the library's class records.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = dlerror();
    Raise("PluginException", "the plugin library " + path +
                                 " could not be loaded: " + (reason ? reason : "unknown reason"));
  }
  auto main = reinterpret_cast<PluginMain>(dlsym(library, "REALPluginMain"));
  if (!main) {
    dlclose(library);
    Raise("PluginException",
          "the plugin library " + path + " has no entry point REALPluginMain; it was not loaded");
  }
  LoadedPaths().insert(path);
  main(&HostResolveEntry);
  RaisePendingException();
}

}  // namespace host
