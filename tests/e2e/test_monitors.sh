# Every monitor: in a nested X server with two monitors side by side (1280 x
# 1024, and 1024 x 768 to its right) and Wine outside its virtual desktop
# (which would be one screen), /S covers both, each with the movie fitted to
# it; a mouse move of 31 pixels on the second monitor ends it with exit status
# 0, one of 20 on each axis does not, and so does a key. A small window
# manager runs in the display, as on a desk.
set -u
e2e_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export WINEPREFIX=$e2e_top/build/wineprefix-monitors
source "$e2e_top/scripts/wine-env.sh"
: "${NIMBRE_SCR:=$e2e_top/build/dist/NimbreScreen.scr}"
: "${NIMBRE_WINWIN:=$e2e_top/build/win/bin/winwin.exe}"
: "${NIMBRE_SCREENSHOTS:=$e2e_top/build/screenshots}"
mkdir -p "$NIMBRE_SCREENSHOTS"
failures=0
check() { # description command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}
for tool in Xephyr openbox; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done

# What this test starts it ends, by process id, whatever way it exits.
trap nimbre_run_exit_commands EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
started=()
nimbre_on_exit nimbre_wine_end
nimbre_on_exit 'for p in "${started[@]}"; do kill "$p" 2>/dev/null; done'

# The outer virtual display holds the nested server's two screens.
unset DISPLAY NIMBRE_DISPLAY_NUMBER
nimbre_screen=2400x1100
nimbre_start_display || exit 1
number_file=$(mktemp)
Xephyr -displayfd 3 -screen 1280x1024 -screen 1024x768 +xinerama -extension RANDR -nolisten tcp \
  3>"$number_file" >/dev/null 2>&1 &
started+=($!)
for _ in $(seq 100); do grep -q . "$number_file" && break; sleep 0.1; done
export DISPLAY=:$(tr -dc 0-9 <"$number_file")
rm -f "$number_file"
openbox --sm-disable >/dev/null 2>&1 &
started+=($!)

# A prefix of its own: no virtual desktop.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.nimbre-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.nimbre-ready"
  fi
) 9>"$WINEPREFIX.lock"
nimbre_start_wineserver

dir=$(mktemp -d "$e2e_top/build/e2e-monitors.XXXXXX")
nimbre_on_exit "rm -rf '$dir'"
cp "$NIMBRE_SCR" "$dir/NimbreScreen.scr"
cp "$(dirname "$NIMBRE_SCR")/nimbre.s" "$dir/nimbre.s"

monitors=$(wine "$NIMBRE_WINWIN" monitors 2>/dev/null | tr -d '\r' | sort | tr '\n' ';')
check "Wine sees two monitors ($monitors)" test "$monitors" = "0 0 1280 1024 1;1280 0 1024 768 0;"

pid=""
start() {
  xdotool mousemove 1700 300
  wine "$dir/NimbreScreen.scr" /S >/dev/null 2>&1 &
  pid=$!
  started+=("$pid")
  windows=""
  for _ in $(seq 40); do
    windows=$(wine "$NIMBRE_WINWIN" list "Nimbre Screen" 2>/dev/null | tr -d '\r' | cut -d' ' -f2- | sort | tr '\n' ';')
    [ "$windows" = "0 0 1280 1024 1;1280 0 1024 768 1;" ] && break
    sleep 0.5
  done
  sleep 1.5
}
ends() { # description
  local code=timeout
  for _ in $(seq 50); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; code=$?; break; fi
    sleep 0.1
  done
  check "$1 ends it with exit status 0 (got $code)" test "$code" = 0
}

start
check "a window covers each monitor ($windows)" test "$windows" = "0 0 1280 1024 1;1280 0 1024 768 1;"
shot="$NIMBRE_SCREENSHOTS/monitors.png"
import -window root "$shot" 2>/dev/null
for area in 1280x1024+0+0 1024x768+1280+0; do
  colours=$(convert "$shot" -crop "$area" +repage -format '%k' info: 2>/dev/null)
  check "the movie shows on the monitor at $area ($colours colours)" test "${colours:-0}" -gt 8
done
# Fitted to each: the 16:9 stage spans the width of both, so its top edge lies
# lower on the taller screen.
band() { # x y0 -> first row from y0 down whose pixel differs from the one at y0
  convert "$shot" -crop "1x$((1024 - $2))+$1+$2" +repage txt:- 2>/dev/null |
    awk -F'[ :,]+' 'NR == 2 { first = $0; sub(/^[^ ]* /, "", first) } NR > 2 { line = $0; sub(/^[^ ]* /, "", line); if (line != first) { print $2 + 0; exit } }'
}
left=$(band 640 0) right=$(band 1792 0)
check "each monitor letterboxes on its own (stage tops at $left and $right; 152 and 96 fitted)" \
  test "${left:-0}" -ge 140 -a "${left:-0}" -le 164 -a "${right:-0}" -ge 84 -a "${right:-0}" -le 108
xdotool mousemove 1720 320
sleep 1
check "a move of 20 on both axes on the second monitor leaves it playing" kill -0 "$pid"
xdotool mousemove 1731 320
ends "a move of 31 on the second monitor"

start
xdotool key a
ends "a key"

[ "$failures" -eq 0 ] && echo "all checks passed" || { echo "$failures check(s) failed"; exit 1; }
