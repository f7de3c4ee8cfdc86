// The transfer end to end: the real program over the PortMidi double, its buttons clicked,
// its dialogs answered by a script, and the bytes checked where they arrive.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Module1.h"
#include "fake_portmidi.h"
#include "host/events.h"
#include "program_harness.h"

namespace {

using namespace std::chrono_literals;
using testfiles::Bytes;

// A period no test waits for, so that only the test's own calls tick.
constexpr std::int64_t kNoRealTicks = 3600000;
constexpr const char* kSuccess = "The firmware has been successfully sent.";

class FirmwareTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each test starts idle, with a timer that ticks only when the test says so.
    if (window.Timer1()->Enabled()) {
      window.Timer1()->SetEnabled(false);
      window.MidiOutCnt = 0;
    }
    window.Timer1()->SetPeriod(kNoRealTicks);
    program.Modal().messages.clear();
    program.Modal().onMessage = nullptr;
  }

  void Tick() { window.Timer1_Action(*window.Timer1()); }

  // Ticks by hand until the transfer stops; answers the number of ticks.
  int TickUntilIdle() {
    int ticks = 0;
    while (window.Timer1()->Enabled() && ticks < 200000) {
      Tick();
      ++ticks;
    }
    return ticks;
  }

  Bytes SentSince(std::size_t before) const {
    const Bytes all = program.Written();
    return Bytes(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  }

  static Bytes Joined(const std::vector<Bytes>& messages, std::size_t count) {
    Bytes joined;
    for (std::size_t i = 0; i < count; ++i) {
      joined.insert(joined.end(), messages[i].begin(), messages[i].end());
    }
    return joined;
  }

  void ExpectIdle() {
    EXPECT_FALSE(window.Timer1()->Enabled());
    EXPECT_EQ(window.MidiOutCnt, 0);
    EXPECT_TRUE(window.PushButton3()->Enabled());
    EXPECT_FALSE(window.PushButton4()->Enabled());
    EXPECT_EQ(window.ProgressBar1()->Value(), 0);
    EXPECT_FALSE(window.Label16()->Visible());
    EXPECT_EQ(Module1::Cancel, 0);
    // The ended transfer let go of its stream, so the output is free again.
    EXPECT_FALSE(Module1::MIDIOutput);
    EXPECT_FALSE(fake_portmidi::OpenStreamOn(harness::kSecondOutput).has_value());
  }

  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
};

TEST_F(FirmwareTransfer, ThousandMessagesReachTheDeviceInOrderOnceAndAgain) {
  const Bytes file = testfiles::Firmware(1000, /*junkAfterEnd=*/3000);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  ASSERT_EQ(messages.size(), 1000u);
  program.LoadFirmware(file);
  ASSERT_TRUE(window.PushButton3()->Enabled()) << "OPEN did not load the file";
  // The real timer, made fast: ticks still come one at a time from the event loop.
  window.Timer1()->SetPeriod(1);

  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    program.Modal().messages.clear();
    const std::size_t before = program.Written().size();

    program.Update();
    ASSERT_TRUE(program.RunUntil([&] { return !window.Timer1()->Enabled(); }, 60s));

    EXPECT_TRUE(SentSince(before) == Joined(messages, messages.size()));
    EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
    ExpectIdle();
  }
}

// A lone 0xF7 after another is an empty message: its tick counts it and writes nothing, as
// MIDI can't carry it, and every real message goes out once.
TEST_F(FirmwareTransfer, AnEmptyMessageIsCountedButNothingIsWrittenForIt) {
  Bytes file = {0xF7};
  const Bytes middle = testfiles::Message(1, 30);
  file.insert(file.end(), middle.begin(), middle.end());
  file.push_back(0xF7);
  const Bytes end = testfiles::EndMessage(20);
  file.insert(file.end(), end.begin(), end.end());
  program.LoadFirmware(file);
  ASSERT_EQ(Module1::FirmwareLine, 3);
  const std::size_t writesBefore = fake_portmidi::Writes(harness::kSecondOutput).size();
  const std::size_t before = program.Written().size();

  program.Update();
  EXPECT_EQ(TickUntilIdle(), 5);

  Bytes real = middle;
  real.insert(real.end(), end.begin(), end.end());
  EXPECT_TRUE(SentSince(before) == real);
  EXPECT_EQ(fake_portmidi::Writes(harness::kSecondOutput).size() - writesBefore, 2u);
  EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
}

