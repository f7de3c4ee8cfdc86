// The texts of the MIDI result codes. The plugin keeps its own table so that the texts the
// host shows do not depend on the PortMidi build underneath.
#pragma once

#include <cstdint>

// The text for a result code; empty for 0 and 1, which are no errors.
const char* ErrorTextFor(std::int32_t resultCode);
