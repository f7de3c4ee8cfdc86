#include "fake_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fake_portmidi::detail {

State& TheState() {
  static State state;
  return state;
}

void Fail(const std::string& message) {
  std::fprintf(stderr, "fake PortMidi: %s\n", message.c_str());
  std::fflush(stderr);
  std::abort();
}

Stream& KnownStream(PortMidiStream* handle, const char* call) {
  auto& streams = TheState().streams;
  auto found = std::find_if(streams.begin(), streams.end(),
                            [&](const auto& stream) { return stream.get() == handle; });
  if (found == streams.end()) {
    Fail(std::string(call) + " was given a stream PortMidi never opened");
  }
  return **found;
}

Stream& LiveStream(PortMidiStream* handle, const char* call) {
  Stream& stream = KnownStream(handle, call);
  switch (stream.life) {
    case Stream::Life::open:
      return stream;
    case Stream::Life::closed:
      Fail(std::string(call) + " used a stream after Pm_Close freed it");
    case Stream::Life::orphaned:
      Fail(std::string(call) + " used a stream after Pm_Terminate freed its device table");
    case Stream::Life::detached:
      Fail(std::string(call) + " used a stream opened before fake_portmidi::Reset");
  }
  Fail("unknown stream state");
}

void SetPendingHostError(const std::string& text) {
  TheState().hostError = true;
  TheState().hostErrorText = text;
}

Stream* OpenInputOn(PmDeviceID device) {
  const auto& openOn = TheState().openOn;
  if (device < 0 || device >= static_cast<PmDeviceID>(openOn.size())) {
    return nullptr;
  }
  Stream* stream = openOn[device];
  return stream != nullptr && !stream->output ? stream : nullptr;
}

void UseSequencerQueue() {
  auto& state = TheState();
  if (state.sequencerQueueUsers++ == 0) {
    state.sequencerQueueStart = state.time;
  }
}

void UnuseSequencerQueue() {
  --TheState().sequencerQueueUsers;
}

}  // namespace fake_portmidi::detail

namespace fake_portmidi {

using detail::Stream;
using detail::TheState;

void Reset() {
  auto streams = std::move(TheState().streams);
  for (auto& stream : streams) {
    if (stream->life == Stream::Life::open) {
      stream->life = Stream::Life::detached;
    }
  }
  TheState() = detail::State{};
  TheState().streams = std::move(streams);
}

void SetDevices(std::vector<Device> devices) {
  TheState().scripted = std::move(devices);
}

int InitializeCalls() {
  return TheState().initializeCalls;
}
int Enumerations() {
  return TheState().enumerations;
}
int TerminateCalls() {
  return TheState().terminateCalls;
}
bool IsInitialized() {
  return TheState().initialized;
}

std::optional<StreamView> OpenStreamOn(PmDeviceID device) {
  const auto& openOn = TheState().openOn;
  if (device < 0 || device >= static_cast<PmDeviceID>(openOn.size()) || !openOn[device]) {
    return std::nullopt;
  }
  const Stream& stream = *openOn[device];
  return StreamView{stream.output,  stream.bufferSize,  stream.latency,        stream.capacity,
                    stream.filters, stream.channelMask, stream.sysexInProgress};
}

int OpenStreamCount() {
  const auto& openOn = TheState().openOn;
  return static_cast<int>(std::count_if(openOn.begin(), openOn.end(),
                                        [](const Stream* stream) { return stream != nullptr; }));
}

int CloseCount() {
  return TheState().closeCount;
}
int AbortCount() {
  return TheState().abortCount;
}

std::vector<std::uint8_t> Written(PmDeviceID device) {
  auto found = TheState().written.find(device);
  return found == TheState().written.end() ? std::vector<std::uint8_t>{} : found->second;
}

std::vector<Write> Writes(PmDeviceID device) {
  auto found = TheState().writes.find(device);
  return found == TheState().writes.end() ? std::vector<Write>{} : found->second;
}

void FailNextOpen(PmError code, std::string hostErrorText) {
  TheState().failNextOpen = code;
  TheState().failNextOpenText = std::move(hostErrorText);
}

void FailNextSend(std::string hostErrorText) {
  TheState().failNextSend = std::move(hostErrorText);
}

void FailNextFlush(std::string hostErrorText) {
  TheState().failNextFlush = std::move(hostErrorText);
}

void HoldNextSend(std::chrono::milliseconds duration) {
  TheState().holdNextSend = duration;
}

void SetHostError(std::string text) {
  detail::SetPendingHostError(text);
}

bool HasPendingHostError() {
  return TheState().hostError;
}

void SetTime(std::int32_t milliseconds) {
  TheState().time = milliseconds;
}

bool ClockStarted() {
  return TheState().clockStarted;
}

}  // namespace fake_portmidi
