# The program starts with no argument, opens its window and exits 0 when closed.
source "$(dirname "$0")/harness.sh"

e2e_start
window=$(e2e_window "Nimbre Screen" 20)
e2e_check "a window titled Nimbre Screen appears" test -n "$window"
e2e_screenshot starts
wine "$NIMBRE_WINWIN" close "Nimbre Screen" >/dev/null 2>&1
e2e_wait_exit 10
e2e_check "the program exits 0 when its window closes (got $e2e_code)" test "$e2e_code" = 0
e2e_finish
