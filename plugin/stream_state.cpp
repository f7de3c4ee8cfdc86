#include "stream_state.h"

#include <new>
#include <unordered_map>

#include "host_entries.h"
#include "members.h"

namespace {

std::unordered_map<PmStream*, OpenStream>& OpenStreams() {
  // Never destroyed: a host may release its last stream objects while the process exits,
  // after the plugin's statics would be gone.
  static auto* streams = new std::unordered_map<PmStream*, OpenStream>;
  return *streams;
}

}  // namespace

StreamData& StreamDataOf(REALobject instance) {
  return *qrx::InstanceData<StreamData>(instance, PMStreamClass);
}

PmError AdoptStream(REALobject owner, PmStream* stream, PmDeviceID device, bool output) noexcept {
  try {
    OpenStreams()[stream] = OpenStream{owner, device, output, SysExState::none};
  } catch (const std::bad_alloc&) {
    Pm_Close(stream);
    return pmInsufficientMemory;
  }
  StreamDataOf(owner).stream = stream;
  return pmNoError;
}

OpenStream* OpenStreamOf(REALobject owner) {
  PmStream* stream = StreamDataOf(owner).stream;
  if (stream == nullptr) {
    return nullptr;
  }
  auto found = OpenStreams().find(stream);
  return found == OpenStreams().end() ? nullptr : &found->second;
}

void CloseStream(REALobject owner) {
  StreamData& data = StreamDataOf(owner);
  if (data.stream == nullptr) {
    return;
  }
  // The object gives up its stream whatever PortMidi reports about the close.
  Pm_Close(data.stream);
  OpenStreams().erase(data.stream);
  data.stream = nullptr;
}

void CloseAllStreams() {
  auto& streams = OpenStreams();
  while (!streams.empty()) {
    CloseStream(streams.begin()->second.owner);
  }
}
