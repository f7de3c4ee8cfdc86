// OPEN end to end: the guard, the dialog, the split into the store, the refused files and the
// test opening of the chosen output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Module1.h"
#include "fake_portmidi.h"
#include "program_harness.h"

namespace {

using testfiles::Bytes;

class FirmwareLoading : public ::testing::Test {
 protected:
  void SetUp() override {
    program.Modal().messages.clear();
    program.Modal().dialogTypes.clear();
    program.Modal().filesToChoose.clear();
  }

  // SEARCH and output row 1: OPEN enabled, reading "OPEN".
  void ChooseOutput() {
    program.Search();
    program.Pick(window.ChooseMidiOut_PopMenu(), 1);
  }

  Bytes StoredMessage(std::int64_t row) const {
    const auto stored = Module1::FirmwareBuffer->Row(row);
    return Bytes(stored.begin(), stored.begin() + Module1::FirmwareRow->Get(row) + 1);
  }

  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
};

TEST_F(FirmwareLoading, WithoutAnOutputChosenOpenAsksForOne) {
  program.Search();
  // The button is enabled only by a choice; the handler guards on its own all the same.
  window.PushButton2_Action(*window.PushButton2());
  EXPECT_EQ(program.Modal().messages, std::vector<std::string>{"Select MIDI IN and OUT !!!"});
  EXPECT_TRUE(program.Modal().dialogTypes.empty());
}

TEST_F(FirmwareLoading, CancelledDialogChangesNothing) {
  program.LoadFirmware(testfiles::Firmware(3, 0));
  ChooseOutput();
  program.Modal().dialogTypes.clear();
  const std::int64_t lineBefore = Module1::FirmwareLine;

  window.PushButton2_Action(*window.PushButton2());  // no file queued: the dialog is cancelled

  ASSERT_EQ(program.Modal().dialogTypes.size(), 1u);
  ASSERT_EQ(program.Modal().dialogTypes[0].size(), 1u);
  EXPECT_EQ(program.Modal().dialogTypes[0][0].name, "Syx File (*.syx)");
  EXPECT_TRUE(program.Modal().messages.empty());
  EXPECT_EQ(Module1::FirmwareLine, lineBefore);
  EXPECT_TRUE(window.PushButton2()->Enabled());
  EXPECT_FALSE(window.PushButton3()->Enabled());
}

TEST_F(FirmwareLoading, LoadedFileFillsTheStoreAndEnablesUpdate) {
  const Bytes file = testfiles::Firmware(40, /*junkAfterEnd=*/500);
  const std::vector<Bytes> messages = testfiles::MessagesOf(file);
  const int closesBefore = fake_portmidi::CloseCount();

  program.LoadFirmware(file);

  EXPECT_TRUE(program.Modal().messages.empty());
  EXPECT_EQ(Module1::FirmwareLine, 39);
  for (std::size_t i = 0; i < messages.size(); ++i) {
    EXPECT_EQ(StoredMessage(static_cast<std::int64_t>(i)), messages[i]) << "message " << i;
  }
  EXPECT_FALSE(window.PushButton2()->Enabled());
  EXPECT_EQ(window.PushButton2()->Caption(), "LOADED");
  EXPECT_TRUE(window.PushButton3()->Enabled());
  // The test opening was closed again when OPEN returned, and nothing was sent.
  EXPECT_EQ(fake_portmidi::CloseCount() - closesBefore, 1);
  EXPECT_FALSE(fake_portmidi::OpenStreamOn(harness::kSecondOutput).has_value());
}

TEST_F(FirmwareLoading, RefusedFilesLeaveStoreAndControlsAsTheyWere) {
  program.LoadFirmware(testfiles::Firmware(5, 0));
  ASSERT_EQ(Module1::FirmwareLine, 4);
  const Bytes message0 = StoredMessage(0);

  Bytes tooLong = testfiles::Message(1, 20);
  tooLong.insert(tooLong.end(), 200, 0x10);
  Bytes tooMany = testfiles::FullStore();
  tooMany.push_back(0x01);
  const struct {
    const char* name;
    Bytes file;
    const char* reason;
  } cases[] = {
      {"empty", {}, "no complete firmware message"},
      {"no 0xF7", Bytes(100, 0x20), "no complete firmware message"},
      {"200 bytes without 0xF7", tooLong, "without an end byte F7"},
      {"more than 100001 messages", tooMany, "more than 100001 firmware messages"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChooseOutput();
    program.Modal().messages.clear();
    const int closesBefore = fake_portmidi::CloseCount();

    program.Open(harness::TemporaryFile(c.file, "refused.syx"));

    ASSERT_EQ(program.Modal().messages.size(), 1u);
    EXPECT_NE(program.Modal().messages[0].find(c.reason), std::string::npos)
        << program.Modal().messages[0];
    EXPECT_NE(program.Modal().messages[0].find("kept"), std::string::npos);
    EXPECT_EQ(Module1::FirmwareLine, 4);
    EXPECT_EQ(StoredMessage(0), message0);
    EXPECT_TRUE(window.PushButton2()->Enabled());
    EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
    EXPECT_FALSE(window.PushButton3()->Enabled());
    EXPECT_EQ(fake_portmidi::CloseCount(), closesBefore) << "no test opening for a refused file";
  }
}

TEST_F(FirmwareLoading, UnreadableFileIsRefusedAndSaysWhy) {
  program.LoadFirmware(testfiles::Firmware(5, 0));
  ChooseOutput();
  program.Modal().messages.clear();

  // A folder exists but cannot be read as a file.
  program.Open(::testing::TempDir());

  ASSERT_EQ(program.Modal().messages.size(), 1u);
  EXPECT_NE(program.Modal().messages[0].find("could not be read"), std::string::npos)
      << program.Modal().messages[0];
  EXPECT_EQ(Module1::FirmwareLine, 4);
  EXPECT_FALSE(window.PushButton3()->Enabled());
}

TEST_F(FirmwareLoading, FailedTestOpeningShowsItsResultAndKeepsTheNewFile) {
  ChooseOutput();
  fake_portmidi::FailNextOpen(pmInsufficientMemory);

  program.Open(harness::TemporaryFile(testfiles::Firmware(7, 0), "firmware.syx"));

  EXPECT_EQ(program.Modal().messages,
            std::vector<std::string>{"OpenOutput returns " + std::to_string(pmInsufficientMemory)});
  EXPECT_EQ(Module1::FirmwareLine, 6);
  EXPECT_TRUE(window.PushButton2()->Enabled());
  EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
  EXPECT_FALSE(window.PushButton3()->Enabled());
}

TEST_F(FirmwareLoading, OpenDuringATransferLeavesTheStoreAlone) {
  program.LoadFirmware(testfiles::Firmware(5, 0));
  window.Timer1()->SetPeriod(3600000);  // only the test's own call ticks
  program.Update();
  ASSERT_TRUE(window.Timer1()->Enabled());
  window.Timer1_Action(*window.Timer1());
  ChooseOutput();
  program.Modal().messages.clear();

  program.Open(harness::TemporaryFile(testfiles::Firmware(9, 0), "firmware.syx"));

  EXPECT_EQ(Module1::FirmwareLine, 4);
  ASSERT_EQ(program.Modal().messages.size(), 1u);
  EXPECT_NE(program.Modal().messages[0].find("transfer is running"), std::string::npos);
  EXPECT_EQ(program.Modal().filesToChoose.size(), 1u) << "no dialog while a transfer runs";

  program.CancelTransfer();
  window.Timer1_Action(*window.Timer1());
  EXPECT_FALSE(window.Timer1()->Enabled());
  program.Modal().filesToChoose.clear();
}

}  // namespace
