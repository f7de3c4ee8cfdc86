// The double's state, shared by its PortMidi functions and its control functions.
#pragma once

#include <portmidi.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fake_alsa_encoder.h"
#include "fake_portmidi.h"

namespace fake_portmidi::detail {

struct Stream {
  enum class Life { open, closed, orphaned, detached };

  PmDeviceID device = -1;
  bool output = false;
  Life life = Life::open;
  std::int32_t bufferSize = 0;
  std::int32_t latency = 0;
  std::size_t capacity = 0;
  std::int32_t filters = 0;
  std::int32_t channelMask = 0xFFFF;
  std::deque<PmEvent> queue;
  // Set when a message found the queue full; cleared when the reader reaches that place.
  bool overflow = false;
  // An output's System Exclusive message being sent, or an input's being received.
  bool sysexInProgress = false;
  // An input's System Exclusive bytes not yet making up a whole event, the first byte lowest.
  PmMessage sysexPacked = 0;
  int sysexPackedBytes = 0;

  // The output's ALSA byte encoder.
  AlsaByteEncoder encoder;
  // The back end's last error, which ALSA's PortMidi keeps until a flush succeeds: every
  // short message sent meanwhile fails too.
  std::optional<std::string> backEndError;
};

// An event the sequencer delivered to the port of an input device and PortMidi has not yet
// taken: ALSA holds them until PortMidi's next poll of any input.
struct Arrival {
  PmDeviceID device = -1;
  PmTimestamp tick = 0;
  PmMessage message = 0;            // a short message
  std::vector<std::uint8_t> sysex;  // or System Exclusive bytes, when not empty
};

struct State {
  std::vector<Device> scripted;

  bool initialized = false;
  std::vector<Device> table;
  std::vector<PmDeviceInfo> records;  // point into table; freed by Pm_Terminate
  std::vector<Stream*> openOn;        // per device of the table
  PmDeviceID defaultInput = pmNoDevice;
  PmDeviceID defaultOutput = pmNoDevice;

  // Every stream ever opened stays here, so that a closed one can be recognised.
  std::vector<std::unique_ptr<Stream>> streams;

  int initializeCalls = 0;
  int enumerations = 0;
  int terminateCalls = 0;
  int closeCount = 0;
  int abortCount = 0;
  std::map<PmDeviceID, std::vector<std::uint8_t>> written;
  std::map<PmDeviceID, std::vector<Write>> writes;

  std::optional<PmError> failNextOpen;
  std::string failNextOpenText;
  std::optional<std::string> failNextSend;
  std::optional<std::string> failNextFlush;
  std::optional<std::chrono::milliseconds> holdNextSend;
  bool hostError = false;
  std::string hostErrorText;

  // The sequencer's side of the inputs. Its queue, shared by every input and every output
  // opened with a latency, runs while any of them is open; received messages are stamped
  // with the milliseconds since it started. The double's one clock stands for the machine's
  // time: PortTime reads it, and the queue counts from where it stood at the queue's start.
  std::deque<Arrival> arrivals;
  std::map<PmDeviceID, AlsaByteEncoder> wires;
  int sequencerQueueUsers = 0;
  std::int32_t sequencerQueueStart = 0;

  std::int32_t time = 0;
  bool clockStarted = false;
};

State& TheState();

// The stream behind a handle PortMidi handed out; aborts, naming the call, for a handle that
// is not a live stream.
Stream& LiveStream(PortMidiStream* handle, const char* call);
// The stream behind a handle without judging its life; aborts for a handle never handed out.
Stream& KnownStream(PortMidiStream* handle, const char* call);

[[noreturn]] void Fail(const std::string& message);

void SetPendingHostError(const std::string& text);

// The input stream open on the device; none when there is none.
Stream* OpenInputOn(PmDeviceID device);

// A stream that runs on the sequencer's queue opened or closed.
void UseSequencerQueue();
void UnuseSequencerQueue();

}  // namespace fake_portmidi::detail
