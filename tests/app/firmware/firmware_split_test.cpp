#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "FirmwareSplit.h"
#include "byte_splitter.h"
#include "firmware_files.h"

namespace {

using firmware::SplitVerdict;
using testfiles::Bytes;

class FirmwareSplitTest : public ::testing::Test {
 protected:
  // Both passes of a load, the file handed over in blocks of kBlockBytes.
  firmware::SplitPlan Load(const Bytes& file, std::size_t blockBytes = kBlockBytes) {
    const firmware::SplitPlan plan =
        firmware::PlanFirmwareFile(testfiles::BlocksOf(file, blockBytes), CountYield);
    if (plan.verdict == SplitVerdict::kFits) {
      EXPECT_TRUE(firmware::StoreFirmwareFile(testfiles::BlocksOf(file, blockBytes), plan, Store(),
                                              CountYield));
    }
    return plan;
  }

  firmware::FirmwareStore Store() { return {buffer, rowEnds, &lastMessage}; }

  Bytes Row(std::int64_t row) const {
    return Bytes(buffer.begin() + row * firmware::kRowBytes,
                 buffer.begin() + (row + 1) * firmware::kRowBytes);
  }

  Bytes Message(std::int64_t row) const {
    return Bytes(buffer.begin() + row * firmware::kRowBytes,
                 buffer.begin() + row * firmware::kRowBytes + rowEnds[row] + 1);
  }

  static void CountYield() { ++yields; }

  // Small and prime, so that messages and their end marks straddle blocks.
  static constexpr std::size_t kBlockBytes = 7;

  static inline std::int64_t yields = 0;
  std::vector<std::uint8_t> buffer =
      std::vector<std::uint8_t>(firmware::kRowCount * firmware::kRowBytes);
  std::vector<std::int64_t> rowEnds = std::vector<std::int64_t>(firmware::kRowCount);
  std::int64_t lastMessage = 0;

