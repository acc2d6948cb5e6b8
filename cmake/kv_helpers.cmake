# The main of the GoogleTest programs: it takes the locale from the environment, as
# the program does.
add_library(kv_test_main STATIC ${PROJECT_SOURCE_DIR}/common/tests/locale_main.cpp)
kv_layer(kv_test_main common)
target_link_libraries(kv_test_main PUBLIC GTest::gtest)

# The environment of a run in the users' locale; the run fails when it is missing.
set(KV_RUSSIAN_ENV "LANG=ru_RU.UTF-8;LC_ALL=ru_RU.UTF-8;KV_REQUIRE_DECIMAL_COMMA=1")

# kv_test(NAME SOURCES... LIBS ...): a GoogleTest executable registered with ctest.
# Tests run in their own binary folder; KV_TEST_DATA points at the source data folder
# and KV_WORKDIR at the built working directory.
function(kv_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest kv_test_main)
  target_compile_definitions(${name} PRIVATE
    KV_TEST_DATA="${PROJECT_SOURCE_DIR}/data" KV_WORKDIR="${KV_WORKDIR}")
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# kv_test_russian(NAME [FILTER pattern]): runs the GoogleTest program NAME once more,
# as one ctest test NAME_ru, under LANG=ru_RU.UTF-8 (decimal comma).
function(kv_test_russian name)
  cmake_parse_arguments(R "" "FILTER" "" ${ARGN})
  set(filter)
  if(R_FILTER)
    set(filter --gtest_filter=${R_FILTER})
  endif()
  add_test(NAME ${name}_ru COMMAND ${name} ${filter})
  set_tests_properties(${name}_ru PROPERTIES
    ENVIRONMENT "${KV_RUSSIAN_ENV};QT_QPA_PLATFORM=offscreen"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
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
