# Sourced by the test and run scripts: a private Wine prefix and HOME inside
# the build tree, a virtual X display (unless one is given), and a persistent
# wineserver, all torn down by wine_session_stop. With SONAREL_WINE_MONITORS
# set, a new prefix has no virtual desktop, so that Wine shows each monitor of
# the given display as its own.

wine_session_start() {
  local root=$1
  export SONAREL_WINE_ROOT=$root
  export WINEPREFIX=$root/prefix HOME=$root/home
  export WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
  mkdir -p "$HOME"

  if [ -z "${SONAREL_USE_DISPLAY:-}" ]; then
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$root/xvfb.log" 2>&1 &
    SONAREL_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
    timeout 120 wine wineboot --init >/dev/null 2>&1 || true
    timeout 60 wineserver -w || true
    # No window manager: unmanaged windows exit promptly. One virtual desktop
    # as large as the screen, so the mouse hook sees every event.
    timeout 30 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    if [ -z "${SONAREL_WINE_MONITORS:-}" ]; then
      timeout 30 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      timeout 30 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    fi
    timeout 60 wineserver -k || true
    timeout 60 wineserver -w || true
  fi
  wineserver -p 2>/dev/null || true
  # Start Wine's services now, detached from our output: a service started by
  # the first test would inherit ctest's pipes and keep it waiting forever.
  timeout 60 wine wineboot >/dev/null 2>&1 </dev/null || true
}

wine_session_stop() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k 2>/dev/null
  if [ -n "${SONAREL_XVFB_PID:-}" ]; then
    kill "$SONAREL_XVFB_PID" 2>/dev/null
    wait "$SONAREL_XVFB_PID" 2>/dev/null
  fi
  return 0
}
