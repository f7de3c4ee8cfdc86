// Starting PortMidi, and the life of its device table. Host thread only.
#pragma once

#include <cstdint>

// Starts PortMidi unless the plugin has started it before (object constructors, Initialize,
// the shared ErrorText).
void StartMidiLayerOnce();
// Starts PortMidi whenever PortMidi itself is not started (the device queries).
void StartMidiLayer();
// Closes every stream the plugin holds, then terminates PortMidi and starts it again with a
// new device table.
void RestartMidiLayer();

// Changes whenever the device table is rebuilt, so that a reference into an older table can
// be told apart from one into the current table. Never 0.
std::uint32_t DeviceTableGeneration();
