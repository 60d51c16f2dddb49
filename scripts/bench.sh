#!/usr/bin/env bash
# Benchmarks of the gesture engine: Google Benchmark timings, and callgrind's
# instruction count per pass-through event.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONAREL_BUILD_TESTS=ON >/dev/null
cmake --build build/bench --target sonarel_gesture_bench sonarel_passthrough_count

build/bench/tests/sonarel_gesture_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

count() {
  local out
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='sonarel::GestureEngine::OnEvent*' \
    build/bench/tests/sonarel_passthrough_count "$1" >/dev/null 2>&1 || true
  grep '^summary:' "$out" | awk '{print $2}'
  rm -f "$out"
}
small=$(count 100000)
large=$(count 200000)
echo "callgrind: $(( (large - small) / 100000 )) instructions per pass-through event inside GestureEngine::OnEvent"
