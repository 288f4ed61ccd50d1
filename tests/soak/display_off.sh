#!/usr/bin/env bash
# The program's share of one processor while it plays the demo, then while
# the system has the display switched off (the monitor-power command, posted
# to its window as the system sends it), then with the display back on.
#   tests/soak/display_off.sh [SECONDS per phase, 30 by default]
soak_name=soak
source "$(dirname "$0")/common.sh"
seconds=${1:-30}
nimbre_wine_ready
scr=$(soak_install display-off "$(dirname "$NIMBRE_SCR")/nimbre.s")
wine "$scr" /S >/dev/null 2>&1 &
pid=$!
nimbre_on_exit 'kill "$pid" 2>/dev/null'
wine "$NIMBRE_WINWIN" find "Nimbre Screen" 30 >/dev/null 2>&1
sleep 5
ticks=$(getconf CLK_TCK)
share() { # label -> the share over the next $seconds seconds
  local c0 c1
  c0=$(soak_cpu "$pid")
  sleep "$seconds"
  c1=$(soak_cpu "$pid")
  awk -v l="$1" -v d=$((c1 - c0)) -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%s: %.1f %% of one processor\n", l, d * 100 / t / s }'
}
WM_SYSCOMMAND=274 SC_MONITORPOWER=61808
share "playing, display on"
wine "$NIMBRE_WINWIN" post "Nimbre Screen" $WM_SYSCOMMAND $SC_MONITORPOWER 2 >/dev/null 2>&1
share "display off"
wine "$NIMBRE_WINWIN" post "Nimbre Screen" $WM_SYSCOMMAND $SC_MONITORPOWER -1 >/dev/null 2>&1
share "display on again"
kill -0 "$pid" 2>/dev/null && echo "still playing" || { echo "FAIL: the program ended"; exit 1; }
