// The shipped plugin against the real PortMidi. On a machine without an ALSA sequencer
// PortMidi lists no device; on one with a sequencer, the tests check what holds for whatever
// devices it lists. The tests that need a sequencer skip where there is none.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "alsa_sequencer.h"
#include "host/exception.h"
#include "host/object.h"
#include "host/plugin_binding.h"
#include "host/plugin_loader.h"
#include "host/string.h"

namespace {

using host::Ref;

constexpr std::int64_t kInvalidDeviceId = -9999;  // pmInvalidDeviceId
constexpr const char* kInvalidDeviceIdText = "PortMidi: `Invalid device ID'";
constexpr const char* kNoSequencer =
    "this machine has no ALSA sequencer (/dev/snd/seq), so PortMidi lists no device to test";

template <class Fn>
Fn* Member(const char* key) {
  auto* function = reinterpret_cast<Fn*>(host::FindPluginMember(key));
  if (function == nullptr) {
    ADD_FAILURE() << "the plugin registered no member " << key;
  }
  return function;
}

REALobject Handle(const Ref<host::Object>& object) {
  return reinterpret_cast<REALobject>(object.get());
}

std::optional<std::string> AdoptText(REALstring string) {
  auto text = Ref<host::String>::Adopt(reinterpret_cast<host::String*>(string));
  return text ? std::optional<std::string>(text->Bytes()) : std::nullopt;
}

Ref<host::Object> NewObject(const char* className) {
  const host::ClassDescription* description = host::FindClass(className);
  EXPECT_NE(description, nullptr) << className;
  return description ? host::RuntimeNewObject(*description) : Ref<host::Object>();
}

struct Device {
  std::optional<std::string> name;
  bool hasInput = false;
  bool hasOutput = false;
};

class MidiSmokeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    host::LoadPluginLibrary(std::string(TFL_REAL_PLUGIN_DIR) + "/QRXPortMidi.so");
  }

  void SetUp() override {
    // The program's SEARCH starts the MIDI layer this way.
    system_ = NewObject("PortMidiQRX");
    ASSERT_TRUE(system_);
  }

  void TearDown() override { EXPECT_FALSE(host::HasPendingException()); }

  static std::int64_t CountDevices() {
    return Member<std::int64_t()>("PortMidiQRX.CountDevices as integer")();
  }

  // The device's information; none when DeviceInfo gives nil.
  static std::optional<Device> DeviceInfo(std::int64_t id) {
    auto info =
        Ref<host::Object>::Adopt(reinterpret_cast<host::Object*>(Member<REALobject(std::int64_t)>(
            "PortMidiQRX.DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX")(id)));
    if (!info) {
      return std::nullopt;
    }
    using TextGetter = REALstring(REALobject, std::intptr_t);
    using FlagGetter = bool(REALobject, std::intptr_t);
    auto getter = [](const char* property) {
      return host::GetPluginPropertyParam("PortMidiDeviceInfoQRX", property, 1);
    };
    Device device;
    device.name = AdoptText(
        Member<TextGetter>("PortMidiDeviceInfoQRX.Name.Get")(Handle(info), getter("Name")));
    device.hasInput =
        Member<FlagGetter>("PortMidiDeviceInfoQRX.HasInput.Get")(Handle(info), getter("HasInput"));
    device.hasOutput = Member<FlagGetter>("PortMidiDeviceInfoQRX.HasOutput.Get")(
        Handle(info), getter("HasOutput"));
    return device;
  }

  static std::optional<std::string> ErrorText(std::int64_t error) {
    return AdoptText(Member<REALstring(std::int64_t)>(
        "PortMidiQRX.ErrorText(ErrorNumber as integer) as string")(error));
  }

  static std::int64_t OpenOutput(const Ref<host::Object>& stream, std::int64_t id) {
    return Member<std::int64_t(REALobject, std::int64_t, std::int64_t, std::int64_t)>(
        "PortMidiStreamQRX.OpenOutput(DeviceID as integer, Buffersize as integer, Latency as "
        "integer) as integer")(Handle(stream), id, 10000, 0);
  }

  static std::int64_t OpenInput(const Ref<host::Object>& stream, std::int64_t id,
                                std::int64_t bufferSize) {
    return Member<std::int64_t(REALobject, std::int64_t, std::int64_t)>(
        "PortMidiStreamQRX.OpenInput(DeviceID as integer, Buffersize as integer) as integer")(
        Handle(stream), id, bufferSize);
  }

  // The input device of this name, or -1.
  static std::int64_t InputNamed(const std::string& name) {
    for (std::int64_t id = 0; id < CountDevices(); ++id) {
      const std::optional<Device> device = DeviceInfo(id);
      if (device && device->hasInput && device->name == name) {
        return id;
      }
    }
    return -1;
  }

  // The first device with these directions, or -1.
  static std::int64_t FirstDevice(bool input, bool output) {
    for (std::int64_t id = 0; id < CountDevices(); ++id) {
      const std::optional<Device> device = DeviceInfo(id);
      if (device && device->hasInput == input && device->hasOutput == output) {
        return id;
      }
    }
    return -1;
  }

  Ref<host::Object> system_;
};

