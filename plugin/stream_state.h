// The state of a PortMidiStreamQRX object: its instance data, and what the plugin keeps
// beside it about an open stream because PortMidi does not expose it. Host thread only.
#pragma once

#include <portmidi.h>

#include <cstdint>

#include "output_rules.h"
#include "real_plugin_abi.h"

// Instance data of a PortMidiStreamQRX object, as the class record sizes it.
struct StreamData {
  PmStream* stream;  // owned; null when the object holds none
  std::int64_t channelMask;
  std::int64_t filters;
};
static_assert(sizeof(StreamData) == 24);

StreamData& StreamDataOf(REALobject instance);

// What a stream member answers when the object holds no stream.
inline constexpr std::int64_t kNoStream = -1;

// What the plugin knows of a stream it opened.
struct OpenStream {
  REALobject owner;
  PmDeviceID device;
  bool output;
  // Whether a System Exclusive message that an event write began has not ended yet.
  SysExState sysex;
};

// Records the stream the object has just opened; the object's data now holds it. When the
// record can't be made (no memory) the stream is closed again and pmInsufficientMemory
// returned, so that no C++ exception reaches the host.
PmError AdoptStream(REALobject owner, PmStream* stream, PmDeviceID device, bool output) noexcept;
// The record of the object's stream; null when it holds none.
OpenStream* OpenStreamOf(REALobject owner);
// Closes the object's stream, if it holds one, and forgets it.
void CloseStream(REALobject owner);
// Closes every stream the plugin holds.
void CloseAllStreams();
