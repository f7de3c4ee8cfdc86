// Instance data of a PortMidiDeviceInfoQRX object: which record of which device table it
// stands for. The generation keeps an object made before ReInitialize from reaching the
// table that ReInitialize freed.
#pragma once

#include <portmidi.h>

#include <cstdint>

#include "real_plugin_abi.h"

struct DeviceInfoRef {
  PmDeviceID device;
  std::uint32_t generation;  // 0 in an object DeviceInfo did not fill
};
static_assert(sizeof(DeviceInfoRef) == 8);

DeviceInfoRef& DeviceInfoRefOf(REALobject info);
