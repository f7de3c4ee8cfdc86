// PortMidiStreamQRX: sending System Exclusive messages, short messages and events, and
// keeping the record of the last short message written.
#include <portmidi.h>

#include <algorithm>
#include <new>
#include <span>
#include <vector>

#include "event_value.h"
#include "host_entries.h"
#include "int_cuts.h"
#include "members.h"
#include "output_rules.h"
#include "stream_state.h"

namespace {

constexpr std::int64_t kNoMessage = -1;
constexpr unsigned char kEndOfSysEx = 0xF7;

// Lets send hand the events to PortMidi, then records the last of them that PortMidi handed
// to the output as a short message and keeps the stream's System Exclusive state in step
// with PortMidi's. Only an output takes events; PortMidi refuses the others before looking
// at them.
template <class Send>
std::int64_t WriteEvents(OpenStream& open, std::span<const PmEvent> events, Send send) {
  const PmError result = send();
  if (!open.output) {
    return result;
  }
  try {
    const WriteOutcome outcome = FollowEventWrite(open.sysex, events, result);
    if (outcome.lastShortMessage) {
      CurrentPmEvent() = events[*outcome.lastShortMessage];
    }
    open.sysex = outcome.after;
  } catch (const std::bad_alloc&) {
    // No C++ exception may reach the host; what PortMidi did is then not known.
    open.sysex = SysExState::unknown;
  }
  return result;
}

// Sends the bytes up to and including the first 0xF7 among them. PortMidi reads up to that
// byte whatever lies beyond, so bytes with none in them are refused and nothing is sent.
std::int64_t WriteSysExBytes(OpenStream& open, PmStream* stream, std::int64_t when,
                             unsigned char* bytes, std::int64_t length) {
  unsigned char* end = bytes + length;
  unsigned char* last = std::find(bytes, end, kEndOfSysEx);
  if (last == end) {
    return pmBadData;
  }
  const PmTimestamp time = Low32(when);
  std::vector<PmEvent> events;
  try {
    events = PackSysEx(bytes, static_cast<std::size_t>(last - bytes) + 1, time);
  } catch (const std::bad_alloc&) {
    // Nothing has been sent yet, and no C++ exception may reach the host.
    return pmInsufficientMemory;
  }
  return WriteEvents(open, events, [&] { return Pm_WriteSysEx(stream, time, bytes); });
}

std::int64_t WriteOneEvent(OpenStream& open, PmStream* stream, PmEvent event) {
  return WriteEvents(open, std::span(&event, 1), [&] { return Pm_Write(stream, &event, 1); });
}

}  // namespace

std::int64_t rbPm_WriteSysEx(REALobject instance, std::int64_t when, REALstring message) {
  if (message == nullptr) {
    return kNoMessage;
  }
  OpenStream* open = OpenStreamOf(instance);
  if (open == nullptr) {
    return kNoStream;
  }
  // Giving back a reference that was never taken would free the caller's string.
  const bool locked = qrx::HostLockString(message);
  // Firmware data holds zero bytes: only the host's byte length says where the string ends.
  const char* bytes = qrx::HostStringBytes(message);
  const std::int64_t length = qrx::HostStringByteLength(message);
  std::int64_t result = kNoMessage;
  // An empty string holds no message, as a nil one doesn't.
  if (bytes != nullptr && length > 0) {
    // PortMidi takes the bytes as modifiable but only reads them.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<char*>(bytes));
    result = WriteSysExBytes(*open, StreamDataOf(instance).stream, when, data, length);
  }
  if (locked) {
    qrx::HostUnlockString(message);
  }
  return result;
}

std::int64_t rbPm_WriteSysExMem(REALobject instance, std::int64_t when, REALmemoryBlock message,
                                std::int64_t offset) {
  if (message == nullptr) {
    RaiseException("NilObjectException", "memoryblock is nil");
    return 0;
  }
  OpenStream* open = OpenStreamOf(instance);
  if (open == nullptr) {
    return kNoStream;
  }
  auto* bytes = static_cast<unsigned char*>(qrx::HostMemoryBlockBytes(message));
  const std::int64_t size = qrx::HostMemoryBlockSize(message);
  if (bytes == nullptr || size < 0 || offset < 0 || offset >= size) {
    return kNoMessage;
  }
  return WriteSysExBytes(*open, StreamDataOf(instance).stream, when, bytes + offset, size - offset);
}

std::int64_t rbPm_WriteShort(REALobject instance, std::int64_t when, std::int64_t message) {
  OpenStream* open = OpenStreamOf(instance);
  if (open == nullptr) {
    return kNoStream;
  }
  return WriteOneEvent(*open, StreamDataOf(instance).stream, PmEvent{Low32(message), Low32(when)});
}

std::int64_t rbPm_Write(REALobject instance, REALobject data) {
  if (data == nullptr) {
    return kNoMessage;
  }
  OpenStream* open = OpenStreamOf(instance);
  if (open == nullptr) {
    return kNoStream;
  }
  return WriteOneEvent(*open, StreamDataOf(instance).stream, EventValueOf(data));
}
