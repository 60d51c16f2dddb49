#!/usr/bin/env bash
# End-to-end tests of the release under Wine: the x64 installer (silent
# install, upgrade over a running copy, uninstall with and without the
# settings, refusals that keep Sonarel running, the autorun choice on
# upgrades, a quarantined Sonarel.exe, and the cases a user gets wrong) and
# the portable x64 zip. Needs a
# running Wine session (scripts/wine-session.sh) and scripts/package.sh run.
#   tests/e2e/installer.sh DIST_DIR BUILD_DIR
set -u
dist=$(cd "${1:?usage: installer.sh DIST_DIR BUILD_DIR}" && pwd)
build=$(cd "${2:?usage: installer.sh DIST_DIR BUILD_DIR}" && pwd)
root=$SONAREL_WINE_ROOT/installer
rm -rf "$root"
mkdir -p "$root"
. "$(dirname "$0")/common.sh"

version=$(cat "$build/product-version.txt")
setup=$dist/Sonarel-$version-x64-setup.exe
instdir=$wine_user_dir/AppData/Local/Programs/Sonarel
instdir_win='C:\users\'$(id -un)'\AppData\Local\Programs\Sonarel'
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sonarel'

run_setup() { timeout 120 wine "$setup" "$@" >/dev/null 2>&1; }
reg_value() { wine_run reg query "$key" /v "$1" | sed -n "s/^ *$1 \{1,\}REG_[A-Z_]* \{1,\}//p"; }
has_entry() { timeout 20 wine reg query "$key" >/dev/null 2>&1; }
not() { ! "$@"; }
shortcut() { wine_run "$build/e2e/shortcut_probe.exe" "$(winpath "$1")"; }
# The uninstaller runs from a copy (%TEMP%\~nsuN.tmp\Un.exe) and returns at
# once: wait for the copy to show up (or to have deleted Uninstall.exe
# already), then to finish.
uninstaller_copy_runs() { pgrep -f 'nsu.*Un\.exe' >/dev/null; }
uninstall() {
  timeout 60 wine "$instdir/Uninstall.exe" "$@" >/dev/null 2>&1
  for _ in $(seq 200); do uninstaller_copy_runs || [ ! -e "$instdir/Uninstall.exe" ] && break; sleep 0.1; done
  for _ in $(seq 300); do uninstaller_copy_runs || break; sleep 0.1; done
}
nothing_installed() {
  [ ! -e "$instdir" ] && [ ! -e "$start_menu/Sonarel.lnk" ] && [ ! -e "$start_menu/Sonarel Settings.lnk" ] &&
    [ ! -e "$startup/sonarel.lnk" ] && ! has_entry
}

use_test_endpoint
rm -rf "$instdir" "$settings_dir" "$start_menu/Sonarel.lnk" "$start_menu/Sonarel Settings.lnk" "$startup/sonarel.lnk"
timeout 20 wine reg delete "$key" /f >/dev/null 2>&1
write_plain_settings 5 false  # not a first run: no guide, no settings program

echo "== Silent install"
run_setup /S
check "the installer ends with exit code 0" test $? -eq 0
for file in Sonarel.exe SonarelSettings.exe QuickStartGuide.htm Sonarel128.png ReadMe.txt Uninstall.exe; do
  check "$file is installed" test -f "$instdir/$file"
done
check "the installed Sonarel is the release build" cmp -s "$instdir/Sonarel.exe" "$build/../release-x64/bin/Sonarel.exe"
check "Start-menu shortcut \"Sonarel\"" test "$(shortcut "$start_menu/Sonarel.lnk" | cut -d'|' -f1)" = "$instdir_win\\Sonarel.exe"
check "Start-menu shortcut \"Sonarel Settings\"" \
  test "$(shortcut "$start_menu/Sonarel Settings.lnk" | cut -d'|' -f1)" = "$instdir_win\\SonarelSettings.exe"
autorun=$(shortcut "$startup/sonarel.lnk")
echo "   startup shortcut: $autorun"
check "the Startup shortcut is the one SonarelSettings manages" \
  test "$autorun" = "$instdir_win\\sonarel.exe|$instdir_win|Sonarel application autorun link"
check "uninstall entry: DisplayName" test "$(reg_value DisplayName)" = Sonarel
check "uninstall entry: DisplayVersion" test "$(reg_value DisplayVersion)" = "$version"
check "uninstall entry: Publisher" test "$(reg_value Publisher)" = Korvanix
check "uninstall entry: DisplayIcon" test "$(reg_value DisplayIcon)" = "$instdir_win\\Sonarel.exe,0"
check "uninstall entry: InstallLocation" test "$(reg_value InstallLocation)" = "$instdir_win"
check "uninstall entry: UninstallString" test "$(reg_value UninstallString)" = "\"$instdir_win\\Uninstall.exe\""
check "uninstall entry: QuietUninstallString" \
  test "$(reg_value QuietUninstallString)" = "\"$instdir_win\\Uninstall.exe\" /S"
