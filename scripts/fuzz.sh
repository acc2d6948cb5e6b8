#!/usr/bin/env bash
# Runs every fuzz harness of the sanitizer tree build-asan (scripts/sanitize.sh builds
# it) for SECONDS each (default 30), one after another, after replaying its seed
# corpus, and prints the executions of each. A crash, leak, sanitizer report or an
# input slower than 1 s fails the run; the input that did it is kept in
# build-asan/fuzz-findings. New inputs go to build-asan/fuzz-corpus, never the sources.
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]   (for the README table: 600)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-30}
shift || true

export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

mapfile -t harnesses < <(find build-asan -type f -perm -u+x -name 'kv_fuzz_*' ! -name '*_replay' | sort)
if [ ${#harnesses[@]} -eq 0 ]; then
  echo "no fuzz harness in build-asan: run scripts/sanitize.sh first" >&2
  exit 1
fi
mkdir -p build-asan/fuzz-findings build-asan/fuzz-corpus
failed=0
for exe in "${harnesses[@]}"; do
  name=$(basename "$exe"); name=${name#kv_fuzz_}
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  corpus=$(find . -path ./build\* -prune -o -type d -path "*/fuzz/corpus/$name" -print | head -1)
  work=build-asan/fuzz-corpus/$name
  mkdir -p "$work"
  log=build-asan/fuzz-findings/$name.log
  if nice -n 15 "$exe" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="build-asan/fuzz-findings/$name-" \
       "$work" "$corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED; failed=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  printf '%-18s %-6s %12s executions in %s s\n' "$name" "$result" "$runs" "$seconds"
  [ "$result" = ok ] || tail -40 "$log"
done
exit $failed
