// What comes back through a "Midi Through" loop, written and read with the plugin's members:
// the same cases run on the PortMidi double and on PortMidi 217 over ALSA, so a case that
// passes on one and fails on the other shows where the double has drifted from the real
// library. Over the real library the cases skip where there is no ALSA sequencer or no
// Midi Through port.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "midi_harness.h"
#include "midi_loop.h"

namespace midi_contract {
namespace {

using Clock = std::chrono::steady_clock;
using midi_test::Event;
using midi_test::ObjectRef;
using midi_test::Stream;

// Ends what a case sends: once it is read back, everything sent before it has been taken.
// A song select passes every filter and channel mask below but bit 31 of the filter.
constexpr std::int64_t kSongSelect = 0x7FF3;
constexpr std::int64_t kControlChange = 0x7F7FB0;

constexpr std::int64_t kFilterSysEx = 0x1;
constexpr std::int64_t kFilterMTC = 0x2;
constexpr std::int64_t kFilterSystemCommon = 0x4E;
constexpr std::int64_t kFilterRealTime = 0xFF01;
constexpr std::int64_t kFilterNote = 0x3000000;
constexpr std::int64_t kFilterShortSystemMessages = 0x80000000;

constexpr std::int64_t kNoteOn = 0x403C90;
constexpr std::int64_t kBufferOverflow = -9996;

struct Received {
  std::int64_t message = 0;
  std::int64_t when = 0;
};

// Messages in hex, so that a difference reads as bytes.
std::string Hex(const std::vector<std::int64_t>& messages) {
  std::ostringstream text;
  text << std::hex << std::uppercase;
  for (std::int64_t message : messages) {
    text << message << ' ';
  }
  return text.str();
}

std::vector<std::int64_t> Messages(const std::vector<Received>& received) {
  std::vector<std::int64_t> messages;
  for (const Received& event : received) {
    messages.push_back(event.message);
  }
  return messages;
}

std::int64_t CurrentMessage() {
  return Event(midi_test::CurrentEvent()).Get("RawMessage");
}

ObjectRef EventOf(std::int64_t message) {
  Event event;
  event.Set("RawMessage", message);
  return event.Object();
}

class MidiContractTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string unavailable = TheLoop().Start();
    if (!unavailable.empty()) {
      GTEST_SKIP() << unavailable;
    }
  }

  // Opens the input first, so that nothing written is sent before it listens.
  void Open(std::int64_t inputBufferSize = 100) {
    input_ = Stream();
    output_ = Stream();
    ASSERT_EQ(input_.OpenInput(TheLoop().Input(), inputBufferSize), 0);
    ASSERT_EQ(output_.OpenOutput(TheLoop().Output()), 0);
  }

  // Writes a short message, which CurrentEvent then holds.
  void WriteShort(std::int64_t message) {
    EXPECT_EQ(output_.WriteShort(0, message), 0) << std::hex << message;
    EXPECT_EQ(CurrentMessage(), message) << std::hex << message;
  }

  // Writes an event of a System Exclusive message, which CurrentEvent doesn't take.
  void WriteInsideSysEx(std::int64_t message) {
    const std::int64_t recorded = CurrentMessage();
    EXPECT_EQ(output_.Write(EventOf(message)), 0) << std::hex << message;
    EXPECT_EQ(CurrentMessage(), recorded) << std::hex << message;
  }

  // Reads until the marker comes back; what came before it.
  std::vector<Received> ReadUntil(std::int64_t marker) {
    TheLoop().Carry();
    std::vector<Received> received;
    const Clock::time_point since = Clock::now();
    for (;;) {
      ObjectRef data;
      const std::int64_t result = input_.Read(data);
      if (result == 1 && data) {
        Event event(data);
        if (event.Get("RawMessage") == marker) {
          return received;
        }
        received.push_back({event.Get("RawMessage"), event.Get("When")});
      } else if (result != 0) {
        ADD_FAILURE() << "Read gave " << result << " after " << Hex(Messages(received));
        return received;
      } else if (!TheLoop().AwaitMore(since)) {
        ADD_FAILURE() << "the marker never came back; before it came " << Hex(Messages(received));
        return received;
      }
    }
  }

  // Reads one event; its message, or the result when Read gave none.
  std::int64_t ReadOne() {
    ObjectRef data;
    const std::int64_t result = input_.Read(data);
    return result == 1 && data ? Event(data).Get("RawMessage") : result;
  }

  // Made once the loop has loaded the plugin.
  Stream input_{ObjectRef()};
  Stream output_{ObjectRef()};
};

