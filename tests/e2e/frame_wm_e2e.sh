#!/usr/bin/env bash
# End to end under a window manager (openbox on Xvfb): the main frame, title bar and
# borders included, lies at (0, 0) and is as wide as the screen and 25 pixels less
# high, so no part of the title bar is above the screen. A screenshot goes to $3.
# Usage: frame_wm_e2e.sh KVIMAROT WORKDIR [PNG]
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
prog=$1
work_src=$2
shot=${3:-$PWD/frame_wm.png}
command -v openbox >/dev/null || { echo "FAIL: openbox is missing (scripts/setup.sh)"; exit 1; }
tmp=$(mktemp -d)
trap 'kill ${app_pid:-} ${wm_pid:-} 2>/dev/null || true; kv_stop_xvfb; rm -rf "$tmp"' EXIT
cp -r "$work_src"/. "$tmp"/
kv_start_xvfb "$tmp" || { echo "FAIL: Xvfb did not start"; exit 1; }
kv_start_openbox "$tmp/wm.log" || { echo "FAIL: openbox did not start"; cat "$tmp/wm.log"; exit 1; }
(cd "$tmp" && exec "$prog") >"$tmp/out.log" 2>&1 &
app_pid=$!
if ! win=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kvimarot$' 2>/dev/null | head -1); then
  echo "FAIL: no window titled Kvimarot"; cat "$tmp/out.log"; exit 1
fi
# The frame is fitted once the window manager has reported its decorations.
ok=0
for _ in $(seq 150); do
  read -r left right top bottom < <(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null |
    sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1 \2 \3 \4/p') || true
  x=$(xwininfo -id "$win" | awk '/Absolute upper-left X/ { print $4 }')
  y=$(xwininfo -id "$win" | awk '/Absolute upper-left Y/ { print $4 }')
  w=$(xwininfo -id "$win" | awk '/Width:/ { print $2 }')
  h=$(xwininfo -id "$win" | awk '/Height:/ { print $2 }')
  if [ -n "${top:-}" ] && [ $((x - left)) -eq 0 ] && [ $((y - top)) -eq 0 ] &&
     [ $((w + left + right)) -eq 1280 ] && [ $((h + top + bottom)) -eq 999 ]; then
    ok=1; break
  fi
  sleep 0.1
done
import -window root "$shot"
echo "client ${x:-?},${y:-?} ${w:-?}x${h:-?}; decorations left ${left:-?} right ${right:-?} top ${top:-?} bottom ${bottom:-?}"
[ "${top:-0}" -gt 0 ] || { echo "FAIL: the window manager drew no title bar"; cat "$tmp/wm.log"; exit 1; }
[ $ok -eq 1 ] || { echo "FAIL: the frame is not at (0, 0) with 1280 x 999 pixels"; exit 1; }
echo "PASS"
