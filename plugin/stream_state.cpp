#include "stream_state.h"

#include <unordered_map>

#include "host_entries.h"
#include "members.h"

namespace {

std::unordered_map<PmStream*, OpenStream>& OpenStreams() {
  static std::unordered_map<PmStream*, OpenStream> streams;
  return streams;
}

}  // namespace

StreamData& StreamDataOf(REALobject instance) {
  return *qrx::InstanceData<StreamData>(instance, PMStreamClass);
}

void AdoptStream(REALobject owner, PmStream* stream, PmDeviceID device, bool output) {
  StreamDataOf(owner).stream = stream;
  OpenStreams()[stream] = OpenStream{owner, device, output, false};
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
