// The MIDI system class and the device-information class over the PortMidi double.
#include "midi_harness.h"

namespace midi_test {
namespace {

using fake_portmidi::Device;

class MidiSystemTest : public MidiTest {};

TEST_F(MidiSystemTest, DevicesListInputsFirstThenOutputs) {
  for (int device = 0; device < 4; ++device) {
    const DeviceView view = ReadDevice(DeviceInfo(device));
    EXPECT_EQ(view.hasInput, device < 2) << device;
    EXPECT_EQ(view.hasOutput, device >= 2) << device;
    EXPECT_EQ(view.interfaceName, "CoreMIDI") << device;
  }
  EXPECT_EQ(ReadDevice(DeviceInfo(0)).name, "Interface A In");
  EXPECT_EQ(ReadDevice(DeviceInfo(3)).name, "Interface B Out");
}

TEST_F(MidiSystemTest, DeviceInfoRefusesNumbersOutsideTheTableAndCutsTo32Bits) {
  EXPECT_FALSE(DeviceInfo(-1));
  EXPECT_FALSE(DeviceInfo(4));
  EXPECT_FALSE(DeviceInfo(std::int64_t{1} << 31));
  // 2^32 reads as device 0.
  EXPECT_EQ(ReadDevice(DeviceInfo(std::int64_t{1} << 32)).name, "Interface A In");
}

TEST_F(MidiSystemTest, DeviceNamesKeepTheirUtf8BytesAndEmptyNamesReadNil) {
  fake_portmidi::Reset();
  fake_portmidi::SetDevices(
      {{"CoreMIDI", "Gerät \xE2\x80\x93 1", false, true}, {"", "", true, false}});
  ASSERT_EQ(ReInitialize(), 0);
  EXPECT_EQ(ReadDevice(DeviceInfo(0)).name, "Gerät \xE2\x80\x93 1");
  const DeviceView unnamed = ReadDevice(DeviceInfo(1));
  EXPECT_EQ(unnamed.name, std::nullopt);
  EXPECT_EQ(unnamed.interfaceName, std::nullopt);
  EXPECT_TRUE(unnamed.hasInput);
}

TEST_F(MidiSystemTest, DeviceInfoMadeByTheProgramItselfReportsNothing) {
  const host::ClassDescription* infoClass = host::FindClass("PortMidiDeviceInfoQRX");
  ASSERT_NE(infoClass, nullptr);
  const DeviceView view = ReadDevice(host::RuntimeNewObject(*infoClass));
  EXPECT_EQ(view.name, std::nullopt);
  EXPECT_EQ(view.interfaceName, std::nullopt);
  EXPECT_FALSE(view.hasInput);
  EXPECT_FALSE(view.hasOutput);
}

TEST_F(MidiSystemTest, DefaultDevicesAreWhatPortMidiReports) {
  EXPECT_EQ(DefaultInputDeviceID(), 0);
  EXPECT_EQ(DefaultOutputDeviceID(), 2);
}

TEST_F(MidiSystemTest, NoDevicesGiveCountZeroDefaultsMinusOneAndNoInfo) {
  fake_portmidi::Reset();
  EXPECT_EQ(CountDevices(), 0);
  EXPECT_EQ(DefaultInputDeviceID(), -1);
  EXPECT_EQ(DefaultOutputDeviceID(), -1);
  EXPECT_FALSE(DeviceInfo(0));
  EXPECT_EQ(Initialize(), 0);
  EXPECT_EQ(ReInitialize(), 0);
}

TEST_F(MidiSystemTest, DeviceQueriesStartPortMidiWhenItIsNotStarted) {
  fake_portmidi::Reset();
  fake_portmidi::SetDevices(TwoInterfaces());
  EXPECT_EQ(DefaultOutputDeviceID(), 2);
  EXPECT_TRUE(fake_portmidi::IsInitialized());
  EXPECT_EQ(fake_portmidi::Enumerations(), 1);
}

TEST_F(MidiSystemTest, InitializeAndNewObjectsDoNotEnumerateAgain) {
  const int before = fake_portmidi::Enumerations();
  EXPECT_EQ(Initialize(), 0);
  ObjectRef system = NewSystemObject();
  Stream stream;
  EXPECT_EQ(fake_portmidi::Enumerations(), before);
}

TEST_F(MidiSystemTest, ReInitializeEnumeratesAgainAndSeesNewDevices) {
  fake_portmidi::SetDevices({{"CoreMIDI", "Only Out", false, true}});
  EXPECT_EQ(ReInitialize(), 0);
  EXPECT_EQ(fake_portmidi::TerminateCalls(), 1);
  EXPECT_EQ(fake_portmidi::Enumerations(), 2);
  EXPECT_EQ(CountDevices(), 1);
  EXPECT_EQ(DefaultInputDeviceID(), -1);
  EXPECT_EQ(DefaultOutputDeviceID(), 0);
}

TEST_F(MidiSystemTest, ReInitializeClosesHeldStreamsFirst) {
  Stream output;
  Stream input;
  ASSERT_EQ(output.OpenOutput(2), 0);
  ASSERT_EQ(input.OpenInput(0), 0);
  // The double aborts when a stream outlives the table PortMidi freed.
  EXPECT_EQ(ReInitialize(), 0);
  EXPECT_EQ(fake_portmidi::CloseCount(), 2);
  EXPECT_EQ(output.DeviceID(), -1);
  EXPECT_EQ(output.WriteShort(0, 0x403C90), -1);
  EXPECT_EQ(input.Poll(), -1);
  // The objects can open again on the new table, and their release closes nothing twice.
  EXPECT_EQ(output.OpenOutput(2), 0);
  output.Release();
  input.Release();
  EXPECT_EQ(fake_portmidi::CloseCount(), 3);
}

TEST_F(MidiSystemTest, DeviceInfoFromBeforeReInitializeReportsNothing) {
  ObjectRef info = DeviceInfo(2);
  ASSERT_EQ(ReadDevice(info).name, "Interface A Out");
  ASSERT_EQ(ReInitialize(), 0);
  const DeviceView view = ReadDevice(info);
  EXPECT_EQ(view.name, std::nullopt);
  EXPECT_EQ(view.interfaceName, std::nullopt);
  EXPECT_FALSE(view.hasInput);
  EXPECT_FALSE(view.hasOutput);
  EXPECT_EQ(ReadDevice(DeviceInfo(2)).name, "Interface A Out");
}

TEST_F(MidiSystemTest, ErrorTextsAreThePluginsOwn) {
  EXPECT_EQ(SystemErrorText(0), std::nullopt);
  EXPECT_EQ(SystemErrorText(1), std::nullopt);
  EXPECT_EQ(SystemErrorText(-10000), "PortMidi: `Host error'");
  EXPECT_EQ(SystemErrorText(-9999), "PortMidi: `Invalid device ID'");
  EXPECT_EQ(SystemErrorText(-9998), "PortMidi: `Insufficient memory'");
  EXPECT_EQ(SystemErrorText(-9997), "PortMidi: `Buffer too small'");
  EXPECT_EQ(SystemErrorText(-9996), "PortMidi: `Buffer overflow'");
  EXPECT_EQ(SystemErrorText(-9995), "PortMidi: `Bad pointer'");
  EXPECT_EQ(SystemErrorText(-9994), "PortMidi: `Invalid MIDI message Data'");
  EXPECT_EQ(SystemErrorText(-9993), "PortMidi: `Internal PortMidi Error'");
  EXPECT_EQ(SystemErrorText(-9992), "PortMidi: `Buffer cannot be made larger'");
  for (std::int64_t illegal : {-1, 2, -10001, -9991}) {
    EXPECT_EQ(SystemErrorText(illegal), "PortMidi: `Illegal error number'") << illegal;
  }
  // Only the low 32 bits count.
  EXPECT_EQ(SystemErrorText(4294957296), "PortMidi: `Host error'");
}

TEST_F(MidiSystemTest, ErrorTextsAreAscii) {
  host::Ref<host::String> text = host::Ref<host::String>::Adopt(
      reinterpret_cast<host::String*>(reinterpret_cast<REALstring (*)(std::int64_t)>(
          Member("PortMidiQRX.ErrorText(ErrorNumber as integer) as string"))(-9999)));
  ASSERT_TRUE(text);
  EXPECT_EQ(text->Encoding(), host::kEncodingASCII);
}

}  // namespace
}  // namespace midi_test
