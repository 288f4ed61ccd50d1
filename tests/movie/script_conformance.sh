#!/usr/bin/env bash
# Runs every script conformance movie through `swfrender --trace` and fails
# when a movie named in script_passing.txt no longer prints what the original
# player printed. Movies that pass but are not listed yet are reported.
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
    echo "regressed: $name"
    fail=1
  fi
done < "$list"
for name in $(echo "$out" | awk '$1 == "pass" {sub("avm1-peer/", "", $2); print $2}'); do
  grep -qx "$name" "$list" || echo "passes, not yet held: $name"
done
exit $fail
