#include "PluginBindings.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

#include "AppClasses.h"
#include "PropertyParam.h"
#include "host/exception.h"
#include "host/memory_block.h"
#include "real_plugin_abi.h"

using host::Object;
using host::Ref;

namespace {

// Record indices, in table order.
enum Member : std::size_t {
  kStreamInit,
  kStreamExit,
  kStreamHostError,
  kStreamClose,
  kStreamAbort,
  kStreamErrorText,
  kStreamSetChannelMask,
  kStreamSetFilter,
  kStreamPoll,
  kStreamWriteSysEx,
  kStreamWriteSysExMem,
  kStreamWriteShort,
  kStreamWrite,
  kStreamRead,
  kStreamOpenInput,
  kStreamOpenOutput,
  kStreamCurrentTimeStamp,
  kStreamChannelMaskGet,
  kStreamFiltersGet,
  kStreamDeviceIDGet,
  kStreamDeviceNameGet,
  kEventSet,
  kEventSetRaw,
  kEventStatusGet,
  kEventStatusSet,
  kEventData1Get,
  kEventData1Set,
  kEventData2Get,
  kEventData2Set,
  kEventRawData0Get,
  kEventRawData0Set,
  kEventRawData1Get,
  kEventRawData1Set,
  kEventRawData2Get,
  kEventRawData2Set,
  kEventRawData3Get,
  kEventRawData3Set,
  kEventWhenGet,
  kEventWhenSet,
  kEventRawMessageGet,
  kEventRawMessageSet,
  kEventCurrentEventGet,
  kMidiInit,
  kMidiReInitialize,
  kMidiInitialize,
  kMidiCountDevices,
  kMidiDefaultInputDeviceID,
  kMidiDefaultOutputDeviceID,
  kMidiDeviceInfo,
  kMidiErrorText,
  kDeviceInfoNameGet,
  kDeviceInfoInterfaceNameGet,
  kDeviceInfoHasInputGet,
  kDeviceInfoHasOutputGet,
  kMemberCount
};

constexpr std::array<const char*, kMemberCount> kDeclarations = {
    "PortMidiStreamQRX.__init",
    "PortMidiStreamQRX.__exit",
    "PortMidiStreamQRX.HostError as string",
    "PortMidiStreamQRX.Close",
    "PortMidiStreamQRX.Abort as integer",
    "PortMidiStreamQRX.ErrorText(ErrorNumber as integer) as string",
    "PortMidiStreamQRX.SetChannelMask(mask as integer) as integer",
    "PortMidiStreamQRX.SetFilter(filters as integer) as integer",
    "PortMidiStreamQRX.Poll as integer",
    "PortMidiStreamQRX.WriteSysEx(When as integer, message as string) as integer",
    "PortMidiStreamQRX.WriteSysEx(When as integer, message as memoryblock, offset as integer) "
    "as integer",
    "PortMidiStreamQRX.WriteShort(When as integer, message as integer) as integer",
    "PortMidiStreamQRX.Write(data as PortMidiEventQRX) as integer",
    "PortMidiStreamQRX.Read(byref data as PortMidiEventQRX) as integer",
    "PortMidiStreamQRX.OpenInput(DeviceID as integer, Buffersize as integer) as integer",
    "PortMidiStreamQRX.OpenOutput(DeviceID as integer, Buffersize as integer, Latency as "
    "integer) as integer",
    "PortMidiStreamQRX.currentTimeStamp as Integer",
    "PortMidiStreamQRX.ChannelMask.Get",
    "PortMidiStreamQRX.Filters.Get",
    "PortMidiStreamQRX.DeviceID.Get",
    "PortMidiStreamQRX.DeviceName.Get",
    "PortMidiEventQRX.Set(status as integer, data1 as integer, data2 as integer)",
    "PortMidiEventQRX.SetRaw(data0 as integer, data1 as integer, data2 as integer, data3 as "
    "integer)",
    "PortMidiEventQRX.Status.Get",
    "PortMidiEventQRX.Status.Set",
    "PortMidiEventQRX.Data1.Get",
    "PortMidiEventQRX.Data1.Set",
    "PortMidiEventQRX.Data2.Get",
    "PortMidiEventQRX.Data2.Set",
    "PortMidiEventQRX.RawData0.Get",
    "PortMidiEventQRX.RawData0.Set",
    "PortMidiEventQRX.RawData1.Get",
    "PortMidiEventQRX.RawData1.Set",
    "PortMidiEventQRX.RawData2.Get",
    "PortMidiEventQRX.RawData2.Set",
    "PortMidiEventQRX.RawData3.Get",
    "PortMidiEventQRX.RawData3.Set",
    "PortMidiEventQRX.When.Get",
    "PortMidiEventQRX.When.Set",
    "PortMidiEventQRX.RawMessage.Get",
    "PortMidiEventQRX.RawMessage.Set",
    "PortMidiEventQRX.CurrentEvent.Get",
    "PortMidiQRX.__init",
    "PortMidiQRX.ReInitialize as integer",
    "PortMidiQRX.Initialize as integer",
    "PortMidiQRX.CountDevices as integer",
    "PortMidiQRX.DefaultInputDeviceID as integer",
    "PortMidiQRX.DefaultOutputDeviceID as integer",
    "PortMidiQRX.DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX",
    "PortMidiQRX.ErrorText(ErrorNumber as integer) as string",
    "PortMidiDeviceInfoQRX.Name.Get",
    "PortMidiDeviceInfoQRX.InterfaceName.Get",
    "PortMidiDeviceInfoQRX.HasInput.Get",
    "PortMidiDeviceInfoQRX.HasOutput.Get",
};

std::array<host::PluginBindingRecord, kMemberCount> BuildTable() {
  std::array<host::PluginBindingRecord, kMemberCount> table{};
  for (std::size_t i = 0; i < kMemberCount; ++i) {
    table[i] = {kDeclarations[i], PluginBindings::kPluginId, PluginBindings::kLibraryName, nullptr};
  }
  return table;
}

std::array<host::PluginBindingRecord, kMemberCount> gTable = BuildTable();

REALobject Handle(Object* object) {
  return reinterpret_cast<REALobject>(object);
}
REALstring Handle(host::String* string) {
  return reinterpret_cast<REALstring>(string);
}
REALmemoryBlock Handle(host::MemoryBlock* block) {
  return reinterpret_cast<REALmemoryBlock>(static_cast<Object*>(block));
}

void* EntrySlot(Member member) {
  void* slot = gTable[member].entrySlot;
  // Start-up refuses to go on when a slot stays empty; this guards a call made before it.
  if (!slot) {
    host::Raise("PluginException", std::string("the plugin member \"") + kDeclarations[member] +
                                       "\" is not bound to " + PluginBindings::kLibraryName);
  }
  return slot;
}

// Calls the member's entry slot and raises in the caller an error the plugin left pending.
// A text or object result is taken over first, so that it is released on that path too.
template <class R, class... Args>
auto Call(Member member, Args... args) {
  auto* function = reinterpret_cast<R (*)(Args...)>(EntrySlot(member));
  if constexpr (std::is_void_v<R>) {
    function(args...);
    host::RaisePendingException();
  } else if constexpr (std::is_same_v<R, REALstring>) {
    auto result = Ref<host::String>::Adopt(reinterpret_cast<host::String*>(function(args...)));
    host::RaisePendingException();
    return result;
  } else if constexpr (std::is_same_v<R, REALobject>) {
    auto result = Ref<Object>::Adopt(reinterpret_cast<Object*>(function(args...)));
    host::RaisePendingException();
    return result;
  } else {
    R result = function(args...);
    host::RaisePendingException();
    return result;
  }
}

// The member's name as a caller writes it: its declaration without arguments and result.
std::string MemberName(Member member) {
  const std::string_view declaration = kDeclarations[member];
  return std::string(declaration.substr(0, declaration.find_first_of(" (")));
}

// The class whose objects the member is called on.
const host::ClassDescription& OwnerClass(Member member) {
  if (member <= kStreamDeviceNameGet)
    return PortMidiStreamQRX::Class();
  if (member <= kEventCurrentEventGet)
    return PortMidiEventQRX::Class();
  if (member <= kMidiErrorText)
    return PortMidiQRX::Class();
  return PortMidiDeviceInfoQRX::Class();
}

// The plugin reads an object's instance data as its own class's without asking the host,
// so an object of another class must be stopped here. verb and place say how the member met
// the object ("was given", " as its event").
void RequireClass(Member member, const Object& object, const host::ClassDescription& expected,
                  std::string_view verb, std::string_view place = {}) {
  if (!object.Class().IsA(expected)) {
    host::Raise("IllegalCastException", MemberName(member) + " " + std::string(verb) + " a " +
                                            object.Class().name + std::string(place) + ", not a " +
                                            expected.name);
  }
}

// The object a member is called on, held for the call: never nil, always of the member's
// class.
Ref<Object> HoldSelf(Member member, const Ref<Object>& self) {
  if (!self) {
    host::Raise("NilObjectException",
                MemberName(member) + " was called on nil, not a " + OwnerClass(member).name);
  }
  RequireClass(member, *self, OwnerClass(member), "was called on");
  return self;
}

// A method of an object: the object is held for the call.
template <class R, class... Args>
auto CallOn(Member member, const Ref<Object>& self, Args... args) {
  Ref<Object> held = HoldSelf(member, self);
  return Call<R>(member, Handle(held.get()), args...);
}

template <class R>
auto Get(Member member, PropertyParam& param, const Ref<Object>& self) {
  Ref<Object> held = HoldSelf(member, self);
  return Call<R>(member, Handle(held.get()), param.Get());
}

void Set(Member member, PropertyParam& param, const Ref<Object>& self, std::int64_t value) {
  Ref<Object> held = HoldSelf(member, self);
  Call<void>(member, Handle(held.get()), param.Get(), value);
}

// The constructor entries call the plugin only while no error is pending.
void CallLifecycleEntry(Member member, Object& self) {
  RequireClass(member, self, OwnerClass(member), "was called on");
  if (host::HasPendingException())
    return;
  Call<void>(member, Handle(&self));
}

void EnsurePluginClasses() {
  PortMidiDeviceInfoQRX::Class();
  PortMidiEventQRX::Class();
  PortMidiQRX::Class();
  PortMidiStreamQRX::Class();
}

}  // namespace