TEST_F(FirmwareTransfer, ProgressFollowsTheWorkedValues) {
  const struct {
    std::size_t messages;
    std::vector<double> bar;
  } cases[] = {
      {1, {0}},
      {2, {0, 101}},
      {3, {0, 50, 101}},
      {5, {0, 25, 50, 75, 101}},
      {7, {0, 16, 33, 50, 67, 84, 101}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.messages) + " messages");
    program.LoadFirmware(testfiles::Firmware(c.messages, 0));
    ASSERT_EQ(Module1::FirmwareLine, static_cast<std::int64_t>(c.messages) - 1);
    const int closesBefore = fake_portmidi::CloseCount();
    program.Update();
    EXPECT_TRUE(window.Label16()->Visible());

    std::vector<double> bar;
    std::vector<std::string> label;
    int ticks = 0;
    while (window.Timer1()->Enabled() && ticks <= static_cast<int>(c.messages)) {
      Tick();
      ++ticks;
      if (window.Timer1()->Enabled()) {
        bar.push_back(window.ProgressBar1()->Value());
        label.push_back(window.Label16()->Text());
      }
    }

    EXPECT_EQ(bar, c.bar);
    std::vector<std::string> expectedLabel;
    for (const double value : c.bar) {
      expectedLabel.push_back(std::to_string(std::min(static_cast<int>(value), 100)) + " %");
    }
    EXPECT_EQ(label, expectedLabel);
    EXPECT_EQ(ticks, static_cast<int>(c.messages) + 1);
    // One opening a tick, each closed again: by the next tick, the last by the end.
    EXPECT_EQ(fake_portmidi::CloseCount() - closesBefore, static_cast<int>(c.messages) + 1);
    ExpectIdle();
  }
}

TEST_F(FirmwareTransfer, RealTimerSendsAMessageEveryPeriod) {
  const Bytes file = testfiles::Firmware(5, 0);
  program.LoadFirmware(file);
  window.Timer1()->SetPeriod(76);
  const std::size_t before = program.Written().size();
  const auto start = std::chrono::steady_clock::now();

  program.Update();
  ASSERT_TRUE(program.RunUntil([&] { return !window.Timer1()->Enabled(); }, 10s));

  // Six ticks of 76 ms; generous bounds for a loaded machine.
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 6 * 76ms - 20ms);
  EXPECT_LT(took, 5s);
  EXPECT_TRUE(SentSince(before) == file);
  EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
}

