// The fixture of the tests that drive the plugin built against the PortMidi double.
#include "host/exception.h"
#include "midi_harness.h"

namespace midi_test {

void LoadDoublePlugin() {
  LoadPlugin(std::string(TFL_TEST_PLUGIN_DIR) + "/QRXPortMidi.so");
}

std::vector<fake_portmidi::Device> TwoInterfaces() {
  return {
      {"CoreMIDI", "Interface A In", true, false},
      {"CoreMIDI", "Interface B In", true, false},
      {"CoreMIDI", "Interface A Out", false, true},
      {"CoreMIDI", "Interface B Out", false, true},
  };
}

void MidiTest::SetUp() {
  fake_portmidi::Reset();
  fake_portmidi::SetDevices(TwoInterfaces());
  // The program's first step: the device count starts PortMidi on the scripted table.
  ASSERT_EQ(CountDevices(), 4);
}

void MidiTest::TearDown() {
  EXPECT_FALSE(host::HasPendingException()) << "a member left an exception pending";
  host::ClearPendingException();
  EXPECT_EQ(fake_portmidi::OpenStreamCount(), 0) << "a released stream object left its stream open";
}

}  // namespace midi_test
