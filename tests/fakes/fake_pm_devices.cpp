// The double's start, termination, device table and error reports.
#include <portmidi.h>

#include <algorithm>
#include <cstring>

#include "fake_state.h"

using fake_portmidi::detail::Stream;
using fake_portmidi::detail::TheState;

namespace {

PmDeviceID FirstDevice(bool wantInput) {
  const auto& table = TheState().table;
  auto found = std::find_if(table.begin(), table.end(), [&](const fake_portmidi::Device& d) {
    return wantInput ? d.input : d.output;
  });
  return found == table.end() ? pmNoDevice : static_cast<PmDeviceID>(found - table.begin());
}

void Enumerate() {
  auto& state = TheState();
  state.table = state.scripted;
  state.records.clear();
  for (const auto& device : state.table) {
    state.records.push_back(PmDeviceInfo{1, device.interfaceName.c_str(), device.name.c_str(),
                                         device.input ? 1 : 0, device.output ? 1 : 0, 0});
  }
  state.openOn.assign(state.table.size(), nullptr);
  state.defaultInput = FirstDevice(true);
  state.defaultOutput = FirstDevice(false);
  ++state.enumerations;
}

}  // namespace

extern "C" {

PmError Pm_Initialize(void) {
  auto& state = TheState();
  ++state.initializeCalls;
  if (!state.initialized) {
    state.hostError = false;
    state.hostErrorText.clear();
    Enumerate();
    state.initialized = true;
  }
  return pmNoError;
}

PmError Pm_Terminate(void) {
  auto& state = TheState();
  if (!state.initialized) {
    return pmNoError;
  }
  ++state.terminateCalls;
  // Real PortMidi frees the device table under streams still open.
  for (Stream* stream : state.openOn) {
    if (stream != nullptr) {
      stream->life = Stream::Life::orphaned;
    }
  }
  state.openOn.clear();
  // PortMidi closes its sequencer client, and what waited there for its inputs goes with it.
  state.arrivals.clear();
  state.wires.clear();
  state.records.clear();
  state.records.shrink_to_fit();
  state.table.clear();
  state.initialized = false;
  return pmNoError;
}

int Pm_CountDevices(void) {
  Pm_Initialize();
  return static_cast<int>(TheState().table.size());
}

const PmDeviceInfo* Pm_GetDeviceInfo(PmDeviceID id) {
  Pm_Initialize();
  const auto& records = TheState().records;
  if (id < 0 || id >= static_cast<PmDeviceID>(records.size())) {
    return nullptr;
  }
  return &records[id];
}

PmDeviceID Pm_GetDefaultInputDeviceID(void) {
  Pm_Initialize();
  return TheState().defaultInput;
}

PmDeviceID Pm_GetDefaultOutputDeviceID(void) {
  Pm_Initialize();
  return TheState().defaultOutput;
}

int Pm_HasHostError(PortMidiStream* stream) {
  if (TheState().hostError) {
    return 1;
  }
  if (stream != nullptr) {
    // The back end reports the error it keeps after a failed write again, until a flush
    // succeeds.
    const auto& kept = fake_portmidi::detail::LiveStream(stream, "Pm_HasHostError").backEndError;
    if (kept) {
      fake_portmidi::detail::SetPendingHostError(*kept);
      return 1;
    }
  }
  return 0;
}

const char* Pm_GetErrorText(PmError) {
  return fake_portmidi::kPortMidiErrorText;
}

void Pm_GetHostErrorText(char* msg, unsigned int len) {
  auto& state = TheState();
  if (msg == nullptr || len == 0) {
    fake_portmidi::detail::Fail("Pm_GetHostErrorText was given no room for the text");
  }
  if (!state.hostError) {
    msg[0] = '\0';
    return;
  }
  std::strncpy(msg, state.hostErrorText.c_str(), len);
  msg[len - 1] = '\0';
  state.hostError = false;
  state.hostErrorText.clear();
}

}  // extern "C"
