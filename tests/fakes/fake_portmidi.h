// Control of the PortMidi test double (libfake_portmidi.so), which carries out the functions
// of <portmidi.h> and <porttime.h> without MIDI hardware: a scripted device table, the bytes
// each output device was sent, input queues fed by the test, injected failures and a clock
// that moves only when told.
//
// Everything runs on one thread. Misuse that real PortMidi would turn into a crash (a stream
// used after Pm_Close, or after Pm_Terminate freed its device table) aborts the process
// with a message naming the call.
#pragma once

#include <portmidi.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fake_portmidi {

struct Device {
  std::string interfaceName;
  std::string name;
  bool input = false;
  bool output = false;
};

// Back to a fresh process: no devices, PortMidi not started, counters, logs, queues and
// injected failures cleared, clock stopped at 0. Streams still open are detached: closing
// one later is refused with pmBadPtr, any other use aborts.
void Reset();

// The devices the next enumeration (the next Pm_Initialize that starts PortMidi) finds.
// The default input and output are the first input and the first output.
void SetDevices(std::vector<Device> devices);

int InitializeCalls();  // every Pm_Initialize, also those that found PortMidi started
int Enumerations();     // the Pm_Initialize calls that built a device table
int TerminateCalls();   // the Pm_Terminate calls that tore one down
bool IsInitialized();

// The open streams and what PortMidi was told about each.
struct StreamView {
  bool output = false;
  std::int32_t bufferSize = 0;  // as given; an input's queue holds queueCapacity events
  std::int32_t latency = 0;
  std::size_t queueCapacity = 0;
  std::int32_t filters = 0;
  std::int32_t channelMask = 0;
  bool sysexInProgress = false;
};
std::optional<StreamView> OpenStreamOn(PmDeviceID device);
int OpenStreamCount();
int CloseCount();  // Pm_Close calls that closed an open stream
int AbortCount();

// Every byte sent to the device since the last Reset, in the order the back end handed the
// messages over: short messages as their bytes, System Exclusive messages from 0xF0 up to and
// including 0xF7 (in parts of 1024 bytes). As over ALSA, the bytes of a System Exclusive
// message are held until its 0xF7, so a real-time message sent inside it arrives first.
std::vector<std::uint8_t> Written(PmDeviceID device);
// Each Pm_Write (a Pm_WriteSysEx is one) that delivered bytes to the device, in order: where
// its bytes lie in Written(device) and when it was made, on the steady clock rather than
// PortTime's, so that tests can measure the pacing of what arrives.
struct Write {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::chrono::steady_clock::time_point at;
};
std::vector<Write> Writes(PmDeviceID device);

// What arrives at the port of the device's open input waits in the sequencer, as with ALSA,
// until a Pm_Poll or Pm_Read of any input takes it into its stream's queue, judged by the
// stream's filter and channel mask as they are then. Each answers whether an input was open
// on the device to receive it.
//
// A short message as the sequencer carries it: the bytes its status calls for, seven bits
// to a data byte. Without a time it is stamped with the sequencer queue's time: the
// milliseconds since the first input (or output with a latency) of those open now was
// opened. A status the sequencer has no event for aborts.
bool Receive(PmDeviceID device, PmMessage message, std::optional<PmTimestamp> when = {});
// One sequencer event of System Exclusive bytes per 1024 of them.
bool ReceiveSysEx(PmDeviceID device, const std::vector<std::uint8_t>& bytes);
// Bytes as a MIDI cable carries them, made into sequencer events as ALSA's parser does,
// continuing the message that the previous call left unfinished: real-time bytes at once,
// also from inside a System Exclusive message, which arrives at its 0xF7.
bool ReceiveBytes(PmDeviceID device, const std::vector<std::uint8_t>& bytes);

// The next open that passes PortMidi's own checks fails with the code; pmHostError leaves
// the text pending as the host error.
void FailNextOpen(PmError code, std::string hostErrorText = "fake host error");
// The next message the back end hands to the operating system (a short message, a real-time
// message, or a System Exclusive message's bytes up to its 0xF7 or its first 1024) fails with
// pmHostError and leaves the text pending; the message does not reach the device.
void FailNextSend(std::string hostErrorText = "fake host error");
// The next flush, which ends every Pm_Write that leaves no System Exclusive message in
// progress, fails in the same way; what was handed over before it stays delivered.
void FailNextFlush(std::string hostErrorText = "fake host error");
// The next delivery of bytes to an output first holds the caller this long, as a MIDI stack
// that blocks in a write does: the bytes reach the device late.
void HoldNextSend(std::chrono::milliseconds duration);
// A host error pending, as when the operating system refused something.
void SetHostError(std::string text);
bool HasPendingHostError();

// PortTime's clock: Pt_Time reads this value until it is set again.
void SetTime(std::int32_t milliseconds);
bool ClockStarted();

// What the double's Pm_GetErrorText answers for every code, so that a caller can tell its
// own texts from PortMidi's.
inline constexpr const char* kPortMidiErrorText = "fake PortMidi error text";

}  // namespace fake_portmidi
