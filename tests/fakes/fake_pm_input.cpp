// The double's input, as PortMidi 217 runs it on ALSA: nothing reaches an input's queue
// until a Pm_Poll or Pm_Read of any input takes what the sequencer holds, judging each
// message by its stream's masks as they are at that moment.
#include <portmidi.h>

#include <string>

#include "fake_state.h"

using fake_portmidi::detail::LiveStream;
using fake_portmidi::detail::Stream;
using fake_portmidi::detail::TheState;

namespace {

constexpr std::uint32_t kSysEx = 0xF0;
constexpr std::uint32_t kEndOfSysEx = 0xF7;

bool IsStatus(std::uint32_t byte) {
  return (byte & 0x80) != 0;
}

bool IsRealTime(std::uint32_t status) {
  return status >= 0xF8;
}

// Filter bits 0 to 15 name the statuses 0xF0 to 0xFF, but PortMidi consults them only for
// real-time messages and for the 0xF0 that begins a System Exclusive message: a time code
// (0xF1) passes FilterMTC, and the other system-common bits drop nothing either.
bool LowFilterBit(const Stream& stream, std::uint32_t status) {
  return (static_cast<std::uint32_t>(stream.filters) & (1u << (status & 0x0F))) != 0;
}

// Bits 16 to 31, one per high nibble of the status: bit 31 drops every short system message.
bool KindFiltered(const Stream& stream, std::uint32_t status) {
  return (static_cast<std::uint32_t>(stream.filters) & (1u << (16 + (status >> 4)))) != 0;
}

bool ChannelFiltered(const Stream& stream, std::uint32_t status) {
  return status < 0xF0 &&
         (static_cast<std::uint32_t>(stream.channelMask) & (1u << (status & 0x0F))) == 0;
}

// PortMidi's queue: a full queue drops the message and every later one until the reader has
// reached the place of the overflow. Answers whether the event was queued.
bool Enqueue(Stream& stream, const PmEvent& event) {
  if (stream.overflow) {
    return false;
  }
  if (stream.queue.size() >= stream.capacity) {
    stream.overflow = true;
    return false;
  }
  stream.queue.push_back(event);
  return true;
}

// Queues the System Exclusive bytes gathered so far as one event. An overflow ends the
// message: its remaining bytes are dropped.
void FlushSysEx(Stream& stream, PmTimestamp tick) {
  if (stream.sysexPackedBytes == 0) {
    return;
  }
  if (!Enqueue(stream, PmEvent{stream.sysexPacked, tick})) {
    stream.sysexInProgress = false;
  }
  stream.sysexPacked = 0;
  stream.sysexPackedBytes = 0;
}

// Adds a byte to the event being gathered; answers whether the event is now whole.
bool PackSysExByte(Stream& stream, std::uint32_t byte) {
  stream.sysexPacked = static_cast<PmMessage>(static_cast<std::uint32_t>(stream.sysexPacked) |
                                              (byte << (8 * stream.sysexPackedBytes)));
  return ++stream.sysexPackedBytes == 4;
}

void TakeShort(Stream& stream, const PmEvent& event) {
  const std::uint32_t status = static_cast<std::uint32_t>(event.message) & 0xFF;
  if (KindFiltered(stream, status) || (IsRealTime(status) && LowFilterBit(stream, status)) ||
      ChannelFiltered(stream, status)) {
    return;
  }
  if (stream.sysexInProgress && IsStatus(status)) {
    // Inside a System Exclusive message a real-time message becomes one of its bytes; any
    // other message ends it and is lost with it. The bytes gathered stay and lead the next
    // System Exclusive message's first event.
    if (!IsRealTime(status)) {
      stream.sysexInProgress = false;
    } else if (PackSysExByte(stream, status)) {
      FlushSysEx(stream, event.timestamp);
    }
    return;
  }
  if (!Enqueue(stream, event)) {
    stream.sysexInProgress = false;
  }
}

bool AllData(const std::vector<std::uint8_t>& bytes, std::size_t from) {
  for (std::size_t index = from; index < from + 4; ++index) {
    if (IsStatus(bytes[index])) {
      return false;
    }
  }
  return true;
}

// One part of a System Exclusive message as the sequencer delivered it.
void TakeSysEx(Stream& stream, const std::vector<std::uint8_t>& bytes, PmTimestamp tick) {
  std::size_t next = 0;
  if (!stream.sysexInProgress) {
    // Outside a message: wait for an 0xF0 that FilterSysEx lets through. Another status,
    // a filtered 0xF0 among them, is taken as a short message of one byte.
    while (next < bytes.size() && !stream.sysexInProgress) {
      const std::uint32_t byte = bytes[next];
      if (byte == kSysEx && !LowFilterBit(stream, byte)) {
        stream.sysexInProgress = true;
        break;
      }
      ++next;
      if (byte == kEndOfSysEx) {
        return;
      }
      if (IsStatus(byte)) {
        TakeShort(stream, PmEvent{static_cast<PmMessage>(byte), tick});
      }
    }
  }
  while (next < bytes.size() && stream.sysexInProgress) {
    if (stream.sysexPackedBytes == 0 && next + 4 <= bytes.size() && AllData(bytes, next)) {
      const PmMessage word =
          static_cast<PmMessage>(bytes[next] | (bytes[next + 1] << 8) | (bytes[next + 2] << 16) |
                                 (static_cast<std::uint32_t>(bytes[next + 3]) << 24));
      if (!Enqueue(stream, PmEvent{word, tick})) {
        stream.sysexInProgress = false;
      }
      next += 4;
      continue;
    }
    while (next < bytes.size()) {
      const std::uint32_t byte = bytes[next++];
      if (IsRealTime(byte) && LowFilterBit(stream, byte)) {
        continue;
      }
      const bool whole = PackSysExByte(stream, byte);
      if (byte == kEndOfSysEx) {
        stream.sysexInProgress = false;
        FlushSysEx(stream, tick);
        return;
      }
      if (whole) {
        FlushSysEx(stream, tick);
        break;
      }
    }
  }
}

// PortMidi's poll of the sequencer: every waiting event goes to the input of its device.
void TakeArrivals() {
  auto& arrivals = TheState().arrivals;
  while (!arrivals.empty()) {
    const fake_portmidi::detail::Arrival arrival = std::move(arrivals.front());
    arrivals.pop_front();
    Stream* stream = fake_portmidi::detail::OpenInputOn(arrival.device);
    if (stream == nullptr) {
      fake_portmidi::detail::Fail(
          "a poll took a message for device " + std::to_string(arrival.device) +
          ", whose input was closed with it unread: real PortMidi dereferences a null stream");
    }
    if (arrival.sysex.empty()) {
      TakeShort(*stream, PmEvent{arrival.message, arrival.tick});
    } else {
      TakeSysEx(*stream, arrival.sysex, arrival.tick);
    }
  }
}

}  // namespace

extern "C" {

PmError Pm_Poll(PortMidiStream* handle) {
  TheState().hostError = false;
  if (handle == nullptr) {
    return pmBadPtr;
  }
  const Stream& stream = LiveStream(handle, "Pm_Poll");
  if (stream.output) {
    return pmBadPtr;
  }
  TakeArrivals();
  return stream.queue.empty() ? pmNoData : pmGotData;
}

int Pm_Read(PortMidiStream* handle, PmEvent* buffer, int32_t length) {
  TheState().hostError = false;
  if (handle == nullptr) {
    return pmBadPtr;
  }
  Stream& stream = LiveStream(handle, "Pm_Read");
  if (stream.output) {
    return pmBadPtr;
  }
  TakeArrivals();
  int count = 0;
  while (count < length) {
    if (stream.queue.empty()) {
      if (stream.overflow) {
        // Reported at its place, and whatever this call took before it is lost.
        stream.overflow = false;
        return pmBufferOverflow;
      }
      break;
    }
    buffer[count++] = stream.queue.front();
    stream.queue.pop_front();
  }
  return count;
}

}  // extern "C"
