#!/usr/bin/env bash
# Sets up everything, builds both configurations and runs every test:
# the movie engine natively under sanitizers, the Windows code under Wine,
# and the end-to-end tests of the real .scr.
set -uo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
bash scripts/setup.sh || exit 1
bash scripts/build.sh native || exit 1
bash scripts/build.sh win || exit 1
# The display and the wineserver started here end when this script does.
source scripts/wine-env.sh
nimbre_wine_ready || exit 1

passed=0; failed=0
count_ctest() { # log of a ctest run
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -n "$line" ]; then
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  elif ! grep -q 'No tests were found' "$1"; then
    failed=$((failed + 1))
  fi
}

# The native tests (a minute of it fuzzing on one core) run beside the Windows
# ones, which mostly wait on Wine and the display. Each runs in a process
# group of its own that is ended as a whole should this script end early.
native_log=$(mktemp); win_log=$(mktemp)
nimbre_on_exit 'rm -f "$native_log" "$win_log"'
native_pid="" win_pid=""
nimbre_on_exit 'for p in $native_pid $win_pid; do kill -- "-$p" 2>/dev/null; done'
# Native programs lay text with all of the machine's faces, not the set the
# Windows programs are given.
setsid env -u FONTCONFIG_FILE ctest --test-dir build/native --output-on-failure >"$native_log" 2>&1 &
native_pid=$!
setsid bash -c 'ctest --test-dir build/win --output-on-failure 2>&1 | tee "$1"' _ "$win_log" &
win_pid=$!
wait "$win_pid"
win_pid=""
wait "$native_pid"
native_pid=""
echo
cat "$native_log"
count_ctest "$native_log"
count_ctest "$win_log"
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
