// The contract's loop over the real PortMidi: the shipped plugin writes to PortMidi's output
// "Midi Through Port-0", and ALSA's Midi Through client sends it back to PortMidi's input of
// that name.

#include <thread>

#include "alsa_sequencer.h"
#include "midi_harness.h"
#include "midi_loop.h"

namespace midi_contract {
namespace {

using namespace std::chrono_literals;

constexpr const char* kMidiThrough = "Midi Through Port-0";
// Far beyond what the loop takes even in an emulated machine; reached only when a message
// that should come back does not.
constexpr auto kPatience = 10s;

class RealLoop : public MidiLoop {
 public:
  std::string Start() override {
    if (!HasAlsaSequencer()) {
      return "this machine has no ALSA sequencer (/dev/snd/seq), so there is no Midi Through "
             "loop to compare the double with";
    }
    midi_test::LoadPlugin(std::string(TFL_REAL_PLUGIN_DIR) + "/QRXPortMidi.so");
    midi_test::NewSystemObject();  // its constructor starts the MIDI layer, as the program's does
    output_ = input_ = -1;
    for (std::int64_t id = 0; id < midi_test::CountDevices(); ++id) {
      const midi_test::DeviceView device = midi_test::ReadDevice(midi_test::DeviceInfo(id));
      if (device.name != kMidiThrough) {
        continue;
      }
      if (device.hasOutput && output_ < 0) {
        output_ = id;
      }
      if (device.hasInput && input_ < 0) {
        input_ = id;
      }
    }
    if (output_ < 0 || input_ < 0) {
      return "PortMidi lists no output and input named \"Midi Through Port-0\" (the "
             "snd-seq-dummy module is not loaded)";
    }
    return "";
  }

  std::int64_t Output() const override { return output_; }
  std::int64_t Input() const override { return input_; }

  // ALSA carries every message by itself.
  void Carry() override {}

  bool AwaitMore(std::chrono::steady_clock::time_point waitingSince) override {
    std::this_thread::sleep_for(2ms);
    return std::chrono::steady_clock::now() - waitingSince < kPatience;
  }

 private:
  std::int64_t output_ = -1;
  std::int64_t input_ = -1;
};

}  // namespace

MidiLoop& TheLoop() {
  static RealLoop loop;
  return loop;
}

}  // namespace midi_contract
