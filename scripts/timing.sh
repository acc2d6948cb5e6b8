#!/usr/bin/env bash
# How long the user waits, measured by the program itself (KV_TIMING) under Xvfb and
# openbox: start to the first painted main window, OK in the birth-data dialog to the
# painted chart window, "Интерпретация" to the painted text window. Runs N rounds
# (default 5) and prints every round and the medians.
# Usage: scripts/timing.sh [ROUNDS]   (after a build: build/app/kvimarot, build/work)
set -euo pipefail
. "$(dirname "$0")/../tests/e2e/xvfb.sh"
here=$(cd "$(dirname "$0")/.." && pwd)
prog=$here/build/app/kvimarot
work_src=$here/build/work
rounds=${1:-5}
[ -x "$prog" ] || { echo "build first: $prog is missing"; exit 1; }
tmp=$(mktemp -d)
trap 'kill ${app_pid:-} ${wm_pid:-} 2>/dev/null || true; kv_stop_xvfb; rm -rf "$tmp"' EXIT
kv_start_xvfb "$tmp" || { echo "Xvfb did not start"; exit 1; }
kv_start_openbox /dev/null || true

# The time of the first line after a given one that matches, from the log.
at() { awk -v from="$2" -v pat="$3" '$1 == "KV_TIMING" && $2 + 0 >= from + 0 && index($0, pat) { print $2; exit }' "$1"; }
wait_line() {
  for _ in $(seq 300); do grep -q "$2" "$1" && return 0; sleep 0.1; done
  echo "no '$2' in the log"; cat "$1"; exit 1
}
menu() {
  xdotool windowactivate --sync "$frame" 2>/dev/null || true
  sleep 0.3
  xdotool key alt; sleep 0.3
  for _ in $(seq "$1"); do xdotool key Right; sleep 0.1; done
  xdotool key Return
}

printf '%-6s %12s %14s %16s\n' round start-frame OK-chart interpretation
: >"$tmp/rows"
for r in $(seq "$rounds"); do
  rm -rf "$tmp/work" && cp -r "$work_src" "$tmp/work"
  (cd "$tmp/work" && KV_TIMING=1 exec "$prog") 2>"$tmp/log" >/dev/null &
  app_pid=$!
  wait_line "$tmp/log" frame-painted
  frame=$(xdotool search --onlyvisible --name '^Kvimarot$' | head -1)
  sleep 0.5
  menu 0  # Гороскоп
  for _ in $(seq 100); do
    d=$(xdotool search --onlyvisible --name 'Данные пользователя' 2>/dev/null | head -1) && [ -n "$d" ] && break
    sleep 0.1
  done
  xdotool windowactivate --sync "$d" 2>/dev/null || true
  sleep 0.3
  xdotool key Return
  wait_line "$tmp/log" "window-painted kv::DKart"
  sleep 0.5
  menu 1  # Интерпретация
  wait_line "$tmp/log" "window-painted kv::DText"
  kill $app_pid; wait $app_pid 2>/dev/null || true
  main=$(at "$tmp/log" 0 " main")
  frame_ms=$(at "$tmp/log" 0 frame-painted)
  ok=$(at "$tmp/log" 0 birth-ok)
  chart=$(at "$tmp/log" "$ok" "window-painted kv::DKart")
  cmd=$(at "$tmp/log" "$chart" " interpretation")
  text=$(at "$tmp/log" "$cmd" "window-painted kv::DText")
  row=$(awk -v a="$frame_ms" -v b="$ok" -v c="$chart" -v d="$cmd" -v e="$text" \
    'BEGIN { printf "%.1f %.1f %.1f", a, c - b, e - d }')
  echo "$row" >>"$tmp/rows"
  read -r x y z <<<"$row"
  printf '%-6s %10s ms %12s ms %14s ms\n' "$r" "$x" "$y" "$z"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%-6s %10s ms %12s ms %14s ms\n' median \
  "$(cut -d' ' -f1 "$tmp/rows" | median)" "$(cut -d' ' -f2 "$tmp/rows" | median)" \
  "$(cut -d' ' -f3 "$tmp/rows" | median)"
