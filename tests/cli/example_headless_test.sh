#!/usr/bin/env bash
# What scripts/run.sh does on a machine without a display: "kvimarot-chart example"
# in a copy of the working directory, standard output redirected to a file. It must
# end with status 0, and the positions and the wheel picture must be written.
#   example_headless_test.sh PROGRAM RECODE BUILT_WORKDIR DATA_DIR
set -uo pipefail
prog=$1 recode=$2 built=$3 data=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/fresh_workdir.sh"
kv_fresh_workdir "$built" "$data" "$recode"

(cd "$KV_WORK" && kv_headless "$prog" example >"$KV_TMP/out.txt" 2>"$KV_TMP/err.txt")
status=$?
fail() { echo "FAIL: $*"; echo "--- stdout"; cat "$KV_TMP/out.txt"; echo "--- stderr"; cat "$KV_TMP/err.txt"; exit 1; }
[ $status -eq 0 ] || fail "exit status $status"
# Sixteen positions and the houses reached the redirected output.
grep -qE "^Солнце +Рыбы +14°39'" "$KV_TMP/out.txt" || fail "no Sun position in the output"
grep -qE "^Асцендент +" "$KV_TMP/out.txt" || fail "no houses in the output"
grep -q "^Картина круга: $KV_WORK/example.png$" "$KV_TMP/out.txt" || fail "no picture line"
png=$KV_WORK/example.png
[ -f "$png" ] || fail "example.png not written"
# A PNG of 1200 x 900: the signature, then the IHDR width and height.
[ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "not a PNG"
[ "$(head -c 24 "$png" | tail -c 8 | od -An -tx1 | tr -d ' \n')" = 000004b000000384 ] ||
  fail "picture is not 1200 x 900"
[ "$(stat -c %s "$png")" -gt 20000 ] || fail "picture is nearly empty"
echo "example: status 0, positions and a 1200 x 900 picture written"
