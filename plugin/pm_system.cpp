#include "members.h"

void ImageConstructor(REALobject instance) {}
std::int64_t reinit() { return 0; }
std::int64_t init() { return 0; }
std::int64_t rbPm_CountDevices() { return 0; }
std::int64_t rbPm_GetDefaultInputDeviceID() { return 0; }
std::int64_t rbPm_GetDefaultOutputDeviceID() { return 0; }
REALobject rbPm_GetDeviceInfo(std::int64_t deviceID) { return nullptr; }
REALstring rbPm_GetErrorText(std::int64_t errorNumber) { return nullptr; }
REALstring GetName(REALobject instance, PropertyParam param) { return nullptr; }
REALstring GetInterface(REALobject instance, PropertyParam param) { return nullptr; }
bool HasInput(REALobject instance, PropertyParam param) { return 0; }
bool HasOutput(REALobject instance, PropertyParam param) { return 0; }
