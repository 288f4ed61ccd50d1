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
run_ctest() { # build dir
  local log
  log=$(mktemp)
  ctest --test-dir "$1" --output-on-failure "${@:2}" 2>&1 | tee "$log"
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  elif ! grep -q 'No tests were found' "$log"; then
    failed=$((failed + 1))
  fi
  rm -f "$log"
}
run_ctest build/native
run_ctest build/win
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
