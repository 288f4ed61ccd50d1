# Sourced: a private Wine prefix under build/, a virtual X display when none is
# set, Wine's virtual desktop (so full-screen popups map and take input), and a
# persistent wineserver so each Windows program starts quickly.
nimbre_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$nimbre_top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
nimbre_screen=1280x1024

nimbre_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then return 0; fi
  local n=${NIMBRE_DISPLAY_NUMBER:-77}
  export DISPLAY=:$n
  if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
    Xvfb "$DISPLAY" -screen 0 ${nimbre_screen}x24 -nolisten tcp >/dev/null 2>&1 &
    for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
  fi
}

nimbre_init_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.nimbre-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      # A crash prints its backtrace and ends the program instead of waiting
      # on a dialog nobody will answer.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d $nimbre_screen /f >/dev/null 2>&1
      wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveTimeOut /d 900 /f >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.nimbre-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

nimbre_start_wineserver() {
  # -p keeps the server up between programs; a running one just answers.
  wineserver -p >/dev/null 2>&1 || true
  # The first program of a server starts Wine's services and its desktop, and
  # they inherit that program's output: start them here, on nothing, so that
  # no test runner waits for a pipe they hold.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

nimbre_wine_ready() {
  nimbre_start_display
  nimbre_init_prefix
  nimbre_start_wineserver
}
