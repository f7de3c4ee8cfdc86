# The plugin's registration, as the host sees it (the built library loaded through the host's
# loader) and from the inside (its objects against a scriptable fake host).
add_executable(plugin_load_test registration/plugin_load_test.cpp registration/real_plugin_abi_test.cpp)
target_link_libraries(plugin_load_test PRIVATE host_core GTest::gtest_main)
target_compile_definitions(plugin_load_test PRIVATE QRX_PLUGIN_PATH="$<TARGET_FILE:QRXPortMidi>")
add_dependencies(plugin_load_test QRXPortMidi)
gtest_discover_tests(plugin_load_test)

if(TARGET fake_portmidi)
  set(registration_portmidi fake_portmidi)
else()
  set(registration_portmidi ${PORTMIDI_LIBRARY})
endif()
add_executable(plugin_registration_test
  registration/fake_host.cpp
  registration/registration_test.cpp
  registration/host_strings_test.cpp)
target_link_libraries(plugin_registration_test PRIVATE
  qrx_plugin_objects ${registration_portmidi} GTest::gtest_main)
gtest_discover_tests(plugin_registration_test)
if(TARGET fake_portmidi)
  # Stream members on a fake host need the double's streams.
  target_sources(plugin_registration_test PRIVATE registration/sysex_string_host_test.cpp)
endif()

# The plugin must show the host its entry point and nothing else of ours.
add_test(NAME plugin_exports_only_its_entry_point
  COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:QRXPortMidi>
          -P ${CMAKE_CURRENT_SOURCE_DIR}/registration/check_exports.cmake)