// What one write hands the output: a short message, or System Exclusive bytes.
struct Send {
  std::int64_t message = 0;
  std::string sysex;
};

Send Short(std::int64_t message) {
  return {message, {}};
}

Send SysEx(std::initializer_list<int> bytes) {
  return {0, midi_test::Bytes(bytes)};
}

struct LoopCase {
  const char* name = "";
  std::optional<std::int64_t> filters = {};  // given to the input; none keeps the new stream's
  std::optional<std::int64_t> channelMask = {};
  std::vector<Send> sent = {};
  std::vector<std::int64_t> readBack = {};  // what Read gives, in order, before the marker
  std::int64_t marker = kSongSelect;
};

void PrintTo(const LoopCase& loopCase, std::ostream* out) {
  *out << loopCase.name;
}

class MidiContractFilterTest : public MidiContractTest,
                               public ::testing::WithParamInterface<LoopCase> {};

TEST_P(MidiContractFilterTest, ReadGivesWhatTheMasksKeep) {
  const LoopCase& loopCase = GetParam();
  ASSERT_NO_FATAL_FAILURE(Open());
  if (loopCase.filters) {
    input_.SetFilter(*loopCase.filters);
  }
  if (loopCase.channelMask) {
    input_.SetChannelMask(*loopCase.channelMask);
  }
  for (const Send& send : loopCase.sent) {
    if (send.sysex.empty()) {
      WriteShort(send.message);
    } else {
      const std::int64_t recorded = CurrentMessage();
      EXPECT_EQ(output_.WriteSysEx(0, send.sysex), 0);
      EXPECT_EQ(CurrentMessage(), recorded) << "a System Exclusive message was recorded";
    }
  }
  WriteShort(loopCase.marker);
  EXPECT_EQ(Hex(Messages(ReadUntil(loopCase.marker))), Hex(loopCase.readBack));
}

INSTANTIATE_TEST_SUITE_P(
    Loop, MidiContractFilterTest,
    ::testing::Values(
        LoopCase{.name = "NewInputDropsActiveSensing",
                 .sent = {Short(0xFE), Short(kNoteOn)},
                 .readBack = {kNoteOn}},
        LoopCase{.name = "FilterZeroLetsActiveSensingThrough",
                 .filters = 0,
                 .sent = {Short(0xFE)},
                 .readBack = {0xFE}},
        LoopCase{.name = "FilterNoteDropsNoteOnAndNoteOffOnly",
                 .filters = kFilterNote,
                 .sent = {Short(kNoteOn), Short(0x403C80), Short(0x0107B0), Short(0xFE)},
                 .readBack = {0x0107B0, 0xFE}},
        // The low filter bits are tested for real-time statuses only.
        LoopCase{.name = "FilterMTCKeepsTimeCode",
                 .filters = kFilterMTC,
                 .sent = {Short(0x05F1), Short(0xF8)},
                 .readBack = {0x05F1, 0xF8}},
        LoopCase{.name = "FilterSystemCommonDropsNothing",
                 .filters = kFilterSystemCommon,
                 .sent = {Short(0x05F1), Short(0x0102F2), Short(0x03F3), Short(0xF6)},
                 .readBack = {0x05F1, 0x0102F2, 0x03F3, 0xF6}},
        LoopCase{.name = "FilterRealTimeDropsRealTimeMessagesOnly",
                 .filters = kFilterRealTime,
                 .sent = {Short(0xF8), Short(0xFA), Short(0xFB), Short(0xFC), Short(0xFE),
                          Short(0xFF), Short(0x05F1), Short(kNoteOn)},
                 .readBack = {0x05F1, kNoteOn}},
        LoopCase{.name = "FilterBit31DropsEveryShortSystemMessage",
                 .filters = kFilterShortSystemMessages,
                 .sent = {Short(0x05F1), Short(0xF8), Short(0xFE), Short(kNoteOn)},
                 .readBack = {kNoteOn},
                 .marker = kControlChange},
        // A filtered 0xF0 is taken as a message of its own; the rest of the bytes are dropped.
        LoopCase{.name = "FilterSysExLeavesTheF0",
                 .filters = kFilterSysEx,
                 .sent = {SysEx({0xF0, 0x01, 0x02, 0xF7})},
                 .readBack = {0xF0}},
        LoopCase{.name = "SysExComesBackFourBytesToAnEvent",
                 .sent = {SysEx({0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7})},
                 .readBack = {0x030201F0, 0xF70504}},
        LoopCase{.name = "ChannelMaskOnePassesChannelZeroAndSystemMessages",
                 .channelMask = 1,
                 .sent = {Short(kNoteOn), Short(0x403C91), Short(0x0102B5), Short(0x0102B0),
                          Short(0x05C0), Short(0x05C3), Short(0xF8)},
                 .readBack = {kNoteOn, 0x0102B0, 0x05C0, 0xF8}},
        LoopCase{.name = "ChannelMaskIsCutTo32Bits",
                 .channelMask = (std::int64_t{1} << 32) | 2,
                 .sent = {Short(kNoteOn), Short(0x403C91)},
                 .readBack = {0x403C91}}),
    [](const ::testing::TestParamInfo<LoopCase>& info) { return info.param.name; });

