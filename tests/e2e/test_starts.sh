# Without an argument the program opens the settings ("Config") and exits 0
# once they close.
source "$(dirname "$0")/harness.sh"

e2e_start
window=$(e2e_window "Config" 20)
e2e_check "no argument opens the Config window ($window)" test -n "$window"
e2e_check "no full-screen player with no argument" test -z "$(e2e_window "Nimbre Screen" 1)"
e2e_screenshot starts
wine "$NIMBRE_WINWIN" close "Config" >/dev/null 2>&1
e2e_wait_exit 10; code=$e2e_code
e2e_check "the program exits 0 once the settings close (got $code)" test "$code" = 0
e2e_finish
