#!/usr/bin/env bash
# Sets up, builds and runs every test (core, widgets offscreen, end-to-end under Xvfb);
# the tests named *_ru run once more under LANG=ru_RU.UTF-8. Arguments go to cmake
# (the CI passes -DKV_WERROR=ON: a warning fails the build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
