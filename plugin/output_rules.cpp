#include "output_rules.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

constexpr std::uint32_t kSysEx = 0xF0;
constexpr std::uint32_t kEndOfSysEx = 0xF7;
constexpr std::uint32_t kFirstRealTime = 0xF8;
// Pm_WriteSysEx hands the event write its first event alone, then this many at a time.
constexpr std::size_t kSysExPortion = PM_DEFAULT_SYSEX_BUFFER_SIZE / sizeof(PmMessage);

std::uint32_t ByteOf(PmMessage message, int index) {
  return (static_cast<std::uint32_t>(message) >> (8 * index)) & 0xFF;
}

// PortMidi's walk over the events from one System Exclusive state. The back end may fail
// with a host error in any call that sends (a short message, a real-time message, a byte of
// a System Exclusive message), and in the flush that ends each portion leaving no System
// Exclusive message in progress; PortMidi stops there, leaving its state as it was then.
class Walk {
 public:
  Walk(bool inProgress, std::span<const PmEvent> events) : inProgress_(inProgress) {
    for (std::size_t start = 0, portion = 1; start < events.size(); start += portion) {
      portion = start == 0 ? 1 : kSysExPortion;
      const std::size_t end = std::min(events.size(), start + portion);
      for (std::size_t index = start; index < end; ++index) {
        if (!WriteEvent(index, events[index].message)) {
          result_ = pmBadData;
          return;
        }
      }
      if (!inProgress_) {
        MayFail();
      }
    }
  }

  // PortMidi's answer when no host error came.
  PmError Result() const { return result_; }
  bool InProgressAfter() const { return inProgress_; }
  // The events it handed over as short messages, in order.
  const std::vector<std::size_t>& Handed() const { return handed_; }

  bool CanFail() const { return handedAtFirstFailure_.has_value(); }
  // Those handed over before any host error could stop the walk.
  std::vector<std::size_t> HandedBeforeAnyFailure() const {
    return {handed_.begin(), handed_.begin() + static_cast<std::ptrdiff_t>(*handedAtFirstFailure_)};
  }
  bool FailureCanLeaveNone() const { return failureCanLeaveNone_; }
  bool FailureCanLeaveInProgress() const { return failureCanLeaveInProgress_; }

 private:
  // False when PortMidi refuses the event for its bytes.
  bool WriteEvent(std::size_t index, PmMessage message) {
    const std::uint32_t status = ByteOf(message, 0);
    int firstDataByte = 0;
    if (status == kSysEx) {
      if (inProgress_) {
        inProgress_ = false;  // the earlier message never ended
        return false;
      }
      inProgress_ = true;
      MayFail();
      firstDataByte = 1;
    } else if ((status & 0x80) != 0 && status != kEndOfSysEx) {
      if (!inProgress_) {
        handed_.push_back(index);
        MayFail();
        return true;
      }
      if (status < kFirstRealTime) {
        inProgress_ = false;  // refused, and the System Exclusive message is ended
        return false;
      }
      // The real-time message is sent; then PortMidi goes on to write all four of the
      // event's bytes as System Exclusive data, its status byte included.
      MayFail();
    }
    if (!inProgress_) {
      return false;  // data without a status byte
    }
    for (int byte = firstDataByte; byte < 4; ++byte) {
      MayFail();
      if (ByteOf(message, byte) == kEndOfSysEx) {
        inProgress_ = false;
        break;
      }
    }
    return true;
  }

  void MayFail() {
    if (!handedAtFirstFailure_) {
      handedAtFirstFailure_ = handed_.size();
    }
    (inProgress_ ? failureCanLeaveInProgress_ : failureCanLeaveNone_) = true;
  }

  bool inProgress_;
  PmError result_ = pmNoError;
  std::vector<std::size_t> handed_;
  std::optional<std::size_t> handedAtFirstFailure_;
  bool failureCanLeaveNone_ = false;
  bool failureCanLeaveInProgress_ = false;
};

}  // namespace

// Every reading of PortMidi's answer, from each state the stream may have been in and with a
// host error at each place it may have come from, is kept if it gives that answer. The
// outcome is what all of them agree on, so that nothing PortMidi was not handed is recorded.
WriteOutcome FollowEventWrite(SysExState before, std::span<const PmEvent> events, PmError result) {
  if (result == pmBadPtr) {
    return {before, std::nullopt};  // refused before PortMidi looked at the events
  }
  bool canEndNone = false;
  bool canEndInProgress = false;
  std::optional<std::vector<std::size_t>> handedInEvery;
  for (bool inProgress : {false, true}) {
    if (before == (inProgress ? SysExState::none : SysExState::inProgress)) {
      continue;
    }
    const Walk walk(inProgress, events);
    std::vector<std::size_t> handed;
    if (result == pmHostError && walk.CanFail()) {
      canEndNone = canEndNone || walk.FailureCanLeaveNone();
      canEndInProgress = canEndInProgress || walk.FailureCanLeaveInProgress();
      handed = walk.HandedBeforeAnyFailure();
    } else if (result == walk.Result()) {
      (walk.InProgressAfter() ? canEndInProgress : canEndNone) = true;
      handed = walk.Handed();
    } else {
      continue;
    }
    if (handedInEvery) {
      std::vector<std::size_t> common;
      std::set_intersection(handedInEvery->begin(), handedInEvery->end(), handed.begin(),
                            handed.end(), std::back_inserter(common));
      handed = std::move(common);
    }
    handedInEvery = std::move(handed);
  }
  WriteOutcome outcome{SysExState::unknown, std::nullopt};
  if (canEndNone != canEndInProgress) {
    outcome.after = canEndNone ? SysExState::none : SysExState::inProgress;
  }
  if (handedInEvery && !handedInEvery->empty()) {
    outcome.lastShortMessage = handedInEvery->back();
  }
  return outcome;
}

std::vector<PmEvent> PackSysEx(const unsigned char* bytes, std::size_t length, PmTimestamp when) {
  std::vector<PmEvent> events;
  for (std::size_t index = 0; index < length; ++index) {
    if (index % 4 == 0) {
      events.push_back(PmEvent{0, when});
    }
    events.back().message |=
        static_cast<PmMessage>(static_cast<std::uint32_t>(bytes[index]) << (8 * (index % 4)));
    if (bytes[index] == kEndOfSysEx) {
      break;
    }
  }
  return events;
}
