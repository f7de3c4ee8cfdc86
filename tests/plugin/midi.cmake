# The plugin's MIDI members, driven through the host's loader against the PortMidi double,
# and smoke tests of the shipped plugin against the real PortMidi.
set(MIDI_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})

# The plugin's members as the host calls them, whichever PortMidi the loaded plugin rests on.
# Only the header of the double is seen here: an executable that loads the real plugin must
# not link the double, whose PortMidi functions would take the place of the real ones.
add_library(midi_members STATIC ${MIDI_TEST_DIR}/midi_harness.cpp)
target_link_libraries(midi_members PUBLIC host_core GTest::gtest)
target_include_directories(midi_members PUBLIC ${MIDI_TEST_DIR} ${CMAKE_SOURCE_DIR}/tests/fakes
  ${PORTMIDI_INCLUDE_DIR})

add_library(midi_test_harness STATIC ${MIDI_TEST_DIR}/midi_double_fixture.cpp)
target_link_libraries(midi_test_harness PUBLIC midi_members fake_portmidi)
target_compile_definitions(midi_test_harness PUBLIC TFL_TEST_PLUGIN_DIR="${TFL_TEST_PLUGIN_DIR}")
add_dependencies(midi_test_harness QRXPortMidi_double)

add_executable(plugin_midi_test
  ${MIDI_TEST_DIR}/midi_system_test.cpp
  ${MIDI_TEST_DIR}/midi_stream_test.cpp
  ${MIDI_TEST_DIR}/midi_output_test.cpp
  ${MIDI_TEST_DIR}/midi_input_test.cpp
  ${MIDI_TEST_DIR}/midi_event_test.cpp
  ${MIDI_TEST_DIR}/midi_double_test.cpp
)
target_link_libraries(plugin_midi_test PRIVATE midi_test_harness GTest::gtest_main)
gtest_discover_tests(plugin_midi_test)

add_executable(plugin_midi_first_start_test ${MIDI_TEST_DIR}/midi_first_start_test.cpp)
target_link_libraries(plugin_midi_first_start_test PRIVATE midi_test_harness GTest::gtest_main)
gtest_discover_tests(plugin_midi_first_start_test)

add_executable(plugin_midi_smoke_test ${MIDI_TEST_DIR}/midi_smoke_test.cpp)
target_link_libraries(plugin_midi_smoke_test PRIVATE host_core ALSA::ALSA GTest::gtest_main)
target_compile_definitions(plugin_midi_smoke_test PRIVATE
  TFL_REAL_PLUGIN_DIR="$<TARGET_FILE_DIR:QRXPortMidi>")
add_dependencies(plugin_midi_smoke_test QRXPortMidi)
# The real PortMidi leaks on start-up. Its tests open real ports, so they run one at a time
# with the other tests that do (RESOURCE_LOCK real_midi_port).
gtest_discover_tests(plugin_midi_smoke_test PROPERTIES RESOURCE_LOCK real_midi_port
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${MIDI_TEST_DIR}/portmidi_lsan.supp")
