// The stream class's output: System Exclusive messages, short messages, events, and the
// record of the last short message.
#include "host/exception.h"
#include "midi_harness.h"

namespace midi_test {
namespace {

using fake_portmidi::Written;

class MidiOutputTest : public MidiTest {
 protected:
  void SetUp() override {
    MidiTest::SetUp();
    ASSERT_EQ(output.OpenOutput(2), 0);
  }
  void TearDown() override {
    output.Release();
    MidiTest::TearDown();
  }

  Stream output;
};

host::Ref<host::MemoryBlock> Block(std::initializer_list<int> bytes) {
  auto block = host::MemoryBlock::Make(static_cast<std::int64_t>(bytes.size()));
  std::int64_t offset = 0;
  for (int byte : bytes) {
    block->SetByte(offset++, byte);
  }
  return block;
}

Event Note(std::int64_t message, std::int64_t when = 0) {
  Event event;
  event.Set("RawMessage", message);
  event.Set("When", when);
  return event;
}

// What CurrentEvent reads, as message and time.
std::pair<std::int64_t, std::int64_t> Recorded() {
  Event current(CurrentEvent());
  return {current.Get("RawMessage"), current.Get("When")};
}

TEST_F(MidiOutputTest, SysExStringSendsUpToTheFirstF7Only) {
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x43, 0x10, 0xF7, 0x00, 0x00})), 0);
  EXPECT_EQ(Written(2), ByteVector({0xF0, 0x43, 0x10, 0xF7}));
}

TEST_F(MidiOutputTest, SysExStringWithZeroBytesReachesTheDeviceWhole) {
  // A firmware message in the program's 200-byte string: zero bytes inside, junk after.
  std::string message = Bytes({0xF0, 0x00, 0x20, 0x00, 0x00, 0x01, 0x00, 0xF7});
  std::string padded = message + std::string(192, '\x55');
  EXPECT_EQ(output.WriteSysEx(0, padded), 0);
  EXPECT_EQ(Written(2), std::vector<std::uint8_t>(message.begin(), message.end()));
}

TEST_F(MidiOutputTest, SysExStringWithoutF7IsRefusedAndNothingIsSent) {
  // PortMidi would read on past the string looking for the end of the message.
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x01, 0x00, 0x02})), -9994);
  // Zero bytes do not end the string: the 0xF7 must lie within its byte length.
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x00, 0x00, 0x00, 0x00})), -9994);
  EXPECT_TRUE(Written(2).empty());
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(2)->sysexInProgress);
}

TEST_F(MidiOutputTest, SysExStringNeedsAMessageAndAStream) {
  EXPECT_EQ(output.WriteSysEx(0, host::Ref<host::String>()), -1);
  EXPECT_EQ(output.WriteSysEx(0, std::string()), -1);
  Stream closed;
  EXPECT_EQ(closed.WriteSysEx(0, host::Ref<host::String>()), -1);
  EXPECT_EQ(closed.WriteSysEx(0, Bytes({0xF0, 0xF7})), -1);
}

TEST_F(MidiOutputTest, SysExStringLeavesTheStringsReferencesAsTheyWere) {
  auto message = host::String::Make(Bytes({0xF0, 0x7E, 0xF7}), host::kEncodingUnknown);
  const auto before = message->RefCount();
  EXPECT_EQ(output.WriteSysEx(0, message), 0);
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0})), -9994);
  EXPECT_EQ(message->RefCount(), before);
}

TEST_F(MidiOutputTest, SysExOnAnInputStreamIsABadPointer) {
  Stream input;
  ASSERT_EQ(input.OpenInput(0), 0);
  EXPECT_EQ(input.WriteSysEx(0, Bytes({0xF0, 0xF7})), -9995);
  EXPECT_EQ(input.WriteSysEx(0, Block({0xF0, 0xF7}), 0), -9995);
}

