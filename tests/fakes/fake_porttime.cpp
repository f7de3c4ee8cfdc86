// The double's PortTime: a clock that reads what the test set.
#include <porttime.h>

#include "fake_state.h"

using fake_portmidi::detail::TheState;

extern "C" {

PtError Pt_Start(int, PtCallback*, void*) {
  if (TheState().clockStarted) {
    return ptAlreadyStarted;
  }
  TheState().clockStarted = true;
  return ptNoError;
}

PtError Pt_Stop() {
  if (!TheState().clockStarted) {
    return ptAlreadyStopped;
  }
  TheState().clockStarted = false;
  return ptNoError;
}

int Pt_Started() {
  return TheState().clockStarted ? 1 : 0;
}

PtTimestamp Pt_Time() {
  return TheState().time;
}

void Pt_Sleep(int32_t) {}

}  // extern "C"