check "uninstall entry: NoModify and NoRepair" test "$(reg_value NoModify) $(reg_value NoRepair)" = "0x1 0x1"
size=$(reg_value EstimatedSize)
echo "   EstimatedSize: $size"
check "uninstall entry: EstimatedSize in KB" test "$((size))" -gt 200

echo "== The installed Sonarel"
start_sonarel_of "$instdir"
wait_for indicator_is hidden
check "runs from the installed folder and performs a gesture" gesture_raises_level

echo "== Install over the running copy"
run_setup /S
check "the installer ends with exit code 0" test $? -eq 0
check "the old copy ended with exit code 0" sonarel_ended_with 0
check "a new copy runs" wait_for indicator_is hidden
check "and performs a gesture" gesture_raises_level

echo "== Silent uninstall"
cp "$instdir/Uninstall.exe" "$root/Uninstall-copy.exe"
uninstall /S
check "the running Sonarel is ended" wait_for indicator_is none
check "program files, shortcuts and the uninstall entry are gone" nothing_installed
check "the settings are kept" test -f "$settings_dir/settings.xml"

echo "== Uninstalling twice"
timeout 60 wine "$root/Uninstall-copy.exe" /S "_?=$instdir_win" >/dev/null 2>&1
check "a second uninstall fails with exit code 2" test $? -eq 2
check "and leaves nothing behind" nothing_installed

echo "== A running copy that is slow to exit after closing"
# The stand-in lets go of the single-instance mutex two seconds before its
# process ends, and its Sonarel.exe cannot be replaced or deleted until then.
run_setup /S /NOAUTORUN
start_slow_copy() {
  cp "$build/e2e/slow_exit.exe" "$instdir/Sonarel.exe"
  start_sonarel_of "$instdir"
  wait_for indicator_is hidden
}
start_slow_copy
run_setup /S /NOAUTORUN
check "installing over it ends with exit code 0" test $? -eq 0
check "and replaces Sonarel.exe" cmp -s "$instdir/Sonarel.exe" "$build/../release-x64/bin/Sonarel.exe"
check "the new Sonarel runs" wait_for indicator_is hidden
xdotool key ctrl+F11
wait_for indicator_is none
start_slow_copy
uninstall /S
check "uninstalling over it removes everything" nothing_installed

echo "== The settings dialog open during an upgrade and an uninstall"
# Its program file cannot be replaced or deleted while it runs. Sonarel.exe
# stands for an older version here, to show that nothing is half-replaced.
run_setup /S /NOAUTORUN
cp "$build/e2e/slow_exit.exe" "$instdir/Sonarel.exe"
(cd "$instdir" && timeout 60 wine "$instdir/SonarelSettings.exe" >/dev/null 2>&1) &
wait_for window_is SonarelSettings visible
install_is_as_before() {
  cmp -s "$instdir/Sonarel.exe" "$build/e2e/slow_exit.exe" &&
    cmp -s "$instdir/SonarelSettings.exe" "$build/../release-x64/bin/SonarelSettings.exe" &&
    test -f "$instdir/Uninstall.exe" -a -e "$start_menu/Sonarel.lnk" && has_entry
}
run_setup /S /NOAUTORUN
check "installing over it fails with exit code 2" test $? -eq 2
check "and leaves the install as it was" install_is_as_before
uninstall /S
check "uninstalling leaves it as it was too" install_is_as_before
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1
wait_for not_running SonarelSettings.exe
uninstall /S
check "once it is closed, the uninstall removes everything" nothing_installed

echo "== Install without autorun, twice, then uninstall with the settings"
run_setup /S /NOAUTORUN
check "the first install ends with exit code 0" test $? -eq 0
run_setup /S /NOAUTORUN
check "the second install over it ends with exit code 0" test $? -eq 0
check "every file is there" test -f "$instdir/Sonarel.exe" -a -f "$instdir/Uninstall.exe"
check "/NOAUTORUN makes no Startup shortcut" test ! -e "$startup/sonarel.lnk"
check "the uninstall entry is there" has_entry
uninstall /S /REMOVESETTINGS
check "everything installed is gone" nothing_installed
check "and with /REMOVESETTINGS the settings too" test ! -e "$settings_dir"

echo "== An install folder that cannot be written"
mkdir -p "$(dirname "$instdir")"
echo "not a folder" > "$instdir"
run_setup /S
check "the installer fails with exit code 2" test $? -eq 2
check "no shortcut and no uninstall entry are left" \
  sh -c "! test -e '$start_menu/Sonarel.lnk' && ! test -e '$startup/sonarel.lnk'"
check "no uninstall entry either" not has_entry
rm -f "$instdir"
run_setup /S
check "once the folder can be written, the next install repairs it" test $? -eq 0 -a -f "$instdir/Sonarel.exe"
uninstall /S
check "and its uninstall removes it" nothing_installed

echo "== A refused install or uninstall leaves Sonarel running"
run_setup /S /NOAUTORUN
start_sonarel_of "$instdir"
wait_for indicator_is hidden
(cd "$instdir" && timeout 60 wine "$instdir/SonarelSettings.exe" >/dev/null 2>&1) &
wait_for window_is SonarelSettings visible
sonarel_runs() { [ ! -s "$root/sonarel.rc" ] && indicator_is hidden; }
# Ends whichever Sonarel runs as the installer does (WM_CLOSE), and waits for
# its process: its single-instance mutex goes with it.
end_sonarel() {
  wait_for indicator_is hidden  # one just started may have no window yet
  wine_run "$build/e2e/post_message.exe" 0x0010
  wait_for indicator_is none
  wait_for not_running 'Sonarel\.exe'
}
run_setup /S /NOAUTORUN
check "installing while the dialog is open fails with exit code 2" test $? -eq 2
check "and Sonarel still runs" sonarel_runs
uninstall /S
check "uninstalling then changes nothing" test -f "$instdir/Sonarel.exe" -a -f "$instdir/Uninstall.exe"
check "and Sonarel still runs too" sonarel_runs
timeout 10 wine taskkill /im SonarelSettings.exe >/dev/null 2>&1
wait_for not_running SonarelSettings.exe
check "and still performs a gesture" gesture_raises_level
xdotool key ctrl+F11
check "ending with exit code 0" sonarel_ended_with 0
uninstall /S
# A folder that cannot be written, and a Sonarel that runs from elsewhere.
portable_run=$WINEPREFIX/drive_c/portable-sonarel
rm -rf "$portable_run"; mkdir -p "$portable_run"
cp "$build/../release-x64/bin/"* "$portable_run/"
start_sonarel_of "$portable_run"
wait_for indicator_is hidden
mkdir -p "$(dirname "$instdir")"
echo "not a folder" > "$instdir"
run_setup /S
check "an install folder that cannot be written fails with exit code 2" test $? -eq 2
check "and leaves the running Sonarel alone" sonarel_runs
rm -f "$instdir"
run_setup /S /NOAUTORUN
check "an install that ends a Sonarel run from elsewhere succeeds" test $? -eq 0
check "and starts the installed one" wait_for running 'Programs.Sonarel.Sonarel\.exe'
end_sonarel
# A refusal after Sonarel was ended: Sonarel.exe held by another program.
start_sonarel_of "$portable_run"
portable_runs() { running 'drive_c/portable-sonarel/Sonarel\.exe' && indicator_is hidden; }
check "a Sonarel from elsewhere runs" wait_for portable_runs
wine "$build/tests/file_holder.exe" "$(winpath "$instdir/Sonarel.exe")" 6000 SonarelE2eHeld exclusive >/dev/null 2>&1 &
settle 1.5
run_setup /S /NOAUTORUN
check "an install that finds Sonarel.exe held after ending Sonarel fails with exit code 2" test $? -eq 2
check "the copy it ended ended with exit code 0" sonarel_ended_with 0
check "and is started again from where it ran" wait_for running 'C:.portable-sonarel.Sonarel\.exe'
check "so a Sonarel runs" wait_for indicator_is hidden
end_sonarel
wait_for not_running file_holder.exe
# An uninstall ends a Sonarel run from elsewhere too, but removes only its own.
start_sonarel_of "$portable_run"
wait_for indicator_is hidden
uninstall /S
check "an uninstall while a Sonarel from elsewhere runs removes the install" nothing_installed
check "and starts that Sonarel again" wait_for running 'C:.portable-sonarel.Sonarel\.exe'
end_sonarel
rm -rf "$portable_run"

echo "== An upgrade keeps the user's autorun choice"
run_setup /S
check "a first install makes the Startup shortcut" test -f "$startup/sonarel.lnk"
rm -f "$startup/sonarel.lnk"              # the box cleared in SonarelSettings
run_setup /S
check "an upgrade does not bring it back" test ! -e "$startup/sonarel.lnk"
run_setup /S /AUTORUN
check "/AUTORUN does" test -f "$startup/sonarel.lnk"
run_setup /S
check "and an upgrade keeps it" test -f "$startup/sonarel.lnk"
uninstall /S

echo "== The uninstaller works when Sonarel.exe is gone"
run_setup /S
rm -f "$instdir/Sonarel.exe"              # taken away by a virus scanner
uninstall /S
check "the rest of the install is removed" nothing_installed

echo "== The portable zip, in a folder with a space and non-ASCII letters"
portable="$WINEPREFIX/drive_c/Mes outils ä 音量"
rm -rf "$portable"
mkdir -p "$portable"
unzip -q "$dist/Sonarel-$version-x64.zip" -d "$portable"
check "the zip holds the programs, the guide, the logo and the read-me" \
  test -f "$portable/Sonarel/Sonarel.exe" -a -f "$portable/Sonarel/SonarelSettings.exe" \
  -a -f "$portable/Sonarel/QuickStartGuide.htm" -a -f "$portable/Sonarel/Sonarel128.png" -a -f "$portable/Sonarel/ReadMe.txt"
write_plain_settings 5 false
start_sonarel_of "$portable/Sonarel"
wait_for indicator_is hidden
check "Sonarel runs from there and performs a gesture" gesture_raises_level
xdotool key ctrl+F11
check "and ends with exit code 0" sonarel_ended_with 0
rm -rf "$portable"

summary installer
