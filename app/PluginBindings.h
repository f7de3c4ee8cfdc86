// The program's side of the QRXPortMidi plugin: the binding table (one record per plugin
// member, filled at start-up), one forwarding call per record under the member's name, and
// the program's class descriptions of the four plugin classes.
//
// A forwarding call holds the object and every object or text argument for the call, and
// passes an error that the plugin raised on to the caller as the same error, after
// releasing what it held. A returned text or object comes with one reference, the caller's.
// Before the plugin is called, a nil object raises NilObjectException, and an object of
// another class than the member's, or a non-nil event of another class, raises
// IllegalCastException: the plugin would read either as its own instance data.
#pragma once

#include <cstdint>
#include <span>

#include "host/object.h"
#include "host/plugin_binding.h"
#include "host/string.h"

namespace host {
class MemoryBlock;
}

namespace PluginBindings {

inline constexpr const char* kLibraryName = "QRXPortMidi.so";
inline constexpr const char* kPluginId = "QRXPortMidi";

// The 54 records, class by class: PortMidiStreamQRX, PortMidiEventQRX, PortMidiQRX,
// PortMidiDeviceInfoQRX.
std::span<host::PluginBindingRecord> Table();

// Describes the four plugin classes to the framework and hands it the binding table; run
// by start-up's initialisers, before the plugin is bound.
void RunInitializers();

}  // namespace PluginBindings

namespace PortMidiStreamQRX {
host::ClassDescription& Class();
// Forwarded to "PortMidiStreamQRX.__init" and "PortMidiStreamQRX.__exit"; the framework runs
// them when it creates and frees a stream object.
void InitEntry(host::Object& self);
void ExitEntry(host::Object& self);

host::Ref<host::String> HostError(const host::Ref<host::Object>& self);
void Close(const host::Ref<host::Object>& self);
std::int64_t Abort(const host::Ref<host::Object>& self);
host::Ref<host::String> ErrorText(const host::Ref<host::Object>& self, std::int64_t ErrorNumber);
std::int64_t SetChannelMask(const host::Ref<host::Object>& self, std::int64_t mask);
std::int64_t SetFilter(const host::Ref<host::Object>& self, std::int64_t filters);
std::int64_t Poll(const host::Ref<host::Object>& self);
std::int64_t WriteSysEx(const host::Ref<host::Object>& self, std::int64_t When,
                        const host::Ref<host::String>& message);
std::int64_t WriteSysEx(const host::Ref<host::Object>& self, std::int64_t When,
                        const host::Ref<host::MemoryBlock>& message, std::int64_t offset);
std::int64_t WriteShort(const host::Ref<host::Object>& self, std::int64_t When,
                        std::int64_t message);
std::int64_t Write(const host::Ref<host::Object>& self, const host::Ref<host::Object>& data);
// data receives the event read, or nil; whatever it held before is released.
std::int64_t Read(const host::Ref<host::Object>& self, host::Ref<host::Object>& data);
std::int64_t OpenInput(const host::Ref<host::Object>& self, std::int64_t DeviceID,
                       std::int64_t Buffersize);
std::int64_t OpenOutput(const host::Ref<host::Object>& self, std::int64_t DeviceID,
                        std::int64_t Buffersize, std::int64_t Latency);
std::int64_t currentTimeStamp();
std::int64_t ChannelMask_Get(const host::Ref<host::Object>& self);
std::int64_t Filters_Get(const host::Ref<host::Object>& self);
std::int64_t DeviceID_Get(const host::Ref<host::Object>& self);
host::Ref<host::String> DeviceName_Get(const host::Ref<host::Object>& self);
}  // namespace PortMidiStreamQRX

namespace PortMidiEventQRX {
host::ClassDescription& Class();

void Set(const host::Ref<host::Object>& self, std::int64_t status, std::int64_t data1,
         std::int64_t data2);
void SetRaw(const host::Ref<host::Object>& self, std::int64_t data0, std::int64_t data1,
            std::int64_t data2, std::int64_t data3);
std::int64_t Status_Get(const host::Ref<host::Object>& self);
void Status_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t Data1_Get(const host::Ref<host::Object>& self);
void Data1_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t Data2_Get(const host::Ref<host::Object>& self);
void Data2_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t RawData0_Get(const host::Ref<host::Object>& self);
void RawData0_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t RawData1_Get(const host::Ref<host::Object>& self);
void RawData1_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t RawData2_Get(const host::Ref<host::Object>& self);
void RawData2_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t RawData3_Get(const host::Ref<host::Object>& self);
void RawData3_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t When_Get(const host::Ref<host::Object>& self);
void When_Set(const host::Ref<host::Object>& self, std::int64_t value);
std::int64_t RawMessage_Get(const host::Ref<host::Object>& self);
void RawMessage_Set(const host::Ref<host::Object>& self, std::int64_t value);
host::Ref<host::Object> CurrentEvent_Get();
}  // namespace PortMidiEventQRX

namespace PortMidiQRX {
host::ClassDescription& Class();
// Forwarded to "PortMidiQRX.__init".
void InitEntry(host::Object& self);

std::int64_t ReInitialize();
std::int64_t Initialize();
std::int64_t CountDevices();
std::int64_t DefaultInputDeviceID();
std::int64_t DefaultOutputDeviceID();
// A PortMidiDeviceInfoQRX, or nil for a device to skip.
host::Ref<host::Object> DeviceInfo(std::int64_t DeviceID);
host::Ref<host::String> ErrorText(std::int64_t ErrorNumber);
}  // namespace PortMidiQRX

namespace PortMidiDeviceInfoQRX {
host::ClassDescription& Class();

host::Ref<host::String> Name_Get(const host::Ref<host::Object>& self);
host::Ref<host::String> InterfaceName_Get(const host::Ref<host::Object>& self);
bool HasInput_Get(const host::Ref<host::Object>& self);
bool HasOutput_Get(const host::Ref<host::Object>& self);
}  // namespace PortMidiDeviceInfoQRX
