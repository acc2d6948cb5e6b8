#!/usr/bin/env bash
# One golden-output case of kvimarot-chart: runs the program in a fresh working
# directory under ru_RU.UTF-8 without a display and compares its standard output,
# standard error, exit status and the files it made with tests/cli/golden/NAME.txt.
# KV_GOLDEN_UPDATE=1 writes the file instead. A case that needs more than the fresh
# directory has golden/NAME.prepare.sh, run in that directory first (argument: the
# built working directory).
#   golden_test.sh PROGRAM RECODE BUILT_WORKDIR DATA_DIR CASES NAME
set -uo pipefail
prog=$1 recode=$2 built=$3 data=$4 cases=$5 name=$6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/fresh_workdir.sh"

line=$(grep -E "^$name[[:space:]]*\|" "$cases")
[ -n "$line" ] || { echo "no case '$name' in $cases"; exit 1; }
input=$(echo "$line" | cut -d'|' -f2 | xargs)
args=$(echo "$line" | cut -d'|' -f3-)
eval "set -- $args"

kv_fresh_workdir "$built" "$data" "$recode"
prepare=$here/golden/$name.prepare.sh
if [ -f "$prepare" ]; then
  (cd "$KV_WORK" && bash "$prepare" "$built") || { echo "$prepare failed"; exit 1; }
fi
before=$(cd "$KV_WORK" && ls -A | sort)
stdin=/dev/null
[ "$input" = "-" ] || stdin=$here/golden/$input
(cd "$KV_WORK" && kv_headless timeout 120 "$prog" "$@" <"$stdin" >"$KV_TMP/out" 2>"$KV_TMP/err")
status=$?
made=$(cd "$KV_WORK" && ls -A | sort | comm -13 <(echo "$before") -)

actual=$KV_TMP/actual
{
  echo "== stdout"
  cat "$KV_TMP/out"
  echo "== stderr"
  cat "$KV_TMP/err"
  echo "== status $status"
  echo "== files"
  [ -n "$made" ] && echo "$made"
} | sed "s#$KV_WORK#<work>#g" >"$actual"

expected=$here/golden/$name.txt
if [ "${KV_GOLDEN_UPDATE:-0}" = 1 ]; then
  cp "$actual" "$expected"
  echo "written $expected"
  exit 0
fi
if ! diff -u "$expected" "$actual"; then
  echo "kvimarot-chart $args: output differs from $expected"
  exit 1
fi
