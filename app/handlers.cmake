# The firmware split stands alone so the fuzzer and the benchmarks can use it without the
# framework.
add_library(firmware_split STATIC FirmwareSplit.cpp)
target_include_directories(firmware_split PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# The split digests each pass with XXH3; the byte-at-a-time reference in the tests does too.
target_link_libraries(firmware_split PUBLIC PkgConfig::xxhash)

target_link_libraries(app_core PUBLIC firmware_split)

target_sources(app_core PRIVATE search_handlers.cpp firmware_loading.cpp firmware_transfer.cpp)
