// The event class: its byte accessors, its time, and the shared CurrentEvent.
#include "midi_harness.h"

namespace midi_test {
namespace {

class MidiEventTest : public MidiTest {};

constexpr std::int64_t kTwoTo31 = std::int64_t{1} << 31;
constexpr std::int64_t kTwoTo32 = std::int64_t{1} << 32;

TEST_F(MidiEventTest, NewEventReadsZeroEverywhere) {
  Event event;
  for (const char* property : {"Status", "Data1", "Data2", "RawData0", "RawData1", "RawData2",
                               "RawData3", "When", "RawMessage"}) {
    EXPECT_EQ(event.Get(property), 0) << property;
  }
}

TEST_F(MidiEventTest, ByteSettersTakeTheLow8Bits) {
  for (const char* property : {"Status", "Data1", "Data2", "RawData3"}) {
    Event event;
    event.Set(property, 300);
    EXPECT_EQ(event.Get(property), 44) << property;
    event.Set(property, -1);
    EXPECT_EQ(event.Get(property), 255) << property;
  }
}

TEST_F(MidiEventTest, ByteSettersLeaveTheOtherBytesAndTheTime) {
  Event event;
  event.Set("RawMessage", 0x00403C80);
  event.Set("When", 99);
  event.Set("Status", 0x90);
  EXPECT_EQ(event.Get("RawMessage"), 0x00403C90);
  event.Set("Data2", 0x7F);
  event.Set("RawData3", 0x12);
  EXPECT_EQ(event.Get("RawMessage"), 0x127F3C90);
  EXPECT_EQ(event.Get("When"), 99);
}

TEST_F(MidiEventTest, RawBytesShareTheirAccessorsWithTheNamedOnes) {
  Event event;
  event.Set("RawData0", 0x91);
  event.Set("RawData1", 0x22);
  event.Set("RawData2", 0x33);
  EXPECT_EQ(event.Get("Status"), 0x91);
  EXPECT_EQ(event.Get("Data1"), 0x22);
  EXPECT_EQ(event.Get("Data2"), 0x33);
  event.Set("Status", 0x80);
  EXPECT_EQ(event.Get("RawData0"), 0x80);
}

TEST_F(MidiEventTest, WhenIsASigned32BitTime) {
  Event event;
  event.Set("RawMessage", 0x90);
  event.Set("When", kTwoTo31);
  EXPECT_EQ(event.Get("When"), -kTwoTo31);
  event.Set("When", -5);
  EXPECT_EQ(event.Get("When"), -5);
  event.Set("When", kTwoTo32 + 7);
  EXPECT_EQ(event.Get("When"), 7);
  EXPECT_EQ(event.Get("RawMessage"), 0x90);
}

TEST_F(MidiEventTest, RawMessageReadsWithItsSign) {
  Event event;
  event.Set("When", 4);
  event.SetRaw(0x90, 0x3C, 0x40, 0x80);
  EXPECT_EQ(event.Get("RawMessage"), std::int64_t{0x80403C90} - kTwoTo32);
  EXPECT_EQ(event.Get("Status"), 144);
  EXPECT_EQ(event.Get("RawData3"), 128);
  EXPECT_EQ(event.Get("When"), 4);
  event.Set("RawMessage", kTwoTo32 + 0x55);
  EXPECT_EQ(event.Get("RawMessage"), 0x55);
  EXPECT_EQ(event.Get("When"), 4);
}

TEST_F(MidiEventTest, SetCutsEachByteAndClearsTheFourth) {
  Event event;
  event.SetRaw(1, 2, 3, 4);
  event.Set("When", 8);
  event.SetValues(0x1FF, 0x100, 0x7F);
  EXPECT_EQ(event.Get("RawMessage"), 0x7F00FF);
  EXPECT_EQ(event.Get("Status"), 255);
  EXPECT_EQ(event.Get("Data1"), 0);
  EXPECT_EQ(event.Get("Data2"), 127);
  EXPECT_EQ(event.Get("RawData3"), 0);
  EXPECT_EQ(event.Get("When"), 8);
}

TEST_F(MidiEventTest, CurrentEventIsANewCopyEachTime) {
  Stream output;
  ASSERT_EQ(output.OpenOutput(2), 0);
  ASSERT_EQ(output.WriteShort(3, 0x403C90), 0);
  ObjectRef first = CurrentEvent();
  ObjectRef second = CurrentEvent();
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.get(), second.get());
  Event(first).Set("RawMessage", 0x80);
  EXPECT_EQ(Event(second).Get("RawMessage"), 0x403C90);
  EXPECT_EQ(Event(CurrentEvent()).Get("RawMessage"), 0x403C90);
  EXPECT_EQ(Event(CurrentEvent()).Get("When"), 3);
}

}  // namespace
}  // namespace midi_test
