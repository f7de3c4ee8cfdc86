#include "FirmwareSplit.h"

#include <xxhash.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#if defined(__x86_64__)
// xxHash's x86-64 build picks the widest vector unit the processor has when it runs.
#include <xxh_x86dispatch.h>
#endif

namespace firmware {
namespace {

constexpr std::uint8_t kTopBit = 0x80;

// The first byte from `from` up to `to` with its top bit set, or `to`. A well-formed message
// has only its 0xF0 and its 0xF7 with that bit set, so this finds the 0xF7 that closes it or
// the first byte that has no place in it; it reads eight bytes at a time, as memchr does.
const std::uint8_t* FirstTopBitByte(const std::uint8_t* from, const std::uint8_t* to) {
  constexpr std::uint64_t kTopBits = 0x8080808080808080;
  while (to - from >= 32) {
    std::uint64_t words[4];
    std::memcpy(words, from, sizeof words);
    if (((words[0] | words[1] | words[2] | words[3]) & kTopBits) != 0) {
      break;
    }
    from += 32;
  }
  for (; to - from >= 8; from += 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if (const std::uint64_t top = word & kTopBits; top != 0) {
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(top)
                                                                 : std::countl_zero(top);
      return from + bit / 8;
    }
  }
  for (; from != to; ++from) {
    if ((*from & kTopBit) != 0) {
      return from;
    }
  }
  return to;
}

// The state of a pass's digest, made once when the program starts, as the store is, so that a
// load allocates nothing. Passes never overlap: a load runs to its end on one thread, and its
// yield dispatches no events.
const std::unique_ptr<XXH3_state_t, XXH_errorcode (*)(XXH3_state_t*)> passDigestState(
    XXH3_createState(), XXH3_freeState);

// The digest of the bytes one pass hands the splitter, computed as they stream by.
class PassDigest {
 public:
  PassDigest() : state_(passDigestState.get()) {
    if (state_ == nullptr) {
      throw std::bad_alloc();
    }
    XXH3_64bits_reset(state_);
  }
  void Add(std::span<const std::uint8_t> bytes) {
    XXH3_64bits_update(state_, bytes.data(), bytes.size());
  }
  // The splitter's verdict on the pass, with the digest when the file fits.
  SplitPlan PlanOf(const FirmwareSplitter& splitter) const {
    SplitPlan plan = splitter.Plan();
    if (plan.verdict == SplitVerdict::kFits) {
      plan.digest = XXH3_64bits_digest(state_);
    }
    return plan;
  }

