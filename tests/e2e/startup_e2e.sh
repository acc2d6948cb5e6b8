#!/usr/bin/env bash
# End to end: the real program under Xvfb in a copy of the working directory. It must
# show the frame titled "Kvimarot" with the start-up picture; a screenshot is written
# to $3 (default: the test's folder). Usage: startup_e2e.sh KVIMAROT WORKDIR [PNG]
set -euo pipefail
. "$(dirname "$0")/xvfb.sh"
prog=$1
work_src=$2
shot=${3:-$PWD/startup.png}
tmp=$(mktemp -d)
trap 'kill ${app_pid:-} 2>/dev/null || true; kv_stop_xvfb; rm -rf "$tmp"' EXIT
cp -r "$work_src"/. "$tmp"/
# Run in the users' locale (LANG=ru_RU.UTF-8, decimal comma) it must really be there.
case "${LC_ALL:-${LANG:-}}" in
  ru_RU*) locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$' ||
            { echo "FAIL: the ru_RU.UTF-8 locale is missing (scripts/setup.sh)"; exit 1; } ;;
esac
numbers_before=$(grep -E '^(GMTH|LAT|LONG)=' "$tmp/kvi.ini" || true)
kv_start_xvfb "$tmp" || { echo "FAIL: Xvfb did not start"; exit 1; }
(cd "$tmp" && exec "$prog") >"$tmp/out.log" 2>&1 &
app_pid=$!
if ! win=$(timeout 20 xdotool search --sync --name '^Kvimarot$' 2>/dev/null | head -1); then
  echo "FAIL: no window titled Kvimarot"; cat "$tmp/out.log"; exit 1
fi
sleep 1.5
kill -0 $app_pid || { echo "FAIL: program ended"; cat "$tmp/out.log"; exit 1; }
import -window root "$shot"
# The start-up picture is dark blue with a coloured ring: the screen must not be one colour.
spread=$(convert "$shot" -format '%[fx:standard_deviation]' info:)
echo "window $win, screenshot $shot, spread $spread"
awk -v s="$spread" 'BEGIN { exit !(s > 0.05) }' || { echo "FAIL: blank screen"; exit 1; }
# "Выход" through its mnemonic, then "Да" to the question "Закончить Работу?".
xdotool windowfocus --sync "$win" 2>/dev/null || true
# The question box carries the caption "Kvimarot" too: wait until a second window shows.
asked=0
for _ in $(seq 10); do
  xdotool key alt+Cyrillic_ha
  sleep 1
  n=$(xdotool search --onlyvisible --name '^Kvimarot$' 2>/dev/null | wc -l)
  if [ "$n" -ge 2 ]; then asked=1; break; fi
done
[ $asked -eq 1 ] || { echo "FAIL: no question after Выход"; exit 1; }
import -window root "${shot%.png}-exit.png"
# "Да" through its mnemonic, again while the program runs (a key may come too early).
for _ in $(seq 10); do
  xdotool key alt+Cyrillic_de
  for _ in $(seq 10); do kill -0 $app_pid 2>/dev/null || break 2; sleep 0.1; done
done
if kill -0 $app_pid 2>/dev/null; then echo "FAIL: the program did not end through Выход"; exit 1; fi
wait $app_pid || { echo "FAIL: exit status $?"; exit 1; }
grep -q '^NAME=' "$tmp/kvi.ini" || { echo "FAIL: kvi.ini not written at exit"; exit 1; }
# The numbers come back with a decimal point and their values, whatever the locale.
numbers_after=$(grep -E '^(GMTH|LAT|LONG)=' "$tmp/kvi.ini" || true)
if grep -qE '^(GMTH|LAT|LONG)=.*,' <<<"$numbers_after" ||
   [ "$(LC_ALL=C awk -F= '{ printf "%s=%.6f\n", $1, $2 }' <<<"$numbers_before")" != \
     "$(LC_ALL=C awk -F= '{ printf "%s=%.6f\n", $1, $2 }' <<<"$numbers_after")" ]; then
  echo "FAIL: the numbers of kvi.ini changed at exit:"; echo "$numbers_before"; echo "$numbers_after"
  exit 1
fi
echo "$numbers_after"
echo "PASS"