namespace PluginBindings {

std::span<host::PluginBindingRecord> Table() {
  return gTable;
}

void RunInitializers() {
  EnsurePluginClasses();
  host::SetPluginBindingTable(gTable);
}

}  // namespace PluginBindings

namespace PortMidiStreamQRX {

host::ClassDescription& Class() {
  static host::ClassDescription& described = DescribeAppClass(
      "PortMidiStreamQRX", nullptr, [](Object& self) { InitEntry(self); },
      [](Object& self) { ExitEntry(self); });
  return described;
}

void InitEntry(Object& self) {
  EnsurePluginClasses();
  CallLifecycleEntry(kStreamInit, self);
}

void ExitEntry(Object& self) {
  RequireClass(kStreamExit, self, Class(), "was called on");
  // The object's memory goes whatever is pending, so its PortMidi stream must be closed now:
  // an error waiting for its caller is set aside for the call and then given back.
  Ref<Object> waiting = host::TakePendingException();
  reinterpret_cast<void (*)(REALobject)>(EntrySlot(kStreamExit))(Handle(&self));
  // A release cannot fail: an error the closing left behind has nobody to go to.
  host::SetPendingException(std::move(waiting));
}

Ref<host::String> HostError(const Ref<Object>& self) {
  return CallOn<REALstring>(kStreamHostError, self);
}

void Close(const Ref<Object>& self) {
  CallOn<void>(kStreamClose, self);
}

std::int64_t Abort(const Ref<Object>& self) {
  return CallOn<std::int64_t>(kStreamAbort, self);
}

Ref<host::String> ErrorText(const Ref<Object>& self, std::int64_t ErrorNumber) {
  return CallOn<REALstring>(kStreamErrorText, self, ErrorNumber);
}

std::int64_t SetChannelMask(const Ref<Object>& self, std::int64_t mask) {
  return CallOn<std::int64_t>(kStreamSetChannelMask, self, mask);
}

std::int64_t SetFilter(const Ref<Object>& self, std::int64_t filters) {
  return CallOn<std::int64_t>(kStreamSetFilter, self, filters);
}

std::int64_t Poll(const Ref<Object>& self) {
  return CallOn<std::int64_t>(kStreamPoll, self);
}

std::int64_t WriteSysEx(const Ref<Object>& self, std::int64_t When,
                        const Ref<host::String>& message) {
  Ref<host::String> held = message;
  return CallOn<std::int64_t>(kStreamWriteSysEx, self, When, Handle(held.get()));
}

std::int64_t WriteSysEx(const Ref<Object>& self, std::int64_t When,
                        const Ref<host::MemoryBlock>& message, std::int64_t offset) {
  Ref<host::MemoryBlock> held = message;
  return CallOn<std::int64_t>(kStreamWriteSysExMem, self, When, Handle(held.get()), offset);
}

std::int64_t WriteShort(const Ref<Object>& self, std::int64_t When, std::int64_t message) {
  return CallOn<std::int64_t>(kStreamWriteShort, self, When, message);
}

std::int64_t Write(const Ref<Object>& self, const Ref<Object>& data) {
  const host::ClassDescription& eventClass = PortMidiEventQRX::Class();
  Ref<Object> heldSelf = HoldSelf(kStreamWrite, self);
  // A nil event is the plugin's to answer (-1); another class's object is no event.
  if (data)
    RequireClass(kStreamWrite, *data, eventClass, "was given", " as its event");
  Ref<Object> held = data;
  return Call<std::int64_t>(kStreamWrite, Handle(heldSelf.get()), Handle(held.get()));
}

std::int64_t Read(const Ref<Object>& self, Ref<Object>& data) {
  const host::ClassDescription& eventClass = PortMidiEventQRX::Class();
  Ref<Object> heldSelf = HoldSelf(kStreamRead, self);
  // The plugin releases what the variable holds as an event: an object of another class is
  // refused and stays in the variable.
  if (data)
    RequireClass(kStreamRead, *data, eventClass, "was given", " in its variable");
  // The plugin takes over the variable's reference and leaves its own in it.
  REALobject variable = Handle(data.Detach());
  struct PutBack {
    Ref<Object>& data;
    REALobject& variable;
    ~PutBack() { data = Ref<Object>::Adopt(reinterpret_cast<Object*>(variable)); }
  } putBack{data, variable};
  return Call<std::int64_t>(kStreamRead, Handle(heldSelf.get()), &variable);
}

std::int64_t OpenInput(const Ref<Object>& self, std::int64_t DeviceID, std::int64_t Buffersize) {
  return CallOn<std::int64_t>(kStreamOpenInput, self, DeviceID, Buffersize);
}

std::int64_t OpenOutput(const Ref<Object>& self, std::int64_t DeviceID, std::int64_t Buffersize,
                        std::int64_t Latency) {
  return CallOn<std::int64_t>(kStreamOpenOutput, self, DeviceID, Buffersize, Latency);
}

std::int64_t currentTimeStamp() {
  return Call<std::int64_t>(kStreamCurrentTimeStamp);
}

std::int64_t ChannelMask_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiStreamQRX", "ChannelMask", 1);
  return Get<std::int64_t>(kStreamChannelMaskGet, param, self);
}

