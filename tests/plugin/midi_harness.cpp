#include "midi_harness.h"

#include <stdexcept>

#include "host/plugin_binding.h"
#include "host/plugin_loader.h"

namespace midi_test {
namespace {

using host::Ref;

template <class Fn>
Fn* Function(std::string_view bindingKey) {
  return reinterpret_cast<Fn*>(Member(bindingKey));
}

std::intptr_t Getter(std::string_view className, std::string_view property) {
  return host::GetPluginPropertyParam(className, property, 1);
}

std::intptr_t Setter(std::string_view className, std::string_view property) {
  return host::GetPluginPropertyParam(className, property, 0);
}

std::string StreamKey(std::string_view declaration) {
  return "PortMidiStreamQRX." + std::string(declaration);
}

ObjectRef NewObject(const std::string& className) {
  const host::ClassDescription* description = host::FindClass(className);
  if (description == nullptr) {
    ADD_FAILURE() << "the host knows no class " << className;
    throw std::runtime_error("missing class " + className);
  }
  return host::RuntimeNewObject(*description);
}

}  // namespace

void LoadPlugin(const std::string& path) {
  host::LoadPluginLibrary(path);
}

void* Member(std::string_view bindingKey) {
  void* function = host::FindPluginMember(bindingKey);
  if (function == nullptr) {
    ADD_FAILURE() << "the plugin registered no member " << bindingKey;
    throw std::runtime_error("missing member " + std::string(bindingKey));
  }
  return function;
}

REALobject Handle(const ObjectRef& object) {
  return reinterpret_cast<REALobject>(object.get());
}
REALstring Handle(const Ref<host::String>& string) {
  return reinterpret_cast<REALstring>(string.get());
}
REALmemoryBlock Handle(const Ref<host::MemoryBlock>& block) {
  return reinterpret_cast<REALmemoryBlock>(block.get());
}

ObjectRef AdoptObject(REALobject object) {
  return ObjectRef::Adopt(reinterpret_cast<host::Object*>(object));
}

std::optional<std::string> AdoptText(REALstring string) {
  auto text = Ref<host::String>::Adopt(reinterpret_cast<host::String*>(string));
  if (!text) {
    return std::nullopt;
  }
  return text->Bytes();
}

std::int64_t Initialize() {
  return Function<std::int64_t()>("PortMidiQRX.Initialize as integer")();
}
std::int64_t ReInitialize() {
  return Function<std::int64_t()>("PortMidiQRX.ReInitialize as integer")();
}
std::int64_t CountDevices() {
  return Function<std::int64_t()>("PortMidiQRX.CountDevices as integer")();
}
std::int64_t DefaultInputDeviceID() {
  return Function<std::int64_t()>("PortMidiQRX.DefaultInputDeviceID as integer")();
}
std::int64_t DefaultOutputDeviceID() {
  return Function<std::int64_t()>("PortMidiQRX.DefaultOutputDeviceID as integer")();
}
ObjectRef DeviceInfo(std::int64_t device) {
  return AdoptObject(Function<REALobject(std::int64_t)>(
      "PortMidiQRX.DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX")(device));
}
std::optional<std::string> SystemErrorText(std::int64_t errorNumber) {
  return AdoptText(Function<REALstring(std::int64_t)>(
      "PortMidiQRX.ErrorText(ErrorNumber as integer) as string")(errorNumber));
}
ObjectRef NewSystemObject() {
  return NewObject("PortMidiQRX");
}

DeviceView ReadDevice(const ObjectRef& info) {
  constexpr std::string_view kClass = "PortMidiDeviceInfoQRX";
  using TextGetter = REALstring(REALobject, std::intptr_t);
  using FlagGetter = bool(REALobject, std::intptr_t);
  DeviceView view;
  view.name = AdoptText(
      Function<TextGetter>("PortMidiDeviceInfoQRX.Name.Get")(Handle(info), Getter(kClass, "Name")));
  view.interfaceName = AdoptText(Function<TextGetter>("PortMidiDeviceInfoQRX.InterfaceName.Get")(
      Handle(info), Getter(kClass, "InterfaceName")));
  view.hasInput = Function<FlagGetter>("PortMidiDeviceInfoQRX.HasInput.Get")(
      Handle(info), Getter(kClass, "HasInput"));
  view.hasOutput = Function<FlagGetter>("PortMidiDeviceInfoQRX.HasOutput.Get")(
      Handle(info), Getter(kClass, "HasOutput"));
  return view;
}

Stream::Stream() : object_(NewObject("PortMidiStreamQRX")) {}

std::int64_t Stream::OpenOutput(std::int64_t device, std::int64_t bufferSize,
                                std::int64_t latency) {
  return Function<std::int64_t(REALobject, std::int64_t, std::int64_t, std::int64_t)>(
      StreamKey("OpenOutput(DeviceID as integer, Buffersize as integer, Latency as integer) as "
                "integer"))(Handle(object_), device, bufferSize, latency);
}

std::int64_t Stream::OpenInput(std::int64_t device, std::int64_t bufferSize) {
  return Function<std::int64_t(REALobject, std::int64_t, std::int64_t)>(
      StreamKey("OpenInput(DeviceID as integer, Buffersize as integer) as integer"))(
      Handle(object_), device, bufferSize);
}

void Stream::Close() {
  Function<void(REALobject)>(StreamKey("Close"))(Handle(object_));
}

std::int64_t Stream::Abort() {
  return Function<std::int64_t(REALobject)>(StreamKey("Abort as integer"))(Handle(object_));
}

std::optional<std::string> Stream::HostError() {
  return AdoptText(
      Function<REALstring(REALobject)>(StreamKey("HostError as string"))(Handle(object_)));
}

std::optional<std::string> Stream::ErrorText(std::int64_t errorNumber) {
  return AdoptText(Function<REALstring(REALobject, std::int64_t)>(
      StreamKey("ErrorText(ErrorNumber as integer) as string"))(Handle(object_), errorNumber));
}

std::int64_t Stream::SetChannelMask(std::int64_t mask) {
  return Function<std::int64_t(REALobject, std::int64_t)>(
      StreamKey("SetChannelMask(mask as integer) as integer"))(Handle(object_), mask);
}

std::int64_t Stream::SetFilter(std::int64_t filters) {
  return Function<std::int64_t(REALobject, std::int64_t)>(
      StreamKey("SetFilter(filters as integer) as integer"))(Handle(object_), filters);
}

std::int64_t Stream::Poll() {
  return Function<std::int64_t(REALobject)>(StreamKey("Poll as integer"))(Handle(object_));
}

std::int64_t Stream::WriteSysEx(std::int64_t when, const Ref<host::String>& message) {
  return Function<std::int64_t(REALobject, std::int64_t, REALstring)>(
      StreamKey("WriteSysEx(When as integer, message as string) as integer"))(Handle(object_), when,
                                                                              Handle(message));
}

std::int64_t Stream::WriteSysEx(std::int64_t when, const std::string& bytes) {
  return WriteSysEx(when, host::String::Make(bytes, host::kEncodingUnknown));
}

std::int64_t Stream::WriteSysEx(std::int64_t when, const Ref<host::MemoryBlock>& block,
                                std::int64_t offset) {
  return Function<std::int64_t(REALobject, std::int64_t, REALmemoryBlock, std::int64_t)>(StreamKey(
      "WriteSysEx(When as integer, message as memoryblock, offset as integer) as integer"))(
      Handle(object_), when, Handle(block), offset);
}

std::int64_t Stream::WriteShort(std::int64_t when, std::int64_t message) {
  return Function<std::int64_t(REALobject, std::int64_t, std::int64_t)>(
      StreamKey("WriteShort(When as integer, message as integer) as integer"))(Handle(object_),
                                                                               when, message);
}

std::int64_t Stream::Write(const ObjectRef& event) {
  return Function<std::int64_t(REALobject, REALobject)>(
      StreamKey("Write(data as PortMidiEventQRX) as integer"))(Handle(object_), Handle(event));
}

std::int64_t Stream::Read(ObjectRef& data) {
  // The variable holds its own reference, which the plugin may release.
  REALobject variable = Handle(data);
  data.Detach();
  const std::int64_t result = Function<std::int64_t(REALobject, REALobject*)>(
      StreamKey("Read(byref data as PortMidiEventQRX) as integer"))(Handle(object_), &variable);
  data = AdoptObject(variable);
  return result;
}

std::int64_t Stream::ChannelMask() {
  return Function<std::int64_t(REALobject, std::intptr_t)>("PortMidiStreamQRX.ChannelMask.Get")(
      Handle(object_), Getter("PortMidiStreamQRX", "ChannelMask"));
}

std::int64_t Stream::Filters() {
  return Function<std::int64_t(REALobject, std::intptr_t)>("PortMidiStreamQRX.Filters.Get")(
      Handle(object_), Getter("PortMidiStreamQRX", "Filters"));
}

std::int64_t Stream::DeviceID() {
  return Function<std::int64_t(REALobject, std::intptr_t)>("PortMidiStreamQRX.DeviceID.Get")(
      Handle(object_), Getter("PortMidiStreamQRX", "DeviceID"));
}

std::optional<std::string> Stream::DeviceName() {
  return AdoptText(
      Function<REALstring(REALobject, std::intptr_t)>("PortMidiStreamQRX.DeviceName.Get")(
          Handle(object_), Getter("PortMidiStreamQRX", "DeviceName")));
}

std::int64_t CurrentTimeStamp() {
  return Function<std::int64_t()>("PortMidiStreamQRX.currentTimeStamp as Integer")();
}

Event::Event() : object_(NewObject("PortMidiEventQRX")) {}

std::int64_t Event::Get(std::string_view property) {
  const std::string key = "PortMidiEventQRX." + std::string(property) + ".Get";
  return Function<std::int64_t(REALobject, std::intptr_t)>(key)(
      Handle(object_), Getter("PortMidiEventQRX", property));
}

void Event::Set(std::string_view property, std::int64_t value) {
  const std::string key = "PortMidiEventQRX." + std::string(property) + ".Set";
  Function<void(REALobject, std::intptr_t, std::int64_t)>(key)(
      Handle(object_), Setter("PortMidiEventQRX", property), value);
}

void Event::SetValues(std::int64_t status, std::int64_t data1, std::int64_t data2) {
  Function<void(REALobject, std::int64_t, std::int64_t, std::int64_t)>(
      "PortMidiEventQRX.Set(status as integer, data1 as integer, data2 as integer)")(
      Handle(object_), status, data1, data2);
}

void Event::SetRaw(std::int64_t data0, std::int64_t data1, std::int64_t data2, std::int64_t data3) {
  Function<void(REALobject, std::int64_t, std::int64_t, std::int64_t, std::int64_t)>(
      "PortMidiEventQRX.SetRaw(data0 as integer, data1 as integer, data2 as integer, data3 as "
      "integer)")(Handle(object_), data0, data1, data2, data3);
}

ObjectRef CurrentEvent() {
  return AdoptObject(Function<REALobject()>("PortMidiEventQRX.CurrentEvent.Get")());
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string text;
  for (int byte : bytes) {
    text.push_back(static_cast<char>(byte));
  }
  return text;
}

std::vector<std::uint8_t> ByteVector(std::initializer_list<int> bytes) {
  std::vector<std::uint8_t> vector;
  for (int byte : bytes) {
    vector.push_back(static_cast<std::uint8_t>(byte));
  }
  return vector;
}

}  // namespace midi_test
