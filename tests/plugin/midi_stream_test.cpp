// The stream class's life: opening, closing, properties and error reports.
#include "midi_harness.h"

namespace midi_test {
namespace {

class MidiStreamTest : public MidiTest {};

constexpr std::int64_t kTwoTo32 = std::int64_t{1} << 32;

TEST_F(MidiStreamTest, NewObjectHoldsNoStream) {
  Stream stream;
  EXPECT_EQ(stream.ChannelMask(), 0xFFFF);
  EXPECT_EQ(stream.Filters(), 0);
  EXPECT_EQ(stream.DeviceID(), -1);
  EXPECT_EQ(stream.DeviceName(), std::nullopt);
  EXPECT_EQ(stream.Abort(), -1);
  EXPECT_EQ(stream.HostError(), std::nullopt);
  stream.Close();
  EXPECT_EQ(fake_portmidi::CloseCount(), 0);
}

TEST_F(MidiStreamTest, OpenOutputHandsPortMidiItsArguments) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(3, 10000, 0), 0);
  const auto opened = fake_portmidi::OpenStreamOn(3);
  ASSERT_TRUE(opened);
  EXPECT_TRUE(opened->output);
  EXPECT_EQ(opened->bufferSize, 10000);
  EXPECT_EQ(opened->latency, 0);
  EXPECT_EQ(stream.DeviceID(), 3);
  EXPECT_EQ(stream.DeviceName(), "Interface B Out");
}

TEST_F(MidiStreamTest, OpenOutputRefusesDevicesThatAreNoOutputs) {
  Stream stream;
  for (std::int64_t device : {std::int64_t{0}, std::int64_t{4}, std::int64_t{-1}, kTwoTo32 - 1}) {
    EXPECT_EQ(stream.OpenOutput(device), -9999) << device;
    EXPECT_EQ(stream.DeviceID(), -1) << device;
  }
  EXPECT_EQ(fake_portmidi::OpenStreamCount(), 0);
}

TEST_F(MidiStreamTest, ArgumentsAreCutToTheirLow32Bits) {
  Stream input;
  ASSERT_EQ(input.OpenInput(kTwoTo32 + 1, kTwoTo32 + 5), 0);
  EXPECT_EQ(input.DeviceID(), 1);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(1)->queueCapacity, 5u);
  Stream output;
  ASSERT_EQ(output.OpenOutput(kTwoTo32 + 2, kTwoTo32 + 7, kTwoTo32 + 3), 0);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(2)->bufferSize, 7);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(2)->latency, 3);
}

TEST_F(MidiStreamTest, OpeningAgainClosesTheHeldStreamFirst) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  ASSERT_EQ(stream.OpenOutput(2), 0);
  EXPECT_EQ(fake_portmidi::CloseCount(), 1);
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(fake_portmidi::CloseCount(), 2);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(2));
  EXPECT_EQ(stream.DeviceID(), 0);
}

TEST_F(MidiStreamTest, FailedOpenLeavesNoStreamEvenWhenOneWasHeld) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  EXPECT_EQ(stream.OpenOutput(0), -9999);
  EXPECT_EQ(stream.DeviceID(), -1);
  EXPECT_EQ(fake_portmidi::OpenStreamCount(), 0);
  fake_portmidi::FailNextOpen(pmInsufficientMemory);
  EXPECT_EQ(stream.OpenInput(0), -9998);
  EXPECT_EQ(stream.DeviceID(), -1);
}

TEST_F(MidiStreamTest, OneDeviceOpensOnceUntilItsStreamIsClosedOrReleased) {
  Stream first;
  Stream second;
  ASSERT_EQ(first.OpenOutput(2), 0);
  EXPECT_EQ(second.OpenOutput(2), -9999);
  first.Close();
  EXPECT_EQ(second.OpenOutput(2), 0);
  EXPECT_EQ(first.OpenOutput(2), -9999);
  second.Release();
  EXPECT_EQ(first.OpenOutput(2), 0);
}

TEST_F(MidiStreamTest, CloseTwiceAndThenReleaseClosesThePortMidiStreamOnce) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  stream.Close();
  stream.Close();
  EXPECT_EQ(stream.DeviceID(), -1);
  EXPECT_EQ(stream.DeviceName(), std::nullopt);
  stream.Release();
  EXPECT_EQ(fake_portmidi::CloseCount(), 1);
}

TEST_F(MidiStreamTest, OpenInputWithNoBufferSizeQueues256Events) {
  for (std::int64_t size : {std::int64_t{0}, std::int64_t{-5}, kTwoTo32, -kTwoTo32 - 1}) {
    Stream stream;
    ASSERT_EQ(stream.OpenInput(1, size), 0);
    EXPECT_EQ(fake_portmidi::OpenStreamOn(1)->queueCapacity, 256u) << size;
  }
}

TEST_F(MidiStreamTest, OpenInputRefusesAQueueTooLargeToAllocate) {
  // Three 32-bit words an event: the largest queue whose byte count fits in 32 bits.
  constexpr std::int64_t kLargest = 357913941;
  Stream stream;
  ASSERT_EQ(stream.OpenInput(1, kLargest), 0);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(1)->queueCapacity, std::size_t{kLargest});
  for (std::int64_t size : {kLargest + 1, std::int64_t{2147483647}, kTwoTo32 + kLargest + 1}) {
    EXPECT_EQ(stream.OpenInput(1, size), -9998) << size;
    EXPECT_EQ(stream.DeviceID(), -1) << size;
    EXPECT_EQ(fake_portmidi::OpenStreamCount(), 0) << size;
  }
}

