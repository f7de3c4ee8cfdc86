// The ABI header must stand on its own: included first, with nothing before it.
#include "real_plugin_abi.h"

#include <gtest/gtest.h>

namespace {

TEST(AbiHeader, CompilesAloneWithTheRecordSizesTheHostExpects) {
  EXPECT_EQ(sizeof(REALclassDefinition), 232u);
  EXPECT_EQ(sizeof(REALmethodDefinition), 48u);
  EXPECT_EQ(sizeof(REALproperty), 96u);
  EXPECT_EQ(sizeof(REALconstant), 40u);
}

}  // namespace
