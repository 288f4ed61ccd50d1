#!/usr/bin/env bash
# Sets up, builds and starts the screen saver under Wine (/S when no switch is
# given). Without a display it plays in a virtual one, saves a screenshot to
# build/screenshots/run.png after a few seconds and ends the program. Either
# way, the virtual display and the prefix's wineserver that it started end
# with it.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
bash scripts/setup.sh
bash scripts/build.sh win
[ $# -gt 0 ] || set -- /S
had_display=${DISPLAY:-}
source scripts/wine-env.sh
nimbre_wine_ready
if [ -n "$had_display" ]; then
  nimbre_run_waiting wine build/dist/NimbreScreen.scr "$@"
  exit $?
fi
mkdir -p build/screenshots
wine build/dist/NimbreScreen.scr "$@" >/dev/null 2>&1 &
nimbre_waiting_pid=$!
sleep "${NIMBRE_RUN_SECONDS:-5}"
import -window root build/screenshots/run.png
echo "run.sh: screenshot saved to build/screenshots/run.png"
kill "$nimbre_waiting_pid" 2>/dev/null || true
wait "$nimbre_waiting_pid" 2>/dev/null || true
nimbre_waiting_pid=""
exit 0
