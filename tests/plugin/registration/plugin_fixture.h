// Hands the plugin a fresh fake host for each test, so no entry kept from an earlier test
// answers in its place.
#pragma once

#include <gtest/gtest.h>

#include "fake_host.h"
#include "registration.h"

class PluginWithFakeHost : public ::testing::Test {
 protected:
  void SetUp() override { UseHostAtVersion(2021.031); }
  void TearDown() override { qrx::UseResolver(nullptr); }

  void UseHostAtVersion(double version) {
    host.version = version;
    qrx::UseResolver(nullptr);
    qrx::UseResolver(FakeHost::Resolver());
    qrx::SetHostVersion(version);
  }

  FakeHost host;
};
