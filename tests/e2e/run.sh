#!/usr/bin/env bash
# End-to-end tests of the real Sonarel.exe under Wine, with real X input from
# xdotool: a click recorder stands in for the application under the cursor,
# and a test audio endpoint (mmdevapi.dll stand-in) keeps the master level in
# a file. Needs a running Wine session (scripts/wine-session.sh).
#   tests/e2e/run.sh BUILD_DIR
set -u
build=$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)
root=$SONAREL_WINE_ROOT/e2e
rm -rf "$root"
mkdir -p "$root/program" "$root/elsewhere"
. "$(dirname "$0")/common.sh"

log_has() { tr -d '\r' < "$root/recorder.log" | grep -qx "$1"; }
log_lacks() { ! grep -q "$1" "$root/recorder.log"; }
# The program folder's Sonarel, started from FOLDER (default: the program folder).
start_sonarel() { start_sonarel_of "$root/program" "${1:-$root/program}"; }

# The program folder as shipped, with a stand-in settings program.
cp "$build/bin/"* "$root/program/"
cp "$build/e2e/click_recorder.exe" "$root/program/SonarelSettings.exe"

use_test_endpoint
rm -rf "$settings_dir"

echo "== First start, from another current directory"
start_sonarel "$root/elsewhere"
wait_for test -f "$settings_dir/settings.xml"
settle 2
check "first start writes the settings with first_run cleared" grep -q '<first_run value="false" />' "$settings_dir/settings.xml"
check "first start launches the settings program from the program folder" wait_for sh -c "pgrep -f SonarelSettings.exe >/dev/null"
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1
wait_for sh -c "! pgrep -f SonarelSettings.exe >/dev/null"
check "the indicator window exists hidden" indicator_is hidden

echo "== The application under the cursor"
start_recorder
settle 1.5  # mapped and ready for input
xdotool mousemove 500 400
settle

echo "== Tap: one complete click reaches the application"
xdotool mousedown 1; settle 0.2; xdotool mouseup 1; settle
check "press replayed" log_has "ldown 400 300"
check "release replayed" log_has "lup 400 300"
check "level untouched by a tap" level_is 0.5

echo "== Hold and turn the wheel"
: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
check "one notch up raises the level by 5" level_is 0.550000012
shown=$(probe Sonarel)
echo "   indicator: $shown"
check "indicator visible beside the cursor" sh -c "set -- $shown; [ \$1 = visible ] && [ \$2 -gt 500 ] && [ \$2 -le 600 ] && [ \$3 -ge 350 ] && [ \$3 -le 450 ]"
import -window root "$SONAREL_WINE_ROOT/indicator.png" 2>/dev/null
xdotool click 5; xdotool click 5; settle
check "two notches down lower it by 10" level_is 0.449999988
xdotool mouseup 1; settle
check "indicator hidden after release" indicator_is hidden
check "the application saw neither press nor release" log_lacks "ldown\|lup"

echo "== Hold and move: the press and the drag are replayed"
: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2; xdotool mousemove 520 410; settle 0.2; xdotool mouseup 1; settle
check "press replayed at the press point" log_has "ldown 400 300"
check "drag reached the application" grep -q "^drag" "$root/recorder.log"
check "release passed" log_has "lup 420 310"

echo "== The other button toggles mute"
: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2; xdotool click 3; settle
check "muted" muted_is 1
xdotool click 3; settle
check "unmuted again" muted_is 0
xdotool mouseup 1; settle
check "mute clicks never reached the application" log_lacks "rdown\|rup\|ldown"

echo "== Single instance"
timeout 60 wine "$root/program/Sonarel.exe" >/dev/null 2>&1
check "a second start exits with 1" test $? -eq 1

echo "== Ctrl+F11"
xdotool key ctrl+F11
wait_for test -s "$root/sonarel.rc"
check "Sonarel ends with exit code 0" test "$(cat "$root/sonarel.rc" 2>/dev/null)" = 0
check "its window is gone" indicator_is none