TEST_F(MidiStreamTest, NewInputDropsActiveSensingWhileFiltersStillReadZero) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(0)->filters, 0x4000);
  EXPECT_EQ(stream.Filters(), 0);
  EXPECT_EQ(stream.ChannelMask(), 0xFFFF);
}

TEST_F(MidiStreamTest, PropertiesKeepTheirValuesAcrossOpenAndClose) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  stream.SetFilter(0x100);
  stream.SetChannelMask(3);
  stream.Close();
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_EQ(stream.Filters(), 0x100);
  EXPECT_EQ(stream.ChannelMask(), 3);
  // The new stream starts from PortMidi's settings.
  EXPECT_EQ(fake_portmidi::OpenStreamOn(0)->filters, 0x4000);
  EXPECT_EQ(fake_portmidi::OpenStreamOn(0)->channelMask, 0xFFFF);
}

TEST_F(MidiStreamTest, AbortAnswersForOutputsOnlyAndKeepsTheStream) {
  Stream input;
  ASSERT_EQ(input.OpenInput(0), 0);
  EXPECT_EQ(input.Abort(), -9995);
  EXPECT_EQ(input.DeviceID(), 0);
  Stream output;
  ASSERT_EQ(output.OpenOutput(2), 0);
  EXPECT_EQ(output.Abort(), 0);
  EXPECT_EQ(fake_portmidi::AbortCount(), 1);
  EXPECT_EQ(output.WriteShort(0, 0x90), 0);
}

TEST_F(MidiStreamTest, HostErrorIsGivenOnceAndOnlyWithAStream) {
  Stream stream;
  fake_portmidi::SetHostError("the port went away");
  EXPECT_EQ(stream.HostError(), std::nullopt);
  ASSERT_EQ(stream.OpenOutput(2), 0);
  fake_portmidi::SetHostError("the port went away");
  EXPECT_EQ(stream.HostError(), "the port went away");
  EXPECT_EQ(stream.HostError(), std::nullopt);
}

TEST_F(MidiStreamTest, HostErrorOfAFailedWriteIsGivenUntilAWriteFlushes) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  fake_portmidi::FailNextSend("the port went away");
  EXPECT_EQ(stream.WriteShort(0, 0x403C90), -10000);
  // The stream's back end keeps reporting its error; PortMidi asks it for the stream given.
  EXPECT_EQ(stream.HostError(), "the port went away");
  EXPECT_EQ(stream.HostError(), "the port went away");
  EXPECT_EQ(stream.WriteSysEx(0, Bytes({0xF0, 0xF7})), 0);
  EXPECT_EQ(stream.HostError(), std::nullopt);
}

TEST_F(MidiStreamTest, HostErrorOfAFailedOpenStaysPendingInPortMidi) {
  Stream stream;
  fake_portmidi::FailNextOpen(pmHostError, "cannot connect");
  EXPECT_EQ(stream.OpenInput(0), -10000);
  EXPECT_EQ(stream.HostError(), std::nullopt);
  EXPECT_TRUE(fake_portmidi::HasPendingHostError());
}

TEST_F(MidiStreamTest, LongHostErrorTextsAreCutNotOverrun) {
  Stream stream;
  ASSERT_EQ(stream.OpenOutput(2), 0);
  fake_portmidi::SetHostError(std::string(600, 'x'));
  const auto text = stream.HostError();
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 257u);
}

TEST_F(MidiStreamTest, ErrorTextNeedsNoStreamAndCutsTo32Bits) {
  Stream stream;
  EXPECT_EQ(stream.ErrorText(0), std::nullopt);
  EXPECT_EQ(stream.ErrorText(1), std::nullopt);
  EXPECT_EQ(stream.ErrorText(-9996), "PortMidi: `Buffer overflow'");
  EXPECT_EQ(stream.ErrorText(kTwoTo32 - 9996), "PortMidi: `Buffer overflow'");
  for (std::int64_t illegal : {std::int64_t{7}, std::int64_t{-10001}, std::int64_t{-20000}}) {
    EXPECT_EQ(stream.ErrorText(illegal), "PortMidi: `Illegal error number'") << illegal;
  }
}

TEST_F(MidiStreamTest, CurrentTimeStampReadsPortTimeWithItsSign) {
  fake_portmidi::SetTime(-5);
  EXPECT_EQ(CurrentTimeStamp(), -5);
  fake_portmidi::SetTime(123456);
  EXPECT_EQ(CurrentTimeStamp(), 123456);
}

TEST_F(MidiStreamTest, ClockStartsWithLatentOutputsOnly) {
  Stream stream;
  ASSERT_EQ(stream.OpenInput(0), 0);
  EXPECT_FALSE(fake_portmidi::ClockStarted());
  ASSERT_EQ(stream.OpenOutput(2, 100, 0), 0);
  EXPECT_FALSE(fake_portmidi::ClockStarted());
  ASSERT_EQ(stream.OpenOutput(2, 100, 5), 0);
  EXPECT_TRUE(fake_portmidi::ClockStarted());
}

}  // namespace
}  // namespace midi_test
