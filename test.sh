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
source scripts/wine-env.sh
nimbre_wine_ready

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
# ones, which mostly wait on Wine and the display.
native_log=$(mktemp); win_log=$(mktemp)
trap 'rm -f "$native_log" "$win_log"' EXIT
ctest --test-dir build/native --output-on-failure >"$native_log" 2>&1 &
native_pid=$!
ctest --test-dir build/win --output-on-failure 2>&1 | tee "$win_log"
wait "$native_pid"
echo
cat "$native_log"
count_ctest "$native_log"
count_ctest "$win_log"
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
