# The firmware split on its own, without the framework.
add_executable(firmware_split_test firmware/firmware_split_test.cpp)
target_include_directories(firmware_split_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/firmware)
target_link_libraries(firmware_split_test PRIVATE firmware_split GTest::gtest_main)
gtest_discover_tests(firmware_split_test)

# The real program in-process over the PortMidi double, shared by the end-to-end tests and
# the benchmarks.
add_library(firmware_program_harness STATIC firmware/program_harness.cpp)
target_include_directories(firmware_program_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/firmware)
target_link_libraries(firmware_program_harness PUBLIC app_core fake_portmidi host_test_support
  PRIVATE Qt6::Widgets)
target_compile_definitions(firmware_program_harness PRIVATE
  TFL_TEST_PLUGIN_DIR="${TFL_TEST_PLUGIN_DIR}")
add_dependencies(firmware_program_harness QRXPortMidi_double)

# One program each, so that each starts the program with its own devices.
foreach(name port_search_test port_search_limit_test firmware_loading_test program_end_test
             firmware_transfer_test)
  add_executable(${name} firmware/${name}.cpp)
  target_link_libraries(${name} PRIVATE firmware_program_harness GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endforeach()
