// The library's entry point: remember the host, declare the record version, register the
// four classes.
#include <initializer_list>

#include "host_entries.h"
#include "host_entry.h"
#include "members.h"
#include "registration.h"

std::int32_t CurrentREALControlVersion = 0;

namespace {

constexpr std::uint32_t kOldStyleMask = 0x708;
constexpr std::uint32_t kOldStyleFlags = 0x308;
constexpr std::uint32_t kOldStyleCleared = 0x30C;
constexpr std::uint32_t kPlainFlag = 0x4;
constexpr std::uint32_t kLegacyFlag = 0x40000;
// Hosts below this version read the old-style flag combination differently.
constexpr double kHostWithNewFlags = 2020.02;
// Hosts from this version expect the plain flag where the legacy one was.
constexpr double kHostWithPlainFlag = 2010.029;

template <class Record>
void FixTableFlags(Record* table, std::int64_t count) noexcept {
  if (!table)
    return;
  for (std::int64_t i = 0; i < count; ++i) {
    table[i].flags = qrx::FixedFlags(table[i].flags, qrx::HostVersion());
  }
}

std::int64_t Count(std::uint64_t count) {
  return static_cast<std::int64_t>(count);
}

}  // namespace

std::int32_t qrx::RecordVersionFor(double hostVersion) noexcept {
  if (hostVersion >= 2013.04)
    return 13;
  if (hostVersion >= 2013.03)
    return 12;
  if (hostVersion >= 2013.0)
    return 11;
  if (hostVersion >= 2012.0)
    return 10;
  return 9;  // also for a version that is not a number
}

std::uint32_t qrx::FixedFlags(std::uint32_t flags, double hostVersion) noexcept {
  if (hostVersion < kHostWithNewFlags && (flags & kOldStyleMask) == kOldStyleFlags) {
    flags = (flags & ~kOldStyleCleared) | kPlainFlag;
  }
  if (flags & kLegacyFlag) {
    flags &= ~kLegacyFlag;
    if (hostVersion >= kHostWithPlainFlag)
      flags |= kPlainFlag;
  }
  return flags;
}

void FixFlags(REALmethodDefinition* table, std::int64_t count) noexcept {
  FixTableFlags(table, count);
}

void FixFlags(REALproperty* table, std::int64_t count) noexcept {
  FixTableFlags(table, count);
}

std::int32_t MyREALRegisterClass(REALclassDefinition* record) noexcept {
  if (!record)
    return 0;
  record->flags = qrx::FixedFlags(record->flags, qrx::HostVersion());
  FixFlags(record->methods, Count(record->methodCount));
  FixFlags(record->sharedMethods, Count(record->sharedMethodCount));
  FixFlags(record->properties, Count(record->propertyCount));
  FixFlags(record->sharedProperties, Count(record->sharedPropertyCount));
  record->dataSize = (record->dataSize + 15) / 16 * 16;
  record->version = static_cast<std::uint32_t>(CurrentREALControlVersion);
  static qrx::HostEntry<PluginRegisterClassFn> registerClass{"PluginRegisterClass"};
  try {
    PluginRegisterClassFn entry = registerClass.Get();
    return entry ? entry(record) : 0;
  } catch (...) {
    return 0;
  }
}

extern "C" __attribute__((visibility("default"))) void REALPluginMain(
    REALpluginResolver resolver) noexcept {
  try {
    qrx::UseResolver(resolver);
    if (resolver) {
      if (auto version = reinterpret_cast<REALGetRBVersionFn>(resolver("REALGetRBVersion"))) {
        qrx::SetHostVersion(version());
      }
    }
    CurrentREALControlVersion = qrx::RecordVersionFor(qrx::HostVersion());
    if (!resolver)
      return;
    if (auto declare =
            reinterpret_cast<RegisterPluginVersionFn>(resolver("RegisterPluginVersion"))) {
      declare(CurrentREALControlVersion);
    }
    for (REALclassDefinition* record :
         {&PMStreamClass, &PMEventClass, &PMClass, &PMDeviceInfoClass}) {
      MyREALRegisterClass(record);
    }
  } catch (...) {
    // A host that throws at us is left with what was registered before it did.
  }
}
