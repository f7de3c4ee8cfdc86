// A property accessor asks the framework for its parameter once, getter and setter apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PropertyParam.h"
#include "host/exception.h"

namespace {

struct Request {
  std::string className;
  std::string propertyName;
  int getter;
};

std::vector<Request> gRequests;
bool gFailNext = false;

std::intptr_t RecordingSource(std::string_view className, std::string_view propertyName,
                              int getter) {
  gRequests.push_back({std::string(className), std::string(propertyName), getter});
  if (gFailNext) {
    gFailNext = false;
    host::Raise("PluginException", "no such property");
  }
  return 40 + getter;
}

class PropertyParamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gRequests.clear();
    gFailNext = false;
  }
};

TEST_F(PropertyParamTest, AsksOnFirstUseOnlyAndKeepsTheAnswer) {
  PropertyParam param("PortMidiEventQRX", "Status", 1, &RecordingSource);
  EXPECT_FALSE(param.Requested());
  EXPECT_TRUE(gRequests.empty()) << "nothing is asked before the first call";
  EXPECT_EQ(param.Get(), 41);
  EXPECT_EQ(param.Get(), 41);
  EXPECT_EQ(param.Get(), 41);
  ASSERT_EQ(gRequests.size(), 1u);
  EXPECT_EQ(gRequests[0].className, "PortMidiEventQRX");
  EXPECT_EQ(gRequests[0].propertyName, "Status");
  EXPECT_TRUE(param.Requested());
}

TEST_F(PropertyParamTest, GetterAndSetterAskSeparately) {
  PropertyParam getter("PortMidiEventQRX", "When", 1, &RecordingSource);
  PropertyParam setter("PortMidiEventQRX", "When", 0, &RecordingSource);
  EXPECT_EQ(getter.Get(), 41);
  EXPECT_EQ(setter.Get(), 40);
  getter.Get();
  setter.Get();
  ASSERT_EQ(gRequests.size(), 2u);
  EXPECT_EQ(gRequests[0].getter, 1);
  EXPECT_EQ(gRequests[1].getter, 0);
}

TEST_F(PropertyParamTest, AFailedRequestRaisesAndIsAskedAgainNextTime) {
  PropertyParam param("PortMidiStreamQRX", "Filters", 1, &RecordingSource);
  gFailNext = true;
  EXPECT_THROW(param.Get(), host::RaisedException);
  EXPECT_FALSE(param.Requested());
  EXPECT_EQ(param.Get(), 41);
  EXPECT_EQ(gRequests.size(), 2u);
}

}  // namespace
