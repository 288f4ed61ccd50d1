#!/usr/bin/env bash
# Runs every script conformance movie through `swfrender --trace` and fails
# when a movie named in script_passing.txt no longer prints what the original
# player printed. Movies that pass but are not listed yet are reported.
# A held movie that fails in the full run is judged once more on its own:
# scripts run under a time budget per frame, and a machine busy with other
# work can cut a slow movie short. It fails the test only if it fails again.
set -euo pipefail
swfrender=$1
shared=$2
list=$3
out=$("$shared/tools/peer-pass-rate" "$swfrender" --avm1 --list)
echo "$out" | tail -n 1
fail=0
while read -r name; do
  [ -z "$name" ] && continue
  if ! echo "$out" | grep -q "^pass  avm1-peer/$name\b"; then
    if "$shared/tools/peer-pass-rate" "$swfrender" --avm1 --list \
        "$shared/avm1-peer/$name" | grep -q "^pass "; then
      echo "failed in the full run, passed on its own: $name"
    else
      echo "regressed: $name"
      fail=1
    fi
  fi
done < "$list"
for name in $(echo "$out" | awk '$1 == "pass" {sub("avm1-peer/", "", $2); print $2}'); do
  grep -qx "$name" "$list" || echo "passes, not yet held: $name"
done
exit $fail
