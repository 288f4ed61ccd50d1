# /S with no "nimbre.s" beside the program ends at once with exit status 0.
source "$(dirname "$0")/harness.sh"

lonely=$(mktemp -d "$e2e_top/build/e2e-nomovie.XXXXXX")
cp "$NIMBRE_SCR" "$lonely/"
NIMBRE_SCR="$lonely/$(basename "$NIMBRE_SCR")"
e2e_start /S
# Wine alone may take a few seconds to start a program on a busy machine; a saver that
# went on to play would still be running long after.
e2e_wait_exit 10; code=$e2e_code
e2e_check "/S without the movie exits 0 by itself (got $code)" test "$code" = 0
rm -rf "$lonely"
e2e_finish