stop_recorder

echo "== SonarelSettings: Apply reaches a running Sonarel"
artifacts=$SONAREL_WINE_ROOT/artifacts
mkdir -p "$artifacts"
cp "$build/bin/SonarelSettings.exe" "$root/program/SonarelSettings.exe"
rm -f "$startup/sonarel.lnk"
start_sonarel
wait_for indicator_is hidden
start_recorder

# Centre of a control of the settings dialog, on screen.
control_centre() { set -- $(probe_control "$1"); echo $(( ($2 + $4) / 2 )) $(( ($3 + $5) / 2 )); }
probe_control() { wine_run "$build/e2e/window_probe.exe" SonarelSettings "$1"; }
click_control() { xdotool mousemove $(control_centre "$1") click 1; settle 0.3; }
start_settings() {
  : > "$root/settings.rc"
  (cd "$root/elsewhere" && timeout 120 wine "$root/program/SonarelSettings.exe" >/dev/null 2>&1; echo $? > "$root/settings.rc") &
  wait_for window_is SonarelSettings visible
  settle 1
}
settings_exit() { wait_for test -s "$root/settings.rc"; cat "$root/settings.rc"; }

start_settings
import -window root "$artifacts/settings-dialog.png" 2>/dev/null
click_control 1011                       # "Right mouse button"
click_control 1012                       # the step edit
xdotool key ctrl+a; xdotool type 20; settle 0.2
click_control 1                          # "Apply"
check "Apply ends the settings program with exit code 1" test "$(settings_exit)" = 1
check "the file holds the right button" grep -q '<mouse_button_pressed value="2" />' "$settings_dir/settings.xml"
check "and a step of 20" grep -q '<volume_delta value="20" />' "$settings_dir/settings.xml"
check "Apply with the box clear creates no shortcut" test ! -e "$startup/sonarel.lnk"

settle
echo "0.5 0" > "$root/endpoint.txt"
: > "$root/recorder.log"
xdotool mousemove 500 400; settle
xdotool mousedown 3; settle 0.2; xdotool click 4; settle; xdotool mouseup 3; settle
check "the running Sonarel now arms on the right button and steps by 20" level_is 0.699999988
check "the right-button gesture stays hidden from the application" log_lacks "rdown\|rup"
xdotool click 1; settle
check "the left button is an ordinary button now" log_has "ldown 400 300"

echo "== SonarelSettings: Cancel, Default and About"
before=$(cat "$settings_dir/settings.xml")
start_settings
click_control 1012
xdotool key ctrl+a; xdotool type 50; settle 0.2
click_control 1019                       # "Autorun with system starting"
xdotool key Escape
check "Cancel ends with exit code 2" test "$(settings_exit)" = 2
check "Cancel writes no settings" test "$(cat "$settings_dir/settings.xml")" = "$before"
check "but applies the autorun box" test -f "$startup/sonarel.lnk"

start_settings
click_control 1013                       # "Default"
import -window root "$artifacts/settings-after-default.png" 2>/dev/null
xdotool key alt+a; settle 1.5
import -window root "$artifacts/about-box.png" 2>/dev/null
check "the About box opens" window_is About visible
xdotool key Escape; settle 0.5
xdotool key Escape
check "after About the dialog still cancels" test "$(settings_exit)" = 2
check "Default checked the autorun box, so the shortcut stays" test -f "$startup/sonarel.lnk"
rm -f "$startup/sonarel.lnk"

stop_recorder

