// The double's output: PortMidi's rules for an event write, delivering into a byte log.
#include <portmidi.h>

#include <chrono>
#include <thread>
#include <vector>

#include "fake_state.h"

using fake_portmidi::detail::Stream;
using fake_portmidi::detail::TheState;

namespace {

constexpr std::uint32_t kSysEx = 0xF0;
constexpr std::uint32_t kEndOfSysEx = 0xF7;

std::uint32_t ByteOf(PmMessage message, int index) {
  return (static_cast<std::uint32_t>(message) >> (8 * index)) & 0xFF;
}

// The bytes a short message with this status byte takes on the wire.
int ShortMessageLength(std::uint32_t status) {
  if (status < 0xC0 || (status >= 0xE0 && status < 0xF0) || status == 0xF2) {
    return 3;
  }
  if (status < 0xE0 || status == 0xF1 || status == 0xF3) {
    return 2;
  }
  return 1;
}

// The back end: the bytes reach the device's log unless a failure was injected.
PmError Deliver(const Stream& stream, std::vector<std::uint8_t> bytes) {
  auto& state = TheState();
  if (state.holdNextSend) {
    std::this_thread::sleep_for(*state.holdNextSend);
    state.holdNextSend.reset();
  }
  if (state.failNextSend) {
    fake_portmidi::detail::SetPendingHostError(*state.failNextSend);
    state.failNextSend.reset();
    return pmHostError;
  }
  auto& log = state.written[stream.device];
  log.insert(log.end(), bytes.begin(), bytes.end());
  return pmNoError;
}

PmError DeliverShort(const Stream& stream, PmMessage message) {
  std::vector<std::uint8_t> bytes;
  for (int index = 0; index < ShortMessageLength(ByteOf(message, 0)); ++index) {
    bytes.push_back(static_cast<std::uint8_t>(ByteOf(message, index)));
  }
  return Deliver(stream, bytes);
}

PmError WriteEvent(Stream& stream, const PmEvent& event) {
  const std::uint32_t status = ByteOf(event.message, 0);
  int first = 0;
  if (status == kSysEx) {
    if (stream.sysexInProgress) {
      stream.sysexInProgress = false;
      return pmBadData;
    }
    stream.sysexInProgress = true;
    if (PmError err = Deliver(stream, {0xF0}); err != pmNoError) {
      return err;
    }
    first = 1;
  } else if ((status & 0x80) != 0 && status != kEndOfSysEx) {
    if (!stream.sysexInProgress) {
      return DeliverShort(stream, event.message);
    }
    if (status >= 0xF8) {
      return Deliver(stream, {static_cast<std::uint8_t>(status)});
    }
    stream.sysexInProgress = false;
    return pmBadData;
  }
  if (!stream.sysexInProgress) {
    return pmBadData;
  }
  for (int index = first; index < 4; ++index) {
    const std::uint32_t byte = ByteOf(event.message, index);
    if (PmError err = Deliver(stream, {static_cast<std::uint8_t>(byte)}); err != pmNoError) {
      return err;
    }
    if (byte == kEndOfSysEx) {
      stream.sysexInProgress = false;
      break;
    }
  }
  return pmNoError;
}

}  // namespace

extern "C" {

PmError Pm_Write(PortMidiStream* handle, PmEvent* buffer, int32_t length) {
  TheState().hostError = false;
  if (handle == nullptr) {
    return pmBadPtr;
  }
  Stream& stream = fake_portmidi::detail::LiveStream(handle, "Pm_Write");
  if (!stream.output) {
    return pmBadPtr;
  }
  const std::size_t before = TheState().written[stream.device].size();
  PmError result = pmNoError;
  for (int32_t index = 0; index < length && result == pmNoError; ++index) {
    result = WriteEvent(stream, buffer[index]);
  }
  const std::size_t after = TheState().written[stream.device].size();
  if (after != before) {
    TheState().writes[stream.device].push_back(
        {before, after - before, std::chrono::steady_clock::now()});
  }
  return result;
}

PmError Pm_WriteShort(PortMidiStream* stream, PmTimestamp when, int32_t msg) {
  PmEvent event{msg, when};
  return Pm_Write(stream, &event, 1);
}

// Like PortMidi, reads up to the first 0xF7 whatever lies beyond it: a caller that hands
// bytes without one makes this read past them, which the sanitizers report.
PmError Pm_WriteSysEx(PortMidiStream* stream, PmTimestamp when, unsigned char* msg) {
  std::vector<PmEvent> events;
  for (std::size_t index = 0;; ++index) {
    if (index % 4 == 0) {
      events.push_back(PmEvent{0, when});
    }
    events.back().message |=
        static_cast<PmMessage>(static_cast<std::uint32_t>(msg[index]) << (8 * (index % 4)));
    if (msg[index] == kEndOfSysEx) {
      break;
    }
  }
  return Pm_Write(stream, events.data(), static_cast<int32_t>(events.size()));
}

}  // extern "C"
