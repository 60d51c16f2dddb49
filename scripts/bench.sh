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

echo "== The hook procedure under Wine, with the test audio endpoint"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 --target hook_bench test_endpoint
. scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$PWD/build/wine"
cp build/mingw-x64/e2e/mmdevapi.dll "$WINEPREFIX/drive_c/windows/system32/mmdevapi.dll"
endpoint_file=$SONAREL_WINE_ROOT/bench-endpoint.txt
echo "0.5 0" > "$endpoint_file"
SONAREL_TEST_ENDPOINT="Z:${endpoint_file//\//\\}" WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mmdevapi=n" \
  timeout 300 wine build/mingw-x64/e2e/hook_bench.exe 2>/dev/null | tr -d '\r'

echo "== Sonarel idle for 60 s: CPU time of its process (its own timers: none)"
build=$PWD/build/mingw-x64 root=$SONAREL_WINE_ROOT
. tests/e2e/common.sh
write_plain_settings 5 false  # not a first run
start_sonarel_of "$build/bin"
sonarel_job=$!
sleep 5  # started and settled
# This Sonarel's Wine process has the program's own path as argv[0].
ticks() { awk '{ print $14 + $15 }' "/proc/$(pgrep -f "^$build/bin/Sonarel.exe" | head -n 1)/stat"; }
before=$(ticks)
sleep 60
after=$(ticks)
echo "idle: $((after - before)) ticks of $(getconf CLK_TCK) a second in 60 s"
timeout 20 wine taskkill /im Sonarel.exe >/dev/null 2>&1
# Only Sonarel's job: the display server of the Wine session runs in the
# background too, until the exit trap ends it.
wait "$sonarel_job"
