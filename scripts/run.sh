#!/usr/bin/env bash
# Builds everything and starts Sonarel under Wine. With DISPLAY set it runs on
# that display until you end it (tray menu "Exit" or Ctrl+F11). Without one it
# runs on a private virtual display, performs one scripted gesture with real X
# input (hold the left button, one wheel notch up), writes a screenshot of the
# indicator to build/wine/indicator-demo.png and ends through Ctrl+F11.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in native mingw-x64 mingw-x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

[ -n "${DISPLAY:-}" ] && export SONAREL_USE_DISPLAY=1
. scripts/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$PWD/build/wine"

program=build/mingw-x64/bin
if [ -n "${SONAREL_USE_DISPLAY:-}" ]; then
  echo "Sonarel runs on $DISPLAY: hold the left button and turn the wheel. Ctrl+F11 ends it."
  cd "$program" && exec wine Sonarel.exe
fi

(cd "$program" && timeout 120 wine Sonarel.exe >/dev/null 2>&1; echo "Sonarel exited with $?") &
sonarel=$!
sleep 3
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1 || true  # first run opens it
xdotool mousemove 640 480 mousedown 1
sleep 0.3
xdotool click 4
sleep 0.5
import -window root build/wine/indicator-demo.png
xdotool mouseup 1
sleep 0.3
xdotool key ctrl+F11
wait "$sonarel"
echo "Screenshot of the gesture: build/wine/indicator-demo.png"
