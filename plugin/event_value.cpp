#include "event_value.h"

#include "host_entries.h"
#include "members.h"

PmEvent& EventValueOf(REALobject event) {
  return *qrx::InstanceData<PmEvent>(event, PMEventClass);
}

PmEvent& CurrentPmEvent() {
  static PmEvent current{0, 0};
  return current;
}

REALobject NewEventObject(const PmEvent& value) {
  REALobject event = qrx::HostNewInstance("PortMidiEventQRX");
  if (event != nullptr) {
    EventValueOf(event) = value;
  }
  return event;
}
