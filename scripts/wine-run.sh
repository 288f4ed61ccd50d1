#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's prefix and display and
# passes its exit code on. CTest uses it as the cross-compiling emulator.
set -u
source "$(dirname "$0")/wine-env.sh"
nimbre_wine_ready
exec wine "$@"
