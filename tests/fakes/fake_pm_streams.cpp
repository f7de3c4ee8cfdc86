// The double's streams: opening and closing, masks, and the input queues.
#include <portmidi.h>
#include <porttime.h>

#include <memory>
#include <string>

#include "fake_state.h"

using fake_portmidi::detail::LiveStream;
using fake_portmidi::detail::Stream;
using fake_portmidi::detail::TheState;

namespace {

constexpr std::int32_t kDefaultQueueSize = 256;
// PortMidi's input queue takes three 32-bit words an event. The double stands for a machine
// that can give it at most 4 GiB.
constexpr std::size_t kLargestQueue = 0xFFFF'FFFF / 12;

bool ValidDevice(PmDeviceID device) {
  return device >= 0 && device < static_cast<PmDeviceID>(TheState().table.size());
}

// PortMidi's checks and the back end's answer, shared by both opens.
PmError OpenStream(PortMidiStream** handle, PmDeviceID device, bool output, Stream settings) {
  auto& state = TheState();
  state.hostError = false;
  *handle = nullptr;
  if (!ValidDevice(device)) {
    return pmInvalidDeviceId;
  }
  const auto& entry = state.table[device];
  if (!(output ? entry.output : entry.input) || state.openOn[device] != nullptr) {
    return pmInvalidDeviceId;
  }
  if (state.failNextOpen) {
    const PmError code = *state.failNextOpen;
    state.failNextOpen.reset();
    if (code == pmHostError) {
      fake_portmidi::detail::SetPendingHostError(state.failNextOpenText);
    }
    return code;
  }
  auto stream = std::make_unique<Stream>(settings);
  stream->device = device;
  stream->output = output;
  state.openOn[device] = stream.get();
  *handle = stream.get();
  state.streams.push_back(std::move(stream));
  return pmNoError;
}

// Whether the stream's masks let an incoming message with this status byte through.
bool Passes(const Stream& stream, std::uint32_t status) {
  const auto filters = static_cast<std::uint32_t>(stream.filters);
  if ((filters & (1u << (16 + (status >> 4)))) != 0 && status != 0xF0) {
    return false;
  }
  if (status >= 0xF0) {
    return (filters & (1u << (status - 0xF0))) == 0;
  }
  return (static_cast<std::uint32_t>(stream.channelMask) & (1u << (status & 0x0F))) != 0;
}

// Puts one event into the queue, with PortMidi's overflow rule: a full queue drops the
// message and every later one until the reader has reached the place of the overflow.
bool Enqueue(Stream& stream, PmEvent event) {
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

Stream* InputOn(PmDeviceID device) {
  auto& openOn = TheState().openOn;
  if (device < 0 || device >= static_cast<PmDeviceID>(openOn.size())) {
    return nullptr;
  }
  Stream* stream = openOn[device];
  return stream != nullptr && !stream->output ? stream : nullptr;
}

}  // namespace

extern "C" {

// PortMidi does not start PortTime for an input on Linux: ALSA stamps what arrives.
PmError Pm_OpenInput(PortMidiStream** stream, PmDeviceID inputDevice, void*, int32_t bufferSize,
                     PmTimeProcPtr, void*) {
  Stream settings;
  settings.bufferSize = bufferSize;
  settings.capacity = bufferSize <= 0 ? kDefaultQueueSize : bufferSize;
  settings.filters = PM_FILT_ACTIVE;
  if (ValidDevice(inputDevice) && TheState().table[inputDevice].input &&
      TheState().openOn[inputDevice] == nullptr && settings.capacity > kLargestQueue) {
    // Pm_QueueCreate zero-fills the queue before it checks the allocation.
    fake_portmidi::detail::Fail("Pm_OpenInput zero-filled a queue of " +
                                std::to_string(settings.capacity) +
                                " events that it could not allocate");
  }
  return OpenStream(stream, inputDevice, false, settings);
}

PmError Pm_OpenOutput(PortMidiStream** stream, PmDeviceID outputDevice, void*, int32_t bufferSize,
                      PmTimeProcPtr timeProc, void*, int32_t latency) {
  Stream settings;
  settings.bufferSize = bufferSize;
  settings.latency = latency < 0 ? 0 : latency;
  const PmError result = OpenStream(stream, outputDevice, true, settings);
  if (result == pmNoError && timeProc == nullptr && settings.latency != 0 && !Pt_Started()) {
    Pt_Start(1, nullptr, nullptr);
  }
  return result;
}

PmError Pm_Close(PortMidiStream* handle) {
  auto& state = TheState();
  state.hostError = false;
  if (handle == nullptr) {
    return pmBadPtr;
  }
  Stream& stream = fake_portmidi::detail::KnownStream(handle, "Pm_Close");
  if (stream.life == Stream::Life::detached) {
    return pmBadPtr;
  }
  LiveStream(handle, "Pm_Close");
  state.openOn[stream.device] = nullptr;
  stream.life = Stream::Life::closed;
  stream.queue.clear();
  ++state.closeCount;
  return pmNoError;
}

PmError Pm_Abort(PortMidiStream* handle) {
  TheState().hostError = false;
  if (handle == nullptr || !LiveStream(handle, "Pm_Abort").output) {
    return pmBadPtr;
  }
  ++TheState().abortCount;
  return pmNoError;
}

PmError Pm_SetFilter(PortMidiStream* handle, int32_t filters) {
  if (handle == nullptr) {
    return pmBadPtr;
  }
  LiveStream(handle, "Pm_SetFilter").filters = filters;
  return pmNoError;
}

PmError Pm_SetChannelMask(PortMidiStream* handle, int mask) {
  if (handle == nullptr) {
    return pmBadPtr;
  }
  LiveStream(handle, "Pm_SetChannelMask").channelMask = mask;
  return pmNoError;
}

PmError Pm_Synchronize(PortMidiStream* handle) {
  if (handle == nullptr) {
    return pmBadPtr;
  }
  LiveStream(handle, "Pm_Synchronize");
  return pmNoError;
}

PmError Pm_Poll(PortMidiStream* handle) {
  TheState().hostError = false;
  if (handle == nullptr) {
    return pmBadPtr;
  }
  const Stream& stream = LiveStream(handle, "Pm_Poll");
  if (stream.output) {
    return pmBadPtr;
  }
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
  int count = 0;
  while (count < length) {
    if (stream.queue.empty()) {
      if (stream.overflow) {
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

namespace fake_portmidi {

bool Receive(PmDeviceID device, PmMessage message, std::optional<PmTimestamp> when) {
  Stream* stream = InputOn(device);
  if (stream == nullptr || !Passes(*stream, static_cast<std::uint32_t>(message) & 0xFF)) {
    return false;
  }
  return Enqueue(*stream, PmEvent{message, when.value_or(TheState().time)});
}

bool ReceiveSysEx(PmDeviceID device, const std::vector<std::uint8_t>& bytes) {
  Stream* stream = InputOn(device);
  if (stream == nullptr || bytes.empty() || !Passes(*stream, bytes.front())) {
    return false;
  }
  bool queued = true;
  for (std::size_t index = 0; index < bytes.size(); index += 4) {
    std::uint32_t message = 0;
    for (std::size_t byte = 0; byte < 4 && index + byte < bytes.size(); ++byte) {
      message |= static_cast<std::uint32_t>(bytes[index + byte]) << (8 * byte);
    }
    queued = Enqueue(*stream, PmEvent{static_cast<PmMessage>(message), TheState().time}) && queued;
  }
  return queued;
}

}  // namespace fake_portmidi
