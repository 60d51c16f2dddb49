#!/usr/bin/env bash
# Runs the libFuzzer targets (tests/fuzz) over their seed corpus.
#   scripts/fuzz.sh                 regression check: 20000 executions a target
#   scripts/fuzz.sh --runs N        N executions a target
#   scripts/fuzz.sh --minutes N     a campaign of N minutes a target
# Inputs that find new paths are kept in build/fuzz/corpus/TARGET, anything
# that fails in build/fuzz/findings (add it to tests/fuzz/corpus once fixed).
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-runs=20000)
case "${1:-}" in
  "") ;;
  --runs) limit=("-runs=${2:?}") ;;
  --minutes) limit=("-max_total_time=$(( ${2:?} * 60 ))") ;;
  *) echo "usage: scripts/fuzz.sh [--runs N | --minutes N]" >&2; exit 2 ;;
esac

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/findings
status=0
for target in settings_reader gesture_engine; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  log=build/fuzz/$target.log
  if build/fuzz/tests/fuzz/${target}_fuzz "${limit[@]}" -print_final_stats=1 \
       -artifact_prefix="build/fuzz/findings/$target-" "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED; status=1
    grep -E "_fuzz: |ERROR|SUMMARY|Test unit written" "$log" >&2 || tail -20 "$log" >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  printf 'fuzz %-16s %s: %s executions, %s, corpus %s inputs\n' "$target" "$result" "${runs:-?}" "${cov:-?}" \
    "$(find "$corpus" "tests/fuzz/corpus/$target" -type f | wc -l)"
done
exit $status
