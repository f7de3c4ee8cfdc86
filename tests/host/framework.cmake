# The framework's services. The stream reader, tables and files need no GUI; the rest runs
# on Qt's offscreen platform in one program, since a process has one application.
add_executable(host_framework_test
  framework/layout_stream_test.cpp
  framework/tables_and_files_test.cpp
)
target_link_libraries(host_framework_test PRIVATE host_framework GTest::gtest_main)
# The dialog's filter text is the framework's own, not part of its public surface.
target_include_directories(host_framework_test PRIVATE ${PROJECT_SOURCE_DIR}/host/src/framework)
gtest_discover_tests(host_framework_test)

add_executable(host_framework_gui_test
  framework/gui_test_main.cpp
  framework/gui_fixture.cpp
  framework/controls_test.cpp
  framework/runtime_test.cpp
  framework/window_test.cpp
)
target_link_libraries(host_framework_gui_test PRIVATE host_test_support GTest::gtest)
# The peers' widgets are the framework's own, looked at where a test checks what is drawn.
target_include_directories(host_framework_gui_test PRIVATE ${PROJECT_SOURCE_DIR}/host/src/framework)
gtest_discover_tests(host_framework_gui_test
  PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
  DISCOVERY_MODE PRE_TEST)
