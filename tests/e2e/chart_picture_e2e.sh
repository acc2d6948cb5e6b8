#!/usr/bin/env bash
# End to end: "kvimarot-chart example" in a copy of the working directory, without a
# display, writes the 1200 x 900 wheel picture and ends with status 0.
# Usage: chart_picture_e2e.sh KVIMAROT_CHART WORKDIR [PNG]
set -uo pipefail
prog=$1
work_src=$2
png=${3:-$PWD/example.png}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$work_src"/. "$tmp"/
rm -f "$png"
(cd "$tmp" && QT_QPA_PLATFORM=offscreen "$prog" example --png "$png") >"$tmp/out.log" 2>&1
rc=$?
if [ $rc -ne 0 ]; then
  echo "FAIL: exit status $rc"; cat "$tmp/out.log"; exit 1
fi
[ -s "$png" ] || { echo "FAIL: no picture at $png"; exit 1; }
magic=$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')
[ "$magic" = "89504e470d0a1a0a" ] || { echo "FAIL: $png is not a PNG ($magic)"; exit 1; }
size=$(identify -format '%wx%h' "$png")
[ "$size" = "1200x900" ] || { echo "FAIL: picture is $size, expected 1200x900"; exit 1; }
echo "picture $png, $size"