echo "== The tray menu"
# The only icon in the notification area at the right end of Wine's taskbar.
open_tray_menu() {
  xdotool mousemove 1270 1013 click "$1"
  wait_for window_is 'class:#32768' visible
}
# Clicks item 1 or 2 of the two-item menu.
choose_tray_item() {
  set -- "$1" $(probe 'class:#32768')
  xdotool mousemove $(( ($3 + $5) / 2 )) $(( $4 + ($6 - $4) * (2 * $1 - 1) / 4 )) click 1
}
check "a right press on the icon opens the menu" open_tray_menu 3
choose_tray_item 1                      # "Settings"
check "its Settings entry starts SonarelSettings" wait_for window_is SonarelSettings visible
settle 1
xdotool key Escape
wait_for sh -c "! pgrep -f SonarelSettings.exe >/dev/null"
check "a left press opens it too" open_tray_menu 1
choose_tray_item 2                      # "Exit"
wait_for test -s "$root/sonarel.rc"
check "its Exit entry ends Sonarel with exit code 0" test "$(cat "$root/sonarel.rc" 2>/dev/null)" = 0

echo "== A mouse hook that the system removed is installed again"
write_plain_settings 5 false
start_sonarel
wait_for indicator_is hidden
start_recorder
settle 1.5
xdotool mousemove 500 400; settle
# The test build's seam unhooks the hook without telling anyone, as the
# system does with a hook that answered too slowly.
wine_run "$build/e2e/post_message.exe" SonarelTestDropHook; settle
: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2; xdotool mouseup 1; settle
check "the first press after the loss reaches the application once" test "$(grep -c '^ldown' "$root/recorder.log")" = 1
check "and so does its release" test "$(grep -c '^lup' "$root/recorder.log")" = 1
: > "$root/recorder.log"
check "by the next press the hook is back: hold and a notch change the level" gesture_raises_level
check "and the application saw nothing of that gesture" log_lacks "ldown\|lup\|wheel"
wine_run "$build/e2e/post_message.exe" SonarelTestDropHook; settle
wine_run "$build/e2e/post_message.exe" 0x007E; settle   # WM_DISPLAYCHANGE
check "after a display change the hook is back at once" gesture_raises_level
check "and the application saw nothing of it either" log_lacks "ldown\|lup\|wheel"
stop_recorder
xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0

echo "== Windows 10 and 11: only real full-screen use refuses a press"
# Wine's query always reports that notifications are accepted: the test
# build's seam makes it report what Windows does for overlays, presentation
# mode, a new account's first hour and the Start menu.
notification_state() { wine_run "$build/e2e/post_message.exe" SonarelTestNotificationState "$1"; settle; }
# Hold, one notch, release: the application sees it all, the level stays.
# Buttons report client coordinates, the wheel screen coordinates.
press_left_alone() {  # "X Y" of the buttons, of the wheel
  echo "0.5 0" > "$root/endpoint.txt"
  : > "$root/recorder.log"
  xdotool mousedown 1; settle 0.2; xdotool click 4; settle
  local hidden=0
  indicator_is hidden && hidden=1
  xdotool mouseup 1; settle
  [ "$hidden" = 1 ] && level_is 0.5 && log_has "ldown $1" && log_has "wheel $2" && log_has "lup $1"
}
start_sonarel
wait_for indicator_is hidden
start_recorder
settle 1.5
for state in "2 busy (an overlay)" "6 quiet time (a new account)" "7 a Store app or the Start menu"; do
  notification_state "${state%% *}"
  : > "$root/recorder.log"
  check "state $state, over an ordinary window: the gesture works" gesture_raises_level
  check "and the application saw nothing of it" log_lacks "ldown\|lup\|wheel"
done
notification_state 4
check "presentation mode over an ordinary window: press, wheel and release reach it untouched" press_left_alone "400 300" "500 400"
stop_recorder
start_recorder fullscreen
settle 1.5
notification_state 2
xdotool mousemove 500 400; settle
check "busy over a borderless window that covers the monitor: all reach it untouched" press_left_alone "500 400" "500 400"
stop_recorder
notification_state 0
xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0

