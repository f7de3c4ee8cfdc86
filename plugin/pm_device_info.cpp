// PortMidiDeviceInfoQRX: a read-only view of one record of the device table.
#include <portmidi.h>

#include "device_info_ref.h"
#include "host_entries.h"
#include "host_text.h"
#include "members.h"
#include "midi_layer.h"

DeviceInfoRef& DeviceInfoRefOf(REALobject info) {
  return *qrx::InstanceData<DeviceInfoRef>(info, PMDeviceInfoClass);
}

namespace {

// The record the object stands for; null when it has none or its table is gone.
const PmDeviceInfo* RecordOf(REALobject info) {
  const DeviceInfoRef& ref = DeviceInfoRefOf(info);
  if (ref.generation == 0 || ref.generation != DeviceTableGeneration()) {
    return nullptr;
  }
  return Pm_GetDeviceInfo(ref.device);
}

}  // namespace

REALstring GetName(REALobject instance, PropertyParam) {
  const PmDeviceInfo* record = RecordOf(instance);
  return record == nullptr ? nullptr : HostText(record->name, kUtf8Encoding);
}

REALstring GetInterface(REALobject instance, PropertyParam) {
  const PmDeviceInfo* record = RecordOf(instance);
  return record == nullptr ? nullptr : HostText(record->interf, kAsciiEncoding);
}

bool HasInput(REALobject instance, PropertyParam) {
  const PmDeviceInfo* record = RecordOf(instance);
  return record != nullptr && record->input != 0;
}

bool HasOutput(REALobject instance, PropertyParam) {
  const PmDeviceInfo* record = RecordOf(instance);
  return record != nullptr && record->output != 0;
}
