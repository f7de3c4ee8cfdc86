#include "members.h"

std::int64_t rbPm_WriteSysEx(REALobject instance, std::int64_t when, REALstring message) { return 0; }
std::int64_t rbPm_WriteSysExMem(REALobject instance, std::int64_t when, REALmemoryBlock message, std::int64_t offset) { return 0; }
std::int64_t rbPm_WriteShort(REALobject instance, std::int64_t when, std::int64_t message) { return 0; }
std::int64_t rbPm_Write(REALobject instance, REALobject event) { return 0; }
