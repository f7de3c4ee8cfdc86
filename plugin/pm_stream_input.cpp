// PortMidiStreamQRX: taking received messages, and choosing which ones PortMidi keeps.
#include <portmidi.h>

#include "event_value.h"
#include "host_entries.h"
#include "int_cuts.h"
#include "members.h"
#include "stream_state.h"

namespace {

// Both setters answer -1 on every path; callers read the properties to see what was taken.
constexpr std::int64_t kSetterResult = -1;

}  // namespace

std::int64_t rbPm_Poll(REALobject instance) {
  PmStream* stream = StreamDataOf(instance).stream;
  if (stream == nullptr) {
    return kNoStream;
  }
  return Pm_Poll(stream);
}

std::int64_t rbPm_Read(REALobject instance, REALobject* event) {
  // The caller's old event goes first, on every path.
  if (*event != nullptr) {
    qrx::HostUnlockObject(*event);
    *event = nullptr;
  }
  PmStream* stream = StreamDataOf(instance).stream;
  if (stream == nullptr) {
    return kNoStream;
  }
  PmEvent received{0, 0};
  const int result = Pm_Read(stream, &received, 1);
  if (result == 1) {
    *event = NewEventObject(received);
  }
  return result;
}

std::int64_t rbPm_SetFilter(REALobject instance, std::int64_t filters) {
  StreamData& data = StreamDataOf(instance);
  if (data.stream != nullptr && Pm_SetFilter(data.stream, Low32(filters)) == pmNoError) {
    data.filters = filters;
  }
  return kSetterResult;
}

std::int64_t rbPm_SetChannelMask(REALobject instance, std::int64_t mask) {
  StreamData& data = StreamDataOf(instance);
  if (data.stream != nullptr) {
    Pm_SetChannelMask(data.stream, Low32(mask));
    data.channelMask = mask;
  }
  return kSetterResult;
}
