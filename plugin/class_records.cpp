// The four class records as the host sees them: every declaration, property and constant
// text here is what the program binds to, byte for byte.
#include "members.h"

namespace {

using Function = void (*)();

constexpr std::uint32_t kMemberFlags = 4;
constexpr std::uint32_t kClassFlags = 4;
constexpr std::uint32_t kStreamPropertyFlags = 0;
constexpr std::uint32_t kValuePropertyFlags = 6;

template <class Fn>
Function F(Fn* function) {
  return reinterpret_cast<Function>(function);
}

REALmethodDefinition Method(Function function, const char* declaration) {
  return {function, nullptr, declaration, kMemberFlags, 0, {}};
}

REALproperty Property(const char* name, const char* type, std::uint32_t flags, Function getter,
                      Function setter = nullptr) {
  return {nullptr, name, type, flags, 0, getter, setter, {}};
}

REALconstant Constant(const char* text) {
  return {text, {}};
}

template <class T, std::size_t N>
constexpr std::uint64_t CountOf(T (&)[N]) {
  return N;
}

// The stream form and the shared form of ErrorText share a name.
using StreamErrorText = REALstring(REALobject, std::int64_t);
using SharedErrorText = REALstring(std::int64_t);

REALproperty PMStreamClassProperties[] = {
    Property("ChannelMask", "Integer", kStreamPropertyFlags, F(GetChannelMask)),
    Property("Filters", "Integer", kStreamPropertyFlags, F(GetFilters)),
    Property("DeviceID", "Integer", kStreamPropertyFlags, F(GetDeviceID)),
    Property("DeviceName", "String", kStreamPropertyFlags, F(GetDeviceName)),
};

REALmethodDefinition PMStreamClassMethods[] = {
    Method(F(LastHostError), "HostError as string"),
    Method(F(StreamDestructor), "Close"),
    Method(F(rbAbortStream), "Abort as integer"),
    Method(F(static_cast<StreamErrorText*>(rbPm_GetErrorText)),
           "ErrorText(ErrorNumber as integer) as string"),
    Method(F(rbPm_SetChannelMask), "SetChannelMask(mask as integer) as integer"),
    Method(F(rbPm_SetFilter), "SetFilter(filters as integer) as integer"),
    Method(F(rbPm_Poll), "Poll as integer"),
    Method(F(rbPm_WriteSysEx), "WriteSysEx(When as integer, message as string) as integer"),
    Method(F(rbPm_WriteSysExMem),
           "WriteSysEx(When as integer, message as memoryblock, offset as integer) as integer"),
    Method(F(rbPm_WriteShort), "WriteShort(When as integer, message as integer) as integer"),
    Method(F(rbPm_Write), "Write(data as PortMidiEventQRX) as integer"),
    Method(F(rbPm_Read), "Read(byref data as PortMidiEventQRX) as integer"),
    Method(F(rbPm_OpenInput), "OpenInput(DeviceID as integer, Buffersize as integer) as integer"),
    Method(F(rbPm_OpenOutput),
           "OpenOutput(DeviceID as integer, Buffersize as integer, Latency as integer) as "
           "integer"),
};

REALmethodDefinition PMStreamClassSharedMethods[] = {
    Method(F(currentTimeStamp), "currentTimeStamp as Integer"),
};

REALconstant PMStreamClassConstants[] = {
    Constant("FilterActive = &h4000"),
    Constant("FilterSysEx = 1"),
    Constant("FilterClock = &h100"),
    Constant("FilterPlay = &h1C00"),
    Constant("FilterTick = &h200"),
    Constant("FilterFD = &h2000"),
    Constant("FilterUndefined = &h2000"),
    Constant("FilterReset = &h8000"),
    Constant("FilterRealTime = &hFF01"),
    Constant("FilterNote =  &h3000000"),
    Constant("FilterChannelAftertouch = &h20000000"),
    Constant("FilterPolyAftertouch = &h4000000"),
    Constant("FilterAftertouch = &h24000000"),
    Constant("FilterProgram = &h10000000"),
    Constant("FilterControl = &h8000000"),
    Constant("FilterPitchBend = &h40000000"),
    Constant("FilterMTC = 2"),
    Constant("FilterSongPosition = 4"),
    Constant("FilterSongSelect = 8"),
    Constant("FilterTune = &h40"),
    Constant("FilterSystemCommon = &h4E"),
};

REALproperty PMEventClassProperties[] = {
    Property("Status", "Integer", kValuePropertyFlags, F(GetStatus), F(SetData0)),
    Property("Data1", "Integer", kValuePropertyFlags, F(GetData1), F(SetData1)),
    Property("Data2", "Integer", kValuePropertyFlags, F(GetData2), F(SetData2)),
    Property("RawData0", "Integer", kValuePropertyFlags, F(GetStatus), F(SetData0)),
    Property("RawData1", "Integer", kValuePropertyFlags, F(GetData1), F(SetData1)),
    Property("RawData2", "Integer", kValuePropertyFlags, F(GetData2), F(SetData2)),
    Property("RawData3", "Integer", kValuePropertyFlags, F(GetData3), F(SetData3)),
    Property("When", "Integer", kValuePropertyFlags, F(GetWhen), F(SetWhen)),
    Property("RawMessage", "Integer", kValuePropertyFlags, F(GetRawMessage), F(SetRawMessage)),
};

REALmethodDefinition PMEventClassMethods[] = {
    Method(F(SetValues3), "Set(status as integer, data1 as integer, data2 as integer)"),
    Method(F(SetValues4),
           "SetRaw(data0 as integer, data1 as integer, data2 as integer, data3 as integer)"),
};

REALproperty PMEventClassSharedProperties[] = {
    Property("CurrentEvent", "PortMidiEventQRX", kValuePropertyFlags, F(CurrentEvent)),
};

REALmethodDefinition PMClassSharedMethods[] = {
    Method(F(reinit), "ReInitialize as integer"),
    Method(F(init), "Initialize as integer"),
    Method(F(rbPm_CountDevices), "CountDevices as integer"),
    Method(F(rbPm_GetDefaultInputDeviceID), "DefaultInputDeviceID as integer"),
    Method(F(rbPm_GetDefaultOutputDeviceID), "DefaultOutputDeviceID as integer"),
    Method(F(rbPm_GetDeviceInfo), "DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX"),
    Method(F(static_cast<SharedErrorText*>(rbPm_GetErrorText)),
           "ErrorText(ErrorNumber as integer) as string"),
};

REALconstant PMClassConstants[] = {
    Constant("pmNoError = 0"),
    Constant("pmHostError = -10000"),
    Constant("pmInvalidDeviceId = -9999"),
    Constant("pmInsufficientMemory = -9998"),
    Constant("pmBufferTooSmall = -9997"),
    Constant("pmBufferOverflow = -9996"),
    Constant("pmBadPtr = -9995"),
    Constant("pmBadData = -9994"),
    Constant("pmInternalError = -9993"),
    Constant("pmBufferMaxSize = -9992"),
    Constant("pmNoDevice = -1"),
};

REALproperty PMDeviceInfoClassProperties[] = {
    Property("Name", "String", kValuePropertyFlags, F(GetName)),
    Property("InterfaceName", "String", kValuePropertyFlags, F(GetInterface)),
    Property("HasInput", "Boolean", kValuePropertyFlags, F(HasInput)),
    Property("HasOutput", "Boolean", kValuePropertyFlags, F(HasOutput)),
};

// A record with every field the plugin does not use left zero.
REALclassDefinition ClassRecord(const char* name, std::uint64_t dataSize,
                                void (*constructor)(REALobject), void (*destructor)(REALobject)) {
  REALclassDefinition record{};
  record.name = name;
  record.dataSize = dataSize;
  record.constructor = constructor;
  record.destructor = destructor;
  record.flags = kClassFlags;
  return record;
}

REALclassDefinition StreamRecord() {
  REALclassDefinition record =
      ClassRecord("PortMidiStreamQRX", 24, StreamConstructor, StreamDestructor);
  record.properties = PMStreamClassProperties;
  record.propertyCount = CountOf(PMStreamClassProperties);
  record.methods = PMStreamClassMethods;
  record.methodCount = CountOf(PMStreamClassMethods);
  record.sharedMethods = PMStreamClassSharedMethods;
  record.sharedMethodCount = CountOf(PMStreamClassSharedMethods);
  record.constants = PMStreamClassConstants;
  record.constantCount = CountOf(PMStreamClassConstants);
  return record;
}

REALclassDefinition EventRecord() {
  REALclassDefinition record = ClassRecord("PortMidiEventQRX", 8, nullptr, nullptr);
  record.properties = PMEventClassProperties;
  record.propertyCount = CountOf(PMEventClassProperties);
  record.methods = PMEventClassMethods;
  record.methodCount = CountOf(PMEventClassMethods);
  record.sharedProperties = PMEventClassSharedProperties;
  record.sharedPropertyCount = CountOf(PMEventClassSharedProperties);
  return record;
}

REALclassDefinition ModuleRecord() {
  REALclassDefinition record = ClassRecord("PortMidiQRX", 0, ImageConstructor, nullptr);
  record.sharedMethods = PMClassSharedMethods;
  record.sharedMethodCount = CountOf(PMClassSharedMethods);
  record.constants = PMClassConstants;
  record.constantCount = CountOf(PMClassConstants);
  return record;
}

REALclassDefinition DeviceInfoRecord() {
  REALclassDefinition record = ClassRecord("PortMidiDeviceInfoQRX", 8, nullptr, nullptr);
  record.properties = PMDeviceInfoClassProperties;
  record.propertyCount = CountOf(PMDeviceInfoClassProperties);
  return record;
}

}  // namespace

REALclassDefinition PMStreamClass = StreamRecord();
REALclassDefinition PMEventClass = EventRecord();
REALclassDefinition PMClass = ModuleRecord();
REALclassDefinition PMDeviceInfoClass = DeviceInfoRecord();
