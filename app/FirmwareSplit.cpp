#include "FirmwareSplit.h"

#include <algorithm>
#include <cstring>

namespace firmware {

bool FirmwareSplitter::Refuse() {
  if (refusal_ == SplitVerdict::kFits && !endSeen_) {
    refusal_ = messages_ == kRowCount ? SplitVerdict::kTooManyMessages : SplitVerdict::kRunTooLong;
  }
  stopped_ = true;
  return false;
}

bool FirmwareSplitter::CloseMessage() {
  // The 0xF7 itself must stand after both marks, so only the message's own bytes count.
  endSeen_ = column_ > kEndMarkSecond && marks_[0] == '0' && marks_[1] == '1';
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
  if (refusal_ != SplitVerdict::kFits) {
    plan.verdict = refusal_;
  } else if (messages_ == 0) {
    plan.verdict = SplitVerdict::kNoCompleteMessage;
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
    const std::int64_t look = std::min<std::int64_t>(kRowBytes - column_, end - next);
    const auto* close = static_cast<const std::uint8_t*>(std::memchr(next, kEndOfExclusive, look));
    const std::int64_t count = close ? close - next + 1 : look;
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
  for (std::span<const std::uint8_t> block = read(); !block.empty(); block = read()) {
    if (!splitter.Take(block)) {
      break;
    }
    yield();
  }
  return splitter.Plan();
}

bool StoreFirmwareFile(const ReadBlock& read, const SplitPlan& plan, const FirmwareStore& store,
                       void (*yield)()) {
  *store.lastMessage = -1;
  FirmwareSplitter splitter(store);
  std::size_t left = plan.byteCount;
  while (left > 0) {
    const std::span<const std::uint8_t> block = read();
    if (block.empty()) {
      break;
    }
    const std::span<const std::uint8_t> planned = block.first(std::min(left, block.size()));
    left -= planned.size();
    if (!splitter.Take(planned) || left == 0) {
      break;
    }
    yield();
  }
  if (splitter.Plan() != plan) {
    return false;
  }
  *store.lastMessage = plan.messageCount - 1;
  return true;
}

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
      return "This file was not loaded: it holds more than " + std::to_string(kRowCount) +
             " firmware messages." + kept;
    case SplitVerdict::kNoCompleteMessage:
      return "This file was not loaded: it holds no complete firmware message (no end byte "
             "F7)." +
             kept;
  }
  return {};
}

}  // namespace firmware
