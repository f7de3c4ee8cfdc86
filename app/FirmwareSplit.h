// Cutting a .syx firmware file into the System Exclusive messages of the firmware store.
// Free of the framework so that OPEN, the tests, the fuzzer and the benchmarks share it.
//
// A load runs in two steps: a FirmwareSplitter looks at the file byte by byte and decides
// whether it fits the store (and where reading may stop), then StoreFirmwareSplit writes
// the accepted bytes. A refused file never reaches the store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace firmware {

// The store's shape: rows 0..100000 of 141 bytes each.
inline constexpr std::int64_t kRowBytes = 141;
inline constexpr std::int64_t kRowCount = 100001;
inline constexpr std::uint8_t kEndOfExclusive = 0xF7;
// The end message carries the characters "0" "1" at these positions of its own bytes.
inline constexpr std::int64_t kEndMarkFirst = 13;
inline constexpr std::int64_t kEndMarkSecond = 14;

// Module1's firmware store seen as plain memory.
struct FirmwareStore {
  // FirmwareBuffer: kRowCount rows of kRowBytes bytes, row after row.
  std::span<std::uint8_t> buffer;
  // FirmwareRow: per message, the column of its closing 0xF7.
  std::span<std::int64_t> rowEnds;
  // FirmwareLine: the index of the last message.
  std::int64_t* lastMessage = nullptr;
};

enum class SplitVerdict {
  kFits,
  // More than kRowBytes bytes without a 0xF7: a message, or the bytes after the last one.
  kRunTooLong,
  // A byte after the 100001st message, which was not the end message.
  kTooManyMessages,
  // Not a single 0xF7 in the file (an empty file included).
  kNoCompleteMessage,
};

struct SplitPlan {
  SplitVerdict verdict = SplitVerdict::kNoCompleteMessage;
  // Complete messages found; for a file that fits, the messages the store will hold.
  std::int64_t messageCount = 0;
  // For a file that fits: how many leading bytes of the file the store takes (the messages
  // and any bytes after the last one). For a refused file: the offset of the byte that broke
  // the limit.
  std::size_t byteCount = 0;
  // Whether reading stopped at the end message.
  bool endMessageSeen = false;
};

class FirmwareSplitter {
 public:
  // Looks at the next byte of the file. Answers false when no further byte should be read:
  // the end message is complete, or the file is already refused.
  bool Take(std::uint8_t byte) {
    if (stopped_ || column_ == kRowBytes) {
      return Refuse();
    }
    ++taken_;
    if (byte == kEndOfExclusive) {
      return CloseMessage();
    }
    // One unsigned comparison picks out both mark positions.
    if (static_cast<std::uint64_t>(column_ - kEndMarkFirst) < 2) {
      marks_[column_ - kEndMarkFirst] = byte;
    }
    ++column_;
    return true;
  }

  // The verdict on the bytes taken so far, taken as the whole file.
  SplitPlan Plan() const;

 private:
  bool Refuse();
  bool CloseMessage();

  SplitVerdict refusal_ = SplitVerdict::kFits;
  // Set once nothing more may be read: refused, the end message seen, or the store full.
  bool stopped_ = false;
  std::int64_t messages_ = 0;
  std::int64_t column_ = 0;
  std::size_t taken_ = 0;
  std::uint8_t marks_[2] = {0, 0};
  bool endSeen_ = false;
};

// Runs a splitter over a whole file held in memory, calling yield once per byte read, as
// OPEN's loop does (except after the end message).
SplitPlan PlanFirmwareSplit(std::span<const std::uint8_t> file, void (*yield)());

// Writes the first plan.byteCount bytes of the file into the store: message i into row i
// from column 0 and the column of its 0xF7 into rowEnds[i], trailing bytes into the next
// row, and the last message's index into lastMessage. Everything else in the store keeps
// its bytes. The plan must be a kFits plan for this file.
void StoreFirmwareSplit(std::span<const std::uint8_t> file, const SplitPlan& plan,
                        const FirmwareStore& store);

// Why a file was refused, in words for the user; says that the loaded firmware is kept.
std::string DescribeRefusal(const SplitPlan& plan);

}  // namespace firmware
