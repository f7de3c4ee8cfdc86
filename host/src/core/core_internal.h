// What the core's own files share and nobody else needs.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/object.h"
#include "real_plugin_abi.h"

namespace host::core {

// Describes the exception classes the first time any class is looked up.
void DescribeBuiltinClasses();

// True when the binding table names the class: its objects need the plugin's record.
bool IsBoundPluginClass(std::string_view className);

// The host's answer to PluginRegisterClass: keeps the record, writes its instance-data
// offset and ties it to the class description of its name. 1 when registered, 0 when not.
std::int32_t RegisterPluginClass(REALclassDefinition* record);
// The host's answer to RegisterPluginVersion.
void NotePluginVersion(std::int32_t recordVersion);

// Offset of the instance data from the Object* of every object of a plugin class.
std::size_t PluginInstanceDataOffset();

}  // namespace host::core
