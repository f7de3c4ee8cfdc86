#include "midi_layer.h"

#include <portmidi.h>

#include "stream_state.h"

namespace {

// Set by every start of ours and never cleared. Pm_Initialize itself does nothing when
// PortMidi counts itself started, which is all the second form of the start needs.
bool initialized = false;
std::uint32_t generation = 1;

}  // namespace

void StartMidiLayerOnce() {
  if (initialized) {
    return;
  }
  Pm_Initialize();
  initialized = true;
}

void StartMidiLayer() {
  Pm_Initialize();
  initialized = true;
}

void RestartMidiLayer() {
  // Termination frees the device table the open streams refer to.
  CloseAllStreams();
  Pm_Terminate();
  ++generation;
  if (generation == 0) {
    generation = 1;
  }
  Pm_Initialize();
  initialized = true;
}

std::uint32_t DeviceTableGeneration() {
  return generation;
}