// A hold-up of the program (a busy desktop, a swap storm, a MIDI stack that blocks) must not
// bunch the messages after it: wherever it falls, the next message comes at least a period
// less the timer's 2 ms tolerance after the late one, and none is made up. Each hold-up lasts
// until shortly before a tick of the old rhythm was due, where catching up would put two
// messages closest together: one after the tick's write, one inside the write itself.
TEST_F(FirmwareTransfer, HoldUpsInsideATickLeaveAFullPeriodBetweenMessages) {
  constexpr auto kPeriod = 76ms;
  constexpr auto kHoldUp = kPeriod * 38 / 10;
  constexpr std::size_t kStalledAfterWrite = 3;
  constexpr std::size_t kHeldInWrite = 6;
  const Bytes file = testfiles::Firmware(9, 0);
  program.LoadFirmware(file);
  window.Timer1()->SetPeriod(kPeriod.count());
  std::size_t ticks = 0;
  window.Timer1()->SetEventHandler(host::Timer::kActionEvent, [&](host::Object& timer) {
    if (++ticks == kHeldInWrite) {
      fake_portmidi::HoldNextSend(std::chrono::duration_cast<std::chrono::milliseconds>(kHoldUp));
    }
    window.Timer1_Action(static_cast<host::Timer&>(timer));
    if (ticks == kStalledAfterWrite) {
      std::this_thread::sleep_for(kHoldUp);
    }
  });
  const std::size_t writesBefore = fake_portmidi::Writes(harness::kSecondOutput).size();
  const std::size_t before = program.Written().size();

  program.Update();
  const bool ended = program.RunUntil([&] { return !window.Timer1()->Enabled(); }, 20s);
  window.Timer1()->SetEventHandler(host::Timer::kActionEvent,
                                   host::RuntimeCreateDelegate(window, &Window1::Timer1_Action));
  ASSERT_TRUE(ended);

  EXPECT_TRUE(SentSince(before) == file);
  EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
  const auto all = fake_portmidi::Writes(harness::kSecondOutput);
  const std::vector<fake_portmidi::Write> writes(
      all.begin() + static_cast<std::ptrdiff_t>(writesBefore), all.end());
  ASSERT_EQ(writes.size(), 9u);
  // Catching up gives gaps of a fraction of a millisecond.
  auto gapMs = [&](std::size_t k) {
    return std::chrono::duration<double, std::milli>(writes[k].at - writes[k - 1].at).count();
  };
  for (std::size_t k = 1; k < writes.size(); ++k) {
    EXPECT_GE(gapMs(k), 74.0) << "before message " << k + 1;
  }
  EXPECT_GE(gapMs(kStalledAfterWrite), 3 * 76.0) << "the stall after a write did not happen";
  EXPECT_GE(gapMs(kHeldInWrite - 1), 3 * 76.0) << "the hold-up inside a write did not happen";
}

TEST_F(FirmwareTransfer, CancelMidwayStopsAtTheNextTickWithoutSuccess) {
  const Bytes file = testfiles::Firmware(10, 0);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  program.LoadFirmware(file);
  const std::size_t before = program.Written().size();
  program.Update();
  Tick();
  Tick();
  Tick();

  program.CancelTransfer();
  program.CancelTransfer();
  EXPECT_TRUE(window.Timer1()->Enabled()) << "CANCEL waits for the next tick";
  Tick();

  EXPECT_TRUE(SentSince(before) == Joined(messages, 3));
  EXPECT_TRUE(program.Modal().messages.empty());
  ExpectIdle();

  // UPDATE starts again from the first message.
  const std::size_t again = program.Written().size();
  program.Update();
  TickUntilIdle();
  EXPECT_TRUE(SentSince(again) == file);
}

TEST_F(FirmwareTransfer, CancelAfterTheLastMessageEndsWithoutTheSuccessBox) {
  program.LoadFirmware(testfiles::Firmware(2, 0));
  program.Update();
  Tick();
  Tick();
  program.CancelTransfer();
  Tick();
  EXPECT_TRUE(program.Modal().messages.empty());
  ExpectIdle();
}

TEST_F(FirmwareTransfer, FailedWriteStopsTheTransferAndSaysSo) {
  const Bytes file = testfiles::Firmware(6, 0);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  program.LoadFirmware(file);
  const std::size_t before = program.Written().size();
  program.Update();
  Tick();
  Tick();
  // The message box comes while the transfer is stopping: the bar still shows its place.
  double barDuringBox = -1;
  program.Modal().onMessage = [&](const std::string&) {
    barDuringBox = window.ProgressBar1()->Value();
  };

  fake_portmidi::FailNextSend();
  Tick();

  EXPECT_TRUE(SentSince(before) == Joined(messages, 2));
  ASSERT_EQ(program.Modal().messages.size(), 1u);
  const std::string& box = program.Modal().messages[0];
  EXPECT_NE(box.find("WriteSysEx returns -10000"), std::string::npos) << box;
  EXPECT_NE(box.find("message 3 of 6"), std::string::npos) << box;
  EXPECT_EQ(barDuringBox, 2 * 101 / 5);
  ExpectIdle();
}