TEST_F(MidiSmokeTest, RealPortMidiWithoutSequencerCountsNoneAndHasNoDefaults) {
  if (HasAlsaSequencer()) {
    GTEST_SKIP() << "this machine has an ALSA sequencer, so PortMidi may list devices; the "
                    "other tests check them";
  }
  EXPECT_EQ(CountDevices(), 0);
  EXPECT_EQ(Member<std::int64_t()>("PortMidiQRX.DefaultInputDeviceID as integer")(), -1);
  EXPECT_EQ(Member<std::int64_t()>("PortMidiQRX.DefaultOutputDeviceID as integer")(), -1);
  EXPECT_FALSE(DeviceInfo(0).has_value());

  Ref<host::Object> stream = NewObject("PortMidiStreamQRX");
  EXPECT_EQ(OpenOutput(stream, 0), kInvalidDeviceId);
  stream.Reset();
}

// Holds for any set of devices, none included.
TEST_F(MidiSmokeTest, RealPortMidiDescribesEveryDeviceItCountsAndNoneBeyond) {
  const std::int64_t count = CountDevices();
  ASSERT_GE(count, 0);
  for (std::int64_t id = 0; id < count; ++id) {
    const std::optional<Device> device = DeviceInfo(id);
    ASSERT_TRUE(device.has_value()) << "device " << id << " of " << count;
    EXPECT_TRUE(device->name.has_value() && !device->name->empty()) << "device " << id;
    EXPECT_TRUE(device->hasInput || device->hasOutput) << "device " << id;
  }
  EXPECT_FALSE(DeviceInfo(count).has_value());
  EXPECT_FALSE(DeviceInfo(-1).has_value());
}

// Holds for any set of devices, none included.
TEST_F(MidiSmokeTest, RealPortMidiRefusesAnOutputPastTheLastDevice) {
  Ref<host::Object> stream = NewObject("PortMidiStreamQRX");
  const std::int64_t result = OpenOutput(stream, CountDevices());
  EXPECT_EQ(result, kInvalidDeviceId);
  EXPECT_EQ(ErrorText(result), kInvalidDeviceIdText);
}

TEST_F(MidiSmokeTest, RealPortMidiRefusesAnInputOnlyDeviceAsOutput) {
  if (!HasAlsaSequencer()) {
    GTEST_SKIP() << kNoSequencer;
  }
  const std::int64_t input = FirstDevice(/*input=*/true, /*output=*/false);
  if (input < 0) {
    GTEST_SKIP() << "the ALSA sequencer offers no input-only device";
  }
  Ref<host::Object> stream = NewObject("PortMidiStreamQRX");
  const std::int64_t result = OpenOutput(stream, input);
  EXPECT_EQ(result, kInvalidDeviceId) << "device " << input;
  EXPECT_EQ(ErrorText(result), kInvalidDeviceIdText);
}

TEST_F(MidiSmokeTest, RealPortMidiRefusesAnOpenOutputUntilItsStreamIsReleased) {
  if (!HasAlsaSequencer()) {
    GTEST_SKIP() << kNoSequencer;
  }
  const std::int64_t output = FirstDevice(/*input=*/false, /*output=*/true);
  if (output < 0) {
    GTEST_SKIP() << "the ALSA sequencer offers no output device";
  }
  Ref<host::Object> first = NewObject("PortMidiStreamQRX");
  ASSERT_EQ(OpenOutput(first, output), 0) << "device " << output;

  Ref<host::Object> second = NewObject("PortMidiStreamQRX");
  const std::int64_t result = OpenOutput(second, output);
  EXPECT_EQ(result, kInvalidDeviceId) << "a second open of device " << output;
  EXPECT_EQ(ErrorText(result), kInvalidDeviceIdText);

  first.Reset();  // the last reference: its destructor closes the stream
  EXPECT_EQ(OpenOutput(second, output), 0) << "device " << output << " after the release";
  second.Reset();
  Ref<host::Object> third = NewObject("PortMidiStreamQRX");
  EXPECT_EQ(OpenOutput(third, output), 0) << "device " << output << " after the second release";
}

TEST_F(MidiSmokeTest, RealPortMidiInputQueueTooLargeToAllocateIsRefusedAndTheProcessLives) {
  if (!HasAlsaSequencer()) {
    GTEST_SKIP() << kNoSequencer;
  }
  const std::int64_t input = InputNamed("Midi Through Port-0");
  if (input < 0) {
    GTEST_SKIP() << "the ALSA sequencer offers no \"Midi Through Port-0\" input";
  }
  Ref<host::Object> stream = NewObject("PortMidiStreamQRX");
  // PortMidi itself would crash zero-filling a queue of 24 GiB that it failed to allocate.
  EXPECT_EQ(OpenInput(stream, input, 2147483647), -9998);
  EXPECT_EQ(OpenInput(stream, input, (1 << 24) + 1), -9998);
  // The largest queue the plugin lets through, 192 MiB, a small machine gives too.
  EXPECT_EQ(OpenInput(stream, input, 1 << 24), 0) << "device " << input << " after the refusal";
}

}  // namespace
