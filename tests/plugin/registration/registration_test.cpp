#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "host_entries.h"
#include "members.h"
#include "plugin_fixture.h"

namespace {

TEST(RecordVersion, FollowsTheHostVersionAtEachThreshold) {
  EXPECT_EQ(qrx::RecordVersionFor(2021.031), 13);
  EXPECT_EQ(qrx::RecordVersionFor(2013.04), 13);
  EXPECT_EQ(qrx::RecordVersionFor(2013.03), 12);
  EXPECT_EQ(qrx::RecordVersionFor(2013.02), 11);
  EXPECT_EQ(qrx::RecordVersionFor(2013.0), 11);
  EXPECT_EQ(qrx::RecordVersionFor(2012.5), 10);
  EXPECT_EQ(qrx::RecordVersionFor(2012.0), 10);
  EXPECT_EQ(qrx::RecordVersionFor(2011.9), 9);
  EXPECT_EQ(qrx::RecordVersionFor(0), 9);
  EXPECT_EQ(qrx::RecordVersionFor(std::numeric_limits<double>::quiet_NaN()), 9);
}

TEST(FlagRules, OldStyleCombinationIsRewrittenOnlyBelow2020_02) {
  EXPECT_EQ(qrx::FixedFlags(0x308, 2020.01), 0x4u);
  EXPECT_EQ(qrx::FixedFlags(0x308, 2020.02), 0x308u);
  EXPECT_EQ(qrx::FixedFlags(0x30C, 2013.04), 0x4u);
  // Bit 0x400 set: not the old-style combination.
  EXPECT_EQ(qrx::FixedFlags(0x708, 2013.04), 0x708u);
}

TEST(FlagRules, LegacyBitBecomesThePlainFlagFrom2010_029) {
  EXPECT_EQ(qrx::FixedFlags(0x40004, 2010.029), 0x4u);
  EXPECT_EQ(qrx::FixedFlags(0x40004, 2010.0), 0x4u);
  EXPECT_EQ(qrx::FixedFlags(0x40000, 2010.0), 0x0u);
  EXPECT_EQ(qrx::FixedFlags(0x40000, 2021.031), 0x4u);
}

TEST(FlagRules, TheFlagsThePluginRegistersNeverChange) {
  for (double version : {0.0, 2010.0, 2013.04, 2021.031}) {
    for (std::uint32_t flags : {0u, 4u, 6u})
      EXPECT_EQ(qrx::FixedFlags(flags, version), flags);
  }
}

class RegisterOneClass : public PluginWithFakeHost {
 protected:
  REALclassDefinition record{};
  REALmethodDefinition methods[2]{};
  REALproperty properties[1]{};
};

TEST_F(RegisterOneClass, RewritesEveryTableRoundsTheSizeAndStampsTheVersion) {
  UseHostAtVersion(2013.0);
  CurrentREALControlVersion = 11;
  record.name = "Sample";
  record.flags = 0x308;
  record.dataSize = 24;
  methods[0].flags = 0x40000;
  methods[1].flags = 0x308;
  properties[0].flags = 0x40006;
  record.methods = methods;
  record.methodCount = 2;
  record.sharedProperties = properties;
  record.sharedPropertyCount = 1;

  EXPECT_EQ(MyREALRegisterClass(&record), 1);

  EXPECT_EQ(record.flags, 0x4u);
  EXPECT_EQ(methods[0].flags, 0x4u);
  EXPECT_EQ(methods[1].flags, 0x4u);
  EXPECT_EQ(properties[0].flags, 0x6u);
  EXPECT_EQ(record.dataSize, 32u);
  EXPECT_EQ(record.version, 11u);
  ASSERT_EQ(host.registered.size(), 1u);
  EXPECT_EQ(host.registered[0], &record);
}

TEST_F(RegisterOneClass, SizesRoundUpToSixteen) {
  for (auto [size, rounded] : std::vector<std::pair<std::uint64_t, std::uint64_t>>{
           {0, 0}, {1, 16}, {8, 16}, {16, 16}, {24, 32}, {32, 32}}) {
    record.dataSize = size;
    MyREALRegisterClass(&record);
    EXPECT_EQ(record.dataSize, rounded) << size;
  }
}

TEST_F(RegisterOneClass, WithoutTheHostsEntryNothingIsRegistered) {
  host.Remove("PluginRegisterClass");
  EXPECT_EQ(MyREALRegisterClass(&record), 0);
  EXPECT_EQ(MyREALRegisterClass(nullptr), 0);
}

TEST_F(RegisterOneClass, AHostThatThrowsOnRegistrationGetsZeroBack) {
  host.FailOn("PluginRegisterClass", [] { throw std::runtime_error("refused"); });
  EXPECT_EQ(MyREALRegisterClass(&record), 0);
}

TEST(FixFlagsTables, NullTablesAndNonPositiveCountsAreLeftAlone) {
  REALmethodDefinition method{};
  method.flags = 0x40000;
  FixFlags(&method, 0);
  FixFlags(&method, -1);
  FixFlags(static_cast<REALmethodDefinition*>(nullptr), 5);
  FixFlags(static_cast<REALproperty*>(nullptr), 5);
  EXPECT_EQ(method.flags, 0x40000u);
}

using EntryPoint = PluginWithFakeHost;

std::vector<std::string> RegisteredNames(const FakeHost& host) {
  std::vector<std::string> names;
  for (const REALclassDefinition* r : host.registered)
    names.emplace_back(r->name);
  return names;
}

TEST_F(EntryPoint, RegistersTheFourClassesInOrderWithTheVersionOfTheHost) {
  UseHostAtVersion(2013.03);
  qrx::UseResolver(nullptr);
  REALPluginMain(FakeHost::Resolver());

  EXPECT_EQ(qrx::HostVersion(), 2013.03);
  EXPECT_EQ(CurrentREALControlVersion, 12);
  EXPECT_EQ(host.declaredVersions, std::vector<std::int32_t>{12});
  EXPECT_EQ(RegisteredNames(host),
            (std::vector<std::string>{"PortMidiStreamQRX", "PortMidiEventQRX", "PortMidiQRX",
                                      "PortMidiDeviceInfoQRX"}));
  for (const REALclassDefinition* r : host.registered)
    EXPECT_EQ(r->version, 12u) << r->name;
  EXPECT_EQ(host.Calls("REALGetRBVersion"), 1);
}

TEST_F(EntryPoint, RegisteringTwiceGivesTheSameRecords) {
  REALPluginMain(FakeHost::Resolver());
  REALPluginMain(FakeHost::Resolver());
  EXPECT_EQ(PMStreamClass.dataSize, 32u);
  EXPECT_EQ(PMEventClass.dataSize, 16u);
  EXPECT_EQ(PMClass.dataSize, 0u);
  EXPECT_EQ(PMDeviceInfoClass.dataSize, 16u);
  EXPECT_EQ(PMStreamClass.flags, 4u);
  EXPECT_EQ(PMStreamClass.version, 13u);
}

TEST_F(EntryPoint, WithoutAResolverNothingIsAskedOrRegistered) {
  qrx::SetHostVersion(2012.5);
  REALPluginMain(nullptr);
  EXPECT_EQ(CurrentREALControlVersion, 10);
  EXPECT_TRUE(host.registered.empty());
  EXPECT_EQ(host.Calls("REALGetRBVersion"), 0);
}

TEST_F(EntryPoint, AHostWithoutItsVersionKeepsTheVersionAlreadyKnown) {
  qrx::SetHostVersion(0);
  host.Remove("REALGetRBVersion");
  REALPluginMain(FakeHost::OtherResolver());
  EXPECT_EQ(qrx::HostVersion(), 0);
  EXPECT_EQ(CurrentREALControlVersion, 9);
  EXPECT_EQ(host.registered.size(), 4u);
}

TEST_F(EntryPoint, AHostWithoutRegisterPluginVersionStillGetsTheClasses) {
  host.Remove("RegisterPluginVersion");
  REALPluginMain(FakeHost::OtherResolver());
  EXPECT_TRUE(host.declaredVersions.empty());
  EXPECT_EQ(host.registered.size(), 4u);
}

TEST_F(EntryPoint, AHostWithoutPluginRegisterClassSeesNoClass) {
  host.Remove("PluginRegisterClass");
  REALPluginMain(FakeHost::OtherResolver());
  EXPECT_TRUE(host.registered.empty());
  EXPECT_EQ(host.declaredVersions.size(), 1u);
}

TEST_F(EntryPoint, AHostThatThrowsDoesNotSeeItsExceptionComeBack) {
  host.FailOn("REALGetRBVersion", [] { throw std::runtime_error("no version today"); });
  EXPECT_NO_THROW(REALPluginMain(FakeHost::OtherResolver()));
  EXPECT_TRUE(host.registered.empty());
}

TEST_F(EntryPoint, ANewResolverDropsTheEntriesKeptFromTheOldOne) {
  REALPluginMain(FakeHost::Resolver());
  FakeHost second;
  second.Remove("PluginRegisterClass");
  REALPluginMain(FakeHost::OtherResolver());
  // With the old address kept, the entry the new host lacks would still have been called.
  EXPECT_TRUE(second.registered.empty());
  EXPECT_EQ(host.registered.size(), 4u);
}

}  // namespace
