#include "fake_host.h"

#include <stdexcept>

namespace {

FakeHost* gCurrent = nullptr;

FakeObject* ObjectOf(REALobject handle) {
  return reinterpret_cast<FakeObject*>(handle);
}
FakeString* StringOf(REALstring handle) {
  return reinterpret_cast<FakeString*>(handle);
}

double GetVersion() {
  FakeHost::Current().Enter("REALGetRBVersion");
  return FakeHost::Current().version;
}

void RegisterVersion(std::int32_t version) {
  FakeHost::Current().Enter("RegisterPluginVersion");
  FakeHost::Current().declaredVersions.push_back(version);
}

std::int32_t RegisterClass(REALclassDefinition* record) {
  FakeHost::Current().Enter("PluginRegisterClass");
  record->instanceDataOffset = 48;
  FakeHost::Current().registered.push_back(record);
  return 1;
}

REALobject NewInstance(const char* className) {
  FakeHost& host = FakeHost::Current();
  host.Enter("PluginNewInstance");
  if (!host.knownClasses.contains(className))
    return nullptr;
  host.objects.push_back(std::make_unique<FakeObject>());
  host.objects.back()->className = className;
  return reinterpret_cast<REALobject>(host.objects.back().get());
}

void UnlockObject(REALobject object) {
  FakeHost::Current().Enter("REALUnlockObject");
  if (object)
    --ObjectOf(object)->refs;
}

void UnlockString(REALstring string) {
  FakeHost::Current().Enter("REALUnlockString");
  if (string)
    --StringOf(string)->refs;
}

REALstring BuildString(const void* bytes, std::int32_t length) {
  FakeHost::Current().Enter("REALBuildString");
  return FakeHost::Current().NewString(bytes, length, 0xFFFF);
}

REALstring BuildStringWithEncoding(const void* bytes, std::int32_t length, std::uint32_t encoding) {
  FakeHost::Current().Enter("REALBuildStringWithEncoding");
  return FakeHost::Current().NewString(bytes, length, encoding);
}

void SetStringEncoding(REALstring string, std::uint32_t encoding) {
  FakeHost::Current().Enter("REALSetStringEncoding");
  StringOf(string)->encoding = encoding;
}

// Knows just enough UTF-16 for the tests: code units below 0x80.
REALstring ConvertString(REALstring string, std::uint32_t encoding) {
  FakeHost::Current().Enter("REALConvertString");
  std::string converted;
  const std::string& in = StringOf(string)->bytes;
  for (std::size_t i = 0; i + 1 < in.size(); i += 2)
    converted += in[i];
  return FakeHost::Current().NewString(converted.data(),
                                       static_cast<std::int32_t>(converted.size()), encoding);
}

void SetPropValueString(REALobject object, const char* name, REALstring value) {
  FakeHost::Current().Enter("REALSetPropValueString");
  if (std::string(name) != "Message")
    return;
  ObjectOf(object)->messageSet = true;
  ObjectOf(object)->message = value ? StringOf(value)->bytes : "";
}

void SetPropValueInteger(REALobject object, const char* name, std::int64_t value) {
  FakeHost::Current().Enter("REALSetPropValueInteger");
  if (std::string(name) == "ErrorNumber")
    ObjectOf(object)->errorNumber = value;
}

void RaiseObject(REALobject object) {
  FakeHost::Current().Enter("RuntimeRaiseException");
  ++ObjectOf(object)->refs;
  FakeHost::Current().raised.push_back(ObjectOf(object));
}

void* Resolve(const char* name) {
  FakeHost& host = FakeHost::Current();
  auto it = host.entries.find(name);
  return it == host.entries.end() ? nullptr : it->second;
}

void* ResolveOther(const char* name) {
  return Resolve(name);
}

template <class Fn>
void* Address(Fn* function) {
  return reinterpret_cast<void*>(function);
}

}  // namespace

FakeHost::FakeHost() : previous_(gCurrent) {
  gCurrent = this;
  entries = {
      {"REALGetRBVersion", Address(GetVersion)},
      {"RegisterPluginVersion", Address(RegisterVersion)},
      {"PluginRegisterClass", Address(RegisterClass)},
      {"PluginNewInstance", Address(NewInstance)},
      {"REALUnlockObject", Address(UnlockObject)},
      {"REALUnlockString", Address(UnlockString)},
      {"REALBuildString", Address(BuildString)},
      {"REALBuildStringWithEncoding", Address(BuildStringWithEncoding)},
      {"REALSetStringEncoding", Address(SetStringEncoding)},
      {"REALConvertString", Address(ConvertString)},
      {"REALSetPropValueString", Address(SetPropValueString)},
      {"REALSetPropValueInteger", Address(SetPropValueInteger)},
      {"RuntimeRaiseException", Address(RaiseObject)},
  };
}

FakeHost::~FakeHost() {
  gCurrent = previous_;
}

REALpluginResolver FakeHost::Resolver() {
  return &Resolve;
}
REALpluginResolver FakeHost::OtherResolver() {
  return &ResolveOther;
}

FakeHost& FakeHost::Current() {
  if (!gCurrent)
    throw std::logic_error("no fake host");
  return *gCurrent;
}

void FakeHost::Enter(const std::string& entry) {
  ++calls[entry];
  if (auto it = failures.find(entry); it != failures.end())
    it->second();
}

int FakeHost::Calls(const std::string& entry) const {
  auto it = calls.find(entry);
  return it == calls.end() ? 0 : it->second;
}

REALstring FakeHost::NewString(const void* bytes, std::int32_t length, std::uint32_t encoding) {
  auto string = std::make_unique<FakeString>();
  string->bytes.assign(static_cast<const char*>(bytes), static_cast<std::size_t>(length));
  string->encoding = encoding;
  strings.push_back(std::move(string));
  return reinterpret_cast<REALstring>(strings.back().get());
}

int FakeHost::LiveStrings() const {
  int live = 0;
  for (const auto& s : strings)
    live += s->refs > 0 ? 1 : 0;
  return live;
}

int FakeHost::LiveObjects() const {
  int live = 0;
  for (const auto& o : objects)
    live += o->refs > 0 ? 1 : 0;
  return live;
}
