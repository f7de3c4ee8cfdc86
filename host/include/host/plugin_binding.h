// The program's tie to its plugin libraries: a table of binding records, one per plugin
// member, whose entry slots start-up fills from what each plugin registered.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace host {

// One binding record: four 64-bit fields, as the executable stores them.
struct PluginBindingRecord {
  // "Class.Declaration", "Class.Property.Get", "Class.Property.Set", "Class.__init", ...
  const char* declaration;
  const char* pluginId;
  // The library's file name, looked for in the plugin directory.
  const char* libraryName;
  // The plugin's function for the member; empty until ResolvePluginClasses fills it.
  void* entrySlot;
};
static_assert(sizeof(PluginBindingRecord) == 32);

// Hands the framework the executable's binding table (the program's initialisers do this
// before start-up binds the plugin).
void SetPluginBindingTable(std::span<PluginBindingRecord> table);

// Where plugin libraries are looked for; the executable's own directory unless a caller
// (a test) points elsewhere.
void SetPluginDirectory(std::string directory);
std::string PluginDirectory();

// Loads every library the table names (once each) and calls its REALPluginMain. A library
// that can't be loaded, or has no entry point, raises PluginException naming the library
// and the loader's reason.
void InitPluginEntrypoints();

// Fills every entry slot of the table from the members the plugins registered. A record
// that finds no member raises PluginException naming the declaration; no slot is left
// empty without an error.
void ResolvePluginClasses();

// The property parameter for an accessor of a plugin property (getter 1, setter 0). Raises
// PluginException for a property no plugin registered.
std::intptr_t GetPluginPropertyParam(std::string_view className, std::string_view propertyName,
                                     int getter);

}  // namespace host