  void SetUp() override { yields = 0; }
};

TEST_F(FirmwareSplitTest, MessagesLandInTheirRowsWithTheirClosingColumns) {
  const Bytes first = testfiles::Message(0, 20);
  const Bytes second = {0xF0, 0x12, 0xF7};
  // A lone 0xF7 is a message of its own, an empty one, also before the first message.
  Bytes file = {0xF7};
  file.insert(file.end(), first.begin(), first.end());
  file.insert(file.end(), second.begin(), second.end());
  file.push_back(0xF7);

  const auto plan = Load(file);

  ASSERT_EQ(plan.verdict, SplitVerdict::kFits);
  EXPECT_EQ(lastMessage, 3);
  EXPECT_EQ(rowEnds[0], 0);
  EXPECT_EQ(Message(1), first);
  EXPECT_EQ(Message(2), second);
  EXPECT_EQ(rowEnds[3], 0);
}

TEST_F(FirmwareSplitTest, EndMessageStopsReadingEvenBeforeBytesThatBreakTheLimits) {
  Bytes file = testfiles::EndMessage(30);
  const std::size_t endSize = file.size();
  file.push_back(0x90);                // not a message's first byte
  file.insert(file.end(), 500, 0x11);  // no 0xF7 in 500 bytes: would be refused if read

  const auto plan = Load(file);

  ASSERT_EQ(plan.verdict, SplitVerdict::kFits);
  EXPECT_TRUE(plan.endMessageSeen);
  EXPECT_EQ(plan.byteCount, endSize);
  EXPECT_EQ(lastMessage, 0);
  // In each pass, one yield per block read, but none after the block of the end message.
  const std::int64_t blocks = (endSize + kBlockBytes - 1) / kBlockBytes;
  EXPECT_EQ(yields, 2 * (blocks - 1));
}

TEST_F(FirmwareSplitTest, OnlyTheFirstEndMessageCounts) {
  const Bytes file = testfiles::Firmware(4, /*junkAfterEnd=*/0);
  Bytes twice = file;
  twice.insert(twice.end(), file.begin(), file.end());
  Load(twice);
  EXPECT_EQ(lastMessage, 3);
}

TEST_F(FirmwareSplitTest, EndMarksCountOnlyWhenTheMessageItselfHoldsThem) {
  // The first load leaves "0" "1" at columns 13 and 14 of row 0.
  Load(testfiles::EndMessage(20));
  // A short message in that row must not inherit the old marks.
  Bytes file = {0xF0, 0x01, 0xF7};
  const Bytes next = testfiles::Message(1, 10);
  file.insert(file.end(), next.begin(), next.end());

  const auto plan = Load(file);

  EXPECT_FALSE(plan.endMessageSeen);
  EXPECT_EQ(lastMessage, 1);
}

TEST_F(FirmwareSplitTest, CloseAtTheMarkPositionsIsNeverTheEnd) {
  Bytes closeAt13(13, 0x00);
  closeAt13[0] = 0xF0;
  closeAt13.push_back(0xF7);
  Bytes closeAt14 = closeAt13;
  closeAt14.back() = 0x30;
  closeAt14.push_back(0xF7);
  for (const Bytes& message : {closeAt13, closeAt14}) {
    Bytes file = message;
    file.insert(file.end(), message.begin(), message.end());
    const auto plan = Load(file);
    EXPECT_FALSE(plan.endMessageSeen) << "0xF7 at " << message.size() - 1;
    EXPECT_EQ(lastMessage, 1) << "0xF7 at " << message.size() - 1;
  }
}

TEST_F(FirmwareSplitTest, EndMessageClosingRightAfterTheMarksIsRecognised) {
  Bytes message(16, 0x00);
  message[0] = 0xF0;
  message[13] = 0x30;
  message[14] = 0x31;
  message[15] = 0xF7;
  message.push_back(0xF7);  // never read
  const auto plan = Load(message);
  EXPECT_TRUE(plan.endMessageSeen);
  EXPECT_EQ(lastMessage, 0);
}

TEST_F(FirmwareSplitTest, MessageOfTheFullRowWidthFits) {
  Load(testfiles::Message(0, 141));
  EXPECT_EQ(rowEnds[0], 140);
}

TEST_F(FirmwareSplitTest, ShorterLoadKeepsWhatTheLongerOneLeftOutsideItsMessages) {
  Load(testfiles::Message(0, 141));
  const Bytes oldRow0 = Row(0);
  Load(testfiles::Firmware(6, 0));
  const Bytes oldRow4 = Row(4);

  Load(testfiles::Firmware(3, 0));

  EXPECT_EQ(lastMessage, 2);
  EXPECT_EQ(Row(4), oldRow4);
  // Row 0 now holds a shorter message: its columns after the 0xF7 keep the old bytes.
  const Bytes row0 = Row(0);
  EXPECT_TRUE(
      std::equal(row0.begin() + rowEnds[0] + 1, row0.end(), oldRow0.begin() + rowEnds[0] + 1));
}

TEST_F(FirmwareSplitTest, LargestFileTheStoreHoldsFits) {
  const Bytes file = testfiles::FullStore();
  const auto plan = Load(file);
  ASSERT_EQ(plan.verdict, SplitVerdict::kFits);
  EXPECT_EQ(lastMessage, 100000);
  EXPECT_EQ(Message(100000), Bytes(file.end() - 141, file.end()));
}

TEST_F(FirmwareSplitTest, FileBeyondTheStoreIsRefusedWithoutTouchingIt) {
  Load(testfiles::Firmware(4, 0));
  ASSERT_EQ(lastMessage, 3);
  const std::vector<std::uint8_t> bufferBefore = buffer;
  const std::vector<std::int64_t> rowEndsBefore = rowEnds;

  Bytes longMessage = testfiles::Message(0, 10);
  const Bytes tooLong = testfiles::Message(1, 142);
  longMessage.insert(longMessage.end(), tooLong.begin(), tooLong.end());
  Bytes longTail = testfiles::Message(0, 10);
  longTail.insert(longTail.end(), 142, 0x22);
  Bytes tooMany = testfiles::FullStore();
  tooMany.push_back(0x00);
  Bytes strayByte = testfiles::Message(0, 10);
  strayByte.push_back(0x00);
  const Bytes next = testfiles::Message(1, 20);
  strayByte.insert(strayByte.end(), next.begin(), next.end());
  // Files cut short inside their second message, after the first 10 bytes.
  const auto cutAfter = [](const Bytes& second, std::size_t kept) {
    Bytes file = testfiles::Message(0, 10);
    file.insert(file.end(), second.begin(), second.begin() + kept);
    return file;
  };
  Bytes junkTail(140, 0x22);
  junkTail[0] = 0x90;
  junkTail[70] = 0xF8;

  const struct {
    const char* name;
    Bytes file;
    SplitVerdict verdict;
    std::size_t offendingByte;
    std::int64_t messages;
    // The whole box, where it is checked.
    const char* box = nullptr;
  } cases[] = {
      {"message of 142 bytes", longMessage, SplitVerdict::kRunTooLong, 10 + 141, 1},
      {"142 bytes after the last message", longTail, SplitVerdict::kRunTooLong, 10 + 141, 1},
      {"no 0xF7 at all", Bytes(50, 0x10), SplitVerdict::kNoCompleteMessage, 50, 0},
      {"empty", Bytes{}, SplitVerdict::kNoCompleteMessage, 0, 0},
      {"a byte after 100001 messages", tooMany, SplitVerdict::kTooManyMessages, 14100141, 100001,
       "This file was not loaded: it goes on past the 100001 firmware messages the loader can "
       "hold, from file offset 14100141 on. The firmware loaded before is kept."},
      // PortMidi refuses these part-way, or sends other bytes than the file's.
      {"a stray byte before 0xF0", strayByte, SplitVerdict::kMalformedMessage, 10, 1},
      {"a status byte first", testfiles::SecondMessageWith(0, 0x90),
       SplitVerdict::kMalformedMessage, 10, 1},
      {"a status byte at a word start", testfiles::SecondMessageWith(4, 0x80),
       SplitVerdict::kMalformedMessage, 14, 1},
      {"a status byte elsewhere", testfiles::SecondMessageWith(5, 0x80),
       SplitVerdict::kMalformedMessage, 15, 1},
      {"0xF0 inside", testfiles::SecondMessageWith(7, 0xF0), SplitVerdict::kMalformedMessage, 17,
       1},
      {"a real-time byte inside", testfiles::SecondMessageWith(9, 0xF8),
       SplitVerdict::kMalformedMessage, 19, 1},
      // The messages before the cut would reach the device without the rest of the firmware.
      {"a lone 0xF0 after the last 0xF7", cutAfter(next, 1), SplitVerdict::kEndsInsideMessage, 10,
       1},
      {"31 bytes of a message", cutAfter(testfiles::Message(1, 60), 31),
       SplitVerdict::kEndsInsideMessage, 10, 1},
      {"140 bytes of a message", cutAfter(testfiles::Message(1, 141), 140),
       SplitVerdict::kEndsInsideMessage, 10, 1},
      {"140 bytes that no message may hold", cutAfter(junkTail, 140),
       SplitVerdict::kEndsInsideMessage, 10, 1},
      {"the end message cut short", cutAfter(testfiles::EndMessage(60), 45),
       SplitVerdict::kEndsInsideMessage, 10, 1},
      {"lone 0xF7 bytes only", Bytes{0xF7, 0xF7, 0xF7}, SplitVerdict::kOnlyEmptyMessages, 3, 3,
       "This file was not loaded: it holds only empty messages (lone F7 bytes), so there is "
       "nothing to send. The firmware loaded before is kept."},
  };
  for (const auto& c : cases) {
    const auto plan = Load(c.file);
    EXPECT_EQ(plan.verdict, c.verdict) << c.name;
    EXPECT_EQ(plan.byteCount, c.offendingByte) << c.name;
    EXPECT_EQ(plan.messageCount, c.messages) << c.name;
    if (c.verdict == SplitVerdict::kEndsInsideMessage) {
      EXPECT_EQ(plan.cutMessageBytes, c.file.size() - c.offendingByte) << c.name;
    }
    EXPECT_NE(firmware::DescribeRefusal(plan).find("kept"), std::string::npos) << c.name;
    if (c.box) {
      EXPECT_EQ(firmware::DescribeRefusal(plan), c.box) << c.name;
    }
    EXPECT_EQ(lastMessage, 3) << c.name;
    EXPECT_TRUE(buffer == bufferBefore) << c.name;
    EXPECT_TRUE(rowEnds == rowEndsBefore) << c.name;
  }
}

// Each kind of byte that has no place in a message, at every place of the longest one, in
// blocks that cut the message anywhere.
TEST_F(FirmwareSplitTest, AByteOutOfPlaceAnywhereInAMessageRefusesTheFileThere) {
  Bytes file;
  for (const Bytes& message :
       {testfiles::Message(0, 30), testfiles::Message(1, 2), testfiles::Message(2, 77)}) {
    file.insert(file.end(), message.begin(), message.end());
  }
  const std::size_t start = file.size();
  for (const Bytes& message : {testfiles::Message(3, 141), testfiles::EndMessage(20)}) {
    file.insert(file.end(), message.begin(), message.end());
  }
  // A data byte is out of place only where the message should begin with 0xF0.
  const std::uint8_t outOfPlace[] = {0x41, 0x80, 0x9F, 0xEF, 0xF0, 0xF1, 0xF6, 0xF8, 0xFE, 0xFF};
  for (std::size_t position = 0; position < 140; ++position) {
    for (const std::uint8_t byte : outOfPlace) {
      if (position == 0 ? byte == 0xF0 : byte < 0x80) {
        continue;
      }
      Bytes changed = file;
      changed[start + position] = byte;
      const firmware::SplitPlan expected = reference::PlanByBytes(changed);
      ASSERT_EQ(expected.verdict, SplitVerdict::kMalformedMessage) << position << " " << +byte;
      for (const std::size_t blockBytes : {1, 7, 64, 65536}) {
        const firmware::SplitPlan plan =
            firmware::PlanFirmwareFile(testfiles::BlocksOf(changed, blockBytes), CountYield);
        ASSERT_EQ(plan, expected) << position << " " << +byte << " in blocks of " << blockBytes;
      }
      EXPECT_EQ(expected.byteCount, start + position);
      EXPECT_EQ(expected.offendingByte, byte);
      EXPECT_EQ(expected.offendsAtStart, position == 0);
      EXPECT_EQ(expected.messageCount, 3);
    }
  }
}

TEST_F(FirmwareSplitTest, RefusalStopsReadingAtTheOffendingByte) {
  firmware::FirmwareSplitter splitter;
  std::size_t read = 0;
  const std::uint8_t data = 0x01;
  while (splitter.Take({&data, 1})) {
    ++read;
  }
  EXPECT_EQ(read, 141u);
  const std::uint8_t close = 0xF7;
  EXPECT_FALSE(splitter.Take({&close, 1}));
  EXPECT_EQ(splitter.Plan().verdict, SplitVerdict::kRunTooLong);
  EXPECT_EQ(splitter.Plan().byteCount, 141u);
}

TEST_F(FirmwareSplitTest, EveryBlockSizeSplitsAsTheByteAtATimeReference) {
  Bytes tooLong = testfiles::Message(1, 20);
  tooLong.insert(tooLong.end(), 200, 0x10);
  Bytes endMarksInAShortMessage(15, 0x00);
  endMarksInAShortMessage[0] = 0xF0;
  endMarksInAShortMessage[13] = '0';
  endMarksInAShortMessage[14] = 0xF7;  // the mark "1" would come after the close
  const Bytes next = testfiles::EndMessage(40);
  endMarksInAShortMessage.insert(endMarksInAShortMessage.end(), next.begin(), next.end());
  Bytes malformedLate = testfiles::Firmware(30, 0);
  malformedLate[malformedLate.size() - 9] = 0xF8;  // inside the end message, after a block edge
  const Bytes cutInTheEndMessage(malformedLate.begin(), malformedLate.end() - 9);
  const Bytes files[] = {testfiles::Firmware(30, 500), tooLong,       endMarksInAShortMessage,
                         testfiles::Message(2, 141),   malformedLate, cutInTheEndMessage};
  for (const Bytes& file : files) {
    const firmware::SplitPlan expected = reference::PlanByBytes(file);
    Load(file, file.size() + 1);
    const std::vector<std::uint8_t> storedWhole = buffer;
    for (std::size_t blockBytes = 1; blockBytes <= 150; ++blockBytes) {
      ASSERT_EQ(Load(file, blockBytes), expected) << "blocks of " << blockBytes;
      ASSERT_TRUE(buffer == storedWhole) << "blocks of " << blockBytes;
    }
  }
}

TEST_F(FirmwareSplitTest, FileThatReadsOtherwiseTheSecondTimeLeavesNoMessageToSend) {
  Load(testfiles::Firmware(4, 0));
  ASSERT_EQ(lastMessage, 3);
  const Bytes first = testfiles::Firmware(9, 0);
  const firmware::SplitPlan plan =
      firmware::PlanFirmwareFile(testfiles::BlocksOf(first, kBlockBytes), CountYield);
  ASSERT_EQ(plan.verdict, SplitVerdict::kFits);

  Bytes moved = first;  // one more 0xF7: the same length, other messages
  *std::find_if(moved.begin() + moved.size() / 2, moved.end(),
                [](std::uint8_t byte) { return byte != 0xF7; }) = 0xF7;
  const Bytes cut(first.begin(), first.begin() + first.size() / 2);
  // Another firmware of the same shape, written over the file in place within the grain of its
  // times: only the bytes tell.
  Bytes sameShape = first;
  sameShape[sameShape.size() - 3] ^= 0x01;  // a data byte of the end message
  for (const Bytes& second : {moved, cut, sameShape}) {
    lastMessage = 3;
    EXPECT_FALSE(firmware::StoreFirmwareFile(testfiles::BlocksOf(second, kBlockBytes), plan,
                                             Store(), CountYield));
    EXPECT_EQ(lastMessage, -1);
  }
  EXPECT_TRUE(firmware::StoreFirmwareFile(testfiles::BlocksOf(first, kBlockBytes), plan, Store(),
                                          CountYield));
  EXPECT_EQ(lastMessage, 8);
}

}  // namespace
