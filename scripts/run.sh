#!/usr/bin/env bash
# Builds everything and starts Sonarel under Wine. With DISPLAY set it runs on
# that display until you end it (tray menu "Exit" or Ctrl+F11), with the
# machine's own audio. Without one it runs on a private virtual display with
# the project's test audio endpoint (Wine's own cannot set a level), starting
# from 50 %: it performs one scripted gesture with real X input (hold the left
# button, two wheel notches up), prints the level before and after, writes a
# screenshot of the indicator to build/wine/indicator-demo.png and ends
# through Ctrl+F11.
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

# A first run of the default settings.
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/korvanix"
# The test endpoint keeps the master level in a file ("level mute").
cp build/mingw-x64/e2e/mmdevapi.dll "$WINEPREFIX/drive_c/windows/system32/mmdevapi.dll"
endpoint=$SONAREL_WINE_ROOT/demo-endpoint.txt
echo "0.5 0" > "$endpoint"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mmdevapi=n" SONAREL_TEST_ENDPOINT="Z:${endpoint//\//\\}"
level() { awk '{ printf "%d %%\n", $1 * 100 + 0.5 }' "$endpoint"; }

(cd "$program" && timeout 120 wine Sonarel.exe >/dev/null 2>&1; echo "Sonarel exited with $?") &
sonarel=$!
sleep 3
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1 || true  # first run opens it
echo "Level before the gesture: $(level)"
xdotool mousemove 640 480 mousedown 1
sleep 0.3
xdotool click 4
sleep 0.2
xdotool click 4
sleep 0.5
import -window root build/wine/indicator-demo.png
xdotool mouseup 1
sleep 0.3
echo "Level after two notches up: $(level)"
xdotool key ctrl+F11
wait "$sonarel"
echo "Screenshot of the gesture: build/wine/indicator-demo.png"
