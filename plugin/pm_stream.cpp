#include "members.h"

void StreamConstructor(REALobject instance) {}
void StreamDestructor(REALobject instance) {}
REALstring LastHostError(REALobject instance) { return nullptr; }
std::int64_t rbAbortStream(REALobject instance) { return 0; }
REALstring rbPm_GetErrorText(REALobject instance, std::int64_t errorNumber) { return nullptr; }
std::int64_t rbPm_OpenInput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize) { return 0; }
std::int64_t rbPm_OpenOutput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize, std::int64_t latency) { return 0; }
std::int64_t currentTimeStamp() { return 0; }
std::int64_t GetChannelMask(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetFilters(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetDeviceID(REALobject instance, PropertyParam param) { return 0; }
REALstring GetDeviceName(REALobject instance, PropertyParam param) { return nullptr; }
