#!/usr/bin/env bash
# The batch command keeps its results to the bit: random charts over the whole span of
# the ephemeris files (random_input.txt, made by make_random_input.py 3000 19) are
# computed with one worker and with several, and standard output, standard error,
# exit status and the journal must equal the expected files made by the program
# before its calculation was made faster. KV_GOLDEN_UPDATE=1 rewrites them (only after
# a deliberate change of the results).
#   batch_identity_test.sh PROGRAM RECODE BUILT_WORKDIR DATA_DIR
set -uo pipefail
prog=$1 recode=$2 built=$3 data=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../cli/fresh_workdir.sh"
kv_fresh_workdir "$built" "$data" "$recode"
ephe=$(grep -v '^\*' "$KV_WORK/dirswe.ctl" | head -1)

# Case name, lines of the input, options.
cases=(
  "plain 3000 --no-lunar-day"
  "options 1000 --no-lunar-day --true-node --osc-apogee --helio"
  "lunar 300"
)

# Runs one case in a clean journal; prints what it made.
run_case() {
  local lines=$1; shift
  rm -f "$KV_WORK/jur.jur"
  head -n "$lines" "$here/random_input.txt" >"$KV_TMP/in"
  (cd "$KV_WORK" && kv_headless timeout 300 "$prog" batch "$@" <"$KV_TMP/in" \
     >"$KV_TMP/out" 2>"$KV_TMP/err")
  local status=$?
  echo "== stdout"
  cat "$KV_TMP/out"
  echo "== stderr"
  cat "$KV_TMP/err"
  echo "== status $status"
  echo "== journal"
  [ -f "$KV_WORK/jur.jur" ] && iconv -f CP1251 -t UTF-8 "$KV_WORK/jur.jur" | sed "s#$ephe#<ephe>/#g"
}

failed=0
for c in "${cases[@]}"; do
  read -r name lines opts <<<"$c"
  expected=$here/expected_$name.txt
  if [ "${KV_GOLDEN_UPDATE:-0}" = 1 ]; then
    # shellcheck disable=SC2086
    run_case "$lines" $opts >"$expected"
    echo "written $expected"
    continue
  fi
  for jobs in ${KV_BATCH_JOBS:-default 1 3}; do
    extra=()
    [ "$jobs" = default ] || extra=(--jobs "$jobs")
    # shellcheck disable=SC2086
    run_case "$lines" $opts "${extra[@]}" >"$KV_TMP/actual"
    if ! cmp -s "$expected" "$KV_TMP/actual"; then
      diff -u "$expected" "$KV_TMP/actual" | head -40
      echo "batch $opts ${extra[*]}: output differs from $expected"
      failed=1
    fi
  done
done
exit $failed
