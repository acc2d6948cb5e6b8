#!/usr/bin/env bash
# Sets up, builds and runs Kvimarot: the GUI when a display is there, otherwise the
# command-line program on a built-in example birth moment (positions and a wheel picture).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cd build/work
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ../app/kvimarot
fi
../app/kvimarot-chart example
