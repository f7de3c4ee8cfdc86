// The GUI tests share one application on Qt's offscreen platform.
#include <gtest/gtest.h>

#include "ui_driver.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  test_support::StartHeadlessRuntime();
  return RUN_ALL_TESTS();
}
