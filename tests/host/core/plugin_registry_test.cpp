// Registration and binding against a hand-made class record, through the host's entries.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "host/exception.h"
#include "host/plugin_binding.h"
#include "host/plugin_loader.h"

namespace {

struct Sample {
  static inline int constructed = 0;
  static inline int destroyed = 0;
  static inline std::array<unsigned char, 24> dataSeen{};
  static inline REALclassDefinition* record = nullptr;

  static void Construct(REALobject self) {
    ++constructed;
    std::memcpy(dataSeen.data(), reinterpret_cast<char*>(self) + record->instanceDataOffset,
                dataSeen.size());
  }
  static void Destruct(REALobject) { ++destroyed; }
  static std::int64_t Count() { return 3; }
  static std::int64_t Level(REALobject, std::intptr_t) { return 1; }
  static void SetLevel(REALobject, std::intptr_t, std::int64_t) {}
  static std::int64_t Shared() { return 2; }
};

template <class Fn>
void (*Fn0(Fn* f))() {
  return reinterpret_cast<void (*)()>(f);
}

REALmethodDefinition sampleMethods[] = {
    {Fn0(Sample::Count), nullptr, "Count as integer", 4, 0, {}}};
REALmethodDefinition sampleShared[] = {
    {Fn0(Sample::Shared), nullptr, "Total(x as integer) as integer", 4, 0, {}}};
REALproperty sampleProperties[] = {
    {nullptr, "Level", "Integer", 6, 0, Fn0(Sample::Level), Fn0(Sample::SetLevel), {}},
    {nullptr, "Name", "String", 6, 0, Fn0(Sample::Level), nullptr, {}}};
REALproperty sampleSharedProperties[] = {
    {nullptr, "Current", "Integer", 6, 0, Fn0(Sample::Shared), nullptr, {}}};

REALclassDefinition MakeRecord(const char* name) {
  REALclassDefinition record{};
  record.version = 13;
  record.name = name;
  record.dataSize = 24;
  record.constructor = Sample::Construct;
  record.destructor = Sample::Destruct;
  record.methods = sampleMethods;
  record.methodCount = 1;
  record.sharedMethods = sampleShared;
  record.sharedMethodCount = 1;
  record.properties = sampleProperties;
  record.propertyCount = 2;
  record.sharedProperties = sampleSharedProperties;
  record.sharedPropertyCount = 1;
  record.flags = 4;
  return record;
}

std::int32_t Register(REALclassDefinition* record) {
  auto entry =
      reinterpret_cast<PluginRegisterClassFn>(host::HostResolveEntry("PluginRegisterClass"));
  return entry(record);
}

REALclassDefinition sampleRecord = MakeRecord("SampleQRX");

class Registry : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Sample::record = &sampleRecord;
    ASSERT_EQ(Register(&sampleRecord), 1);
  }
  void TearDown() override {
    host::SetPluginBindingTable({});
    host::ClearPendingException();
  }
};

TEST_F(Registry, WritesAnAlignedInstanceDataOffset) {
  EXPECT_GT(sampleRecord.instanceDataOffset, 0u);
  EXPECT_EQ(sampleRecord.instanceDataOffset % 16, 0u);
  EXPECT_EQ(host::FindRegisteredPluginClass("SampleQRX"), &sampleRecord);
  EXPECT_EQ(host::FindRegisteredPluginClass("Sample"), nullptr);
}

TEST_F(Registry, RefusesRecordsWithoutAName) {
  REALclassDefinition nameless{};
  EXPECT_EQ(Register(nullptr), 0);
  EXPECT_EQ(Register(&nameless), 0);
}

TEST_F(Registry, RegisteringANameAgainReplacesTheRecordInPlace) {
  static REALclassDefinition first = MakeRecord("ReplacedQRX");
  static REALclassDefinition second = MakeRecord("ReplacedQRX");
  Register(&first);
  const std::size_t count = host::RegisteredPluginClasses().size();
  Register(&second);
  EXPECT_EQ(host::RegisteredPluginClasses().size(), count);
  EXPECT_EQ(host::FindRegisteredPluginClass("ReplacedQRX"), &second);
  EXPECT_EQ(host::FindClass("ReplacedQRX")->pluginRecord, &second);
}

TEST_F(Registry, ObjectsGetZeroedDataBeforeTheConstructorAndTheDestructorAtTheEnd) {
  const host::ClassDescription* cls = host::FindClass("SampleQRX");
  ASSERT_NE(cls, nullptr);
  Sample::constructed = Sample::destroyed = 0;
  Sample::dataSeen.fill(0xAA);
  host::Ref<host::Object> object = host::RuntimeNewObject(*cls);
  EXPECT_EQ(Sample::constructed, 1);
  for (unsigned char byte : Sample::dataSeen)
    EXPECT_EQ(byte, 0);
  EXPECT_EQ(object->InstanceData(),
            reinterpret_cast<std::byte*>(object.get()) + sampleRecord.instanceDataOffset);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object->InstanceData()) % 16, 0u);
  object.Reset();
  EXPECT_EQ(Sample::destroyed, 1);
}