// On ALSA, PortMidi takes what the sequencer holds only when an input is polled or read, and
// judges it by the masks of that moment.
TEST_F(MidiContractTest, FiltersJudgeAMessageWhenPortMidiTakesIt) {
  ASSERT_NO_FATAL_FAILURE(Open());
  WriteShort(0xFE);
  WriteShort(kNoteOn);
  TheLoop().Carry();
  input_.SetFilter(kFilterNote);
  WriteShort(kSongSelect);
  EXPECT_EQ(Hex(Messages(ReadUntil(kSongSelect))), Hex(std::vector<std::int64_t>{0xFE}));
}

TEST_F(MidiContractTest, OverflowIsReportedOnceAfterTheEventsBeforeIt) {
  ASSERT_NO_FATAL_FAILURE(Open(2));
  WriteShort(kNoteOn);
  WriteShort(kNoteOn + 0x101);
  WriteShort(kNoteOn + 0x202);
  TheLoop().Carry();
  std::int64_t polled = 0;
  const Clock::time_point since = Clock::now();
  while ((polled = input_.Poll()) == 0 && TheLoop().AwaitMore(since)) {
  }
  ASSERT_EQ(polled, 1);
  EXPECT_EQ(ReadOne(), kNoteOn);
  EXPECT_EQ(input_.Poll(), 1);
  EXPECT_EQ(ReadOne(), kNoteOn + 0x101);
  EXPECT_EQ(input_.Poll(), 0);
  EXPECT_EQ(ReadOne(), kBufferOverflow);
  EXPECT_EQ(ReadOne(), 0);
  WriteShort(kNoteOn + 0x303);
  WriteShort(kSongSelect);
  EXPECT_EQ(Hex(Messages(ReadUntil(kSongSelect))), Hex(std::vector<std::int64_t>{kNoteOn + 0x303}));
}

// PortMidi sends a real-time event inside a System Exclusive message at once, then writes
// the event's four bytes as data; ALSA sends real-time bytes on at once, so both arrive
// before the System Exclusive message. None of its events is recorded as a short message.
TEST_F(MidiContractTest, RealTimeEventInsideSysExIsSentAndThenWrittenAsData) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (std::int64_t event : {0x030201F0, 0xF8, 0x00F70504}) {
    WriteInsideSysEx(event);
  }
  WriteShort(kSongSelect);
  EXPECT_EQ(Hex(Messages(ReadUntil(kSongSelect))),
            Hex(std::vector<std::int64_t>{0xF8, 0xF8, 0x030201F0, 0x04000000, 0xF705}));
}

TEST_F(MidiContractTest, AnF7AmongTheBytesOfARealTimeEventEndsTheSysEx) {
  ASSERT_NO_FATAL_FAILURE(Open());
  WriteInsideSysEx(0x030201F0);
  WriteInsideSysEx(0x00F700F8);
  // No System Exclusive message is in progress any more: a note is a short message again.
  WriteShort(kNoteOn);
  WriteShort(kSongSelect);
  EXPECT_EQ(Hex(Messages(ReadUntil(kSongSelect))),
            Hex(std::vector<std::int64_t>{0xF8, 0xF8, 0x030201F0, 0xF700, kNoteOn}));
}

// With no time procedure PortMidi on ALSA stamps received messages with the sequencer
// queue's time, which starts when the input opens, not with PortTime's clock.
TEST_F(MidiContractTest, ReceivedMessagesAreStampedFromTheOpeningOfTheInput) {
  const Clock::time_point beforeOpening = Clock::now();
  ASSERT_NO_FATAL_FAILURE(Open());
  WriteShort(kNoteOn);
  WriteShort(kSongSelect);
  const std::vector<Received> received = ReadUntil(kSongSelect);
  const auto sinceOpening =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - beforeOpening);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_GE(received[0].when, 0);
  // The queue's millisecond ticks may round up; a second of slack keeps that from mattering.
  EXPECT_LE(received[0].when, sinceOpening.count() + 1000);
}

}  // namespace
}  // namespace midi_contract
