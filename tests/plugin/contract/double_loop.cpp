// The contract's loop over the PortMidi double: the bytes the double logged for the output
// reach the input's port as ALSA's sequencer would deliver them.
#include <cstddef>

#include "fake_portmidi.h"
#include "midi_harness.h"
#include "midi_loop.h"

namespace midi_contract {
namespace {

// Devices as PortMidi lists "Midi Through" on ALSA: the output first, then the input.
constexpr PmDeviceID kOutput = 0;
constexpr PmDeviceID kInput = 1;
// PortTime's clock far from zero, as a real machine's is, so that a timestamp taken from it
// instead of from the sequencer's queue shows.
constexpr std::int32_t kMachineTime = 86'400'000;

class DoubleLoop : public MidiLoop {
 public:
  std::string Start() override {
    midi_test::LoadDoublePlugin();
    fake_portmidi::Reset();
    fake_portmidi::SetDevices({{"ALSA", "Midi Through Port-0", false, true},
                               {"ALSA", "Midi Through Port-0", true, false}});
    fake_portmidi::SetTime(kMachineTime);
    carried_ = 0;
    return midi_test::CountDevices() == 2 ? "" : "the double listed other devices";
  }

  std::int64_t Output() const override { return kOutput; }
  std::int64_t Input() const override { return kInput; }

  void Carry() override {
    const std::vector<std::uint8_t> written = fake_portmidi::Written(kOutput);
    fake_portmidi::ReceiveBytes(
        kInput, std::vector<std::uint8_t>(written.begin() + static_cast<std::ptrdiff_t>(carried_),
                                          written.end()));
    carried_ = written.size();
  }

  bool AwaitMore(std::chrono::steady_clock::time_point) override { return false; }

 private:
  std::size_t carried_ = 0;
};

}  // namespace

MidiLoop& TheLoop() {
  static DoubleLoop loop;
  return loop;
}

}  // namespace midi_contract
