# Sourced by the end-to-end tests: start the real .scr under Wine in the
# virtual display, find its windows from the Windows side, drive it with
# xdotool, read the registry and check the exit code.
set -u
e2e_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$e2e_top/scripts/wine-env.sh"
nimbre_wine_ready
: "${NIMBRE_SCR:=$e2e_top/build/dist/NimbreScreen.scr}"
: "${NIMBRE_WINWIN:=$e2e_top/build/win/bin/winwin.exe}"
: "${NIMBRE_SCREENSHOTS:=$e2e_top/build/screenshots}"
mkdir -p "$NIMBRE_SCREENSHOTS"
e2e_pid=""
e2e_failures=0

e2e_fail() { echo "FAIL: $*" >&2; e2e_failures=$((e2e_failures + 1)); }
e2e_check() { # description command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else e2e_fail "$what"; fi
}

# Every program a test starts is ended by the process id recorded when it
# started, never by name: other runs on the machine may run the same program.
# Once a program has been waited for, its id is forgotten: the system may
# give it to another process.
e2e_started=()
e2e_forget() { # pid
  local kept=() pid
  for pid in "${e2e_started[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  e2e_started=("${kept[@]}")
}
e2e_end() { # pid: asks the program to end, then makes it
  if kill -0 "$1" 2>/dev/null; then
    kill "$1" 2>/dev/null
    for _ in $(seq 30); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null
  fi
  wait "$1" 2>/dev/null
  e2e_forget "$1"
  return 0
}
e2e_end_all() {
  local pid
  for pid in "${e2e_started[@]}"; do e2e_end "$pid"; done
}
nimbre_on_exit e2e_end_all

e2e_spawned=""
e2e_spawn() { # command... ; starts it in the background, sets e2e_spawned to its pid
  "$@" &
  e2e_spawned=$!
  e2e_started+=("$e2e_spawned")
}

e2e_start() { # switches... ; starts the program in the background
  e2e_spawn wine "$NIMBRE_SCR" "$@" >/dev/null 2>&1
  e2e_pid=$e2e_spawned
}

e2e_code=""
e2e_wait_exit() { # seconds -> sets e2e_code to the exit code, or "timeout" (and kills the program)
  local limit=$1
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$e2e_pid" 2>/dev/null; then
      wait "$e2e_pid"; e2e_code=$?; e2e_forget "$e2e_pid"; e2e_pid=""; return 0
    fi
    sleep 0.1
  done
  e2e_kill; e2e_code=timeout
}

e2e_kill() {
  [ -n "$e2e_pid" ] && e2e_end "$e2e_pid"
  e2e_pid=""
  sleep 0.3
}

e2e_window() { # title [seconds] -> "hwnd x y w h visible"
  wine "$NIMBRE_WINWIN" find "$1" "${2:-10}" 2>/dev/null | tr -d '\r'
}

e2e_gone() { wine "$NIMBRE_WINWIN" gone "$1" "${2:-10}" >/dev/null 2>&1; }

e2e_screenshot() { # name -> file under build/screenshots
  import -window root "$NIMBRE_SCREENSHOTS/$1.png" 2>/dev/null
}

e2e_pixel() { # x y -> "r,g,b" of the display
  import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

# Reads a value; a query that says nothing at all (not even that the value is missing) is
# asked again, as a busy machine now and then loses one.
e2e_reg() { # key value -> "TYPE DATA" or empty
  local out
  for _ in 1 2 3; do
    out=$(wine reg query "$1" /v "$2" 2>&1 | tr -d '\r')
    [ -n "$out" ] && break
    sleep 0.5
  done
  awk -v v="$2" '$1 == v { t = $2; $1 = ""; $2 = ""; sub(/^ +/, ""); print t, $0 }' <<<"$out"
}

# Sets a value and reads it back, setting it again should a busy machine
# have lost the write; fails with a note when it never lands.
e2e_reg_set() { # key value type data
  for _ in 1 2 3; do
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
    [ "$(e2e_reg "$1" "$2")" = "$3 $4" ] && return 0
    sleep 0.5
  done
  echo "note: $2 = $3 $4 did not reach the registry"
  return 1
}

e2e_finish() {
  e2e_kill
  if [ "$e2e_failures" -gt 0 ]; then echo "$e2e_failures check(s) failed"; exit 1; fi
  echo "all checks passed"
}
