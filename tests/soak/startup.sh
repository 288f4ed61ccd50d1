#!/usr/bin/env bash
# Start-up: the time from process start to the movie's first frame on screen
# (/S), and to a black full-screen window of a program that does nothing else
# (the floor), under the same Wine; RUNS of each in turn, with the medians
# and their difference.
#   tests/soak/startup.sh [RUNS, 10 by default]
soak_name=startup
NIMBRE_DISPLAY_NUMBER=${NIMBRE_DISPLAY_NUMBER:-93}
source "$(dirname "$0")/common.sh"
runs=${1:-10}
nimbre_wine_ready
scr=$(winepath -w "$(soak_install startup "$(dirname "$NIMBRE_SCR")/nimbre.s")" 2>/dev/null)
winwin=$(winepath -w "$NIMBRE_WINWIN" 2>/dev/null)
: >"$soak_out/startup.log"
for run in $(seq "$runs"); do
  for kind in floor saver; do
    if [ "$kind" = floor ]; then
      line=$(wine "$NIMBRE_WINWIN" startup black "$winwin" black 30 2>/dev/null | tr -d '\r')
    else
      line=$(wine "$NIMBRE_WINWIN" startup frame "$scr" /S 2>/dev/null | tr -d '\r')
    fi
    echo "$run $kind $line" | tee -a "$soak_out/startup.log"
    sleep 1
  done
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
floor=$(awk '$2 == "floor" { print $(NF-1) }' "$soak_out/startup.log" | median)
saver=$(awk '$2 == "saver" { print $(NF-1) }' "$soak_out/startup.log" | median)
echo "median to the first frame: $saver ms; to a black full-screen window: $floor ms; the program adds $(awk -v a="$saver" -v b="$floor" 'BEGIN { print a - b }') ms"
