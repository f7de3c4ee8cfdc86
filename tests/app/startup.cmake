# The program's start-up, binding, window and layout, run in-process against the plugin built
# over the PortMidi double; GUI tests on Qt's offscreen platform.
function(add_app_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE app_core GTest::gtest)
  target_compile_definitions(${name} PRIVATE TFL_TEST_PLUGIN_DIR="${TFL_TEST_PLUGIN_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

add_app_test(app_layout_streams_test layout_streams_test.cpp)
target_link_libraries(app_layout_streams_test PRIVATE GTest::gtest_main)

add_app_test(app_layout_values_test layout_values_test.cpp)
target_link_libraries(app_layout_values_test PRIVATE GTest::gtest_main)

add_app_test(app_property_param_test property_param_test.cpp)
target_link_libraries(app_property_param_test PRIVATE GTest::gtest_main)

add_app_test(app_plugin_bindings_test plugin_bindings_test.cpp)
target_link_libraries(app_plugin_bindings_test PRIVATE fake_portmidi GTest::gtest_main)
add_dependencies(app_plugin_bindings_test QRXPortMidi_double)

add_app_test(app_startup_test startup_test.cpp)
target_link_libraries(app_startup_test PRIVATE fake_portmidi host_test_support GTest::gtest_main)
add_dependencies(app_startup_test QRXPortMidi_double)

add_app_test(app_missing_plugin_test missing_plugin_test.cpp)
target_link_libraries(app_missing_plugin_test PRIVATE GTest::gtest_main)

add_app_test(app_window_test window_test.cpp)
target_link_libraries(app_window_test PRIVATE host_test_support Qt6::Widgets)

# As a new user would meet it: the program started without the plugin beside it.
add_test(NAME app_program_without_plugin
  COMMAND sh -c "dir=$(mktemp -d) && cp \"$1\" \"$dir/\" && if \"$dir/TandemorphixFirmwareLoader\" 2>\"$dir/err\"; then echo 'started without its plugin'; exit 1; fi; cat \"$dir/err\"; grep -q 'QRXPortMidi.so' \"$dir/err\""
          sh $<TARGET_FILE:TandemorphixFirmwareLoader>)
set_tests_properties(app_program_without_plugin PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 60)
