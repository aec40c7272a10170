#!/usr/bin/env bash
# Runs every libFuzzer target for a while and prints, per target, the
# executions and the coverage reached. The corpus is kept in build/fuzz/corpus.
#   scripts/fuzz.sh [--seconds N | --minutes N] [target...]
# (default: 10 seconds each, every target of cmake/FuzzTargets.cmake)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=10
case "${1:-}" in
  --seconds) seconds=$2; shift 2 ;;
  --minutes) seconds=$(( $2 * 60 )); shift 2 ;;
  --*) echo "usage: scripts/fuzz.sh [--seconds N | --minutes N] [target...]" >&2; exit 2 ;;
esac
if [ ! -f build/fuzz/CMakeCache.txt ]; then cmake --preset fuzz >/dev/null; fi
cmake --build --preset fuzz -j "$(nproc)" >/dev/null
targets=$(sed -n 's/^  \([a-z_]*\)$/\1/p' cmake/FuzzTargets.cmake)
if [ $# -gt 0 ]; then
  for t in "$@"; do
    echo "$targets" | grep -qx "$t" || { echo "no fuzz target $t in cmake/FuzzTargets.cmake" >&2; exit 2; }
  done
  targets="$*"
fi
status=0
for t in $targets; do
  corpus=build/fuzz/corpus/$t
  mkdir -p "$corpus"
  seeds=()
  [ -d "tests/fuzz/corpus/$t" ] && seeds=("tests/fuzz/corpus/$t")
  log=build/fuzz/$t.log
  if ./build/fuzz/fuzz_"$t" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix=build/fuzz/crash-"$t"- "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED; status=1
    tail -40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  files=$(ls "$corpus" | wc -l)
  printf 'fuzz %-22s %s: %s executions in %ss, coverage %s edges, %s features, corpus %s files\n' \
    "$t" "$result" "${runs:-?}" "$seconds" "${cov:-?}" "${ft:-?}" "$files"
done
exit $status