TEST_F(MidiOutputTest, SysExBlockSendsFromTheOffsetUpToTheFirstF7) {
  EXPECT_EQ(output.WriteSysEx(0, Block({0xF0, 0x01, 0x02, 0xF7}), 0), 0);
  EXPECT_EQ(output.WriteSysEx(0, Block({0x00, 0xF0, 0x05, 0xF7, 0xF0, 0xF7}), 1), 0);
  EXPECT_EQ(Written(2), ByteVector({0xF0, 0x01, 0x02, 0xF7, 0xF0, 0x05, 0xF7}));
}

TEST_F(MidiOutputTest, SysExBlockOutsideItsBytesIsRefused) {
  auto block = Block({0xF0, 0x01, 0xF7});
  EXPECT_EQ(output.WriteSysEx(0, block, -1), -1);
  EXPECT_EQ(output.WriteSysEx(0, block, 3), -1);
  EXPECT_EQ(output.WriteSysEx(0, block, std::int64_t{1} << 32), -1);
  EXPECT_EQ(output.WriteSysEx(0, Block({0xF0, 0x01, 0x02}), 0), -9994);
  EXPECT_EQ(output.WriteSysEx(0, Block({0xF7, 0xF0, 0x01}), 1), -9994);
  EXPECT_EQ(output.WriteSysEx(0, host::MemoryBlock::Make(0), 0), -1);
  EXPECT_TRUE(Written(2).empty());
}

TEST_F(MidiOutputTest, NilBlockRaisesEvenWithoutAStream) {
  Stream closed;
  for (Stream* stream : {&output, &closed}) {
    EXPECT_EQ(stream->WriteSysEx(0, host::Ref<host::MemoryBlock>(), 0), 0);
    try {
      host::RaisePendingException();
      ADD_FAILURE() << "no exception was raised";
    } catch (const host::RaisedException& raised) {
      EXPECT_EQ(raised.ClassName(), "NilObjectException");
      EXPECT_EQ(raised.Exception()->message, "memoryblock is nil");
    }
  }
  Stream noStream;
  EXPECT_EQ(noStream.WriteSysEx(0, Block({0xF0, 0xF7}), 0), -1);
}

TEST_F(MidiOutputTest, WriteShortSendsTheNoteAndRecordsIt) {
  EXPECT_EQ(output.WriteShort(0, 0x403C90), 0);
  EXPECT_EQ(Written(2), ByteVector({0x90, 0x3C, 0x40}));
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C90}, std::int64_t{0}));
}

TEST_F(MidiOutputTest, WriteShortCutsMessageAndTimeTo32Bits) {
  EXPECT_EQ(output.WriteShort((std::int64_t{1} << 32) + 9, 0x1000403C90), 0);
  EXPECT_EQ(Written(2), ByteVector({0x90, 0x3C, 0x40}));
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C90}, std::int64_t{9}));
}

TEST_F(MidiOutputTest, ShortMessagesSendOnlyTheBytesTheirStatusCallsFor) {
  EXPECT_EQ(output.WriteShort(0, 0x7F7F05C3), 0);  // program change: two bytes
  EXPECT_EQ(output.WriteShort(0, 0x7F7F7FF8), 0);  // clock: one byte
  EXPECT_EQ(Written(2), ByteVector({0xC3, 0x05, 0xF8}));
}

TEST_F(MidiOutputTest, WritesOnAStreamThatIsNoOutputRecordNothing) {
  ASSERT_EQ(output.WriteShort(0, 0x403C90), 0);
  Stream input;
  ASSERT_EQ(input.OpenInput(0), 0);
  EXPECT_EQ(input.WriteShort(0, 0x7F3080), -9995);
  EXPECT_EQ(input.Write(Note(0x7F3080).Object()), -9995);
  Stream closed;
  EXPECT_EQ(closed.WriteShort(0, 0x7F3080), -1);
  EXPECT_EQ(closed.Write(Note(0x7F3080).Object()), -1);
  EXPECT_EQ(Recorded().first, 0x403C90);
}

