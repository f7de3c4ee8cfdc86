// PortMidi 217's event write over its ALSA back end, followed on the plugin's side: PortMidi
// tells neither which events it handed to the output as short messages nor whether a System
// Exclusive message is left in progress on a stream, and the record of the last short
// message needs both.
#pragma once

#include <portmidi.h>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// What the plugin knows of a stream's System Exclusive message.
enum class SysExState {
  none,
  inProgress,
  // A host error can leave PortMidi either way, and its answer does not tell which.
  unknown,
};

// What PortMidi did with the events of one write, as far as its answer tells.
struct WriteOutcome {
  SysExState after;
  // The last event that PortMidi handed to the output as a short message, in every reading
  // of its answer.
  std::optional<std::size_t> lastShortMessage;
};

// Reads PortMidi's answer to a write of the events, which PortMidi walks in its portions (the
// first event alone, then those of a System Exclusive write); the stream was an open output.
WriteOutcome FollowEventWrite(SysExState before, std::span<const PmEvent> events, PmError result);

// The events a System Exclusive write makes of the bytes up to and including the first 0xF7
// (which must lie within them): four bytes to an event, the first byte lowest.
std::vector<PmEvent> PackSysEx(const unsigned char* bytes, std::size_t length, PmTimestamp when);
