// The shipped plugin against the real PortMidi on a machine without MIDI devices.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/exception.h"
#include "host/object.h"
#include "host/plugin_loader.h"

namespace {

template <class Fn>
Fn* Member(const char* key) {
  return reinterpret_cast<Fn*>(host::FindPluginMember(key));
}

TEST(MidiSmokeTest, RealPortMidiWithoutDevicesCountsNoneAndHasNoDefaults) {
  host::LoadPluginLibrary(std::string(TFL_REAL_PLUGIN_DIR) + "/QRXPortMidi.so");
  auto* count = Member<std::int64_t()>("PortMidiQRX.CountDevices as integer");
  auto* defaultInput = Member<std::int64_t()>("PortMidiQRX.DefaultInputDeviceID as integer");
  auto* defaultOutput = Member<std::int64_t()>("PortMidiQRX.DefaultOutputDeviceID as integer");
  auto* deviceInfo = Member<REALobject(std::int64_t)>(
      "PortMidiQRX.DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX");
  ASSERT_TRUE(count && defaultInput && defaultOutput && deviceInfo);

  const host::ClassDescription* systemClass = host::FindClass("PortMidiQRX");
  ASSERT_NE(systemClass, nullptr);
  host::Ref<host::Object> system = host::RuntimeNewObject(*systemClass);

  EXPECT_EQ(count(), 0);
  EXPECT_EQ(defaultInput(), -1);
  EXPECT_EQ(defaultOutput(), -1);
  EXPECT_EQ(deviceInfo(0), nullptr);

  const host::ClassDescription* streamClass = host::FindClass("PortMidiStreamQRX");
  ASSERT_NE(streamClass, nullptr);
  host::Ref<host::Object> stream = host::RuntimeNewObject(*streamClass);
  auto* openOutput = Member<std::int64_t(REALobject, std::int64_t, std::int64_t, std::int64_t)>(
      "PortMidiStreamQRX.OpenOutput(DeviceID as integer, Buffersize as integer, Latency as "
      "integer) as integer");
  ASSERT_NE(openOutput, nullptr);
  EXPECT_EQ(openOutput(reinterpret_cast<REALobject>(stream.get()), 0, 10000, 0), -9999);
  stream.Reset();
  EXPECT_FALSE(host::HasPendingException());
}

}  // namespace
