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

# A stream longer than one round of the workers (131,072 lines): mostly blank lines,
# charts and refused lines on both sides of the round's edge, the last line without
# its line feed. Several workers must give what one gives, line numbers included.
if [ "${KV_GOLDEN_UPDATE:-0}" != 1 ]; then
  python3 - "$here/random_input.txt" >"$KV_TMP/long_in" <<'PY'
import sys
charts = open(sys.argv[1]).read().split("\n")[:40]
out = []
for i in range(140000):
    if i in (131060, 131075, 139990):
        out.append("2451545.0 91.00 37.37 1")
    elif 131050 <= i < 131090 or i < 20:
        out.append(charts[i % 40])
    else:
        out.append("")
out.append(charts[0])
sys.stdout.write("\n".join(out))
PY
  for jobs in 1 2 3; do
    rm -f "$KV_WORK/jur.jur"
    (cd "$KV_WORK" && kv_headless timeout 300 "$prog" batch --no-lunar-day --jobs "$jobs" \
       <"$KV_TMP/long_in" >"$KV_TMP/long_out_$jobs" 2>"$KV_TMP/long_err_$jobs")
    echo "status $?" >>"$KV_TMP/long_out_$jobs"
    [ -f "$KV_WORK/jur.jur" ] && cat "$KV_WORK/jur.jur" >>"$KV_TMP/long_err_$jobs"
  done
  if [ "$(wc -l <"$KV_TMP/long_out_1")" -lt 50 ] ||
     [ "$(grep -c -E ' (131061|131076|139991): ' "$KV_TMP/long_err_1")" -ne 3 ]; then
    echo "long stream: one worker gave $(wc -l <"$KV_TMP/long_out_1") lines"
    failed=1
  fi
  for jobs in 2 3; do
    if ! cmp -s "$KV_TMP/long_out_1" "$KV_TMP/long_out_$jobs" ||
       ! cmp -s "$KV_TMP/long_err_1" "$KV_TMP/long_err_$jobs"; then
      echo "long stream: --jobs $jobs differs from --jobs 1"
      diff "$KV_TMP/long_err_1" "$KV_TMP/long_err_$jobs" | head -10
      failed=1
    fi
  done
fi

# A worker that dies: the chunks of 512 lines it held (the one from line 1025 and any
# it had computed but not yet written) are reported as not computed, and every other
# line comes out as one worker gives it.
if [ "${KV_GOLDEN_UPDATE:-0}" != 1 ]; then
  head -n 3000 "$here/random_input.txt" >"$KV_TMP/in"
  (cd "$KV_WORK" && kv_headless env KV_BATCH_KILL_AT_CHUNK=2 timeout 300 "$prog" batch \
     --no-lunar-day --jobs 2 <"$KV_TMP/in" >"$KV_TMP/out_killed" 2>"$KV_TMP/err_killed")
  status=$?
  lost=$(sed -n 's/^строка \([0-9]*\): прерван процесс расчёта пакета.*/\1/p' "$KV_TMP/err_killed")
  cut=$(for n in $lost; do printf '%d,%dd;' "$n" $((n + 511)); done)
  sed "$cut" "$KV_TMP/in" >"$KV_TMP/in_without"
  (cd "$KV_WORK" && kv_headless timeout 300 "$prog" batch --no-lunar-day --jobs 1 \
     <"$KV_TMP/in_without" >"$KV_TMP/out_without" 2>/dev/null)
  if [ "$status" != 1 ] || ! grep -qx 1025 <<<"$lost" ||
     ! cmp -s "$KV_TMP/out_without" "$KV_TMP/out_killed"; then
    echo "killed worker: status $status, chunks reported lost: $lost"
    diff "$KV_TMP/out_without" "$KV_TMP/out_killed" | head -5
    failed=1
  fi
fi

# A reader that goes away (`| head`) ends the workers and the program as it ends one
# writer: by the broken pipe, without reporting lines as lost.
if [ "${KV_GOLDEN_UPDATE:-0}" != 1 ]; then
  (cd "$KV_WORK" && kv_headless timeout 300 "$prog" batch --no-lunar-day --jobs 2 \
     <"$KV_TMP/in" 2>"$KV_TMP/err_pipe" | head -c 100 >/dev/null
   echo "${PIPESTATUS[0]}" >"$KV_TMP/status_pipe")
  if [ "$(cat "$KV_TMP/status_pipe")" != 141 ] || grep -q 'прерван' "$KV_TMP/err_pipe"; then
    echo "closed pipe: status $(cat "$KV_TMP/status_pipe"), $(grep -c 'прерван' "$KV_TMP/err_pipe") lost chunks reported"
    failed=1
  fi
fi

# An output that cannot be written (a full disk) is a failure, said once, not a success.
if [ "${KV_GOLDEN_UPDATE:-0}" != 1 ] && [ -w /dev/full ]; then
  for jobs in 1 2; do
    (cd "$KV_WORK" && kv_headless timeout 300 "$prog" batch --no-lunar-day --jobs "$jobs" \
       <"$KV_TMP/in" >/dev/full 2>"$KV_TMP/err_full")
    status=$?
    said=$(grep -c 'Не удаётся записать вывод' "$KV_TMP/err_full")
    if [ "$status" != 1 ] || [ "$said" != 1 ] || grep -q 'прерван' "$KV_TMP/err_full"; then
      echo "full disk, --jobs $jobs: status $status, said $said times"
      failed=1
    fi
  done
fi
exit $failed
