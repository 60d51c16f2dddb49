#!/usr/bin/env bash
# End-to-end tests of the indicator on a desk of three monitors, with real X
# input: Xorg's dummy driver gives the outputs, and Wine without a virtual
# desktop shows each as a monitor of its own (a prefix of its own here). One
# click recorder covers each monitor, since input reaches Wine only over its
# windows.
#   tests/e2e/monitors.sh BUILD_DIR
#
# The desk, in Windows coordinates (X's are 1024 to the right):
#   left    (-1024, 0) - (0, 768)      1024 x 768
#   primary (0, 0) - (1280, 1024)      1280 x 1024
#   right   (1280, 0) - (2080, 600)    800 x 600
set -u
build=$(cd "${1:?usage: monitors.sh BUILD_DIR}" && pwd)
cd "$(dirname "$0")/../.."
base=$PWD/build/wine-monitors
mkdir -p "$base"

cat > "$base/xorg.conf" <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3104 1024
  EndSubSection
EndSection
CONF
n=95
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xorg ":$n" -config "$base/xorg.conf" -noreset -nolisten tcp -logfile "$base/xorg.log" >/dev/null 2>&1 &
xorg=$!
export DISPLAY=":$n"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# The server may answer before its outputs are ready: set up until three show.
for _ in $(seq 20); do
  xrandr --addmode DUMMY1 1024x768 2>/dev/null
  xrandr --addmode DUMMY2 800x600 2>/dev/null
  xrandr --output DUMMY1 --mode 1024x768 --pos 0x0 --output DUMMY0 --mode 1280x1024 --pos 1024x0 --primary \
    --output DUMMY2 --mode 800x600 --pos 2304x0 2>/dev/null
  [ "$(xrandr --listmonitors 2>/dev/null | head -n 1)" = "Monitors: 3" ] && break
  sleep 0.5
done
xrandr --listmonitors

export SONAREL_USE_DISPLAY=1 SONAREL_WINE_MONITORS=1
. scripts/wine-session.sh
stop_all() {
  wine_session_stop
  kill "$xorg" 2>/dev/null
  wait "$xorg" 2>/dev/null
}
trap stop_all EXIT
wine_session_start "$base"
root=$SONAREL_WINE_ROOT/e2e
rm -rf "$root"
mkdir -p "$root"
. tests/e2e/common.sh

echo "== The desk as Wine shows it"
desk=$(wine_run "$build/e2e/window_probe.exe" monitors | LC_ALL=C sort)
echo "$desk"
check "three monitors: the primary at the origin, one left of it, one right of it" test "$desk" = \
  "$(printf 'monitor -1024 0 0 768\nmonitor 0 0 1280 1024 primary\nmonitor 1280 0 2080 600')"
use_test_endpoint
write_plain_settings 5 false

# One recorder on each monitor: "NAME L T R B".
recorders=("left -1024 0 0 768" "primary 0 0 1280 1024" "right 1280 0 2080 600")
for recorder in "${recorders[@]}"; do
  set -- $recorder
  wine "$build/e2e/click_recorder.exe" at "$2" "$3" "$4" "$5" > "$root/$1.log" 2>/dev/null &
  wait_for grep -q ready "$root/$1.log"
done
settle 1.5
start_sonarel_of "$build/bin"
wait_for indicator_is hidden
settle

# The indicator is 94 x 13 under Wine here and the cursor 32 x 32, so the
# places below are the rule's for those sizes, worked out by hand.
indicator_at() {  # x y l t r b: the expected top-left, then the monitor
  set -- "$@" $(probe Sonarel)
  # $7 visible, $8..$11 the rectangle
  [ "$7" = visible ] || return 1
  echo "   indicator at ($8, $9)-(${10}, ${11}), expected at ($1, $2) on ($3, $4)-($5, $6)"
  [ "$8 $9" = "$1 $2" ] && [ "$8" -ge "$3" ] && [ "${10}" -le "$5" ] && [ "$9" -ge "$4" ] && [ "${11}" -le "$6" ]
}
# Holds the left button at Windows (X, Y) and turns one notch; the button
# stays down.
hold_and_notch() {  # x y
  echo "0.5 0" > "$root/endpoint.txt"
  xdotool mousemove $(($1 + 1024)) "$2"; settle
  xdotool mousedown 1; settle 0.2; xdotool click 4; settle
}
gesture_places() {  # what x y expected_x expected_y l t r b
  local what=$1
  shift
  hold_and_notch "$1" "$2"
  shift 2
  check "$what: a notch raises the level" level_is 0.550000012
  check "$what: the indicator stands beside the cursor on its monitor" indicator_at "$@"
  xdotool mouseup 1; settle
  check "$what: and is hidden after the release" indicator_is hidden
}

echo "== A gesture on each monitor"
gesture_places "primary, middle" 640 512 672 512 0 0 1280 1024
gesture_places "right of the primary, middle" 1680 300 1712 300 1280 0 2080 600
gesture_places "left of the primary (negative x), middle" -512 384 -480 384 -1024 0 0 768
gesture_places "left monitor, near its left edge" -1015 384 -992 384 -1024 0 0 768

echo "== Near a secondary monitor's right and bottom edges, it flips"
gesture_places "right monitor, near its right edge" 2070 300 1944 300 1280 0 2080 600
gesture_places "right monitor, near its bottom edge" 1680 590 1712 545 1280 0 2080 600
gesture_places "left monitor, near its bottom edge" -512 760 -480 715 -1024 0 0 768

echo "== While active, it follows the cursor onto another monitor"
hold_and_notch 1000 500
check "on the primary, a notch raises the level" level_is 0.550000012
check "the indicator stands on the primary" indicator_at 1032 500 0 0 1280 1024
# The placement reads the cursor, which the hook's own move event has not
# moved yet: it stands for the cursor of the event before. A real mouse sends
# many small moves; here a jump onto the monitor and one pixel further.
xdotool mousemove $((1699 + 1024)) 400; settle 0.1; xdotool mousemove $((1700 + 1024)) 400; settle
check "moved onto the right monitor, it follows there" indicator_at 1731 400 1280 0 2080 600
xdotool mousemove $((-301 + 1024)) 200; settle 0.1; xdotool mousemove $((-300 + 1024)) 200; settle
check "and onto the left one" indicator_at -269 200 -1024 0 0 768
xdotool click 4; settle
check "where the next notch raises the level again" level_is 0.600000024
xdotool mouseup 1; settle
check "the release hides it" indicator_is hidden
for recorder in "${recorders[@]}"; do
  set -- $recorder
  check "the application on the $1 monitor saw nothing of the gestures" sh -c "! grep -q '^l' '$root/$1.log'"
done

xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0
timeout 10 wine taskkill /im click_recorder.exe >/dev/null 2>&1
summary monitors
