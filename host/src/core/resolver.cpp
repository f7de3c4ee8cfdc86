// The host entries a plugin reaches through the resolver. Every one is noexcept: a failure
// inside is left as the pending exception (raised in the program once the plugin member
// returns) and the entry answers nil, 0 or nothing.
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

#include "core_internal.h"
#include "host/exception.h"
#include "host/memory_block.h"
#include "host/plugin_loader.h"
#include "host/string.h"

namespace host {
namespace {

Object* ObjectOf(REALobject handle) {
  return reinterpret_cast<Object*>(handle);
}
String* StringOf(REALstring handle) {
  return reinterpret_cast<String*>(handle);
}
MemoryBlock* BlockOf(REALmemoryBlock handle) {
  return reinterpret_cast<MemoryBlock*>(handle);
}
REALobject HandleOf(Object* object) {
  return reinterpret_cast<REALobject>(object);
}
REALstring HandleOf(String* string) {
  return reinterpret_cast<REALstring>(string);
}

void LeavePending(std::exception_ptr failure) noexcept {
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const RaisedException& e) {
      SetPendingException(e.Exception());
    } catch (const std::bad_alloc&) {
      SetPendingException(MakeException("OutOfMemoryException", "the host ran out of memory"));
    } catch (const std::exception& e) {
      SetPendingException(MakeException("RuntimeException", e.what()));
    } catch (...) {
      SetPendingException(MakeException("RuntimeException", "unknown failure in the host"));
    }
  } catch (...) {
    // Not even the exception could be made: the plugin sees only the nil answer.
  }
}

template <class Result, class Body>
Result Guarded(Result fallback, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    LeavePending(std::current_exception());
    return fallback;
  }
}

template <class Body>
void Guarded(Body body) noexcept {
  try {
    body();
  } catch (...) {
    LeavePending(std::current_exception());
  }
}

constexpr std::string_view kLenBDeclaration = "LenB( s as string ) as integer";

double GetRBVersion() noexcept {
  return kHostVersion;
}

void RegisterPluginVersion(std::int32_t recordVersion) noexcept {
  core::NotePluginVersion(recordVersion);
}

std::int32_t PluginRegisterClass(REALclassDefinition* record) noexcept {
  return Guarded(std::int32_t{0}, [&] { return core::RegisterPluginClass(record); });
}

REALobject PluginNewInstance(const char* className) noexcept {
  return Guarded(REALobject{}, [&]() -> REALobject {
    if (!className)
      return nullptr;
    if (ExceptionClass(className))
      return HandleOf(MakeException(className, {}).Detach());
    const ClassDescription* cls = FindClass(className);
    if (!cls || !cls->pluginRecord)
      return nullptr;
    return HandleOf(RuntimeNewObject(*cls).Detach());
  });
}

void UnlockObject(REALobject object) noexcept {
  Guarded([&] {
    if (object)
      ObjectOf(object)->Release();
  });
}

void LockString(REALstring string) noexcept {
  if (string)
    StringOf(string)->AddRef();
}

void UnlockString(REALstring string) noexcept {
  if (string)
    StringOf(string)->Release();
}

const char* StringGetCString(REALstring string) noexcept {
  return string ? StringOf(string)->Bytes().c_str() : "";
}

std::int64_t LenB(REALstring string) noexcept {
  return string ? static_cast<std::int64_t>(StringOf(string)->Bytes().size()) : 0;
}

void* LoadGlobalMethod(const char* moduleName, const char* declaration) noexcept {
  if (moduleName || !declaration || declaration != kLenBDeclaration)
    return nullptr;
  return reinterpret_cast<void*>(&LenB);
}

void* MemoryBlockGetPtr(REALmemoryBlock block) noexcept {
  return block ? BlockOf(block)->Data() : nullptr;
}

std::int64_t MemoryBlockGetSize(REALmemoryBlock block) noexcept {
  return block ? BlockOf(block)->Size() : 0;
}

