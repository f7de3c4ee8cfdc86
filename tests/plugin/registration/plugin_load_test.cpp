// Loads the built plugin as the program does: dlopen, its REALPluginMain, the host's
// resolver. Every text checked here is what the program's binding table relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/exception.h"
#include "host/object.h"
#include "host/plugin_loader.h"
#include "real_plugin_abi.h"

namespace {

class LoadedPlugin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { host::LoadPluginLibrary(QRX_PLUGIN_PATH); }

  static const REALclassDefinition& Record(const char* name) {
    const REALclassDefinition* record = host::FindRegisteredPluginClass(name);
    if (!record)
      throw std::runtime_error(std::string("not registered: ") + name);
    return *record;
  }
};

std::vector<std::string> Declarations(const REALmethodDefinition* table, std::uint64_t count) {
  std::vector<std::string> texts;
  for (std::uint64_t i = 0; i < count; ++i)
    texts.emplace_back(table[i].declaration);
  return texts;
}

std::vector<std::string> Constants(const REALclassDefinition& record) {
  std::vector<std::string> texts;
  for (std::uint64_t i = 0; i < record.constantCount; ++i) {
    texts.emplace_back(record.constants[i].declaration);
  }
  return texts;
}

struct PropertyText {
  std::string name;
  std::string type;
  std::uint32_t flags;
  bool writable;
  bool operator==(const PropertyText&) const = default;
};

std::vector<PropertyText> Properties(const REALproperty* table, std::uint64_t count) {
  std::vector<PropertyText> texts;
  for (std::uint64_t i = 0; i < count; ++i) {
    texts.push_back({table[i].name, table[i].type, table[i].flags, table[i].setter != nullptr});
  }
  return texts;
}

TEST_F(LoadedPlugin, RegistersTheFourClassesInOrderWithTheirSizesAndVersion) {
  std::vector<std::string> names;
  std::vector<std::uint64_t> sizes;
  for (const REALclassDefinition* record : host::RegisteredPluginClasses()) {
    names.emplace_back(record->name);
    sizes.push_back(record->dataSize);
    EXPECT_EQ(record->version, 13u) << record->name;
    EXPECT_EQ(record->flags, 4u) << record->name;
    EXPECT_EQ(record->superName, nullptr) << record->name;
    EXPECT_EQ(record->instanceDataOffset % 16, 0u) << record->name;
    EXPECT_GT(record->instanceDataOffset, 0u) << record->name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"PortMidiStreamQRX", "PortMidiEventQRX", "PortMidiQRX",
                                             "PortMidiDeviceInfoQRX"}));
  EXPECT_EQ(sizes, (std::vector<std::uint64_t>{32, 16, 0, 16}));
  EXPECT_EQ(host::RegisteredPluginVersion(), 13);
}

TEST_F(LoadedPlugin, StreamClassTextsAreExact) {
  const REALclassDefinition& r = Record("PortMidiStreamQRX");
  EXPECT_NE(r.constructor, nullptr);
  EXPECT_NE(r.destructor, nullptr);
  EXPECT_EQ(Declarations(r.methods, r.methodCount),
            (std::vector<std::string>{
                "HostError as string",
                "Close",
                "Abort as integer",
                "ErrorText(ErrorNumber as integer) as string",
                "SetChannelMask(mask as integer) as integer",
                "SetFilter(filters as integer) as integer",
                "Poll as integer",
                "WriteSysEx(When as integer, message as string) as integer",
                "WriteSysEx(When as integer, message as memoryblock, offset as integer) as integer",
                "WriteShort(When as integer, message as integer) as integer",
                "Write(data as PortMidiEventQRX) as integer",
                "Read(byref data as PortMidiEventQRX) as integer",
                "OpenInput(DeviceID as integer, Buffersize as integer) as integer",
                "OpenOutput(DeviceID as integer, Buffersize as integer, Latency as integer) as "
                "integer",
            }));
  // Close is the destructor itself.
  EXPECT_EQ(reinterpret_cast<void*>(r.methods[1].function), reinterpret_cast<void*>(r.destructor));
  EXPECT_EQ(Declarations(r.sharedMethods, r.sharedMethodCount),
            std::vector<std::string>{"currentTimeStamp as Integer"});
  EXPECT_EQ(Properties(r.properties, r.propertyCount),
            (std::vector<PropertyText>{{"ChannelMask", "Integer", 0, false},
                                       {"Filters", "Integer", 0, false},
                                       {"DeviceID", "Integer", 0, false},
                                       {"DeviceName", "String", 0, false}}));
  EXPECT_EQ(r.sharedPropertyCount, 0u);
  EXPECT_EQ(Constants(r), (std::vector<std::string>{
                              "FilterActive = &h4000",
                              "FilterSysEx = 1",
                              "FilterClock = &h100",
                              "FilterPlay = &h1C00",
                              "FilterTick = &h200",
                              "FilterFD = &h2000",
                              "FilterUndefined = &h2000",
                              "FilterReset = &h8000",
                              "FilterRealTime = &hFF01",
                              "FilterNote =  &h3000000",
                              "FilterChannelAftertouch = &h20000000",
                              "FilterPolyAftertouch = &h4000000",
                              "FilterAftertouch = &h24000000",
                              "FilterProgram = &h10000000",
                              "FilterControl = &h8000000",
                              "FilterPitchBend = &h40000000",
                              "FilterMTC = 2",
                              "FilterSongPosition = 4",
                              "FilterSongSelect = 8",
                              "FilterTune = &h40",
                              "FilterSystemCommon = &h4E",
                          }));
}

