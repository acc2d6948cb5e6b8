#!/usr/bin/env bash
# Sets up, builds with warnings as errors and runs every test (core, widgets offscreen,
# end-to-end under Xvfb); the tests named *_ru run once more under LANG=ru_RU.UTF-8.
# Then the same suite once more in the sanitizer tree build-asan (scripts/sanitize.sh),
# with the fuzz harnesses running for 30 s each. Further arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh -DKV_WERROR=ON "$@"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
bash scripts/sanitize.sh