TEST_F(Registry, AnExceptionPendingBeforeACreationStaysPendingAndTheObjectIsMade) {
  host::SetPendingException(host::MakeException("OutOfBoundsException", "raised earlier"));
  auto newInstance =
      reinterpret_cast<PluginNewInstanceFn>(host::HostResolveEntry("PluginNewInstance"));
  REALobject made = newInstance("SampleQRX");
  ASSERT_NE(made, nullptr);
  reinterpret_cast<host::Object*>(made)->Release();
  try {
    host::RaisePendingException();
    FAIL() << "the earlier exception was lost";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "OutOfBoundsException");
    EXPECT_EQ(e.Exception()->message, "raised earlier");
  }
}

TEST_F(Registry, ProgramDescriptionsKeepTheirHooksAndGainTheRecord) {
  static host::ClassDescription program;
  program.name = "ProgramFirstQRX";
  static int forwarded = 0;
  program.constructor = [](host::Object&) { ++forwarded; };
  host::DescribeClass(program);
  static REALclassDefinition record = MakeRecord("ProgramFirstQRX");
  Register(&record);
  EXPECT_EQ(program.pluginRecord, &record);
  Sample::constructed = 0;
  host::RuntimeNewObject(program).Reset();
  EXPECT_EQ(forwarded, 1);
  EXPECT_EQ(Sample::constructed, 0);
}

TEST_F(Registry, FindsMembersByTheirBindingKeys) {
  EXPECT_EQ(host::FindPluginMember("SampleQRX.Count as integer"), Fn0(Sample::Count));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.Total(x as integer) as integer"),
            Fn0(Sample::Shared));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.Level.Get"), Fn0(Sample::Level));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.Level.Set"), Fn0(Sample::SetLevel));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.Current.Get"), Fn0(Sample::Shared));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.__init"), Fn0(Sample::Construct));
  EXPECT_EQ(host::FindPluginMember("SampleQRX.__exit"), Fn0(Sample::Destruct));
  for (const char* missing :
       {"SampleQRX.Name.Set", "SampleQRX.Count", "SampleQRX.count as integer", "SampleQRX.Level",
        "OtherQRX.Count as integer", "SampleQRX", "", "SampleQRX.Level.Get "}) {
    EXPECT_EQ(host::FindPluginMember(missing), nullptr) << missing;
  }
}

TEST_F(Registry, PropertyParametersExistOnlyForRegisteredAccessors) {
  EXPECT_NE(host::GetPluginPropertyParam("SampleQRX", "Level", 1), 0);
  EXPECT_NE(host::GetPluginPropertyParam("SampleQRX", "Level", 0), 0);
  EXPECT_NE(host::GetPluginPropertyParam("SampleQRX", "Current", 1), 0);
  EXPECT_THROW(host::GetPluginPropertyParam("SampleQRX", "Name", 0), host::RaisedException);
  EXPECT_THROW(host::GetPluginPropertyParam("SampleQRX", "Depth", 1), host::RaisedException);
  EXPECT_THROW(host::GetPluginPropertyParam("NoQRX", "Level", 1), host::RaisedException);
}

TEST_F(Registry, ResolvingFillsEverySlotOrNamesTheFirstMissing) {
  std::array<host::PluginBindingRecord, 3> table{{
      {"SampleQRX.Count as integer", "Sample", "Sample.so", nullptr},
      {"SampleQRX.Level.Set", "Sample", "Sample.so", nullptr},
      {"SampleQRX.__exit", "Sample", "Sample.so", nullptr},
  }};
  host::SetPluginBindingTable(table);
  host::ResolvePluginClasses();
  EXPECT_EQ(table[0].entrySlot, Fn0(Sample::Count));
  EXPECT_EQ(table[1].entrySlot, Fn0(Sample::SetLevel));
  EXPECT_EQ(table[2].entrySlot, Fn0(Sample::Destruct));

  table[1].declaration = "SampleQRX.Depth.Get";
  try {
    host::ResolvePluginClasses();
    FAIL() << "a missing member was bound";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "PluginException");
    EXPECT_NE(e.Exception()->message.find("SampleQRX.Depth.Get"), std::string::npos);
  }
  EXPECT_EQ(table[1].entrySlot, nullptr);
}

TEST_F(Registry, AClassTheTableNamesButNoPluginRegisteredMakesNoObject) {
  std::array<host::PluginBindingRecord, 1> table{{
      {"AbsentQRX.__init", "Absent", "Absent.so", nullptr},
  }};
  host::SetPluginBindingTable(table);
  host::ClassDescription absent;
  absent.name = "AbsentQRX";
  try {
    host::RuntimeNewObject(absent);
    FAIL() << "made an object of an unregistered plugin class";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "PluginException");
  }
}

TEST_F(Registry, LoadingAMissingLibraryNamesItsPath) {
  std::array<host::PluginBindingRecord, 1> table{{
      {"AbsentQRX.__init", "Absent", "AbsentPlugin.so", nullptr},
  }};
  host::SetPluginBindingTable(table);
  host::SetPluginDirectory("/nonexistent-dir");
  try {
    host::InitPluginEntrypoints();
    FAIL() << "loaded a missing library";
  } catch (const host::RaisedException& e) {
    EXPECT_EQ(e.ClassName(), "PluginException");
    EXPECT_NE(e.Exception()->message.find("/nonexistent-dir/AbsentPlugin.so"), std::string::npos);
  }
}

TEST(PluginDirectory, CanBePointedElsewhere) {
  host::SetPluginDirectory("/opt/plugins");
  EXPECT_EQ(host::PluginDirectory(), "/opt/plugins");
}

}  // namespace
