// PortMidiQRX: starting the MIDI layer, the device queries and the error texts.
#include <portmidi.h>

#include "device_info_ref.h"
#include "error_texts.h"
#include "host_entries.h"
#include "host_text.h"
#include "int_cuts.h"
#include "members.h"
#include "midi_layer.h"

void ImageConstructor(REALobject) {
  StartMidiLayerOnce();
}

std::int64_t init() {
  StartMidiLayerOnce();
  return 0;
}

std::int64_t reinit() {
  RestartMidiLayer();
  return 0;
}

std::int64_t rbPm_CountDevices() {
  StartMidiLayer();
  return Pm_CountDevices();
}

std::int64_t rbPm_GetDefaultInputDeviceID() {
  StartMidiLayer();
  return Pm_GetDefaultInputDeviceID();
}

std::int64_t rbPm_GetDefaultOutputDeviceID() {
  StartMidiLayer();
  return Pm_GetDefaultOutputDeviceID();
}

REALobject rbPm_GetDeviceInfo(std::int64_t deviceID) {
  StartMidiLayer();
  const PmDeviceID device = Low32(deviceID);
  if (device < 0 || device >= Pm_CountDevices()) {
    return nullptr;
  }
  REALobject info = qrx::HostNewInstance("PortMidiDeviceInfoQRX");
  if (info != nullptr) {
    DeviceInfoRefOf(info) = DeviceInfoRef{device, DeviceTableGeneration()};
  }
  return info;
}

REALstring rbPm_GetErrorText(std::int64_t errorNumber) {
  StartMidiLayerOnce();
  return HostText(ErrorTextFor(Low32(errorNumber)), kAsciiEncoding);
}
