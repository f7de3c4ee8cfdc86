// The MIDI event value a PortMidiEventQRX object holds, and the plugin-wide record of the
// last short message written. Host thread only.
#pragma once

#include <portmidi.h>

#include "real_plugin_abi.h"

static_assert(sizeof(PmEvent) == 8);

PmEvent& EventValueOf(REALobject event);

// The last short message any output stream handed to PortMidi; zero before any.
PmEvent& CurrentPmEvent();

// A new PortMidiEventQRX object holding the value, with its first reference; nil when the
// host makes none.
REALobject NewEventObject(const PmEvent& value);