std::int64_t Filters_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiStreamQRX", "Filters", 1);
  return Get<std::int64_t>(kStreamFiltersGet, param, self);
}

std::int64_t DeviceID_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiStreamQRX", "DeviceID", 1);
  return Get<std::int64_t>(kStreamDeviceIDGet, param, self);
}

Ref<host::String> DeviceName_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiStreamQRX", "DeviceName", 1);
  return Get<REALstring>(kStreamDeviceNameGet, param, self);
}

}  // namespace PortMidiStreamQRX

namespace PortMidiEventQRX {

host::ClassDescription& Class() {
  // Creating an event calls nothing in the plugin: the host zero-fills its data.
  static host::ClassDescription& described = DescribeAppClass("PortMidiEventQRX");
  return described;
}

void Set(const Ref<Object>& self, std::int64_t status, std::int64_t data1, std::int64_t data2) {
  CallOn<void>(kEventSet, self, status, data1, data2);
}

void SetRaw(const Ref<Object>& self, std::int64_t data0, std::int64_t data1, std::int64_t data2,
            std::int64_t data3) {
  CallOn<void>(kEventSetRaw, self, data0, data1, data2, data3);
}

// Each property's getter and setter keep a parameter of their own.
#define TFL_EVENT_PROPERTY(Property)                                 \
  std::int64_t Property##_Get(const Ref<Object>& self) {             \
    static PropertyParam param("PortMidiEventQRX", #Property, 1);    \
    return Get<std::int64_t>(kEvent##Property##Get, param, self);    \
  }                                                                  \
  void Property##_Set(const Ref<Object>& self, std::int64_t value) { \
    static PropertyParam param("PortMidiEventQRX", #Property, 0);    \
    ::Set(kEvent##Property##Set, param, self, value);                \
  }

TFL_EVENT_PROPERTY(Status)
TFL_EVENT_PROPERTY(Data1)
TFL_EVENT_PROPERTY(Data2)
TFL_EVENT_PROPERTY(RawData0)
TFL_EVENT_PROPERTY(RawData1)
TFL_EVENT_PROPERTY(RawData2)
TFL_EVENT_PROPERTY(RawData3)
TFL_EVENT_PROPERTY(When)
TFL_EVENT_PROPERTY(RawMessage)

#undef TFL_EVENT_PROPERTY

Ref<Object> CurrentEvent_Get() {
  Class();
  // A shared property's getter takes no arguments, so no parameter is needed.
  return Call<REALobject>(kEventCurrentEventGet);
}

}  // namespace PortMidiEventQRX

namespace PortMidiQRX {

host::ClassDescription& Class() {
  static host::ClassDescription& described =
      DescribeAppClass("PortMidiQRX", nullptr, [](Object& self) { InitEntry(self); });
  return described;
}

void InitEntry(Object& self) {
  EnsurePluginClasses();
  CallLifecycleEntry(kMidiInit, self);
}

std::int64_t ReInitialize() {
  return Call<std::int64_t>(kMidiReInitialize);
}
std::int64_t Initialize() {
  return Call<std::int64_t>(kMidiInitialize);
}
std::int64_t CountDevices() {
  return Call<std::int64_t>(kMidiCountDevices);
}
std::int64_t DefaultInputDeviceID() {
  return Call<std::int64_t>(kMidiDefaultInputDeviceID);
}
std::int64_t DefaultOutputDeviceID() {
  return Call<std::int64_t>(kMidiDefaultOutputDeviceID);
}

Ref<Object> DeviceInfo(std::int64_t DeviceID) {
  PortMidiDeviceInfoQRX::Class();
  return Call<REALobject>(kMidiDeviceInfo, DeviceID);
}

Ref<host::String> ErrorText(std::int64_t ErrorNumber) {
  return Call<REALstring>(kMidiErrorText, ErrorNumber);
}

}  // namespace PortMidiQRX

namespace PortMidiDeviceInfoQRX {

host::ClassDescription& Class() {
  static host::ClassDescription& described = DescribeAppClass("PortMidiDeviceInfoQRX");
  return described;
}

Ref<host::String> Name_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiDeviceInfoQRX", "Name", 1);
  return Get<REALstring>(kDeviceInfoNameGet, param, self);
}

Ref<host::String> InterfaceName_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiDeviceInfoQRX", "InterfaceName", 1);
  return Get<REALstring>(kDeviceInfoInterfaceNameGet, param, self);
}

bool HasInput_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiDeviceInfoQRX", "HasInput", 1);
  return Get<bool>(kDeviceInfoHasInputGet, param, self);
}

bool HasOutput_Get(const Ref<Object>& self) {
  static PropertyParam param("PortMidiDeviceInfoQRX", "HasOutput", 1);
  return Get<bool>(kDeviceInfoHasOutputGet, param, self);
}

}  // namespace PortMidiDeviceInfoQRX
