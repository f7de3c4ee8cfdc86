// Whether the machine has an ALSA sequencer, for the tests of the real PortMidi, which lists
// devices only where it has one.
#pragma once

#include <alsa/asoundlib.h>

// Whether the sequencer opens as PortMidi opens it.
inline bool HasAlsaSequencer() {
  snd_seq_t* sequencer = nullptr;
  if (snd_seq_open(&sequencer, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
    return false;
  }
  snd_seq_close(sequencer);
  return true;
}
