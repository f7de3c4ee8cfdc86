// The double's streams: opening and closing, and masks.
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

// Inputs stamp what they receive with the queue's time; outputs with a latency schedule on it.
bool UsesSequencerQueue(const Stream& stream) {
  return !stream.output || stream.latency > 0;
}

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
  if (UsesSequencerQueue(*stream)) {
    fake_portmidi::detail::UseSequencerQueue();
  }
  *handle = stream.get();
  state.streams.push_back(std::move(stream));
  return pmNoError;
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
  if (UsesSequencerQueue(stream)) {
    fake_portmidi::detail::UnuseSequencerQueue();
  }
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

}  // extern "C"
