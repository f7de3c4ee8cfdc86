// PortMidiStreamQRX: the object's life, opening and closing its stream, its properties and
// its error reports.
#include <porttime.h>

#include "error_texts.h"
#include "host_text.h"
#include "int_cuts.h"
#include "members.h"
#include "midi_layer.h"
#include "stream_state.h"

namespace {

constexpr std::int64_t kAllChannels = 0xFFFF;
// PortMidi's host-error texts are shorter than 256 bytes; two more leave room for the NUL.
constexpr unsigned int kHostErrorBufferSize = 258;
// PortMidi zero-fills an input queue (three 32-bit words an event) before it checks that it
// got the memory, so a queue the system can't give kills the process instead of giving
// pmInsufficientMemory; on a machine with 1 GiB a queue of 1 GiB already does. 2^24
// events (192 MiB) hold hours of a saturated MIDI line (about 1000 events a second) between
// two reads, far more than any reader needs, and fit any machine the program runs on.
constexpr std::int32_t kLargestInputQueue = 1 << 24;

}  // namespace

void StreamConstructor(REALobject instance) {
  StartMidiLayerOnce();
  StreamDataOf(instance).channelMask = kAllChannels;
}

void StreamDestructor(REALobject instance) {
  CloseStream(instance);
}

std::int64_t rbPm_OpenOutput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize,
                             std::int64_t latency) {
  CloseStream(instance);
  PmStream* stream = nullptr;
  const PmDeviceID device = Low32(deviceID);
  const PmError result =
      Pm_OpenOutput(&stream, device, nullptr, Low32(bufferSize), nullptr, nullptr, Low32(latency));
  return result == pmNoError ? AdoptStream(instance, stream, device, true) : result;
}

std::int64_t rbPm_OpenInput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize) {
  CloseStream(instance);
  if (Low32(bufferSize) > kLargestInputQueue) {
    return pmInsufficientMemory;
  }
  PmStream* stream = nullptr;
  const PmDeviceID device = Low32(deviceID);
  const PmError result =
      Pm_OpenInput(&stream, device, nullptr, Low32(bufferSize), nullptr, nullptr);
  return result == pmNoError ? AdoptStream(instance, stream, device, false) : result;
}

std::int64_t rbAbortStream(REALobject instance) {
  PmStream* stream = StreamDataOf(instance).stream;
  if (stream == nullptr) {
    return kNoStream;
  }
  return Pm_Abort(stream);
}

REALstring LastHostError(REALobject instance) {
  PmStream* stream = StreamDataOf(instance).stream;
  if (stream == nullptr || !Pm_HasHostError(stream)) {
    return nullptr;
  }
  char text[kHostErrorBufferSize] = {};
  Pm_GetHostErrorText(text, kHostErrorBufferSize);
  text[kHostErrorBufferSize - 1] = '\0';
  return HostText(text, kAsciiEncoding);
}

REALstring rbPm_GetErrorText(REALobject, std::int64_t errorNumber) {
  return HostText(ErrorTextFor(Low32(errorNumber)), kAsciiEncoding);
}

std::int64_t GetChannelMask(REALobject instance, PropertyParam) {
  return StreamDataOf(instance).channelMask;
}

std::int64_t GetFilters(REALobject instance, PropertyParam) {
  return StreamDataOf(instance).filters;
}

std::int64_t GetDeviceID(REALobject instance, PropertyParam) {
  const OpenStream* open = OpenStreamOf(instance);
  return open == nullptr ? kNoStream : open->device;
}

REALstring GetDeviceName(REALobject instance, PropertyParam) {
  const OpenStream* open = OpenStreamOf(instance);
  if (open == nullptr) {
    return nullptr;
  }
  // Pm_GetDeviceInfo starts PortMidi itself when it has not been started.
  const PmDeviceInfo* record = Pm_GetDeviceInfo(open->device);
  return record == nullptr ? nullptr : HostText(record->name, kUtf8Encoding);
}

std::int64_t currentTimeStamp() {
  return Pt_Time();
}
