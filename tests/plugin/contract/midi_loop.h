// A "Midi Through" pair as the contract cases see it: what the plugin writes to the output
// comes back on the input. Each executable of the contract group links one backend: the
// plugin built against the PortMidi double, or the shipped plugin on the real PortMidi.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace midi_contract {

class MidiLoop {
 public:
  virtual ~MidiLoop() = default;

  // Loads the plugin and starts its MIDI layer for the next case. Empty when the loop is
  // there; otherwise the reason it is not.
  virtual std::string Start() = 0;
  virtual std::int64_t Output() const = 0;
  virtual std::int64_t Input() const = 0;
  // Carries what the output was sent since the last call to the input's port.
  virtual void Carry() = 0;
  // Waits a little for more input, within a generous bound counted from the start of the
  // wait; false when no more can come.
  virtual bool AwaitMore(std::chrono::steady_clock::time_point waitingSince) = 0;
};

// The backend this executable was linked with.
MidiLoop& TheLoop();

}  // namespace midi_contract
