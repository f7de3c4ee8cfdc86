#include "members.h"

std::int64_t rbPm_SetChannelMask(REALobject instance, std::int64_t mask) { return 0; }
std::int64_t rbPm_SetFilter(REALobject instance, std::int64_t filters) { return 0; }
std::int64_t rbPm_Poll(REALobject instance) { return 0; }
std::int64_t rbPm_Read(REALobject instance, REALobject* event) { return 0; }
