#!/usr/bin/env bash
# Builds everything (native core, Windows x64 and x86) and runs the main job.
# So far the resident program does not exist yet: the main job is the gesture
# engine's benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in native mingw-x64 mingw-x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
exec scripts/bench.sh
