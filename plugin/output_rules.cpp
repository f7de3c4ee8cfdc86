#include "output_rules.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kSysEx = 0xF0;
constexpr std::uint32_t kEndOfSysEx = 0xF7;

std::uint32_t ByteOf(PmMessage message, int index) {
  return (static_cast<std::uint32_t>(message) >> (8 * index)) & 0xFF;
}

}  // namespace

SysExState FollowEventWrite(bool sysexInProgress, std::span<const PmEvent> events,
                            void (*onShort)(const PmEvent&)) {
  bool touched = sysexInProgress;
  for (const PmEvent& event : events) {
    const std::uint32_t status = ByteOf(event.message, 0);
    int firstDataByte = 0;
    if (status == kSysEx) {
      if (sysexInProgress) {
        return {false, true};  // refused: the earlier message never ended
      }
      sysexInProgress = true;
      touched = true;
      firstDataByte = 1;
    } else if ((status & 0x80) != 0 && status != kEndOfSysEx) {
      if (!sysexInProgress) {
        onShort(event);
        continue;
      }
      if (status >= 0xF8) {
        continue;  // real-time bytes may sit inside a System Exclusive message
      }
      return {false, true};  // refused, and the System Exclusive message is ended
    }
    if (!sysexInProgress) {
      return {false, touched};  // refused: data without a status byte
    }
    for (int index = firstDataByte; index < 4; ++index) {
      if (ByteOf(event.message, index) == kEndOfSysEx) {
        sysexInProgress = false;
        break;
      }
    }
  }
  return {sysexInProgress, touched};
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
