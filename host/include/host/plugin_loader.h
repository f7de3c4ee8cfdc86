// The host side of the plugin interface: the resolver that answers host entries by name,
// the registry of the classes plugins registered, and the loading of a plugin library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "real_plugin_abi.h"

namespace host {

// The host version reported to plugins through REALGetRBVersion.
inline constexpr double kHostVersion = 2021.031;

// The resolver handed to REALPluginMain: the address of the named host entry, or null.
extern "C" void* HostResolveEntry(const char* entryName);

// Opens the library at the path and calls its REALPluginMain with HostResolveEntry.
// Raises PluginException naming the path and the reason when it can't be loaded or has no
// entry point. Loading the same path twice does nothing the second time.
void LoadPluginLibrary(const std::string& path);

// The record version the last plugin declared through RegisterPluginVersion; 0 before.
std::int32_t RegisteredPluginVersion();

// Class records in the order plugins registered them.
const std::vector<REALclassDefinition*>& RegisteredPluginClasses();
REALclassDefinition* FindRegisteredPluginClass(std::string_view className);

// A registered member's function by its binding key: "Class.Declaration" for methods and
// shared methods, "Class.Property.Get" / "Class.Property.Set" for accessors (shared ones
// too), "Class.__init" / "Class.__exit" for constructor and destructor. Null when none.
void* FindPluginMember(std::string_view bindingKey);

}  // namespace host
