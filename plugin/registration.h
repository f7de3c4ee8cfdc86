// The plugin's side of registration: the resolver it was given, the record version it
// declares, the flag rules and the registration of one class record.
#pragma once

#include <cstdint>

#include "real_plugin_abi.h"

// The record version declared to the host, from the host version.
extern std::int32_t CurrentREALControlVersion;

extern "C" void REALPluginMain(REALpluginResolver resolver) noexcept;

// Prepares the record (flags, size, version) and hands it to the host's
// "PluginRegisterClass"; its answer, or 0 when the host has no such entry.
std::int32_t MyREALRegisterClass(REALclassDefinition* record) noexcept;

// Rewrite the flags of every record of the table; a null table or a count below 1 does
// nothing.
void FixFlags(REALmethodDefinition* table, std::int64_t count) noexcept;
void FixFlags(REALproperty* table, std::int64_t count) noexcept;

namespace qrx {

// Stores the resolver; a different one than before drops every host entry already looked up.
void UseResolver(REALpluginResolver resolver) noexcept;
void SetHostVersion(double version) noexcept;

// The record version a host of that version understands.
std::int32_t RecordVersionFor(double hostVersion) noexcept;
// The flags of a class or member record as a host of that version expects them.
std::uint32_t FixedFlags(std::uint32_t flags, double hostVersion) noexcept;

}  // namespace qrx
