# kv_test(NAME SOURCES... LIBS ...): a GoogleTest executable registered with ctest.
# Tests run in their own binary folder; KV_TEST_DATA points at the source data folder
# and KV_WORKDIR at the built working directory.
function(kv_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    KV_TEST_DATA="${PROJECT_SOURCE_DIR}/data" KV_WORKDIR="${KV_WORKDIR}")
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kv_bench(NAME SOURCES... LIBS ...): a Google Benchmark executable (not run by ctest).
function(kv_bench name)
  if(NOT KV_BUILD_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE KV_WORKDIR="${KV_WORKDIR}")
endfunction()