TEST_F(MidiOutputTest, WriteNeedsAnEventEvenBeforeAStream) {
  Stream closed;
  EXPECT_EQ(closed.Write(ObjectRef()), -1);
  EXPECT_EQ(output.Write(ObjectRef()), -1);
}

TEST_F(MidiOutputTest, WriteSendsTheEventAndRecordsItWithItsTime) {
  EXPECT_EQ(output.Write(Note(0x403C80, 1234).Object()), 0);
  EXPECT_EQ(Written(2), ByteVector({0x80, 0x3C, 0x40}));
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C80}, std::int64_t{1234}));
}

TEST_F(MidiOutputTest, EventsWithoutAStatusByteAreRefusedAndNotRecorded) {
  ASSERT_EQ(output.WriteShort(0, 0x403C90), 0);
  EXPECT_EQ(output.WriteShort(0, 0x403C10), -9994);
  EXPECT_EQ(output.WriteShort(0, 0xF7), -9994);
  EXPECT_EQ(Recorded().first, 0x403C90);
  EXPECT_EQ(Written(2).size(), 3u);
}

TEST_F(MidiOutputTest, UnfinishedSysExEventKeepsNotesOutUntilItEnds) {
  const auto before = Recorded();
  EXPECT_EQ(output.Write(Note(0x030201F0).Object()), 0);
  // A clock byte inside the message is sent and not recorded.
  EXPECT_EQ(output.Write(Note(0xF8).Object()), 0);
  // A note inside it is refused, not recorded, and ends the message.
  EXPECT_EQ(output.Write(Note(0x403C90).Object()), -9994);
  EXPECT_EQ(Recorded(), before);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(2)->sysexInProgress);
  EXPECT_EQ(output.Write(Note(0x403C90).Object()), 0);
  EXPECT_EQ(Recorded().first, 0x403C90);
  // The clock goes out twice (as a message, then as the first of its event's bytes); the
  // System Exclusive bytes, held until an 0xF7 that never came, never leave.
  EXPECT_EQ(Written(2), ByteVector({0xF8, 0xF8, 0x90, 0x3C, 0x40}));
}

TEST_F(MidiOutputTest, RealTimeEventInsideSysExGoesOnAsItsData) {
  EXPECT_EQ(output.Write(Note(0x030201F0).Object()), 0);
  // The event's bytes after the clock are data, and its 0xF7 ends the message.
  EXPECT_EQ(output.Write(Note(0x0000F7F8).Object()), 0);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(2)->sysexInProgress);
  EXPECT_EQ(output.WriteShort(0, 0x213C91), 0);
  EXPECT_EQ(Recorded().first, 0x213C91);
  EXPECT_EQ(Written(2), ByteVector({0xF8, 0xF8, 0xF0, 0x01, 0x02, 0x03, 0xF7, 0x91, 0x3C, 0x21}));
}

TEST_F(MidiOutputTest, SysExEventsContinueUntilTheirF7) {
  EXPECT_EQ(output.Write(Note(0x030201F0).Object()), 0);
  EXPECT_EQ(output.Write(Note(0x0005F704).Object()), 0);
  EXPECT_EQ(output.WriteShort(0, 0x403C90), 0);
  EXPECT_EQ(Recorded().first, 0x403C90);
  EXPECT_EQ(Written(2), ByteVector({0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7, 0x90, 0x3C, 0x40}));
}

TEST_F(MidiOutputTest, SysExWhileAnotherIsInProgressIsRefused) {
  EXPECT_EQ(output.Write(Note(0x030201F0).Object()), 0);
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x05, 0xF7})), -9994);
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x05, 0xF7})), 0);
}

TEST_F(MidiOutputTest, SysExStringRecordsNothing) {
  const auto before = Recorded();
  // Inside the message every byte of an event goes out as data, status bytes too.
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x90, 0xF7})), 0);
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7})), 0);
  EXPECT_EQ(Recorded(), before);
}