TEST_F(LoadedPlugin, EventClassTextsAreExact) {
  const REALclassDefinition& r = Record("PortMidiEventQRX");
  EXPECT_EQ(r.constructor, nullptr);
  EXPECT_EQ(r.destructor, nullptr);
  EXPECT_EQ(Properties(r.properties, r.propertyCount),
            (std::vector<PropertyText>{{"Status", "Integer", 6, true},
                                       {"Data1", "Integer", 6, true},
                                       {"Data2", "Integer", 6, true},
                                       {"RawData0", "Integer", 6, true},
                                       {"RawData1", "Integer", 6, true},
                                       {"RawData2", "Integer", 6, true},
                                       {"RawData3", "Integer", 6, true},
                                       {"When", "Integer", 6, true},
                                       {"RawMessage", "Integer", 6, true}}));
  // The raw accessors of bytes 0 to 2 are those of Status, Data1 and Data2.
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(r.properties[i].getter, r.properties[i + 3].getter);
    EXPECT_EQ(r.properties[i].setter, r.properties[i + 3].setter);
  }
  EXPECT_EQ(Declarations(r.methods, r.methodCount),
            (std::vector<std::string>{
                "Set(status as integer, data1 as integer, data2 as integer)",
                "SetRaw(data0 as integer, data1 as integer, data2 as integer, data3 as integer)"}));
  EXPECT_EQ(Properties(r.sharedProperties, r.sharedPropertyCount),
            (std::vector<PropertyText>{{"CurrentEvent", "PortMidiEventQRX", 6, false}}));
  EXPECT_EQ(r.sharedMethodCount, 0u);
  EXPECT_EQ(r.constantCount, 0u);
}

TEST_F(LoadedPlugin, ModuleAndDeviceInfoClassTextsAreExact) {
  const REALclassDefinition& module = Record("PortMidiQRX");
  EXPECT_NE(module.constructor, nullptr);
  EXPECT_EQ(module.destructor, nullptr);
  EXPECT_EQ(module.propertyCount + module.methodCount + module.sharedPropertyCount, 0u);
  EXPECT_EQ(Declarations(module.sharedMethods, module.sharedMethodCount),
            (std::vector<std::string>{"ReInitialize as integer", "Initialize as integer",
                                      "CountDevices as integer", "DefaultInputDeviceID as integer",
                                      "DefaultOutputDeviceID as integer",
                                      "DeviceInfo(DeviceID as integer) as PortMidiDeviceInfoQRX",
                                      "ErrorText(ErrorNumber as integer) as string"}));
  EXPECT_EQ(Constants(module),
            (std::vector<std::string>{
                "pmNoError = 0", "pmHostError = -10000", "pmInvalidDeviceId = -9999",
                "pmInsufficientMemory = -9998", "pmBufferTooSmall = -9997",
                "pmBufferOverflow = -9996", "pmBadPtr = -9995", "pmBadData = -9994",
                "pmInternalError = -9993", "pmBufferMaxSize = -9992", "pmNoDevice = -1"}));

  const REALclassDefinition& info = Record("PortMidiDeviceInfoQRX");
  EXPECT_EQ(info.constructor, nullptr);
  EXPECT_EQ(info.destructor, nullptr);
  EXPECT_EQ(info.methodCount + info.sharedMethodCount + info.constantCount, 0u);
  EXPECT_EQ(Properties(info.properties, info.propertyCount),
            (std::vector<PropertyText>{{"Name", "String", 6, false},
                                       {"InterfaceName", "String", 6, false},
                                       {"HasInput", "Boolean", 6, false},
                                       {"HasOutput", "Boolean", 6, false}}));
}

