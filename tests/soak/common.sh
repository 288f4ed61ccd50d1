# Sourced by the soak scripts: a Wine prefix and a display of their own (so
# that the tests and other runs on the machine are not disturbed), copies of
# the program beside the movies they play, and figures of a running program.
set -u
soak_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${soak_name:=soak}"
export WINEPREFIX=${WINEPREFIX:-$soak_top/build/wineprefix-$soak_name}
export NIMBRE_DISPLAY_NUMBER=${NIMBRE_DISPLAY_NUMBER:-91}
unset DISPLAY
source "$soak_top/scripts/wine-env.sh"
: "${NIMBRE_SCR:=$soak_top/build/dist/NimbreScreen.scr}"
: "${NIMBRE_WINWIN:=$soak_top/build/win/bin/winwin.exe}"
soak_out=${SOAK_OUT:-$soak_top/build/soak}
mkdir -p "$soak_out"

# A folder with a copy of the program and MOVIE as its nimbre.s (so that a
# rebuild meanwhile changes nothing); prints the program's path.
soak_install() { # name movie
  local dir="$soak_out/$1"
  mkdir -p "$dir"
  cp "$NIMBRE_SCR" "$dir/NimbreScreen.scr"
  cp "$2" "$dir/nimbre.s"
  echo "$dir/NimbreScreen.scr"
}

# Resident memory of a process in KiB.
soak_rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
# Open files of a process.
soak_fds() { ls "/proc/$1/fd" 2>/dev/null | wc -l; }
# CPU time of a process so far, in clock ticks.
soak_cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }
