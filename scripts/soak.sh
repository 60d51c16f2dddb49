#!/usr/bin/env bash
# Soak test: N mixed gestures (default 300) with real X input against one
# running Sonarel under Wine: volume notches, mute toggles, plain taps, drags,
# plain clicks of the other button and plain wheel turns, with the trigger
# switched from left to right by a settings reload half-way.
#   scripts/soak.sh [N]
# It checks the level and mute against a model of what was sent, that the
# click recorder saw every plain event exactly once and in order, that no
# button is left down, and that a gesture still works at the end; and prints
# memory, handles and CPU time of Sonarel at checkpoints. Run on its own it
# builds the Windows x64 configuration and starts its own Wine session.
set -uo pipefail
cd "$(dirname "$0")/.."
gestures=${1:-300}

if [ -z "${SONAREL_WINE_ROOT:-}" ]; then
  scripts/install-deps.sh
  cmake --preset mingw-x64 >/dev/null && cmake --build --preset mingw-x64 >/dev/null || exit 1
  . scripts/wine-session.sh
  trap wine_session_stop EXIT
  wine_session_start "$PWD/build/wine" >/dev/null 2>&1
fi
build=$PWD/build/mingw-x64
root=$SONAREL_WINE_ROOT/soak
rm -rf "$root"
mkdir -p "$root/program"
. tests/e2e/common.sh

cp "$build/bin/"* "$root/program/"
use_test_endpoint
write_plain_settings 5 false
SONAREL_RUN_LIMIT=$((300 + gestures)) start_sonarel_of "$root/program"
wait_for indicator_is hidden
start_recorder
settle 1.5
xdotool mousemove 500 400
settle

# The model: level in percent (steps of 5 from 50 never meet the two levels
# that read back lower), mute, the trigger's and the other button's numbers,
# and the plain events the recorder must show, in order.
level=50
muted=0
trigger=1
other=3
expected=()
sent=0
drags=0
name_of() { [ "$1" = 1 ] && echo l || echo r; }
clamp_level() { level=$(( level < 0 ? 0 : level > 100 ? 100 : level )); }
pace=0.03

last_gestures=0
last_cpu=0
# CPU time from the kernel: Wine's GetProcessTimes counts live threads only,
# so it falls when a worker thread ends.
tick_ms=$((1000 / $(getconf CLK_TCK)))
# This run's Sonarel: its Wine process has the program's own path as argv[0].
cpu_ms() { awk -v t="$tick_ms" '{ print ($14 + $15) * t }' "/proc/$(pgrep -f "^$root/program/Sonarel.exe" | head -n 1)/stat" 2>/dev/null || echo 0; }
row() {  # gestures done: what Sonarel's process looks like now
  local probe cpu
  probe=$(wine_run "$build/e2e/process_probe.exe" Sonarel.exe)
  cpu=$(cpu_ms)
  set -- $probe
  printf '%9d %9d %9d %15s %10s %8s %14s\n' "$gestures_done" "$sent" "$(grep -vc '^ready' "$root/recorder.log")" \
    "${4:-?}" "${6:-?}" "${8:-?}" \
    "$(awk -v c=$((cpu - last_cpu)) -v n=$((gestures_done - last_gestures)) 'BEGIN { if (n) printf "%.2f", c / n; else print "-" }')"
  last_gestures=$gestures_done
  last_cpu=$cpu
}
model_matches() {
  local actual actual_muted
  actual=$(tr -d '\r' < "$root/endpoint.txt" | awk '{ printf "%d", $1 * 100 + 0.5 }')
  actual_muted=$(endpoint_field 2)
  [ "$actual" = "$level" ] && [ "$actual_muted" = "$muted" ] ||
    { echo "   model: level $level mute $muted, endpoint: level $actual mute $actual_muted"; return 1; }
}

every=$(( gestures / 10 > 0 ? gestures / 10 : 1 ))
printf '%9s %9s %9s %15s %10s %8s %14s\n' gestures sent seen working_set_kb commit_kb handles cpu_ms/gesture
gestures_done=0
row
RANDOM=20261210
model_ok=1
for ((i = 1; i <= gestures; i++)); do
  if [ "$i" -eq $(( gestures / 2 + 1 )) ]; then
    # The settings program's Apply: the file, then the message.
    write_plain_settings 5 false 2
    wine_run "$build/e2e/post_message.exe" SonarelRefreshSettings
    settle
    trigger=3
    other=1
  fi
  t=$(name_of $trigger)
  o=$(name_of $other)
  case $((RANDOM % 7)) in
    0|1)  # volume notches, up or down
      notches=$((RANDOM % 3 + 1))
      wheel=$(( RANDOM % 2 ? 4 : 5 ))
      steps=()
      for ((n = 0; n < notches; n++)); do steps+=(click "$wheel" sleep "$pace"); done
      xdotool mousedown $trigger sleep $pace "${steps[@]}" mouseup $trigger
      level=$(( level + (wheel == 4 ? 5 : -5) * notches ))
      clamp_level
      sent=$((sent + 2 + notches)) ;;
    2)  # mute toggle
      xdotool mousedown $trigger sleep $pace click $other sleep $pace mouseup $trigger
      muted=$((1 - muted))
      sent=$((sent + 4)) ;;
    3)  # plain tap: held back, then replayed
      xdotool click $trigger
      expected+=("${t}down" "${t}up")
      sent=$((sent + 2)) ;;
    4)  # drag: the press is replayed with the first move
      xdotool mousedown $trigger sleep $pace mousemove 520 410 sleep $pace mouseup $trigger sleep $pace mousemove 500 400
      expected+=("${t}down" "${t}up")
      drags=$((drags + 1))
      sent=$((sent + 4)) ;;
    5)  # plain click of the other button
      xdotool click $other
      expected+=("${o}down" "${o}up")
      sent=$((sent + 2)) ;;
    6)  # plain wheel turn
      xdotool click 4
      expected+=(wheel)
      sent=$((sent + 1)) ;;
  esac
  sleep $pace
  if [ $((i % every)) -eq 0 ] || [ "$i" -eq "$gestures" ]; then
    settle
    if [ -s "$root/sonarel.rc" ]; then
      echo "   Sonarel ended during the soak with exit code $(cat "$root/sonarel.rc")"
      model_ok=0
      break
    fi
    model_matches || model_ok=0
    gestures_done=$i
    row
  fi
done
settle 1

check "level and mute follow the model at every checkpoint" test "$model_ok" = 1
seen=$(tr -d '\r' < "$root/recorder.log" | awk '$1 != "ready" && $1 != "drag" { print $1 }')
check "the application saw every plain event exactly once, in order" \
  test "$seen" = "$(printf '%s\n' ${expected[@]+"${expected[@]}"})"
check "it saw the drags move" test "$(grep -c '^drag' "$root/recorder.log")" -ge "$drags"
# Each press released before the next, none left down at the end.
paired() { echo "$seen" | awk -v b="$1" '$1 == b "down" { bad += d; d = 1 } $1 == b "up" { bad += !d; d = 0 } END { exit bad + d }'; }
check "no left button is left down" paired l
check "no right button is left down" paired r
check "a gesture still works at the end" sh -c "echo '0.5 0' > '$root/endpoint.txt'
  xdotool mousedown $trigger sleep 0.2 click 4 sleep 0.4
  tr -d '\r' < '$root/endpoint.txt' | grep -q '^0.550000012 '; ok=\$?
  xdotool mouseup $trigger; exit \$ok"
stop_recorder
xdotool key ctrl+F11
check "Sonarel ends with exit code 0" sonarel_ended_with 0
summary soak
