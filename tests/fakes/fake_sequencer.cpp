// The double's ALSA sequencer: what arrives at the port of an input device waits there, as
// sequencer events stamped with the queue's time, until PortMidi polls (fake_pm_input.cpp).
#include <algorithm>
#include <string>

#include "fake_state.h"

using fake_portmidi::detail::Arrival;
using fake_portmidi::detail::TheState;
using fake_portmidi::detail::WireParser;

namespace {

constexpr int kSysEx = 0xF0;
constexpr int kEndOfSysEx = 0xF7;
// ALSA's parser hands a System Exclusive message on in parts of at most this many bytes,
// the buffer size PortMidi gives it.
constexpr std::size_t kSysExPart = 1024;

// The data bytes a status takes; none for the statuses the sequencer has no event for
// (0xF4, 0xF5, a lone 0xF7, 0xF9 and 0xFD: ALSA drops them, or PortMidi ignores its tick).
std::optional<int> DataBytes(int status) {
  switch (status >> 4) {
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB:
    case 0xE:
      return 2;
    case 0xC:
    case 0xD:
      return 1;
    default:
      break;
  }
  switch (status) {
    case 0xF1:
    case 0xF3:
      return 1;
    case 0xF2:
      return 2;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
      return 0;
    default:
      return std::nullopt;
  }
}

PmTimestamp QueueTime() {
  return TheState().time - TheState().sequencerQueueStart;
}

void ArriveShort(PmDeviceID device, const std::vector<std::uint8_t>& bytes, PmTimestamp tick) {
  std::uint32_t message = 0;
  for (std::size_t index = 0; index < bytes.size(); ++index) {
    message |= static_cast<std::uint32_t>(bytes[index]) << (8 * index);
  }
  TheState().arrivals.push_back(Arrival{device, tick, static_cast<PmMessage>(message), {}});
}

void ArriveSysEx(PmDeviceID device, std::vector<std::uint8_t> bytes) {
  TheState().arrivals.push_back(Arrival{device, QueueTime(), 0, std::move(bytes)});
}

// One byte through ALSA's parser: a real-time byte becomes an event at once, also inside a
// System Exclusive message, which arrives whole at its 0xF7 (or in parts of 1024 bytes);
// a short message arrives when complete, and data bytes after it repeat its status
// (running status) unless it was a system message. A status byte inside a System
// Exclusive message drops the bytes not yet handed on.
void Parse(PmDeviceID device, WireParser& wire, std::uint8_t byte) {
  if (byte >= 0xF8) {
    if (DataBytes(byte)) {
      ArriveShort(device, {byte}, QueueTime());
    }
    return;
  }
  const bool status = (byte & 0x80) != 0;
  if (status && !(byte == kEndOfSysEx && wire.status == kSysEx)) {
    wire.status = byte;
    wire.message.assign(1, byte);
    wire.awaited = byte == kSysEx ? 0 : DataBytes(byte).value_or(0);
  } else if (wire.status == kSysEx) {
    wire.message.push_back(byte);
    if (byte == kEndOfSysEx || wire.message.size() >= kSysExPart) {
      ArriveSysEx(device, std::move(wire.message));
      wire.message.clear();
      if (byte == kEndOfSysEx) {
        wire.status = 0;
      }
    }
    return;
  } else if (wire.awaited > 0) {
    wire.message.push_back(byte);
    --wire.awaited;
  } else if (wire.status >= 0x80 && wire.status < 0xF0) {
    wire.message.assign({static_cast<std::uint8_t>(wire.status), byte});
    wire.awaited = *DataBytes(wire.status) - 1;
  } else {
    return;
  }
  if (wire.status != kSysEx && wire.awaited == 0) {
    if (DataBytes(wire.status)) {
      ArriveShort(device, wire.message, QueueTime());
    }
    if (wire.status >= 0xF0) {
      wire.status = 0;
    }
  }
}

}  // namespace

namespace fake_portmidi {

bool Receive(PmDeviceID device, PmMessage message, std::optional<PmTimestamp> when) {
  const auto status = static_cast<std::uint8_t>(message & 0xFF);
  const std::optional<int> dataBytes = DataBytes(status);
  if (!dataBytes) {
    detail::Fail("Receive was given status " + std::to_string(status) +
                 ", for which the sequencer carries no short message");
  }
  if (detail::OpenInputOn(device) == nullptr) {
    return false;
  }
  // The sequencer carries the status's data bytes, seven bits each, and nothing beyond.
  std::vector<std::uint8_t> bytes{status};
  for (int index = 1; index <= *dataBytes; ++index) {
    bytes.push_back(static_cast<std::uint8_t>((message >> (8 * index)) & 0x7F));
  }
  ArriveShort(device, bytes, when.value_or(QueueTime()));
  return true;
}

bool ReceiveSysEx(PmDeviceID device, const std::vector<std::uint8_t>& bytes) {
  if (detail::OpenInputOn(device) == nullptr || bytes.empty()) {
    return false;
  }
  for (std::size_t from = 0; from < bytes.size(); from += kSysExPart) {
    const std::size_t to = std::min(bytes.size(), from + kSysExPart);
    ArriveSysEx(device, std::vector<std::uint8_t>(bytes.begin() + from, bytes.begin() + to));
  }
  return true;
}

bool ReceiveBytes(PmDeviceID device, const std::vector<std::uint8_t>& bytes) {
  if (detail::OpenInputOn(device) == nullptr) {
    return false;
  }
  WireParser& wire = TheState().wires[device];
  for (std::uint8_t byte : bytes) {
    Parse(device, wire, byte);
  }
  return true;
}

}  // namespace fake_portmidi
