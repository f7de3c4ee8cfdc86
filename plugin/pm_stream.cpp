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
// PortMidi zero-fills an input queue of three 32-bit words an event before it checks that
// the queue was allocated, so a queue it can't allocate crashes it instead of giving
// pmInsufficientMemory. Beyond this many events the queue's byte count no longer fits in 32
// bits, which PortMidi's 32-bit builds wrap; no input needs a queue of 4 GiB.
constexpr std::int32_t kLargestInputQueue = 0xFFFF'FFFF / 12;

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
