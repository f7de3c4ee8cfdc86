// The plugin's way to the host: every host entry is looked up by name through the resolver
// that REALPluginMain was given, at its first use, and kept. An entry the host does not have
// makes its step do nothing: what would be built is nil, a set, release or raise is skipped.
#pragma once

#include <cstdint>

#include "real_plugin_abi.h"

namespace qrx {

// The host's version as REALGetRBVersion reported it; 0 until known.
double HostVersion() noexcept;

// Host entries. Each resolves its entry once and keeps the address; a missing entry is
// looked up again next time. A failure inside the host counts as a missing answer.
REALobject HostNewInstance(const char* className) noexcept;  // "PluginNewInstance"
void HostUnlockObject(REALobject object) noexcept;           // "REALUnlockObject"
// Whether a reference was taken: only then may the caller give one back.
bool HostLockString(REALstring string) noexcept;          // "REALLockString"
void HostUnlockString(REALstring string) noexcept;        // "REALUnlockString"
const char* HostStringBytes(REALstring string) noexcept;  // "StringGetCString"
// The string's byte length through the host's "LenB( s as string ) as integer" method
// ("REALLoadGlobalMethod"); -1 when the host cannot tell.
std::int64_t HostStringByteLength(REALstring string) noexcept;
void* HostMemoryBlockBytes(REALmemoryBlock block) noexcept;  // "memoryBlockGetPtr"
// The block's size in bytes ("memoryBlockGetSize"); -1 when the host cannot tell.
std::int64_t HostMemoryBlockSize(REALmemoryBlock block) noexcept;

// The instance data of an object of the class the record describes, at the offset the host
// wrote into the record.
template <class T>
T* InstanceData(REALobject object, const REALclassDefinition& record) {
  return reinterpret_cast<T*>(reinterpret_cast<char*>(object) + record.instanceDataOffset);
}

}  // namespace qrx

// A new host string from bytes in an encoding, with its first reference; nil for no text.
// Failures of the host's string calls become host exceptions.
REALstring REALBuildUnicodeString(const void* bytes, std::int64_t length,
                                  std::uint32_t encoding) noexcept;

// Leaves a host exception of the named class pending; it takes effect when the plugin
// member returns.
void RaiseException(const char* className, const char* message) noexcept;
