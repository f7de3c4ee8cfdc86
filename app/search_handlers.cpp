// The first step of the window: its initial state, SEARCH's walk over the MIDI devices into
// the two port menus, and the choice of a port.
#include <cstdint>
#include <string>

#include "Module1.h"
#include "PluginBindings.h"
#include "Window1.h"
#include "host/runtime.h"
#include "host/string.h"

namespace {

// The port tables hold rows 0..kLastPortRow; devices of one direction beyond that get no
// row, so that every row keeps its table entry.
bool HasRoomForRow(std::int64_t rowCount) {
  return rowCount <= Module1::kLastPortRow;
}

std::string DeviceName(const host::Ref<host::Object>& device) {
  const host::Ref<host::String> name = PortMidiDeviceInfoQRX::Name_Get(device);
  return name ? name->ToUtf8() : std::string();
}

}  // namespace

void Window1::Event_Open() {
  Timer1()->SetEnabled(false);
  ChooseMidiIn_PopMenu()->SetEnabled(false);
  ChooseMidiOut_PopMenu()->SetEnabled(false);
  PushButton2()->SetEnabled(false);
  PushButton3()->SetEnabled(false);
  PushButton4()->SetEnabled(false);
  ProgressBar1()->SetMaximum(100);
  ProgressBar1()->SetValue(0);
  Label16()->SetVisible(false);
}

void Window1::PushButton1_Action(host::PushButton&) {
  Module1::MIDIPort = host::RuntimeNewObject(PortMidiQRX::Class());
  ChooseMidiIn_PopMenu()->DeleteAllRows();
  ChooseMidiOut_PopMenu()->DeleteAllRows();

  const std::int64_t lastDevice = PortMidiQRX::CountDevices() - 1;
  std::int64_t inputRows = 0;
  std::int64_t outputRows = 0;
  host::Ref<host::Object> device;
  for (std::int64_t id = 0; id <= lastDevice; ++id) {
    device = PortMidiQRX::DeviceInfo(id);
    if (device) {
      if (PortMidiDeviceInfoQRX::HasInput_Get(device) && HasRoomForRow(inputRows)) {
        ChooseMidiIn_PopMenu()->AddRow(DeviceName(device));
        Module1::MidiInCnt->Set(inputRows, id);
        ++inputRows;
      }
      if (PortMidiDeviceInfoQRX::HasOutput_Get(device) && HasRoomForRow(outputRows)) {
        ChooseMidiOut_PopMenu()->AddRow(DeviceName(device));
        Module1::MidiOutCnt->Set(outputRows, id);
        ++outputRows;
      }
    }
    host::RuntimeBackgroundTask();
  }

  PushButton2()->SetCaption("OPEN");
  ChooseMidiIn_PopMenu()->SetEnabled(true);
  ChooseMidiOut_PopMenu()->SetEnabled(true);
  PushButton2()->SetEnabled(false);
  PushButton3()->SetEnabled(false);
}

void Window1::ChooseMidiOut_PopMenu_Change(host::PopupMenu&) {
  if (ChooseMidiOut_PopMenu()->ListIndex() < 0) {
    return;
  }
  Module1::MidiOutID = Module1::MidiOutCnt->Get(ChooseMidiOut_PopMenu()->ListIndex());
  ChooseMidiOut_PopMenu()->SetEnabled(false);
  if (ChooseMidiOut_PopMenu()->ListIndex() >= 0) {
    PushButton2()->SetEnabled(true);
    PushButton2()->SetCaption("OPEN");
  }
}

void Window1::ChooseMidiIn_PopMenu_Change(host::PopupMenu&) {
  if (ChooseMidiIn_PopMenu()->ListIndex() < 0) {
    return;
  }
  Module1::MidiInID = Module1::MidiInCnt->Get(ChooseMidiIn_PopMenu()->ListIndex());
  ChooseMidiIn_PopMenu()->SetEnabled(false);
}
