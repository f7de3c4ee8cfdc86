// The stream class's input: reading, polling, the queue's overflow, filters and channel masks.
#include "midi_harness.h"

namespace midi_test {
namespace {

using fake_portmidi::Receive;

class MidiInputTest : public MidiTest {
 protected:
  // Reads one event; its message, or none when Read gave no object.
  std::optional<std::int64_t> ReadMessage(Stream& stream, std::int64_t expectedResult = 1) {
    ObjectRef data;
    EXPECT_EQ(stream.Read(data), expectedResult);
    if (!data) {
      return std::nullopt;
    }
    return Event(data).Get("RawMessage");
  }
};

constexpr PmMessage kNoteOn = 0x403C90;
constexpr PmMessage kNoteOff = 0x003C80;

TEST_F(MidiInputTest, WithoutAStreamReadReleasesTheCallersEventAndAnswersMinusOne) {
  Stream stream;
  Event held;
  held.SetValues(0x90, 1, 2);
  host::Object* before = held.Object().get();
  const auto references = before->RefCount();
  ObjectRef data = held.Object();
  EXPECT_EQ(stream.Read(data), -1);
  EXPECT_FALSE(data);
  EXPECT_EQ(before->RefCount(), references);
  EXPECT_EQ(stream.Poll(), -1);
}

TEST_F(MidiInputTest, ReadReplacesTheCallersEventWithTheReceivedOne) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  ASSERT_TRUE(Receive(0, kNoteOn, 77));
  Event held;
  ObjectRef data = held.Object();
  EXPECT_EQ(stream.Read(data), 1);
  ASSERT_TRUE(data);
  EXPECT_NE(data.get(), held.Object().get());
  EXPECT_EQ(data->RefCount(), 1);
  Event received(data);
  EXPECT_EQ(received.Get("RawMessage"), kNoteOn);
  EXPECT_EQ(received.Get("When"), 77);
  EXPECT_EQ(held.Get("RawMessage"), 0);
}

TEST_F(MidiInputTest, NothingWaitingReadsZeroAndNil) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(stream.Poll(), 0);
  EXPECT_EQ(ReadMessage(stream, 0), std::nullopt);
  ASSERT_TRUE(Receive(0, kNoteOn));
  EXPECT_EQ(stream.Poll(), 1);
  EXPECT_EQ(stream.Poll(), 1);
  EXPECT_EQ(ReadMessage(stream), kNoteOn);
  EXPECT_EQ(stream.Poll(), 0);
}

TEST_F(MidiInputTest, OverflowIsReportedOnceWhereItHappened) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0, 2), 0);
  Receive(0, kNoteOn);
  Receive(0, kNoteOn + 0x100);
  Receive(0, kNoteOn + 0x200);
  EXPECT_EQ(ReadMessage(stream), kNoteOn);
  EXPECT_EQ(ReadMessage(stream), kNoteOn + 0x100);
  // Every event before the overflow is read: Poll sees nothing, Read meets the overflow.
  EXPECT_EQ(stream.Poll(), 0);
  EXPECT_EQ(ReadMessage(stream, -9996), std::nullopt);
  EXPECT_EQ(ReadMessage(stream, 0), std::nullopt);
  ASSERT_TRUE(Receive(0, kNoteOff));
  EXPECT_EQ(ReadMessage(stream), kNoteOff);
}

TEST_F(MidiInputTest, MessagesArrivingBeforeTheOverflowIsReachedAreLost) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0, 1), 0);
  Receive(0, kNoteOn);
  Receive(0, kNoteOn);
  EXPECT_EQ(ReadMessage(stream), kNoteOn);
  Receive(0, kNoteOff);
  EXPECT_EQ(ReadMessage(stream, -9996), std::nullopt);
}

TEST_F(MidiInputTest, OutputStreamsCannotBeReadOrPolled) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  EXPECT_EQ(stream.Poll(), -9995);
  Event held;
  ObjectRef data = held.Object();
  EXPECT_EQ(stream.Read(data), -9995);
  EXPECT_FALSE(data);
}

TEST_F(MidiInputTest, SysExArrivesInEventsOfFourBytes) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  ASSERT_TRUE(fake_portmidi::ReceiveSysEx(0, ByteVector({0xF0, 0x43, 0x10, 0x4C, 0x00, 0xF7})));
  EXPECT_EQ(ReadMessage(stream), 0x4C1043F0);
  EXPECT_EQ(ReadMessage(stream), 0xF700);
}

TEST_F(MidiInputTest, FilterNoteDropsNotesOnlyAndAnswersMinusOne) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(stream.SetFilter(0x3000000), -1);
  EXPECT_EQ(stream.Filters(), 0x3000000);
  for (PmMessage message : {kNoteOn, kNoteOff, PmMessage{0x0007B0}, PmMessage{0xFE}}) {
    ASSERT_TRUE(Receive(0, message));
  }
  EXPECT_EQ(ReadMessage(stream), 0x0007B0);
  EXPECT_EQ(ReadMessage(stream), 0xFE);
  EXPECT_EQ(ReadMessage(stream, 0), std::nullopt);
}

TEST_F(MidiInputTest, FilterZeroLetsActiveSensingThrough) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  ASSERT_TRUE(Receive(0, 0xFE));
  EXPECT_EQ(ReadMessage(stream, 0), std::nullopt);
  EXPECT_EQ(stream.SetFilter(0), -1);
  ASSERT_TRUE(Receive(0, 0xFE));
  EXPECT_EQ(ReadMessage(stream), 0xFE);
}

TEST_F(MidiInputTest, FilterIsCutTo32BitsButKeptWhole) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  const std::int64_t filters = (std::int64_t{1} << 32) | 0x100;
  EXPECT_EQ(stream.SetFilter(filters), -1);
  EXPECT_EQ(stream.Filters(), filters);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(0)->filters, 0x100);
}

TEST_F(MidiInputTest, FilterWithoutAStreamChangesNothing) {
  Stream stream;
  EXPECT_EQ(stream.SetFilter(0x100), -1);
  EXPECT_EQ(stream.Filters(), 0);
  EXPECT_EQ(stream.SetChannelMask(1), -1);
  EXPECT_EQ(stream.ChannelMask(), 0xFFFF);
}

TEST_F(MidiInputTest, FilterOnAnOutputIsTakenToo) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  EXPECT_EQ(stream.SetFilter(0x100), -1);
  EXPECT_EQ(stream.Filters(), 0x100);
}

TEST_F(MidiInputTest, ChannelMaskPassesItsChannelsAndAllSystemMessages) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(stream.SetChannelMask(1), -1);
  EXPECT_EQ(stream.ChannelMask(), 1);
  const std::vector<PmMessage> passing = {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF8};
  for (PmMessage message : {0x80, 0x91, 0x90, 0xA0, 0xB5, 0xB0, 0xC0, 0xD0, 0xE0, 0xF8}) {
    ASSERT_TRUE(Receive(0, message));
  }
  for (PmMessage message : passing) {
    EXPECT_EQ(ReadMessage(stream), message);
  }
  EXPECT_EQ(ReadMessage(stream, 0), std::nullopt);
}

TEST_F(MidiInputTest, ChannelMaskIsCutTo32BitsButKeptWhole) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  const std::int64_t mask = (std::int64_t{1} << 32) + 1;
  EXPECT_EQ(stream.SetChannelMask(mask), -1);
  EXPECT_EQ(stream.ChannelMask(), mask);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(0)->channelMask, 1);
}

}  // namespace
}  // namespace midi_test
