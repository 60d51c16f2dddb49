# Sourced by the end-to-end scripts: checks with a tally, Wine helpers and the
# test audio endpoint. Needs a running Wine session (scripts/wine-session.sh),
# and from the caller `build` (the MinGW build folder) and `root` (a scratch
# folder of the script).

passed=0
failed=0
check() {  # check "what" command...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1)); echo "PASS $what"
  else
    failed=$((failed + 1)); echo "FAIL $what"
  fi
}
# The closing line: "NAME: N passed, N failed"; fails when anything failed.
summary() { echo "$1: $passed passed, $failed failed"; [ "$failed" -eq 0 ]; }

winpath() { echo "Z:${1//\//\\}"; }
wine_run() { timeout 20 wine "$@" 2>/dev/null | tr -d '\r'; }
probe() { wine_run "$build/e2e/window_probe.exe" "$1"; }
window_is() { [ "$(probe "$1" | cut -d' ' -f1)" = "$2" ]; }  # TITLE visible|hidden|none
indicator_is() { window_is Sonarel "$1"; }
wait_for() { for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done; return 1; }
# Whether a process whose command line matches PATTERN runs. Called as a
# function: pgrep inside "sh -c" would find that shell's own command line.
running() { pgrep -f "$1" >/dev/null; }
not_running() { ! running "$1"; }
settle() { sleep "${1:-0.4}"; }

# The test audio endpoint replaces Wine's own in this prefix; the level and
# mute live in endpoint.txt, "0.5 0" to begin with.
use_test_endpoint() {
  cp "$build/e2e/mmdevapi.dll" "$WINEPREFIX/drive_c/windows/system32/mmdevapi.dll"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mmdevapi=n"
  export SONAREL_TEST_ENDPOINT
  SONAREL_TEST_ENDPOINT=$(winpath "$root/endpoint.txt")
  echo "0.5 0" > "$root/endpoint.txt"
}
# Windows programs write CRLF line ends.
endpoint_field() { tr -d '\r' < "$root/endpoint.txt" | awk -v n="$1" '{print $n}'; }
level_is() { [ "$(endpoint_field 1)" = "$1" ]; }
muted_is() { [ "$(endpoint_field 2)" = "$1" ]; }

# Sonarel.exe of FOLDER in the background, started in CWD (default: FOLDER);
# its exit code lands in sonarel.rc. It is ended after SONAREL_RUN_LIMIT
# seconds (default 120) if nothing else ends it.
start_sonarel_of() {
  : > "$root/sonarel.rc"
  (cd "${2:-$1}" && timeout "${SONAREL_RUN_LIMIT:-120}" wine "$1/Sonarel.exe" >/dev/null 2>&1
   echo $? > "$root/sonarel.rc") &
}
sonarel_ended_with() { wait_for test -s "$root/sonarel.rc" && [ "$(cat "$root/sonarel.rc")" = "$1" ]; }

# Ends the settings program (or its stand-in). One still starting has no
# window for taskkill's WM_CLOSE yet and would stay: it is killed then.
end_settings_program() {
  timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1
  wait_for not_running SonarelSettings.exe && return 0
  timeout 10 wine taskkill /f /im SonarelSettings.exe >/dev/null 2>&1
  wait_for not_running SonarelSettings.exe
}

# The click recorder (optionally "fullscreen"), logging to recorder.log.
start_recorder() {
  wine "$build/e2e/click_recorder.exe" ${1:-} > "$root/recorder.log" 2>/dev/null &
  wait_for grep -q ready "$root/recorder.log"
}
stop_recorder() {
  timeout 10 wine taskkill /im click_recorder.exe >/dev/null 2>&1
  wait_for not_running click_recorder.exe
}

# Hold the left button, one notch up, release: the level goes from 0.5 to 0.55.
gesture_raises_level() {
  echo "0.5 0" > "$root/endpoint.txt"
  xdotool mousemove 500 400; settle
  xdotool mousedown 1; settle 0.2; xdotool click 4; settle
  local seen=0
  level_is 0.550000012 && indicator_is visible && seen=1
  xdotool mouseup 1; settle
  [ "$seen" = 1 ]
}

# The user's folders in the prefix.
wine_user_dir=$WINEPREFIX/drive_c/users/$(id -un)
settings_dir=$wine_user_dir/AppData/Local/korvanix/sonarel
start_menu=$wine_user_dir/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs
startup=$start_menu/StartUp

# A settings file as the programs write it (the left trigger unless given).
write_plain_settings() {  # volume_delta first_run [mouse_button_pressed]
  mkdir -p "$settings_dir"
  printf '<?xml version="1.0"?>\n<color_top_background value="65408" />\n<color_bottom_background value="16776960" />\n'\
'<color_text value="0" />\n<color_mute_line value="255" />\n<mouse_button_pressed value="%s" />\n'\
'<volume_delta value="%s" />\n<first_run value="%s" />\n' "${3:-0}" "$1" "$2" > "$settings_dir/settings.xml"
}