TEST_F(MidiOutputTest, SysExBytesWithoutF0GoOutAsEventsOfFour) {
  // The first event is a note and is recorded; the second starts with a data byte.
  EXPECT_EQ(output.WriteSysEx(5, Bytes({0x90, 0x3C, 0x40, 0x00, 0x10, 0xF7})), -9994);
  EXPECT_EQ(Written(2), ByteVector({0x90, 0x3C, 0x40}));
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C90}, std::int64_t{5}));
}

TEST_F(MidiOutputTest, ShortMessageThatFailsToSendIsStillRecorded) {
  fake_portmidi::FailNextSend();
  EXPECT_EQ(output.WriteShort(0, 0x403C90), -10000);
  EXPECT_EQ(Recorded().first, 0x403C90);
  EXPECT_TRUE(output.HostError());
}

TEST_F(MidiOutputTest, SysExCutShortByAHostErrorStaysInProgress) {
  const auto before = Recorded();
  fake_portmidi::FailNextSend();
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x01, 0xF7})), -10000);
  ASSERT_TRUE(fake_portmidi::OpenStreamOn(2)->sysexInProgress);
  // PortMidi refuses the note inside the unfinished message, so it is not the last one sent.
  EXPECT_EQ(output.WriteShort(0, 0x403C90), -9994);
  EXPECT_EQ(Recorded(), before);
  // The back end keeps its error until a write flushes, failing short messages meanwhile;
  // this one was handed over all the same.
  EXPECT_EQ(output.WriteShort(0, 0x403C90), -10000);
  EXPECT_EQ(Recorded().first, 0x403C90);
}

TEST_F(MidiOutputTest, HostErrorOnAShortMessageLeavesNoSysExInProgress) {
  fake_portmidi::FailNextSend();
  EXPECT_EQ(output.WriteShort(0, 0x403C90), -10000);
  EXPECT_EQ(output.WriteShort(0, 0x403C80), -10000);
  EXPECT_EQ(Recorded().first, 0x403C80);
}

TEST_F(MidiOutputTest, HostErrorAfterTheF7LeavesNoSysExInProgress) {
  fake_portmidi::FailNextFlush();
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x01, 0xF7})), -10000);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(2)->sysexInProgress);
  EXPECT_EQ(output.WriteShort(0, 0x223C92), -10000);
  EXPECT_EQ(Recorded().first, 0x223C92);
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0x02, 0xF7})), 0);
  EXPECT_EQ(output.Write(Note(0x233C82).Object()), 0);
  EXPECT_EQ(Recorded().first, 0x233C82);
}

TEST_F(MidiOutputTest, HostErrorInsideASysExWriteRecordsOnlyWhatWasHandedOver) {
  // PortMidi hands over the first event alone and stops at the host error, before the second.
  const std::string notes = Bytes({0x90, 0x3C, 0x40, 0x00, 0x80, 0x3D, 0x41, 0x00, 0xF7});
  fake_portmidi::FailNextSend();
  EXPECT_EQ(output.WriteSysEx(3, notes), -10000);
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C90}, std::int64_t{3}));
  EXPECT_EQ(output.WriteSysEx(0, Bytes({0xF0, 0xF7})), 0);
  fake_portmidi::FailNextFlush();
  EXPECT_EQ(output.WriteSysEx(4, notes), -10000);
  EXPECT_EQ(Recorded(), std::make_pair(std::int64_t{0x403C90}, std::int64_t{4}));
  EXPECT_EQ(Written(2), ByteVector({0xF0, 0xF7, 0x90, 0x3C, 0x40}));
}

TEST_F(MidiOutputTest, TheRecordIsSharedByAllStreams) {
  Stream other;
  ASSERT_EQ(other.OpenOutput(3), 0);
  ASSERT_EQ(output.WriteShort(0, 0x403C90), 0);
  ASSERT_EQ(other.WriteShort(0, 0x003C80), 0);
  EXPECT_EQ(Recorded().first, 0x003C80);
  EXPECT_EQ(Written(3), ByteVector({0x80, 0x3C, 0x00}));
}

}  // namespace
}  // namespace midi_test
