#!/usr/bin/env bash
# Sets up, builds and runs every test (core, widgets offscreen, end-to-end under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
