#include "members.h"

std::int64_t GetStatus(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetData1(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetData2(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetData3(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetWhen(REALobject instance, PropertyParam param) { return 0; }
std::int64_t GetRawMessage(REALobject instance, PropertyParam param) { return 0; }
void SetData0(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetData1(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetData2(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetData3(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetWhen(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetRawMessage(REALobject instance, PropertyParam param, std::int64_t value) {}
void SetValues3(REALobject instance, std::int64_t status, std::int64_t data1, std::int64_t data2) {}
void SetValues4(REALobject instance, std::int64_t data0, std::int64_t data1, std::int64_t data2, std::int64_t data3) {}
REALobject CurrentEvent() { return nullptr; }
