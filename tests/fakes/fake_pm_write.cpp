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
// The encoder's buffer, PortMidi's PM_DEFAULT_SYSEX_BUFFER_SIZE: a longer System Exclusive
// message leaves it in parts of this many bytes.
constexpr std::size_t kEncoderBuffer = 1024;
// Pm_WriteSysEx hands PortMidi's event write the first event alone, then this many at a time.
constexpr std::size_t kSysExChunk = kEncoderBuffer / sizeof(PmMessage);

// The encoder's kinds of message: 0 to 7 the channel messages by their status byte's high
// bits, kSystem + n the status byte 0xF0 + n.
constexpr int kSystem = 8;
constexpr int kSysExKind = kSystem;
// After a system message the encoder waits for a new status byte.
constexpr int kNoKind = 7;
// Data bytes each kind takes; -1 for the status bytes the encoder makes nothing of.
constexpr std::array<int, 16> kDataBytes = {2, 2, 2, 2, 1, 1, 2, 0, 1, 1, 2, 1, -1, -1, 0, -1};

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

// ALSA's snd_midi_event_encode_byte: the message one more byte completes, as its bytes on
// the wire.
std::optional<std::vector<std::uint8_t>> Encode(Stream& stream, std::uint8_t byte) {
  if (byte >= 0xF8) {
    // Real-time bytes pass at once and leave the message being gathered as it is.
    if (byte == 0xF9 || byte == 0xFD) {
      return std::nullopt;
    }
    return std::vector<std::uint8_t>{byte};
  }
  auto& message = stream.encoded;
  int& kind = stream.encodedKind;
  int& needs = stream.encodedNeeds;
  if ((byte & 0x80) != 0 && !(byte == kEndOfSysEx && kind == kSysExKind)) {
    message.assign(1, byte);
    kind = byte >= 0xF0 ? kSystem + (byte & 0x0F) : (byte >> 4) & 0x07;
    needs = kDataBytes[kind];
  } else if (needs > 0) {
    message.push_back(byte);
    if (kind != kSysExKind) {
      --needs;
    }
  } else {
    // Running status: the data bytes of another message of the last kind.
    message.resize(1);
    message.push_back(byte);
    needs = kDataBytes[kind] - 1;
  }
  if (needs == 0) {
    std::vector<std::uint8_t> bytes = message;
    bytes[0] = static_cast<std::uint8_t>(kind >= kSystem ? 0xF0 + (kind - kSystem)
                                                         : 0x80 | (kind << 4) | (bytes[0] & 0x0F));
    if (kind >= kSystem) {
      kind = kNoKind;
    }
    return bytes;
  }
  if (kind == kSysExKind && (byte == kEndOfSysEx || message.size() >= kEncoderBuffer)) {
    std::vector<std::uint8_t> part = std::move(message);
    message.clear();
    if (byte == kEndOfSysEx) {
      kind = 0;
      needs = 0;
    }
    return part;
  }
  return std::nullopt;
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
  const auto message = Encode(stream, byte);
  return message ? HandOver(stream, *message) : pmNoError;
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
