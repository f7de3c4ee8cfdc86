// Drives the plugin built against the PortMidi double the way the program does: loaded by
// the host's loader, members found by their binding keys, objects made by the host.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fake_portmidi.h"
#include "host/memory_block.h"
#include "host/object.h"
#include "host/string.h"
#include "real_plugin_abi.h"

namespace midi_test {

using ObjectRef = host::Ref<host::Object>;

// Loads the plugin once per process from the given path.
void LoadPlugin(const std::string& path);
// The plugin built against the double.
void LoadDoublePlugin();

// The plugin's function for a binding key; fails the test and throws when there is none.
void* Member(std::string_view bindingKey);

REALobject Handle(const ObjectRef& object);
REALstring Handle(const host::Ref<host::String>& string);
REALmemoryBlock Handle(const host::Ref<host::MemoryBlock>& block);

// Takes over the first reference of an object the plugin handed out.
ObjectRef AdoptObject(REALobject object);
// The bytes of a string the plugin handed out (taking over its reference); none for nil.
std::optional<std::string> AdoptText(REALstring string);

// Shared members of PortMidiQRX.
std::int64_t Initialize();
std::int64_t ReInitialize();
std::int64_t CountDevices();
std::int64_t DefaultInputDeviceID();
std::int64_t DefaultOutputDeviceID();
ObjectRef DeviceInfo(std::int64_t device);
std::optional<std::string> SystemErrorText(std::int64_t errorNumber);
ObjectRef NewSystemObject();

// A PortMidiDeviceInfoQRX object's properties.
struct DeviceView {
  std::optional<std::string> name;
  std::optional<std::string> interfaceName;
  bool hasInput = false;
  bool hasOutput = false;
};
DeviceView ReadDevice(const ObjectRef& info);

// A PortMidiStreamQRX object and its members.
class Stream {
 public:
  Stream();
  explicit Stream(ObjectRef object) : object_(std::move(object)) {}

  const ObjectRef& Object() const { return object_; }
  // Drops this handle's reference; the last one runs the destructor.
  void Release() { object_.Reset(); }

  std::int64_t OpenOutput(std::int64_t device, std::int64_t bufferSize = 10000,
                          std::int64_t latency = 0);
  std::int64_t OpenInput(std::int64_t device, std::int64_t bufferSize = 100);
  void Close();
  std::int64_t Abort();
  std::optional<std::string> HostError();
  std::optional<std::string> ErrorText(std::int64_t errorNumber);
  std::int64_t SetChannelMask(std::int64_t mask);
  std::int64_t SetFilter(std::int64_t filters);
  std::int64_t Poll();
  std::int64_t WriteSysEx(std::int64_t when, const host::Ref<host::String>& message);
  std::int64_t WriteSysEx(std::int64_t when, const std::string& bytes);
  std::int64_t WriteSysEx(std::int64_t when, const host::Ref<host::MemoryBlock>& block,
                          std::int64_t offset);
  std::int64_t WriteShort(std::int64_t when, std::int64_t message);
  std::int64_t Write(const ObjectRef& event);
  // Read with the caller's variable; the variable is updated as the plugin leaves it.
  std::int64_t Read(ObjectRef& data);

  std::int64_t ChannelMask();
  std::int64_t Filters();
  std::int64_t DeviceID();
  std::optional<std::string> DeviceName();

 private:
  ObjectRef object_;
};

std::int64_t CurrentTimeStamp();

// A PortMidiEventQRX object and its members.
class Event {
 public:
  Event();
  explicit Event(ObjectRef object) : object_(std::move(object)) {}

  const ObjectRef& Object() const { return object_; }

  std::int64_t Get(std::string_view property);
  void Set(std::string_view property, std::int64_t value);
  void SetValues(std::int64_t status, std::int64_t data1, std::int64_t data2);
  void SetRaw(std::int64_t data0, std::int64_t data1, std::int64_t data2, std::int64_t data3);

 private:
  ObjectRef object_;
};

// The shared CurrentEvent; nil when the host made none.
ObjectRef CurrentEvent();

// The device table most tests use: two interfaces, each with one input and one output.
std::vector<fake_portmidi::Device> TwoInterfaces();

// Starts every test from a fresh double with the two interfaces, and the plugin loaded and
// its MIDI layer started on that table.
class MidiTest : public ::testing::Test {
 protected:
  // Loaded before the fixtures' own members are made, so that they can be plugin objects.
  MidiTest() { LoadDoublePlugin(); }
  void SetUp() override;
  void TearDown() override;
};

// Bytes as a string, zero bytes included.
std::string Bytes(std::initializer_list<int> bytes);
std::vector<std::uint8_t> ByteVector(std::initializer_list<int> bytes);

}  // namespace midi_test
