// The PortMidi double must fail loudly where real PortMidi would touch freed memory or
// crash; otherwise the plugin's tests of closing, re-enumerating and opening would prove
// nothing.
#include <gtest/gtest.h>

#include "fake_portmidi.h"

namespace {

class MidiDoubleDeathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fake_portmidi::Reset();
    fake_portmidi::SetDevices({{"ALSA", "Out", false, true}, {"ALSA", "In", true, false}});
    Pm_Initialize();
    ASSERT_EQ(Pm_OpenOutput(&stream, 0, nullptr, 100, nullptr, nullptr, 0), pmNoError);
  }
  void TearDown() override { fake_portmidi::Reset(); }

  PortMidiStream* stream = nullptr;
};

TEST_F(MidiDoubleDeathTest, UseAfterCloseAborts) {
  ASSERT_EQ(Pm_Close(stream), pmNoError);
  EXPECT_DEATH(Pm_WriteShort(stream, 0, 0x90), "Pm_Write used a stream after Pm_Close");
  EXPECT_DEATH(Pm_Close(stream), "Pm_Close used a stream after Pm_Close");
}

TEST_F(MidiDoubleDeathTest, UseAfterTerminateAborts) {
  ASSERT_EQ(Pm_Terminate(), pmNoError);
  EXPECT_DEATH(Pm_Close(stream), "after Pm_Terminate");
}

TEST_F(MidiDoubleDeathTest, InputQueueTooLargeToAllocateAborts) {
  PortMidiStream* input = nullptr;
  // PortMidi checks the device before it allocates the queue.
  EXPECT_EQ(Pm_OpenInput(&input, 0, nullptr, 2147483647, nullptr, nullptr), pmInvalidDeviceId);
  EXPECT_DEATH(Pm_OpenInput(&input, 1, nullptr, 2147483647, nullptr, nullptr),
               "Pm_OpenInput zero-filled a queue of 2147483647 events");
}

TEST_F(MidiDoubleDeathTest, StreamsFromBeforeResetMayOnlyBeClosed) {
  fake_portmidi::Reset();
  EXPECT_EQ(Pm_Close(stream), pmBadPtr);
  EXPECT_DEATH(Pm_Abort(stream), "before fake_portmidi::Reset");
}

}  // namespace
