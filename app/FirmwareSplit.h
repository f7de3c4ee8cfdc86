// Cutting a .syx firmware file into the System Exclusive messages of the firmware store.
// Free of the framework so that OPEN, the tests, the fuzzer and the benchmarks share it.
//
// A load reads the file twice, a block at a time, so that it needs no copy of the file: the
// first pass decides whether it fits the store (and where reading may stop), the second
// writes the accepted bytes. A refused file never reaches the store. Both passes digest the
// bytes they take, so a file rewritten during the load is caught even when the new bytes have
// the old ones' shape and the file's times don't move.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace firmware {

// The store's shape: rows 0..100000 of 141 bytes each.
inline constexpr std::int64_t kRowBytes = 141;
inline constexpr std::int64_t kRowCount = 100001;
inline constexpr std::uint8_t kStartOfExclusive = 0xF0;
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
  // Not a single 0xF7 in the file, an empty file included.
  kNoCompleteMessage,
  // Nothing but lone 0xF7 bytes: empty messages, none that carries anything.
  kOnlyEmptyMessages,
  // Bytes after the last 0xF7 of a file without an end message: the start of a message
  // whose 0xF7 never came, as a file cut short leaves it. Sending the messages before it
  // would leave the device with part of a firmware.
  kEndsInsideMessage,
  // A message that MIDI can't carry as it stands: it does not begin with 0xF0, or a byte
  // with its top bit set (a status or real-time byte, another 0xF0) stands before its 0xF7.
  // A lone 0xF7 is an empty message, which carries nothing and is not refused.
  kMalformedMessage,
};

// The first byte of a row that has no place in a message, and where it stands.
struct MessageOffence {
  // Its offset in the file.
  std::size_t offset = 0;
  std::uint8_t byte = 0;
  // Whether it stands where the message should begin with 0xF0.
  bool atStart = false;
};

struct SplitPlan {
  SplitVerdict verdict = SplitVerdict::kNoCompleteMessage;
  // Complete messages found; for a file that fits, the messages the store will hold; for a
  // malformed message or one the file ends inside, its index.
  std::int64_t messageCount = 0;
  // For a file that fits: how many leading bytes of the file the store takes, its messages.
  // For a refused file: the offset of the byte that broke the limit, of the malformed
  // message's first offending byte, or of the first byte of the message the file ends in.
  std::size_t byteCount = 0;
  // For a file that fits: the XXH3 64-bit digest of those byteCount bytes. Zero otherwise.
  std::uint64_t digest = 0;
  // For a file that ends inside a message: how many bytes of that message it holds.
  std::size_t cutMessageBytes = 0;
  // Whether reading stopped at the end message.
  bool endMessageSeen = false;
  // For a malformed message: its first offending byte, and whether that is the byte it
  // should begin with.
  std::uint8_t offendingByte = 0;
  bool offendsAtStart = false;

  bool operator==(const SplitPlan&) const = default;
};

// Splits a file handed over in blocks of any size, in order, finding each 0xF7 with memchr.
class FirmwareSplitter {
 public:
  // Only plans: the store is not touched.
  FirmwareSplitter() = default;
  // Also writes each byte it accepts into its place in the store: message i into row i from
  // column 0 and the column of its 0xF7 into rowEnds[i], bytes after the last message into
  // the next row. The limits that refuse a file are the ones that keep every write inside
  // the store, so no file can make it write elsewhere.
  explicit FirmwareSplitter(const FirmwareStore& store) : store_(&store) {}

  // Looks at the next bytes of the file. Answers false when no further byte should be read:
  // the end message is complete, or the file is already refused.
  bool Take(std::span<const std::uint8_t> bytes);

  // The verdict on the bytes taken so far, taken as the whole file. Its digest is left zero.
  SplitPlan Plan() const;
  // How many bytes Take has accepted so far: a block's first bytes up to where it stopped.
  std::size_t BytesTaken() const { return taken_; }

 private:
  bool Refuse();
  bool CloseMessage();
  void KeepMarks(const std::uint8_t* bytes, std::int64_t count);
  void NoteOffence(const MessageOffence& offence);

  const FirmwareStore* store_ = nullptr;
  SplitVerdict refusal_ = SplitVerdict::kFits;
  // Set once nothing more may be read: refused, the end message seen, or the store full.
  bool stopped_ = false;
  std::int64_t messages_ = 0;
  std::int64_t column_ = 0;
  std::size_t taken_ = 0;
  std::uint8_t marks_[2] = {0, 0};
  bool endSeen_ = false;
  // Whether a message with more than its 0xF7 has been closed.
  bool dataSeen_ = false;
  // The current row's offence. It refuses the file as malformed only once its 0xF7 makes the
  // row a message; a file that ends inside the row is refused as cut short whatever it holds.
  std::optional<MessageOffence> offence_;
};

// The next bytes of a file, read in blocks; empty at its end.
using ReadBlock = std::function<std::span<const std::uint8_t>()>;

// The first pass of a load: reads until the splitter has seen enough (the end message, the
// end of the file, or a byte that breaks the store's limits), calling yield once per block
// when reading goes on. The store is not touched.
SplitPlan PlanFirmwareFile(const ReadBlock& read, void (*yield)());

// The second pass, over the same file read again from its start: writes the plan's bytes
// into the store and the last message's index into lastMessage. The plan must be a kFits
// plan. Answers false when the bytes read now are not the planned ones (the file changed
// during the load), whether they split otherwise or only digest otherwise: the store then
// holds a mix and lastMessage is -1, as it is while the store is being written, so a pass
// that stops early leaves no message to send either.
bool StoreFirmwareFile(const ReadBlock& read, const SplitPlan& plan, const FirmwareStore& store,
                       void (*yield)());

// Why a file was refused, in words for the user; says that the loaded firmware is kept.
std::string DescribeRefusal(const SplitPlan& plan);

}  // namespace firmware
