# Sourced: a private Wine prefix under build/, a virtual X display when none is
# set, Wine's virtual desktop (so full-screen popups map and take input), and a
# persistent wineserver so each Windows program starts quickly.
#
# The first script of a run that calls nimbre_wine_ready owns what it starts:
# when it exits (passing, failing or interrupted) it ends the prefix's own
# wineserver, and with it every program of the prefix, and the X server it
# started, by that server's process id. Scripts it runs share them and end
# nothing but the programs they started themselves. Nothing is ever ended by
# name, so other checkouts and other runs on the machine are left alone.
nimbre_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$nimbre_top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# Windows programs see a fixed set of the machine's faces (see the file).
export FONTCONFIG_FILE=$nimbre_top/scripts/wine-fonts.conf
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
nimbre_screen=1280x1024
nimbre_xvfb_pid=""
nimbre_exit_commands=()

# Runs a command when the script exits, after those registered before it.
nimbre_on_exit() { nimbre_exit_commands+=("$*"); }

nimbre_run_exit_commands() {
  local c
  for c in "${nimbre_exit_commands[@]}"; do eval "$c" || true; done
  nimbre_exit_commands=()
}
nimbre_on_exit 'if [ -n "$nimbre_waiting_pid" ]; then kill "$nimbre_waiting_pid" 2>/dev/null; fi'

nimbre_display_up() { xdpyinfo -display "$1" >/dev/null 2>&1; }

# Uses $DISPLAY when it answers. Otherwise starts Xvfb: on display number
# NIMBRE_DISPLAY_NUMBER when that is set (and used as it is when something
# already answers there), else on a free number that the X server picks itself,
# so two runs side by side never share a display.
nimbre_start_display() {
  if [ -n "${DISPLAY:-}" ] && nimbre_display_up "$DISPLAY"; then return 0; fi
  local args=(-screen 0 "${nimbre_screen}x24" -nolisten tcp)
  if [ -n "${NIMBRE_DISPLAY_NUMBER:-}" ]; then
    export DISPLAY=:$NIMBRE_DISPLAY_NUMBER
    nimbre_display_up "$DISPLAY" && return 0
    Xvfb "$DISPLAY" "${args[@]}" >/dev/null 2>&1 &
    nimbre_xvfb_pid=$!
    for _ in $(seq 50); do nimbre_display_up "$DISPLAY" && return 0; sleep 0.1; done
  else
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 "${args[@]}" 3>"$number_file" >/dev/null 2>&1 &
    nimbre_xvfb_pid=$!
    # The server writes its number once it takes connections.
    for _ in $(seq 100); do grep -q . "$number_file" && break; sleep 0.1; done
    local number
    number=$(tr -dc 0-9 <"$number_file")
    rm -f "$number_file"
    if [ -n "$number" ]; then
      export DISPLAY=:$number
      return 0
    fi
  fi
  echo "wine-env: the virtual X display did not start" >&2
  return 1
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

# Ends what this run started: the prefix's wineserver (and every program of
# the prefix with it) and the X server, if this run started one.
nimbre_wine_end() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$nimbre_xvfb_pid" ]; then
    kill "$nimbre_xvfb_pid" 2>/dev/null
    wait "$nimbre_xvfb_pid" 2>/dev/null
    nimbre_xvfb_pid=""
  fi
}

nimbre_wine_ready() {
  trap nimbre_run_exit_commands EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  if [ -z "${NIMBRE_WINE_OWNER:-}" ]; then
    export NIMBRE_WINE_OWNER=$$
    nimbre_on_exit nimbre_wine_end
  fi
  nimbre_start_display && nimbre_init_prefix && nimbre_start_wineserver
}

# Runs a program in the background and waits for it, so that a signal to the
# script is handled at once and ends the program too; passes its exit code on.
nimbre_waiting_pid=""
nimbre_run_waiting() {
  "$@" &
  nimbre_waiting_pid=$!
  local code=0
  wait "$nimbre_waiting_pid" || code=$?
  nimbre_waiting_pid=""
  return "$code"
}
