// What a freshly loaded plugin does before anything else has run. Each case needs a process
// of its own, so this program holds one.
#include "midi_harness.h"

namespace midi_test {
namespace {

TEST(MidiFirstStartTest, InitializeEnumeratesOnceAndCurrentEventStartsAtZero) {
  fake_portmidi::Reset();
  fake_portmidi::SetDevices(TwoInterfaces());
  LoadDoublePlugin();
  // Loading starts nothing.
  EXPECT_EQ(fake_portmidi::InitializeCalls(), 0);

  Event current(CurrentEvent());
  EXPECT_EQ(current.Get("RawMessage"), 0);
  EXPECT_EQ(current.Get("When"), 0);
  EXPECT_EQ(fake_portmidi::InitializeCalls(), 0);

  EXPECT_EQ(Initialize(), 0);
  EXPECT_EQ(fake_portmidi::Enumerations(), 1);
  EXPECT_EQ(Initialize(), 0);
  EXPECT_EQ(fake_portmidi::InitializeCalls(), 1);
  EXPECT_EQ(fake_portmidi::Enumerations(), 1);
}

}  // namespace
}  // namespace midi_test
