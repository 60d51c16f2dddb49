#!/usr/bin/env bash
# Builds everything and runs every test: the native core suite (also with
# sanitizers, and as 32-bit x87 code under qemu), the fuzz targets' regression
# run, the release (scripts/package.sh), and the Windows suite and the
# end-to-end tests under Wine on a private prefix and virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== Native build and core tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== Core tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

echo "== Fuzz targets: a short regression run over the seed corpus"
scripts/fuzz.sh

echo "== Core tests as 32-bit x87 code (the x86 build's arithmetic) under qemu-i386-static"
cmake --preset linux-i386 >/dev/null
cmake --build --preset linux-i386
ctest --preset linux-i386

echo "== Windows x86 (XP-capable) build"
cmake --preset mingw-x86 >/dev/null
cmake --build --preset mingw-x86
scripts/check-xp-imports.sh build/mingw-x86/bin

echo "== The release: small programs, portable zips and installers"
scripts/package.sh

echo "== Windows x64 build and tests under Wine"
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64
. scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$PWD/build/wine"
ctest --preset mingw-x64

status=0
echo "== End-to-end: the real Sonarel.exe under Wine with X input"
tests/e2e/run.sh build/mingw-x64 || status=1
echo "== End-to-end: the x64 installer and the portable zip under Wine"
tests/e2e/installer.sh dist build/mingw-x64 || status=1
echo "== Soak: 200 mixed gestures against one running Sonarel"
scripts/soak.sh 200 || status=1
echo "== End-to-end: the indicator on three monitors (Xorg's dummy driver)"
tests/e2e/monitors.sh build/mingw-x64 || status=1
exit $status