REALstring BuildStringWithEncoding(const void* bytes, std::int32_t length,
                                   std::uint32_t encoding) noexcept {
  return Guarded(REALstring{}, [&]() -> REALstring {
    if (length < 0 || (!bytes && length > 0))
      return nullptr;
    std::string text(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
    return HandleOf(String::Make(std::move(text), encoding).Detach());
  });
}

// A string built without an encoding carries none until the plugin sets one.
REALstring BuildString(const void* bytes, std::int32_t length) noexcept {
  return BuildStringWithEncoding(bytes, length, kEncodingUnknown);
}

void SetStringEncoding(REALstring string, std::uint32_t encoding) noexcept {
  if (string)
    StringOf(string)->SetEncoding(encoding);
}

REALstring ConvertString(REALstring string, std::uint32_t encoding) noexcept {
  return Guarded(REALstring{}, [&]() -> REALstring {
    if (!string)
      return nullptr;
    return HandleOf(StringOf(string)->ConvertedTo(encoding).Detach());
  });
}

// Only exception objects have properties a plugin may set this way.
void SetPropValueString(REALobject object, const char* name, REALstring value) noexcept {
  Guarded([&] {
    auto* exception = dynamic_cast<ExceptionObject*>(ObjectOf(object));
    if (!exception || !name || std::string_view(name) != "Message")
      return;
    exception->message = value ? StringOf(value)->ToUtf8() : std::string();
  });
}

void SetPropValueInteger(REALobject object, const char* name, std::int64_t value) noexcept {
  auto* exception = dynamic_cast<ExceptionObject*>(ObjectOf(object));
  if (!exception || !name || std::string_view(name) != "ErrorNumber")
    return;
  exception->errorNumber = value;
}

void RuntimeRaiseException(REALobject exception) noexcept {
  Guarded([&] {
    if (exception) {
      SetPendingException(Ref<Object>::Retain(ObjectOf(exception)));
    } else {
      SetPendingException(MakeException("NilObjectException", "the plugin raised nil"));
    }
  });
}

struct Entry {
  const char* name;
  void* address;
};

template <class Fn>
void* Address(Fn* function) {
  return reinterpret_cast<void*>(function);
}

const Entry kEntries[] = {
    {"REALGetRBVersion", Address(&GetRBVersion)},
    {"RegisterPluginVersion", Address(&RegisterPluginVersion)},
    {"PluginRegisterClass", Address(&PluginRegisterClass)},
    {"PluginNewInstance", Address(&PluginNewInstance)},
    {"REALUnlockObject", Address(&UnlockObject)},
    {"REALLockString", Address(&LockString)},
    {"REALUnlockString", Address(&UnlockString)},
    {"StringGetCString", Address(&StringGetCString)},
    {"REALLoadGlobalMethod", Address(&LoadGlobalMethod)},
    {"memoryBlockGetPtr", Address(&MemoryBlockGetPtr)},
    {"memoryBlockGetSize", Address(&MemoryBlockGetSize)},
    {"REALBuildString", Address(&BuildString)},
    {"REALBuildStringWithEncoding", Address(&BuildStringWithEncoding)},
    {"REALSetStringEncoding", Address(&SetStringEncoding)},
    {"REALConvertString", Address(&ConvertString)},
    {"REALSetPropValueString", Address(&SetPropValueString)},
    {"REALSetPropValueInteger", Address(&SetPropValueInteger)},
    {"RuntimeRaiseException", Address(&RuntimeRaiseException)},
};

// The entry types the plugin casts to (real_plugin_abi.h) must match ours exactly.
static_assert(std::is_convertible_v<decltype(&GetRBVersion), REALGetRBVersionFn>);
static_assert(std::is_convertible_v<decltype(&RegisterPluginVersion), RegisterPluginVersionFn>);
static_assert(std::is_convertible_v<decltype(&PluginRegisterClass), PluginRegisterClassFn>);
static_assert(std::is_convertible_v<decltype(&PluginNewInstance), PluginNewInstanceFn>);
static_assert(std::is_convertible_v<decltype(&UnlockObject), REALUnlockObjectFn>);
static_assert(std::is_convertible_v<decltype(&LockString), REALLockStringFn>);
static_assert(std::is_convertible_v<decltype(&UnlockString), REALUnlockStringFn>);
static_assert(std::is_convertible_v<decltype(&StringGetCString), StringGetCStringFn>);
static_assert(std::is_convertible_v<decltype(&LoadGlobalMethod), REALLoadGlobalMethodFn>);
static_assert(std::is_convertible_v<decltype(&LenB), REALStringByteLengthFn>);
static_assert(std::is_convertible_v<decltype(&MemoryBlockGetPtr), memoryBlockGetPtrFn>);
static_assert(std::is_convertible_v<decltype(&MemoryBlockGetSize), memoryBlockGetSizeFn>);
static_assert(std::is_convertible_v<decltype(&BuildString), REALBuildStringFn>);
static_assert(
    std::is_convertible_v<decltype(&BuildStringWithEncoding), REALBuildStringWithEncodingFn>);
static_assert(std::is_convertible_v<decltype(&SetStringEncoding), REALSetStringEncodingFn>);
static_assert(std::is_convertible_v<decltype(&ConvertString), REALConvertStringFn>);
static_assert(std::is_convertible_v<decltype(&SetPropValueString), REALSetPropValueStringFn>);
static_assert(std::is_convertible_v<decltype(&SetPropValueInteger), REALSetPropValueIntegerFn>);
static_assert(std::is_convertible_v<decltype(&RuntimeRaiseException), RuntimeRaiseExceptionFn>);

}  // namespace

extern "C" void* HostResolveEntry(const char* entryName) {
  if (!entryName)
    return nullptr;
  for (const Entry& entry : kEntries) {
    if (std::strcmp(entry.name, entryName) == 0)
      return entry.address;
  }
  return nullptr;
}

}  // namespace host
