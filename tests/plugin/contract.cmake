# The contract group: the same cases over a "Midi Through" loop, once through the plugin built
# against the PortMidi double, once through the shipped plugin on the real PortMidi. Each
# backend is its own executable: both plugins bring PortMidi's functions, and a process may
# hold only one of them.
set(MIDI_CONTRACT_DIR ${CMAKE_CURRENT_LIST_DIR}/contract)

add_executable(plugin_midi_contract_double_test
  ${MIDI_CONTRACT_DIR}/midi_contract_test.cpp
  ${MIDI_CONTRACT_DIR}/double_loop.cpp
)
target_include_directories(plugin_midi_contract_double_test PRIVATE ${MIDI_CONTRACT_DIR})
target_link_libraries(plugin_midi_contract_double_test PRIVATE midi_test_harness GTest::gtest_main)
gtest_discover_tests(plugin_midi_contract_double_test TEST_PREFIX double.)

add_executable(plugin_midi_contract_real_test
  ${MIDI_CONTRACT_DIR}/midi_contract_test.cpp
  ${MIDI_CONTRACT_DIR}/real_loop.cpp
)
target_include_directories(plugin_midi_contract_real_test PRIVATE ${MIDI_CONTRACT_DIR})
target_link_libraries(plugin_midi_contract_real_test PRIVATE midi_members ALSA::ALSA
  GTest::gtest_main)
target_compile_definitions(plugin_midi_contract_real_test PRIVATE
  TFL_REAL_PLUGIN_DIR="$<TARGET_FILE_DIR:QRXPortMidi>")
add_dependencies(plugin_midi_contract_real_test QRXPortMidi)
# The real PortMidi leaks on start-up, and its cases open real ports (see midi.cmake).
gtest_discover_tests(plugin_midi_contract_real_test TEST_PREFIX real. PROPERTIES RESOURCE_LOCK real_midi_port
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${MIDI_TEST_DIR}/portmidi_lsan.supp")