TEST_F(LoadedPlugin, EveryRecordHasAFunctionAndZeroReservedWords) {
  for (const REALclassDefinition* r : host::RegisteredPluginClasses()) {
    for (std::uint64_t word : r->reserved1)
      EXPECT_EQ(word, 0u) << r->name;
    for (std::uint64_t word : r->reserved3)
      EXPECT_EQ(word, 0u) << r->name;
    for (auto [table, count] : {std::pair{r->methods, r->methodCount},
                                std::pair{r->sharedMethods, r->sharedMethodCount}}) {
      for (std::uint64_t i = 0; i < count; ++i) {
        EXPECT_NE(table[i].function, nullptr) << table[i].declaration;
        EXPECT_EQ(table[i].secondFunction, nullptr) << table[i].declaration;
        EXPECT_EQ(table[i].flags, 4u) << table[i].declaration;
      }
    }
    for (auto [table, count] : {std::pair{r->properties, r->propertyCount},
                                std::pair{r->sharedProperties, r->sharedPropertyCount}}) {
      for (std::uint64_t i = 0; i < count; ++i) {
        EXPECT_NE(table[i].getter, nullptr) << table[i].name;
        EXPECT_EQ(table[i].firstWord, nullptr) << table[i].name;
      }
    }
  }
}

TEST_F(LoadedPlugin, MembersAreFoundByTheProgramsBindingKeys) {
  for (const char* key :
       {"PortMidiStreamQRX.__init", "PortMidiStreamQRX.__exit", "PortMidiQRX.__init",
        "PortMidiStreamQRX.OpenOutput(DeviceID as integer, Buffersize as integer, Latency as "
        "integer) as integer",
        "PortMidiStreamQRX.WriteSysEx(When as integer, message as string) as integer",
        "PortMidiStreamQRX.currentTimeStamp as Integer", "PortMidiStreamQRX.ChannelMask.Get",
        "PortMidiEventQRX.Status.Set", "PortMidiEventQRX.CurrentEvent.Get",
        "PortMidiQRX.CountDevices as integer", "PortMidiDeviceInfoQRX.HasOutput.Get"}) {
    EXPECT_NE(host::FindPluginMember(key), nullptr) << key;
  }
  for (const char* key : {"PortMidiEventQRX.__init", "PortMidiDeviceInfoQRX.Name.Set",
                          "PortMidiStreamQRX.OpenOutput", "PortMidiQRX.pmNoError"}) {
    EXPECT_EQ(host::FindPluginMember(key), nullptr) << key;
  }
}

TEST_F(LoadedPlugin, ObjectsCarryZeroedInstanceDataWhereThePluginLooks) {
  host::ClassDescription* event = host::FindClass("PortMidiEventQRX");
  ASSERT_NE(event, nullptr);
  host::Ref<host::Object> object = host::RuntimeNewObject(*event);
  auto raw = reinterpret_cast<REALobject>(object.get());
  using Getter = std::int64_t (*)(REALobject, std::intptr_t);
  using Setter = void (*)(REALobject, std::intptr_t, std::int64_t);
  auto getWhen = reinterpret_cast<Getter>(host::FindPluginMember("PortMidiEventQRX.When.Get"));
  auto setWhen = reinterpret_cast<Setter>(host::FindPluginMember("PortMidiEventQRX.When.Set"));
  EXPECT_EQ(getWhen(raw, 0), 0);
  setWhen(raw, 0, 1234);
  EXPECT_EQ(getWhen(raw, 0), 1234);
}

TEST(PluginLoader, AMissingLibraryIsRefusedByName) {
  try {
    host::LoadPluginLibrary("/nonexistent/QRXPortMidi.so");
    FAIL() << "loaded a library that does not exist";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "PluginException");
    EXPECT_NE(e.Exception()->message.find("/nonexistent/QRXPortMidi.so"), std::string::npos);
  }
}

}  // namespace
