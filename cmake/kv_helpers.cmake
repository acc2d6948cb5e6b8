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

# kv_fuzz(NAME LAYER layer SOURCES... LIBS... CORPUS dir): a fuzz harness (a file with
# LLVMFuzzerTestOneInput) over the seed inputs in CORPUS.
#  - In a sanitizer tree built with clang (KV_SANITIZE, below) it is a libFuzzer
#    program kv_fuzz_NAME; ctest runs it for KV_FUZZ_SECONDS on the seeds (which it
#    replays first), and any crash, leak, sanitizer report or input slower than 1 s
#    fails the test. New inputs go to a scratch folder of the build, never the sources.
#    By hand: kv_fuzz_NAME -max_total_time=600 -timeout=1 DIR CORPUS
#  - Otherwise a replay program kv_fuzz_NAME_replay runs each seed once under ctest.
set(KV_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz harness runs under ctest")
function(kv_fuzz name)
  cmake_parse_arguments(F "" "LAYER;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(KV_LIBFUZZER)
    add_executable(kv_fuzz_${name} ${F_SOURCES})
    target_link_options(kv_fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_CURRENT_BINARY_DIR}/corpus-${name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME fuzz_${name}
             COMMAND kv_fuzz_${name} -max_total_time=${KV_FUZZ_SECONDS} -timeout=1
                     -rss_limit_mb=2048 -print_final_stats=1 ${work} ${F_CORPUS})
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz)
  else()
    add_executable(kv_fuzz_${name} ${F_SOURCES}
                   ${PROJECT_SOURCE_DIR}/common/fuzz/replay_main.cpp)
    add_test(NAME fuzz_${name}_replay COMMAND kv_fuzz_${name} ${F_CORPUS})
  endif()
  set_target_properties(kv_fuzz_${name} PROPERTIES AUTOMOC OFF)
  kv_layer(kv_fuzz_${name} ${F_LAYER})
  target_link_libraries(kv_fuzz_${name} PRIVATE ${F_LIBS})
endfunction()
