// The double's output: PortMidi 217's event write over its ALSA back end, delivering into a
// byte log. PortMidi walks the events and calls the back end for each short message,
// real-time message and System Exclusive byte; the back end feeds ALSA's byte encoder, which
// hands a message to the operating system once it is complete, and flushes at the end of a
// write that leaves no System Exclusive message in progress.
#include <portmidi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "fake_state.h"

using fake_portmidi::detail::Stream;
using fake_portmidi::detail::TheState;

namespace {

constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kEndOfSysEx = 0xF7;
// Pm_WriteSysEx hands PortMidi's event write the first event alone, then this many at a time.
constexpr std::size_t kSysExChunk =
    fake_portmidi::detail::AlsaByteEncoder::kSysExPart / sizeof(PmMessage);

std::uint8_t ByteOf(PmMessage message, int index) {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(message) >> (8 * index));
}

// The bytes PortMidi's back end takes of a short message with this status byte
// (midi_message_length): none for the undefined ones.
int ShortMessageLength(std::uint8_t status) {
  if (status < 0x80) {
    return 0;
  }
  if (status < 0xF0) {
    return status < 0xC0 || status >= 0xE0 ? 3 : 2;
  }
  constexpr std::array<int, 16> kSystemLength = {0, 2, 3, 2, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1};
  return kSystemLength[status - 0xF0];
}

// The operating system takes a complete message, or fails as injected; the back end keeps
// the failure.
PmError HandOver(Stream& stream, const std::vector<std::uint8_t>& bytes) {
  auto& state = TheState();
  if (state.holdNextSend) {
    std::this_thread::sleep_for(*state.holdNextSend);
    state.holdNextSend.reset();
  }
  if (state.failNextSend) {
    stream.backEndError = std::move(*state.failNextSend);
    state.failNextSend.reset();
    return pmHostError;
  }
  auto& log = state.written[stream.device];
  log.insert(log.end(), bytes.begin(), bytes.end());
  return pmNoError;
}

// The back end's write_byte.
PmError WriteByte(Stream& stream, std::uint8_t byte) {
  const auto event = stream.encoder.Feed(byte);
  return event ? HandOver(stream, event->bytes) : pmNoError;
}

// The back end's write_short, also used for a real-time message inside a System Exclusive
// message. It checks the back end's kept error after each byte, so while one is kept every
// short message fails, even one whose byte went out.
PmError WriteShort(Stream& stream, PmMessage message) {
  for (int index = 0; index < ShortMessageLength(ByteOf(message, 0)); ++index) {
    WriteByte(stream, ByteOf(message, index));
    if (stream.backEndError) {
      break;
    }
  }
  return stream.backEndError ? pmHostError : pmNoError;
}

PmError Flush(Stream& stream) {
  auto& state = TheState();
  if (state.failNextFlush) {
    stream.backEndError = std::move(*state.failNextFlush);
    state.failNextFlush.reset();
    return pmHostError;
  }
  stream.backEndError.reset();
  return pmNoError;
}

// PortMidi's walk over the events of one Pm_Write; stops at the first error.
PmError WriteEvents(Stream& stream, const PmEvent* events, int32_t length) {
  for (int32_t index = 0; index < length; ++index) {
    const PmMessage message = events[index].message;
    const std::uint8_t status = ByteOf(message, 0);
    int first = 0;
    if (status == kSysEx) {
      if (stream.sysexInProgress) {
        stream.sysexInProgress = false;
        return pmBadData;
      }
      stream.sysexInProgress = true;
      if (PmError err = WriteByte(stream, kSysEx); err != pmNoError) {
        return err;
      }
      first = 1;
    } else if ((status & 0x80) != 0 && status != kEndOfSysEx) {
      if (!stream.sysexInProgress) {
        if (PmError err = WriteShort(stream, message); err != pmNoError) {
          return err;
        }
        continue;
      }
      if (status < 0xF8) {
        stream.sysexInProgress = false;
        return pmBadData;
      }
      // PortMidi sends the real-time message and then goes on to write all four of the
      // event's bytes as System Exclusive data, its status byte included.
      if (PmError err = WriteShort(stream, message); err != pmNoError) {
        return err;
      }
    }
    if (!stream.sysexInProgress) {
      return pmBadData;
    }
    for (int byte = first; byte < 4; ++byte) {
      if (PmError err = WriteByte(stream, ByteOf(message, byte)); err != pmNoError) {
        return err;
      }
      if (ByteOf(message, byte) == kEndOfSysEx) {
        stream.sysexInProgress = false;
        break;
      }
    }
  }
  return stream.sysexInProgress ? pmNoError : Flush(stream);
}

// PortMidi's checks before an event write; null when they refuse the stream.
Stream* OutputStream(PortMidiStream* handle, const char* call) {
  TheState().hostError = false;
  if (handle == nullptr) {
    return nullptr;
  }
  Stream& stream = fake_portmidi::detail::LiveStream(handle, call);
  return stream.output ? &stream : nullptr;
}

// Runs one call of the API, noting in the device's log of writes what it delivered, and
// leaves the back end's error pending as PortMidi's host error.
template <class Write>
PmError LoggedWrite(Stream& stream, Write write) {
  auto& state = TheState();
  const std::size_t before = state.written[stream.device].size();
  const PmError result = write();
  const std::size_t after = state.written[stream.device].size();
  if (after != before) {
    state.writes[stream.device].push_back(
        {before, after - before, std::chrono::steady_clock::now()});
  }
  if (result == pmHostError) {
    fake_portmidi::detail::SetPendingHostError(*stream.backEndError);
  }
  return result;
}

}  // namespace

extern "C" {

PmError Pm_Write(PortMidiStream* handle, PmEvent* buffer, int32_t length) {
  Stream* stream = OutputStream(handle, "Pm_Write");
  if (stream == nullptr) {
    return pmBadPtr;
  }
  return LoggedWrite(*stream, [&] { return WriteEvents(*stream, buffer, length); });
}

PmError Pm_WriteShort(PortMidiStream* stream, PmTimestamp when, int32_t msg) {
  PmEvent event{msg, when};
  return Pm_Write(stream, &event, 1);
}

// Like PortMidi, reads up to the first 0xF7 whatever lies beyond it: a caller that hands
// bytes without one makes this read past them, which the sanitizers report. The events go to
// the event write in PortMidi's portions, each ending as a Pm_Write does.
PmError Pm_WriteSysEx(PortMidiStream* handle, PmTimestamp when, unsigned char* msg) {
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
  Stream* stream = OutputStream(handle, "Pm_WriteSysEx");
  if (stream == nullptr) {
    return pmBadPtr;
  }
  return LoggedWrite(*stream, [&] {
    PmError result = WriteEvents(*stream, events.data(), 1);
    for (std::size_t start = 1; result == pmNoError && start < events.size();
         start += kSysExChunk) {
      const std::size_t count = std::min(kSysExChunk, events.size() - start);
      result = WriteEvents(*stream, events.data() + start, static_cast<int32_t>(count));
    }
    return result;
  });
}

}  // extern "C"
