# The firmware split on its own, without the framework.
add_executable(firmware_split_test firmware/firmware_split_test.cpp)
target_include_directories(firmware_split_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/firmware)
target_link_libraries(firmware_split_test PRIVATE firmware_split GTest::gtest_main)
gtest_discover_tests(firmware_split_test)
