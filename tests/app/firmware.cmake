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
  TFL_HARNESS_PLUGIN_DIR="${TFL_TEST_PLUGIN_DIR}")
add_dependencies(firmware_program_harness QRXPortMidi_double)

# The same harness over the shipped plugin and the machine's own PortMidi. It must not link
# the double, whose PortMidi functions would stand in for the real ones.
add_library(firmware_program_harness_real STATIC firmware/program_harness.cpp)
target_include_directories(firmware_program_harness_real PUBLIC
  ${CMAKE_CURRENT_SOURCE_DIR}/firmware)
target_link_libraries(firmware_program_harness_real PUBLIC app_core host_test_support
  PRIVATE Qt6::Widgets)
target_compile_definitions(firmware_program_harness_real
  PUBLIC TFL_HARNESS_REAL_MIDI
  PRIVATE TFL_HARNESS_PLUGIN_DIR="$<TARGET_FILE_DIR:QRXPortMidi>")
add_dependencies(firmware_program_harness_real QRXPortMidi)

# One program each, so that each starts the program with its own devices.
foreach(name port_search_test port_search_limit_test firmware_loading_test program_end_test
             firmware_transfer_test)
  add_executable(${name} firmware/${name}.cpp)
  target_link_libraries(${name} PRIVATE firmware_program_harness GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
endforeach()

# A firmware transfer over a real ALSA loop (skipped where there is no sequencer). Like the
# smoke tests it uses a real port, so they never run at the same time. It loads both Qt and
# the real PortMidi, so it takes the leak suppressions of both, joined in one file.
add_executable(real_midi_loopback_test firmware/real_midi_loopback_test.cpp)
target_link_libraries(real_midi_loopback_test PRIVATE firmware_program_harness_real ALSA::ALSA
  GTest::gtest_main)
set(real_midi_lsan_supp ${CMAKE_CURRENT_BINARY_DIR}/real_midi_lsan.supp)
file(READ ${PROJECT_SOURCE_DIR}/tests/lsan.supp qt_leaks)
file(READ ${PROJECT_SOURCE_DIR}/tests/plugin/portmidi_lsan.supp portmidi_leaks)
file(CONFIGURE OUTPUT ${real_midi_lsan_supp} CONTENT "${qt_leaks}${portmidi_leaks}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/tests/lsan.supp ${PROJECT_SOURCE_DIR}/tests/plugin/portmidi_lsan.supp)
gtest_discover_tests(real_midi_loopback_test DISCOVERY_MODE PRE_TEST
  PROPERTIES RESOURCE_LOCK real_midi_port TIMEOUT 120 ENVIRONMENT QT_QPA_PLATFORM=offscreen
  ENVIRONMENT_MODIFICATION LSAN_OPTIONS=set:suppressions=${real_midi_lsan_supp})