TEST_F(FirmwareTransfer, FailedOpeningStopsTheTransferAndSaysSo) {
  const Bytes file = testfiles::Firmware(6, 0);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  program.LoadFirmware(file);
  const std::size_t before = program.Written().size();
  program.Update();
  Tick();

  fake_portmidi::FailNextOpen(pmInsufficientMemory);
  Tick();

  EXPECT_TRUE(SentSince(before) == Joined(messages, 1));
  ASSERT_EQ(program.Modal().messages.size(), 1u);
  EXPECT_NE(program.Modal().messages[0].find("OpenOutput returns " +
                                             std::to_string(pmInsufficientMemory)),
            std::string::npos)
      << program.Modal().messages[0];
  ExpectIdle();
}

TEST_F(FirmwareTransfer, OpenAndUpdateWorkAgainRightAfterATransfer) {
  program.LoadFirmware(testfiles::Firmware(2, 0));
  program.Update();
  TickUntilIdle();
  program.Modal().messages.clear();

  // The same device, loaded and tested again without a restart.
  const Bytes file = testfiles::Firmware(3, 0);
  program.LoadFirmware(file);
  EXPECT_TRUE(program.Modal().messages.empty()) << program.Modal().messages[0];
  EXPECT_EQ(window.PushButton2()->Caption(), "LOADED");
  const std::size_t before = program.Written().size();
  program.Update();
  TickUntilIdle();
  EXPECT_TRUE(SentSince(before) == file);
}

// A firmware split between two devices reaches neither whole.
TEST_F(FirmwareTransfer, ANewOutputChosenDuringATransferEndsItBeforeTheNewOneGetsAByte) {
  constexpr PmDeviceID kFirstOutput = 2;
  const Bytes file = testfiles::Firmware(4, 0);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  program.LoadFirmware(file);
  const std::size_t firstBefore = fake_portmidi::Written(kFirstOutput).size();
  const std::size_t secondBefore = program.Written().size();
  program.Update();
  Tick();

  // SEARCH stays enabled, and the same output chosen again changes nothing.
  program.Search();
  EXPECT_TRUE(window.PushButton1()->Enabled());
  EXPECT_TRUE(window.Timer1()->Enabled());
  EXPECT_TRUE(window.PushButton4()->Enabled());
  EXPECT_FALSE(window.PushButton3()->Enabled());
  program.Pick(window.ChooseMidiOut_PopMenu(), 1);
  Tick();
  EXPECT_TRUE(SentSince(secondBefore) == Joined(messages, 2));

  program.Search();
  program.Pick(window.ChooseMidiOut_PopMenu(), 0);
  Tick();

  EXPECT_TRUE(SentSince(secondBefore) == Joined(messages, 2));
  EXPECT_EQ(fake_portmidi::Written(kFirstOutput).size(), firstBefore);
  ASSERT_EQ(program.Modal().messages.size(), 1u);
  const std::string& box = program.Modal().messages[0];
  EXPECT_NE(box.find("output was changed"), std::string::npos) << box;
  EXPECT_NE(box.find("2 of 4 messages went to the output chosen before"), std::string::npos) << box;
  EXPECT_NE(box.find("nothing was sent to the new one"), std::string::npos) << box;
  ExpectIdle();

  // The firmware stays loaded: UPDATE sends it whole to the output chosen now.
  program.Modal().messages.clear();
  program.Update();
  TickUntilIdle();
  const Bytes first = fake_portmidi::Written(kFirstOutput);
  EXPECT_TRUE(Bytes(first.begin() + static_cast<std::ptrdiff_t>(firstBefore), first.end()) == file);
  EXPECT_EQ(program.Modal().messages, std::vector<std::string>{kSuccess});
}

}  // namespace