 private:
  XXH3_state_t* state_;
};

}  // namespace

bool FirmwareSplitter::Refuse() {
  if (refusal_ == SplitVerdict::kFits && !endSeen_) {
    refusal_ = messages_ == kRowCount ? SplitVerdict::kTooManyMessages : SplitVerdict::kRunTooLong;
  }
  stopped_ = true;
  return false;
}

void FirmwareSplitter::NoteOffence(const MessageOffence& offence) {
  if (!offence_) {
    offence_ = offence;
  }
}

bool FirmwareSplitter::CloseMessage() {
  if (offence_) {
    refusal_ = SplitVerdict::kMalformedMessage;
    stopped_ = true;
    return false;
  }
  // The 0xF7 itself must stand after both marks, so only the message's own bytes count.
  endSeen_ = column_ > kEndMarkSecond && marks_[0] == '0' && marks_[1] == '1';
  dataSeen_ = dataSeen_ || column_ > 0;
  ++messages_;
  column_ = 0;
  stopped_ = endSeen_ || messages_ == kRowCount;
  return !endSeen_;
}

SplitPlan FirmwareSplitter::Plan() const {
  SplitPlan plan;
  plan.messageCount = messages_;
  plan.byteCount = taken_;
  plan.endMessageSeen = endSeen_;
  if (refusal_ == SplitVerdict::kMalformedMessage) {
    plan.verdict = refusal_;
    plan.byteCount = offence_->offset;
    plan.offendingByte = offence_->byte;
    plan.offendsAtStart = offence_->atStart;
  } else if (refusal_ != SplitVerdict::kFits) {
    plan.verdict = refusal_;
  } else if (messages_ > 0 && column_ > 0) {
    plan.verdict = SplitVerdict::kEndsInsideMessage;
    plan.byteCount = taken_ - static_cast<std::size_t>(column_);
    plan.cutMessageBytes = static_cast<std::size_t>(column_);
  } else if (!dataSeen_) {
    plan.verdict =
        messages_ > 0 ? SplitVerdict::kOnlyEmptyMessages : SplitVerdict::kNoCompleteMessage;
  } else {
    plan.verdict = SplitVerdict::kFits;
  }
  return plan;
}

bool FirmwareSplitter::Take(std::span<const std::uint8_t> bytes) {
  const std::uint8_t* next = bytes.data();
  const std::uint8_t* const end = next + bytes.size();
  while (next != end) {
    if (stopped_ || column_ == kRowBytes) {
      return Refuse();
    }
    // The row has room for kRowBytes - column_ more bytes, the closing 0xF7 included.
    const std::uint8_t* const room = next + std::min<std::int64_t>(kRowBytes - column_, end - next);
    const std::uint8_t* scan = next;
    if (column_ == 0 && *next == kStartOfExclusive) {
      ++scan;
    } else if (column_ == 0 && *next != kEndOfExclusive) {
      NoteOffence({taken_, *next, true});
    }
    const std::uint8_t* const found = FirstTopBitByte(scan, room);
    const bool close = found != room && *found == kEndOfExclusive;
    if (found != room && !close) {
      NoteOffence({taken_ + static_cast<std::size_t>(found - next), *found, false});
    }
    const std::int64_t count = (found != room ? found + 1 : room) - next;
    if (store_) {
      std::memcpy(store_->buffer.data() + messages_ * kRowBytes + column_, next, count);
    }
    const std::int64_t dataBytes = close ? count - 1 : count;
    KeepMarks(next, dataBytes);
    taken_ += count;
    next += count;
    column_ += dataBytes;
    if (close) {
      if (store_) {
        store_->rowEnds[messages_] = column_;
      }
      if (!CloseMessage()) {
        return false;
      }
    }
  }
  return true;
}

void FirmwareSplitter::KeepMarks(const std::uint8_t* bytes, std::int64_t count) {
  for (std::int64_t mark = kEndMarkFirst; mark <= kEndMarkSecond; ++mark) {
    if (mark >= column_ && mark < column_ + count) {
      marks_[mark - kEndMarkFirst] = bytes[mark - column_];
    }
  }
}

SplitPlan PlanFirmwareFile(const ReadBlock& read, void (*yield)()) {
  FirmwareSplitter splitter;
  PassDigest digest;
  for (std::span<const std::uint8_t> block = read(); !block.empty(); block = read()) {
    const std::size_t before = splitter.BytesTaken();
    const bool more = splitter.Take(block);
    digest.Add(block.first(splitter.BytesTaken() - before));
    if (!more) {
      break;
    }
    yield();
  }
  return digest.PlanOf(splitter);
}

bool StoreFirmwareFile(const ReadBlock& read, const SplitPlan& plan, const FirmwareStore& store,
                       void (*yield)()) {
  *store.lastMessage = -1;
  FirmwareSplitter splitter(store);
  PassDigest digest;
  std::size_t left = plan.byteCount;
  while (left > 0) {
    const std::span<const std::uint8_t> block = read();
    if (block.empty()) {
      break;
    }
    const std::span<const std::uint8_t> planned = block.first(std::min(left, block.size()));
    left -= planned.size();
    digest.Add(planned);
    if (!splitter.Take(planned) || left == 0) {
      break;
    }
    yield();
  }
  if (digest.PlanOf(splitter) != plan) {
    return false;
  }
  *store.lastMessage = plan.messageCount - 1;
  return true;
}

namespace {

std::string Hex(std::uint8_t byte) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// What is wrong with a malformed message, as the words after "message N".
std::string DescribeOffence(const SplitPlan& plan) {
  const std::string byte = Hex(plan.offendingByte);
  if (plan.offendsAtStart) {
    return "begins with " + byte + " instead of F0";
  }
  if (plan.offendingByte == kStartOfExclusive) {
    return "holds a second start byte F0";
  }
  if (plan.offendingByte >= 0xF8) {
    return "holds the real-time byte " + byte;
  }
  return "holds the status byte " + byte;
}

}  // namespace

std::string DescribeRefusal(const SplitPlan& plan) {
  const std::string kept = " The firmware loaded before is kept.";
  const std::string offset = std::to_string(plan.byteCount);
  switch (plan.verdict) {
    case SplitVerdict::kFits:
      return {};
    case SplitVerdict::kRunTooLong:
      return "This file was not loaded: at byte " + offset + " it runs past " +
             std::to_string(kRowBytes) +
             " bytes without an end byte F7, more than a firmware message can hold." + kept;
    case SplitVerdict::kTooManyMessages:
      return "This file was not loaded: it goes on past the " + std::to_string(kRowCount) +
             " firmware messages the loader can hold, from file offset " + offset + " on." + kept;
    case SplitVerdict::kNoCompleteMessage:
      return "This file was not loaded: it holds no complete firmware message (no end byte "
             "F7)." +
             kept;
    case SplitVerdict::kOnlyEmptyMessages:
      return "This file was not loaded: it holds only empty messages (lone F7 bytes), so there "
             "is nothing to send." +
             kept;
    case SplitVerdict::kEndsInsideMessage:
      return "This file was not loaded: it ends inside message " +
             std::to_string(plan.messageCount + 1) + ". It holds only the first " +
             (plan.cutMessageBytes == 1 ? "byte"
                                        : std::to_string(plan.cutMessageBytes) + " bytes") +
             " of that message, from file offset " + offset +
             " on, and not its end byte F7: the file may have been cut short, for example by an "
             "interrupted download." +
             kept;
    case SplitVerdict::kMalformedMessage:
      return "This file was not loaded: message " + std::to_string(plan.messageCount + 1) + " " +
             DescribeOffence(plan) + " at file offset " + offset +
             ". A firmware message must begin with F0 and end with F7, with only data bytes (00 "
             "to 7F) between them, or the MIDI output can't send it as it stands." +
             kept;
  }
  return {};
}

}  // namespace firmware
