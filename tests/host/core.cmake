add_executable(host_core_test
  core/object_test.cpp
  core/string_test.cpp
  core/exception_test.cpp
  core/memory_block_test.cpp
  core/resolver_test.cpp
  core/plugin_registry_test.cpp)
target_link_libraries(host_core_test PRIVATE host_core GTest::gtest_main)
gtest_discover_tests(host_core_test)
