// OPEN end to end: the guard, the dialog, the split into the store, the refused files and the
// test opening of the chosen output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Module1.h"
#include "fake_portmidi.h"
#include "program_harness.h"

namespace {

using testfiles::Bytes;

// Opens a named pipe for writing if OPEN is still busy with it after a generous delay, so
// that an OPEN which waits for a writer fails the test instead of hanging it.
class PipeWriterGuard {
 public:
  explicit PipeWriterGuard(const std::string& pipe)
      : thread_([this, pipe] {
          std::unique_lock lock(mutex_);
          if (!released_.wait_for(lock, std::chrono::seconds(10), [this] { return done_; })) {
            hadToWrite_ = true;
            const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0) {
              ::close(writer);
            }
          }
        }) {}
  ~PipeWriterGuard() { Release(); }

  // Stops the guard; answers whether it had to open the pipe.
  bool Release() {
    {
      const std::lock_guard lock(mutex_);
      done_ = true;
    }
    released_.notify_all();
    if (thread_.joinable()) {
      thread_.join();
    }
    return hadToWrite_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool done_ = false;
  bool hadToWrite_ = false;
  std::thread thread_;
};

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
  // An interrupted download: forty 60-byte messages, then 31 bytes of the forty-first.
  Bytes cutShort;
  for (std::size_t i = 0; i < 41; ++i) {
    const Bytes message = testfiles::Message(i, 60);
    cutShort.insert(cutShort.end(), message.begin(), message.begin() + (i < 40 ? 60 : 31));
  }
  Bytes endCutShort = testfiles::Message(0, 60);
  const Bytes end = testfiles::EndMessage(60);
  endCutShort.insert(endCutShort.end(), end.begin(), end.begin() + 45);
  const struct {
    const char* name;
    Bytes file;
    const char* reason;
  } cases[] = {
      {"empty", {}, "no complete firmware message"},
      {"no 0xF7", Bytes(100, 0x20), "no complete firmware message"},
      {"lone 0xF7 bytes only", {0xF7, 0xF7, 0xF7}, "only empty messages (lone F7 bytes)"},
      {"cut short inside a message", cutShort,
       "it ends inside message 41. It holds only the first 31 bytes of that message, from file "
       "offset 2400 on, and not its end byte F7: the file may have been cut short, for example "
       "by an interrupted download."},
      {"cut short inside the end message", endCutShort,
       "it ends inside message 2. It holds only the first 45 bytes"},
      {"cut short after a lone 0xF0",
       {0xF0, 0x01, 0xF7, 0xF0},
       "It holds only the first byte of that message, from file offset 3 on"},
      {"200 bytes without 0xF7", tooLong, "without an end byte F7"},
      {"more than 100001 messages", tooMany,
       "it goes on past the 100001 firmware messages the loader can hold, from file offset "
       "14100141 on"},
      {"a message without its 0xF0", testfiles::SecondMessageWith(0, 0x00),
       "message 2 begins with 00 instead of F0 at file offset 10"},
      {"a status byte at a word start", testfiles::SecondMessageWith(4, 0x80),
       "message 2 holds the status byte 80 at file offset 14"},
      {"a status byte elsewhere", testfiles::SecondMessageWith(5, 0xC3),
       "message 2 holds the status byte C3 at file offset 15"},
      {"0xF0 inside", testfiles::SecondMessageWith(7, 0xF0),
       "message 2 holds a second start byte F0 at file offset 17"},
      {"a real-time byte inside", testfiles::SecondMessageWith(9, 0xF8),
       "message 2 holds the real-time byte F8 at file offset 19"},
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
  const Bytes message0 = StoredMessage(0);
  const std::string pipe = ::testing::TempDir() + "tfl-pipe-" + std::to_string(getpid()) + ".syx";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string path;
    const char* reason;
  } cases[] = {
      {"a folder", ::testing::TempDir(), "is a folder, not a regular file"},
      {"a named pipe without a writer", pipe, "is a named pipe, not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChooseOutput();
    program.Modal().messages.clear();
    PipeWriterGuard guard(pipe);

    program.Open(c.path);

    EXPECT_FALSE(guard.Release()) << "OPEN waited for a program to write into the pipe";
    ASSERT_EQ(program.Modal().messages.size(), 1u);
    const std::string& box = program.Modal().messages[0];
    EXPECT_NE(box.find("could not be read"), std::string::npos) << box;
    EXPECT_NE(box.find(c.reason), std::string::npos) << box;
    EXPECT_NE(box.find("kept"), std::string::npos) << box;
    EXPECT_EQ(Module1::FirmwareLine, 4);
    EXPECT_EQ(StoredMessage(0), message0);
    EXPECT_TRUE(window.PushButton2()->Enabled());
    EXPECT_FALSE(window.PushButton3()->Enabled());
  }
  ::unlink(pipe.c_str());

  // The program goes on answering: the next file loads.
  ChooseOutput();
  program.Modal().messages.clear();
  program.Open(harness::TemporaryFile(testfiles::Firmware(7, 0), "after-refusal.syx"));
  EXPECT_TRUE(program.Modal().messages.empty());
  EXPECT_EQ(Module1::FirmwareLine, 6);
  EXPECT_TRUE(window.PushButton3()->Enabled());
}

TEST_F(FirmwareLoading, FileChangedWhileReadLeavesNothingThatCouldBeSent) {
  program.LoadFirmware(testfiles::Firmware(5, 0));
  const std::string path = harness::TemporaryFile(testfiles::FullStore(), "changing.syx");
  // Another program keeps changing the file: here only its modification time, each time to a
  // new value.
  std::atomic<bool> touching = true;
  std::atomic<std::int64_t> touches = 0;
  std::thread toucher([&] {
    for (std::int64_t second = 1; touching; ++second) {
      const timespec times[2] = {{second, 0}, {second, 0}};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
      ++touches;
    }
  });
  while (touches == 0) {
    std::this_thread::yield();
  }
  // The toucher may sleep through a whole OPEN, which then rightly loads the file: try again.
  bool changeSeen = false;
  for (int attempt = 0; attempt < 20 && !changeSeen; ++attempt) {
    ChooseOutput();
    program.Modal().messages.clear();
    program.Open(path);
    if (program.Modal().messages.empty() && Module1::FirmwareLine == Module1::kLastMessage) {
      continue;
    }
    changeSeen = true;
    ASSERT_EQ(program.Modal().messages.size(), 1u);
    const std::string& box = program.Modal().messages[0];
    EXPECT_NE(box.find("changed while it was read"), std::string::npos) << box;
    EXPECT_NE(box.find("no firmware is loaded now"), std::string::npos) << box;
    EXPECT_NE(box.find("OPEN the file again"), std::string::npos) << box;
    EXPECT_EQ(Module1::FirmwareLine, -1);
    EXPECT_FALSE(window.PushButton3()->Enabled());
    EXPECT_TRUE(window.PushButton2()->Enabled());
    EXPECT_EQ(window.PushButton2()->Caption(), "OPEN");
  }
  touching = false;
  toucher.join();
  EXPECT_TRUE(changeSeen);

  // Opened again once it stays as it is, the file loads.
  ChooseOutput();
  program.Modal().messages.clear();
  program.Open(path);
  EXPECT_TRUE(program.Modal().messages.empty());
  EXPECT_EQ(Module1::FirmwareLine, Module1::kLastMessage);
  EXPECT_TRUE(window.PushButton3()->Enabled());
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
