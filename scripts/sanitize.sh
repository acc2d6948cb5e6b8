#!/usr/bin/env bash
# The sanitizer tree: builds build-asan with clang (Debug, AddressSanitizer and
# UndefinedBehaviorSanitizer, every report ends the run) and runs the whole ctest
# suite in it. There the fuzz harnesses are libFuzzer programs: scripts/fuzz.sh then
# replays each seed corpus and runs each harness for 30 s. Packages come from setup.sh.
# Further arguments go to ctest (for example -R settings).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Leak reports of the libraries the windows load; nothing of the project's own.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

if [ ! -f build-asan/CMakeCache.txt ]; then
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF
fi
# The GeoNames table the towns data are made from, as the main tree has it.
if [ -s build/sources/cities500.txt ] && [ ! -s build-asan/sources/cities500.txt ]; then
  mkdir -p build-asan/sources
  cp -p build/sources/cities500.txt build-asan/sources/
fi
cmake --build build-asan -j2
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 -LE fuzz "$@")
bash scripts/fuzz.sh 30
