// The plain functions that carry out the members of the four classes. The class records
// point at them; the host calls them with the object first (shared members take none), a
// property accessor with the object and the host's property parameter, a setter then the
// value.
#pragma once

#include <cstdint>

#include "real_plugin_abi.h"

using PropertyParam = std::intptr_t;

// PortMidiQRX
void ImageConstructor(REALobject instance);
std::int64_t reinit();
std::int64_t init();
std::int64_t rbPm_CountDevices();
std::int64_t rbPm_GetDefaultInputDeviceID();
std::int64_t rbPm_GetDefaultOutputDeviceID();
REALobject rbPm_GetDeviceInfo(std::int64_t deviceID);
REALstring rbPm_GetErrorText(std::int64_t errorNumber);

// PortMidiDeviceInfoQRX
REALstring GetName(REALobject instance, PropertyParam param);
REALstring GetInterface(REALobject instance, PropertyParam param);
bool HasInput(REALobject instance, PropertyParam param);
bool HasOutput(REALobject instance, PropertyParam param);

// PortMidiStreamQRX
void StreamConstructor(REALobject instance);
void StreamDestructor(REALobject instance);
REALstring LastHostError(REALobject instance);
std::int64_t rbAbortStream(REALobject instance);
REALstring rbPm_GetErrorText(REALobject instance, std::int64_t errorNumber);  // the stream form
std::int64_t rbPm_SetChannelMask(REALobject instance, std::int64_t mask);
std::int64_t rbPm_SetFilter(REALobject instance, std::int64_t filters);
std::int64_t rbPm_Poll(REALobject instance);
std::int64_t rbPm_WriteSysEx(REALobject instance, std::int64_t when, REALstring message);
std::int64_t rbPm_WriteSysExMem(REALobject instance, std::int64_t when, REALmemoryBlock message,
                                std::int64_t offset);
std::int64_t rbPm_WriteShort(REALobject instance, std::int64_t when, std::int64_t message);
std::int64_t rbPm_Write(REALobject instance, REALobject event);
std::int64_t rbPm_Read(REALobject instance, REALobject* event);
std::int64_t rbPm_OpenInput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize);
std::int64_t rbPm_OpenOutput(REALobject instance, std::int64_t deviceID, std::int64_t bufferSize,
                             std::int64_t latency);
std::int64_t currentTimeStamp();
std::int64_t GetChannelMask(REALobject instance, PropertyParam param);
std::int64_t GetFilters(REALobject instance, PropertyParam param);
std::int64_t GetDeviceID(REALobject instance, PropertyParam param);
REALstring GetDeviceName(REALobject instance, PropertyParam param);

// PortMidiEventQRX
std::int64_t GetStatus(REALobject instance, PropertyParam param);
std::int64_t GetData1(REALobject instance, PropertyParam param);
std::int64_t GetData2(REALobject instance, PropertyParam param);
std::int64_t GetData3(REALobject instance, PropertyParam param);
std::int64_t GetWhen(REALobject instance, PropertyParam param);
std::int64_t GetRawMessage(REALobject instance, PropertyParam param);
void SetData0(REALobject instance, PropertyParam param, std::int64_t value);
void SetData1(REALobject instance, PropertyParam param, std::int64_t value);
void SetData2(REALobject instance, PropertyParam param, std::int64_t value);
void SetData3(REALobject instance, PropertyParam param, std::int64_t value);
void SetWhen(REALobject instance, PropertyParam param, std::int64_t value);
void SetRawMessage(REALobject instance, PropertyParam param, std::int64_t value);
void SetValues3(REALobject instance, std::int64_t status, std::int64_t data1, std::int64_t data2);
void SetValues4(REALobject instance, std::int64_t data0, std::int64_t data1, std::int64_t data2,
                std::int64_t data3);
REALobject CurrentEvent();

// The class records, registered in this order by REALPluginMain.
extern REALclassDefinition PMStreamClass;
extern REALclassDefinition PMEventClass;
extern REALclassDefinition PMClass;
extern REALclassDefinition PMDeviceInfoClass;
