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
check "first start launches the settings program from the program folder" wait_for running SonarelSettings.exe
end_settings_program
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
wait_for not_running SonarelSettings.exe
check "the menu opens again" open_tray_menu 3
# Wine gives the menu no keyboard focus (no window manager): Esc leaves it
# open, a click beside it dismisses it. Nor does it route Alt+F4 to the
# hidden window, so what Windows then sends it, WM_SYSCOMMAND with
# SC_CLOSE, is posted as well.
xdotool key Escape; xdotool mousemove 640 300 click 1; settle
xdotool key alt+F4; settle
wine_run "$build/e2e/post_message.exe" 0x0112 0xF060; settle 1
still_running() { [ ! -s "$root/sonarel.rc" ] && indicator_is hidden; }
check "Alt+F4 after the dismissed menu leaves Sonarel running" still_running
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

echo "0.5 0" > "$root/endpoint.txt"
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
shown_before=$(probe Sonarel | cut -d' ' -f1)
wine_run "$build/e2e/post_message.exe" SonarelTestDropHook; settle
: > "$root/recorder.log"
xdotool mouseup 1; settle
shown_then_hidden() { [ "$shown_before" = visible ] && indicator_is hidden; }
check "a trigger release that only the witness saw ends the gesture" shown_then_hidden
wine_run "$build/e2e/post_message.exe" 0x007E; settle   # the hook back, whichever way the witness chose
: > "$root/recorder.log"
xdotool click 4; settle
check "then the engine is idle: a plain wheel turn is the application's" sh -c "grep -q '^wheel' '$root/recorder.log'"
check "and leaves the level alone" level_is 0.550000012

echo "0.5 0" > "$root/endpoint.txt"
: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2; xdotool click 4; settle
wine_run "$build/e2e/post_message.exe" desktopswitch; settle
check "a desktop switch mid-gesture (a UAC prompt) ends it" indicator_is hidden
xdotool mouseup 1; settle
xdotool click 4; settle
check "the application sees neither the press nor its release, and the next wheel turn is its own" \
  sh -c "! grep -q '^l' '$root/recorder.log' && grep -q '^wheel' '$root/recorder.log'"
check "the level moved by the one notch only" level_is 0.550000012

: > "$root/recorder.log"
xdotool mousedown 1; settle 0.2
wine_run "$build/e2e/post_message.exe" 0x007E; settle   # WM_DISPLAYCHANGE while the trigger is held
xdotool mouseup 1; settle
check "a display change while the trigger is held: the application sees neither press nor release" log_lacks "ldown\|lup"
xdotool click 1; settle
check "and the next click is whole" sh -c "grep -q '^ldown' '$root/recorder.log' && grep -q '^lup' '$root/recorder.log'"
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
check "the first run still starts the settings program" wait_for running SonarelSettings.exe
end_settings_program
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

echo "== A settings file that another program holds without sharing"
# A backup or scanning tool's hold, longer than the programs' 2 s of retries.
hold_settings() {
  wine "$build/tests/file_holder.exe" "$(winpath "$settings_dir/settings.xml")" "$1" SonarelE2eHeld exclusive \
    >/dev/null 2>&1 &
  settle 1.5
}
write_plain_settings 10 true 2
cp "$settings_dir/settings.xml" "$root/held-before.xml"
hold_settings 7000
start_sonarel
wait_for indicator_is hidden
settle 3
check "Sonarel starts without its first-run actions" not_running SonarelSettings.exe
start_recorder
settle 1.5
check "and works on the defaults: the left button and a step of 5" gesture_raises_level
stop_recorder
wait_for not_running file_holder.exe
check "the held file is byte for byte as it was" cmp -s "$root/held-before.xml" "$settings_dir/settings.xml"
check "with nothing beside it" test "$(ls -A "$settings_dir")" = settings.xml
wine_run "$build/e2e/post_message.exe" SonarelRefreshSettings; settle
start_recorder
settle 1.5
echo "0.5 0" > "$root/endpoint.txt"
xdotool mousemove 500 400; settle
xdotool mousedown 3; settle 0.2; xdotool click 4; settle; xdotool mouseup 3; settle
check "once free, a reload reads it: the right button and a step of 10" level_is 0.600000024
stop_recorder
xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0

hold_settings 7000
start_settings_held() {
  : > "$root/settings.rc"
  (cd "$root/elsewhere" && timeout 60 wine "$root/program/SonarelSettings.exe" >/dev/null 2>&1; echo $? > "$root/settings.rc") &
}
start_settings_held
check "SonarelSettings says that it cannot read the file" wait_for window_is "Sonarel Settings" visible
import -window root "$artifacts/settings-file-held.png" 2>/dev/null
check "and opens no dialog" window_is SonarelSettings none
xdotool key Return
check "then ends with exit code 2" test "$(settings_exit)" = 2
wait_for not_running file_holder.exe
check "having written nothing" cmp -s "$root/held-before.xml" "$settings_dir/settings.xml"
check "nor made a shortcut" test ! -e "$startup/sonarel.lnk"

echo "== Apply that cannot save"
write_plain_settings 5 false
cp "$settings_dir/settings.xml" "$root/readonly-before.xml"
chmod a-w "$settings_dir/settings.xml"
start_settings
click_control 1012
xdotool key ctrl+a; xdotool type 20; settle 0.2
click_control 1                          # "Apply"
check "a read-only file at Apply: a message says so" wait_for window_is "Sonarel Settings" visible
import -window root "$artifacts/apply-read-only.png" 2>/dev/null
xdotool key Return; settle
check "and the dialog stays" window_is SonarelSettings visible
xdotool key Escape
check "Cancel then ends it with exit code 2" test "$(settings_exit)" = 2
check "the file is unchanged" cmp -s "$root/readonly-before.xml" "$settings_dir/settings.xml"
chmod u+w "$settings_dir/settings.xml"

echo "== The Startup shortcut as Windows will use it"
rm -rf "$startup" "$startup/sonarel.lnk"
start_settings
click_control 1019                       # "Autorun with system starting"
click_control 1
check "Apply with the box ticked ends with exit code 1" test "$(settings_exit)" = 1
check "a missing Startup folder is made for the shortcut" test -f "$startup/sonarel.lnk"
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder'
timeout 30 wine reg add "$approved" /v sonarel.lnk /t REG_BINARY /d 030000000000000000000000 /f >/dev/null 2>&1
start_settings
click_control 1019                       # shown clear while Windows keeps it off: this ticks it
click_control 1
check "a shortcut turned off in Windows' Startup apps shows clear; ticking it keeps the shortcut" \
  sh -c "[ \"\$(cat '$root/settings.rc')\" = 1 ] && [ -f '$startup/sonarel.lnk' ]"
check "and turns it back on" sh -c "! timeout 30 wine reg query '$approved' /v sonarel.lnk >/dev/null 2>&1"
rm -f "$startup/sonarel.lnk"

echo "== The first run happens once"
rm -rf "$settings_dir"
start_sonarel
check "the first start opens the settings dialog" wait_for window_is SonarelSettings visible
settle 1
click_control 1
check "whose Apply closes it" wait_for window_is SonarelSettings none
check "and keeps first_run cleared for the next logon" grep -q '<first_run value="false" />' "$settings_dir/settings.xml"
xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0

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
