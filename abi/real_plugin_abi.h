// The in-memory records that the plugin hands to the host at registration, and the
// handles both sides pass across the plugin boundary. Laid out for x86-64 and shared
// verbatim by the plugin and the host: any change here is a change of the plugin ABI.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Opaque handles. The host decides what stands behind them; the plugin only passes
// them back through host entries.
typedef struct REALobjectStruct* REALobject;
typedef struct REALstringStruct* REALstring;
typedef struct REALmemoryBlockStruct* REALmemoryBlock;
struct REALclassDefinition;

// Answers the address of a host entry by its name, or null when the host has none.
typedef void* (*REALpluginResolver)(const char* entryName);

// The host entries, as the resolver hands them out (cast its answer to the type of the
// entry asked for). Every entry runs on the host's main thread and never throws.
typedef double (*REALGetRBVersionFn)();
typedef void (*RegisterPluginVersionFn)(int32_t recordVersion);
// Keeps the record (which must outlive the host's use of it) and writes its
// instanceDataOffset; 1 when the class was registered, 0 when refused.
typedef int32_t (*PluginRegisterClassFn)(REALclassDefinition* record);
// A new object of the named class with its first reference, or null.
typedef REALobject (*PluginNewInstanceFn)(const char* className);
typedef void (*REALUnlockObjectFn)(REALobject object);
typedef void (*REALLockStringFn)(REALstring string);
typedef void (*REALUnlockStringFn)(REALstring string);
// The string's bytes, NUL-terminated; valid while the caller holds a reference.
typedef const char* (*StringGetCStringFn)(REALstring string);
// A host global method by its declaration text (moduleName null), or null.
typedef void* (*REALLoadGlobalMethodFn)(const char* moduleName, const char* declaration);
// What REALLoadGlobalMethod answers for "LenB( s as string ) as integer".
typedef int64_t (*REALStringByteLengthFn)(REALstring string);
typedef void* (*memoryBlockGetPtrFn)(REALmemoryBlock block);
typedef int64_t (*memoryBlockGetSizeFn)(REALmemoryBlock block);
// New strings with their first reference; null when the bytes can't be taken.
typedef REALstring (*REALBuildStringFn)(const void* bytes, int32_t length);
typedef REALstring (*REALBuildStringWithEncodingFn)(const void* bytes, int32_t length,
                                                    uint32_t encoding);
typedef void (*REALSetStringEncodingFn)(REALstring string, uint32_t encoding);
// Null when the text can't be converted; the reason is then left pending.
typedef REALstring (*REALConvertStringFn)(REALstring string, uint32_t encoding);
typedef void (*REALSetPropValueStringFn)(REALobject object, const char* propertyName,
                                         REALstring value);
typedef void (*REALSetPropValueIntegerFn)(REALobject object, const char* propertyName,
                                          int64_t value);
// Leaves the exception pending (taking a reference of its own); the host raises it when the
// plugin member returns.
typedef void (*RuntimeRaiseExceptionFn)(REALobject exception);

struct REALmethodDefinition {
  void (*function)();
  void (*secondFunction)();  // unused: null in every record
  const char* declaration;
  uint32_t flags;
  uint32_t reserved0;
  uint64_t reserved1[2];
};

struct REALproperty {
  const void* firstWord;  // unused: null in every record
  const char* name;
  const char* type;
  uint32_t flags;
  uint32_t reserved0;
  void (*getter)();
  void (*setter)();  // null makes the property read-only
  uint64_t reserved1[6];
};

struct REALconstant {
  const char* declaration;  // "Name = value" in the host's literal syntax
  uint64_t reserved[4];
};

struct REALclassDefinition {
  uint32_t version;
  uint32_t reserved0;
  const char* name;
  const char* superName;
  uint64_t dataSize;
  uint64_t instanceDataOffset;  // written by the host at registration
  void (*constructor)(REALobject);
  void (*destructor)(REALobject);
  REALproperty* properties;
  uint64_t propertyCount;
  REALmethodDefinition* methods;
  uint64_t methodCount;
  uint64_t reserved1[7];
  REALconstant* constants;
  uint64_t constantCount;
  uint32_t flags;
  uint32_t reserved2;
  REALproperty* sharedProperties;
  uint64_t sharedPropertyCount;
  REALmethodDefinition* sharedMethods;
  uint64_t sharedMethodCount;
  uint64_t reserved3[4];
};

}  // extern "C"

static_assert(sizeof(void*) == 8, "the plugin records are laid out for 64-bit hosts");

static_assert(sizeof(REALmethodDefinition) == 48);
static_assert(offsetof(REALmethodDefinition, declaration) == 16);
static_assert(offsetof(REALmethodDefinition, flags) == 24);
static_assert(offsetof(REALmethodDefinition, reserved1) == 32);

static_assert(sizeof(REALproperty) == 96);
static_assert(offsetof(REALproperty, name) == 8);
static_assert(offsetof(REALproperty, type) == 16);
static_assert(offsetof(REALproperty, flags) == 24);
static_assert(offsetof(REALproperty, getter) == 32);
static_assert(offsetof(REALproperty, setter) == 40);
static_assert(offsetof(REALproperty, reserved1) == 48);

static_assert(sizeof(REALconstant) == 40);

static_assert(sizeof(REALclassDefinition) == 232);
static_assert(offsetof(REALclassDefinition, name) == 8);
static_assert(offsetof(REALclassDefinition, superName) == 16);
static_assert(offsetof(REALclassDefinition, dataSize) == 24);
static_assert(offsetof(REALclassDefinition, instanceDataOffset) == 32);
static_assert(offsetof(REALclassDefinition, constructor) == 40);
static_assert(offsetof(REALclassDefinition, destructor) == 48);
static_assert(offsetof(REALclassDefinition, properties) == 56);
static_assert(offsetof(REALclassDefinition, propertyCount) == 64);
static_assert(offsetof(REALclassDefinition, methods) == 72);
static_assert(offsetof(REALclassDefinition, methodCount) == 80);
static_assert(offsetof(REALclassDefinition, reserved1) == 88);
static_assert(offsetof(REALclassDefinition, constants) == 144);
static_assert(offsetof(REALclassDefinition, constantCount) == 152);
static_assert(offsetof(REALclassDefinition, flags) == 160);
static_assert(offsetof(REALclassDefinition, sharedProperties) == 168);
static_assert(offsetof(REALclassDefinition, sharedPropertyCount) == 176);
static_assert(offsetof(REALclassDefinition, sharedMethods) == 184);
static_assert(offsetof(REALclassDefinition, sharedMethodCount) == 192);
static_assert(offsetof(REALclassDefinition, reserved3) == 200);
