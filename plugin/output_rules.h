// PortMidi's rules for an event write, followed on the plugin's side: PortMidi does not tell
// which events it sends as short messages or whether a System Exclusive message is left in
// progress on a stream, and the record of the last short message needs both.
#pragma once

#include <portmidi.h>

#include <cstddef>
#include <span>
#include <vector>

// Where an event write leaves a stream's System Exclusive message.
struct SysExState {
  // When PortMidi takes every event, or refuses one for its bytes.
  bool inProgressAfter;
  // When the operating system fails the write partway: a message that was in progress or
  // began stays so in PortMidi, since only a delivered 0xF7 ends it.
  bool inProgressAfterHostError;
};

// Walks the events as PortMidi's event write does, starting with the given System Exclusive
// state; calls onShort for each event that goes out as a short message and stops at the
// first event PortMidi refuses.
SysExState FollowEventWrite(bool sysexInProgress, std::span<const PmEvent> events,
                            void (*onShort)(const PmEvent&));

// The events a System Exclusive write makes of the bytes up to and including the first 0xF7
// (which must lie within them): four bytes to an event, the first byte lowest.
std::vector<PmEvent> PackSysEx(const unsigned char* bytes, std::size_t length, PmTimestamp when);
