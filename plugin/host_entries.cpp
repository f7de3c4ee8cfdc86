#include "host_entries.h"

#include "host_entry.h"
#include "registration.h"

namespace qrx {
namespace {

// The resolver REALPluginMain was last given; null before.
REALpluginResolver gResolver = nullptr;
double gHostVersion = 0;
std::uint64_t gResolverGeneration = 0;

constexpr const char* kLenBDeclaration = "LenB( s as string ) as integer";

HostEntry<PluginNewInstanceFn> newInstance{"PluginNewInstance"};
HostEntry<REALUnlockObjectFn> unlockObject{"REALUnlockObject"};
HostEntry<REALLockStringFn> lockString{"REALLockString"};
HostEntry<REALUnlockStringFn> unlockString{"REALUnlockString"};
HostEntry<StringGetCStringFn> stringBytes{"StringGetCString"};
HostEntry<REALLoadGlobalMethodFn> loadGlobalMethod{"REALLoadGlobalMethod"};
HostEntry<memoryBlockGetPtrFn> blockBytes{"memoryBlockGetPtr"};
HostEntry<memoryBlockGetSizeFn> blockSize{"memoryBlockGetSize"};

// The host's LenB, loaded once per resolver like an entry.
REALStringByteLengthFn LenB() {
  static REALStringByteLengthFn method = nullptr;
  static std::uint64_t generation = 0;
  if (generation != gResolverGeneration) {
    method = nullptr;
    generation = gResolverGeneration;
  }
  if (!method) {
    if (REALLoadGlobalMethodFn load = loadGlobalMethod.Get()) {
      method = reinterpret_cast<REALStringByteLengthFn>(load(nullptr, kLenBDeclaration));
    }
  }
  return method;
}

}  // namespace

std::uint64_t ResolverGeneration() noexcept {
  return gResolverGeneration;
}

void* ResolveHostEntry(const char* name) {
  return gResolver ? gResolver(name) : nullptr;
}

void UseResolver(REALpluginResolver resolver) noexcept {
  if (resolver == gResolver)
    return;
  gResolver = resolver;
  ++gResolverGeneration;
}

void SetHostVersion(double version) noexcept {
  gHostVersion = version;
}

double HostVersion() noexcept {
  return gHostVersion;
}

// The host's entries never throw; a host that does anyway gets the answer of a missing
// entry rather than an exception through its own call stack.

REALobject HostNewInstance(const char* className) noexcept {
  try {
    PluginNewInstanceFn entry = newInstance.Get();
    return entry ? entry(className) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

void HostUnlockObject(REALobject object) noexcept {
  try {
    if (REALUnlockObjectFn entry = unlockObject.Get())
      entry(object);
  } catch (...) {
  }
}

bool HostLockString(REALstring string) noexcept {
  try {
    REALLockStringFn entry = lockString.Get();
    if (!entry)
      return false;
    entry(string);
    return true;
  } catch (...) {
    return false;
  }
}

void HostUnlockString(REALstring string) noexcept {
  try {
    if (REALUnlockStringFn entry = unlockString.Get())
      entry(string);
  } catch (...) {
  }
}

const char* HostStringBytes(REALstring string) noexcept {
  try {
    StringGetCStringFn entry = stringBytes.Get();
    return entry ? entry(string) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

std::int64_t HostStringByteLength(REALstring string) noexcept {
  try {
    REALStringByteLengthFn method = LenB();
    return method ? method(string) : -1;
  } catch (...) {
    return -1;
  }
}

void* HostMemoryBlockBytes(REALmemoryBlock block) noexcept {
  try {
    memoryBlockGetPtrFn entry = blockBytes.Get();
    return entry ? entry(block) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

std::int64_t HostMemoryBlockSize(REALmemoryBlock block) noexcept {
  try {
    memoryBlockGetSizeFn entry = blockSize.Get();
    return entry ? entry(block) : -1;
  } catch (...) {
    return -1;
  }
}

}  // namespace qrx
