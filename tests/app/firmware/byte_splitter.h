// The simplest possible split, a byte at a time, kept as the reference that the program's
// block-wise FirmwareSplitter must agree with.
#pragma once

#include <xxhash.h>

#include <cstdint>
#include <optional>
#include <span>

#include "FirmwareSplit.h"

namespace reference {

class ByteSplitter {
 public:
  // Looks at the next byte of the file. Answers false when no further byte should be read:
  // the end message is complete, or the file is already refused.
  bool Take(std::uint8_t byte) {
    if (stopped_ || column_ == firmware::kRowBytes) {
      if (refusal_ == firmware::SplitVerdict::kFits && !endSeen_) {
        refusal_ = messages_ == firmware::kRowCount ? firmware::SplitVerdict::kTooManyMessages
                                                    : firmware::SplitVerdict::kRunTooLong;
      }
      stopped_ = true;
      return false;
    }
    const std::size_t offset = taken_++;
    if (byte == firmware::kEndOfExclusive) {
      if (offence_) {
        refusal_ = firmware::SplitVerdict::kMalformedMessage;
        stopped_ = true;
        return false;
      }
      // The 0xF7 itself must stand after both marks, so only the message's own bytes count.
      endSeen_ = column_ > firmware::kEndMarkSecond && marks_[0] == '0' && marks_[1] == '1';
      dataSeen_ = dataSeen_ || column_ > 0;
      ++messages_;
      column_ = 0;
      stopped_ = endSeen_ || messages_ == firmware::kRowCount;
      return !endSeen_;
    }
    // A message begins with 0xF0 and holds only data bytes after it.
    const bool atStart = column_ == 0;
    if (!offence_ && (atStart ? byte != firmware::kStartOfExclusive : byte >= 0x80)) {
      offence_ = firmware::MessageOffence{offset, byte, atStart};
    }
    if (column_ == firmware::kEndMarkFirst || column_ == firmware::kEndMarkSecond) {
      marks_[column_ - firmware::kEndMarkFirst] = byte;
    }
    ++column_;
    return true;
  }

  firmware::SplitPlan Plan() const {
    firmware::SplitPlan plan;
    plan.messageCount = messages_;
    plan.byteCount = taken_;
    plan.endMessageSeen = endSeen_;
    if (refusal_ == firmware::SplitVerdict::kMalformedMessage) {
      plan.byteCount = offence_->offset;
      plan.offendingByte = offence_->byte;
      plan.offendsAtStart = offence_->atStart;
    }
    // Bytes after the last 0xF7 are a message the file was cut inside.
    const bool cut = refusal_ == firmware::SplitVerdict::kFits && messages_ > 0 && column_ > 0;
    if (cut) {
      plan.cutMessageBytes = static_cast<std::size_t>(column_);
      plan.byteCount = taken_ - plan.cutMessageBytes;
    }
    plan.verdict = refusal_ != firmware::SplitVerdict::kFits ? refusal_
                   : cut           ? firmware::SplitVerdict::kEndsInsideMessage
                   : dataSeen_     ? firmware::SplitVerdict::kFits
                   : messages_ > 0 ? firmware::SplitVerdict::kOnlyEmptyMessages
                                   : firmware::SplitVerdict::kNoCompleteMessage;
    return plan;
  }

 private:
  firmware::SplitVerdict refusal_ = firmware::SplitVerdict::kFits;
  bool stopped_ = false;
  std::int64_t messages_ = 0;
  std::int64_t column_ = 0;
  std::size_t taken_ = 0;
  std::uint8_t marks_[2] = {0, 0};
  bool endSeen_ = false;
  bool dataSeen_ = false;
  // The current row's first byte out of place; it counts once a 0xF7 closes the row.
  std::optional<firmware::MessageOffence> offence_;
};

// The reference's plan for a whole file held in memory, with the digest of the bytes the store
// takes computed in one go.
inline firmware::SplitPlan PlanByBytes(std::span<const std::uint8_t> file) {
  ByteSplitter splitter;
  for (const std::uint8_t byte : file) {
    if (!splitter.Take(byte)) {
      break;
    }
  }
  firmware::SplitPlan plan = splitter.Plan();
  if (plan.verdict == firmware::SplitVerdict::kFits) {
    plan.digest = XXH3_64bits(file.data(), plan.byteCount);
  }
  return plan;
}

}  // namespace reference
