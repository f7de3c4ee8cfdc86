// The double's ALSA sequencer: what arrives at the port of an input device waits there, as
// sequencer events stamped with the queue's time, until PortMidi polls (fake_pm_input.cpp).
#include <algorithm>
#include <string>

#include "fake_state.h"

using fake_portmidi::detail::AlsaByteEncoder;
using fake_portmidi::detail::Arrival;
using fake_portmidi::detail::TheState;

namespace {

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

}  // namespace

namespace fake_portmidi {

bool Receive(PmDeviceID device, PmMessage message, std::optional<PmTimestamp> when) {
  const auto status = static_cast<std::uint8_t>(message & 0xFF);
  const std::optional<int> dataBytes = AlsaByteEncoder::DataBytes(status);
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
  for (std::size_t from = 0; from < bytes.size(); from += AlsaByteEncoder::kSysExPart) {
    const std::size_t to = std::min(bytes.size(), from + AlsaByteEncoder::kSysExPart);
    ArriveSysEx(device, std::vector<std::uint8_t>(bytes.begin() + from, bytes.begin() + to));
  }
  return true;
}

bool ReceiveBytes(PmDeviceID device, const std::vector<std::uint8_t>& bytes) {
  if (detail::OpenInputOn(device) == nullptr) {
    return false;
  }
  AlsaByteEncoder& wire = TheState().wires[device];
  for (std::uint8_t byte : bytes) {
    if (auto event = wire.Feed(byte)) {
      if (event->sysex) {
        ArriveSysEx(device, std::move(event->bytes));
      } else {
        ArriveShort(device, event->bytes, QueueTime());
      }
    }
  }
  return true;
}

}  // namespace fake_portmidi
