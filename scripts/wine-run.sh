#!/usr/bin/env bash
# Runs one Windows program under Wine in the project's prefix and display and
# passes its exit code on. CTest uses it as the cross-compiling emulator.
# Started on its own, it ends the display and the wineserver it started when
# the program ends.
set -u
source "$(dirname "$0")/wine-env.sh"
nimbre_wine_ready || exit 1
nimbre_run_waiting wine "$@"
