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

SplitPlan PlanFirmwareSplit(std::span<const std::uint8_t> file, void (*yield)()) {
  FirmwareSplitter splitter;
  for (const std::uint8_t byte : file) {
    if (!splitter.Take(byte)) {
      break;
    }
    yield();
  }
  return splitter.Plan();
}

void StoreFirmwareSplit(std::span<const std::uint8_t> file, const SplitPlan& plan,
                        const FirmwareStore& store) {
  const std::uint8_t* next = file.data();
  const std::uint8_t* const end = file.data() + plan.byteCount;
  std::int64_t row = 0;
  while (next != end) {
    const auto* close =
        static_cast<const std::uint8_t*>(std::memchr(next, kEndOfExclusive, end - next));
    const std::uint8_t* const stop = close ? close + 1 : end;
    std::copy(next, stop, store.buffer.begin() + row * kRowBytes);
    if (close) {
      store.rowEnds[row] = close - next;
      ++row;
    }
    next = stop;
  }
  *store.lastMessage = plan.messageCount - 1;
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