echo "== A hand-edited settings file with extreme values"
write_settings() {  # mouse_button_pressed volume_delta
  printf '<color_top_background value="-1" /><color_bottom_background value="2147483647" /><color_text value="-7" />'\
'<color_mute_line value="99999999999" /><mouse_button_pressed value="%s" /><volume_delta value="%s" />'\
'<first_run value="false" />\n' "$1" "$2" > "$settings_dir/settings.xml"
}
write_settings 0 -2147483648
echo "0.5 0" > "$root/endpoint.txt"
start_sonarel
wait_for indicator_is hidden
xdotool mousemove 500 400; settle
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
check "the most negative step turns a notch up into silence" level_is 0
xdotool click 5; settle
check "and a notch down into full volume, without overflow" level_is 1
xdotool mouseup 1; settle
check "Sonarel keeps running" test ! -s "$root/sonarel.rc"
write_settings 7 5
xdotool key ctrl+F11
wait_for test -s "$root/sonarel.rc"
start_sonarel
wait_for indicator_is hidden
xdotool mousedown 1; settle 0.2; xdotool click 4; settle; xdotool mouseup 1
xdotool mousedown 3; settle 0.2; xdotool click 4; settle; xdotool mouseup 3; settle
check "an unknown trigger setting leaves both buttons and the wheel alone" level_is 1
check "and never shows the indicator" indicator_is hidden
xdotool key ctrl+F11
wait_for test -s "$root/sonarel.rc"
check "Sonarel still ends with exit code 0" test "$(cat "$root/sonarel.rc" 2>/dev/null)" = 0

echo "== A read-only settings file on a first run"
write_plain_settings 10 true
cp "$settings_dir/settings.xml" "$root/readonly-before.xml"
chmod a-w "$settings_dir/settings.xml"   # Wine shows it as FILE_ATTRIBUTE_READONLY
echo "0.5 0" > "$root/endpoint.txt"
start_sonarel
check "the first run still starts the settings program" wait_for sh -c "pgrep -f SonarelSettings.exe >/dev/null"
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1
wait_for sh -c "! pgrep -f SonarelSettings.exe >/dev/null"
wait_for indicator_is hidden
xdotool mousemove 500 400; settle
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
check "Sonarel works with the file's step" level_is 0.600000024
check "and shows the indicator" indicator_is visible
xdotool mouseup 1; settle
xdotool key ctrl+F11
wait_for test -s "$root/sonarel.rc"
check "Sonarel ends with exit code 0" test "$(cat "$root/sonarel.rc" 2>/dev/null)" = 0
check "the read-only file is byte-for-byte unchanged" cmp -s "$root/readonly-before.xml" "$settings_dir/settings.xml"
check "and still read-only" test "$(stat -c %a "$settings_dir/settings.xml")" = 444
check "and nothing was left beside it" test "$(ls -A "$settings_dir")" = settings.xml
chmod u+w "$settings_dir/settings.xml"

echo "== Windows XP: the mixer backend and the full-screen test"
write_plain_settings 5 false
set_version() { timeout 30 wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1; }
set_version winxp64
start_sonarel
wait_for indicator_is hidden
start_recorder fullscreen
settle 1.5
xdotool mousemove 500 400; settle
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
check "over a full-screen window the press is left alone" log_has "ldown 500 400"
check "and the wheel reaches the application" log_has "wheel 500 400"
check "no indicator over a full-screen window" indicator_is hidden
xdotool mouseup 1; settle
stop_recorder
# Wine's desktop window covers the monitor too, so the gesture is tried over
# an ordinary window.
start_recorder
settle 1.5
level_before=$(endpoint_field 1)
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
check "over an ordinary window the gesture shows the indicator" indicator_is visible
check "the endpoint is not used on XP" level_is "$level_before"
xdotool mouseup 1; settle
check "and the application saw nothing of it" log_lacks "ldown\|lup\|wheel"
stop_recorder
xdotool key ctrl+F11
wait_for test -s "$root/sonarel.rc"
check "Sonarel on XP ends with exit code 0" test "$(cat "$root/sonarel.rc" 2>/dev/null)" = 0
set_version win10

summary e2e
