# /S plays a movie its own scripts drive: forty copies a script makes from
# one placed clip and moves every frame (the timeline alone moves nothing),
# so the picture changes only while the script machine runs; a key ends it.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/player_input.sh"

home=$(mktemp -d "$e2e_top/build/e2e-script.XXXXXX")
cp "$NIMBRE_SCR" "$home/"
python3 "$e2e_top/tests/soak/make_script_movie.py" "$home/nimbre.s"
NIMBRE_SCR="$home/$(basename "$NIMBRE_SCR")"

player_start
e2e_check "a window is up (${player_window:-none})" test -n "$player_window"
import -window root "$home/a.png" 2>/dev/null
sleep 1
import -window root "$home/b.png" 2>/dev/null
cp "$home/b.png" "$NIMBRE_SCREENSHOTS/script_movie.png"
changed=$(compare -metric AE "$home/a.png" "$home/b.png" null: 2>&1 | sed 's/ .*//')
e2e_check "the scripted copies move ($changed pixels changed in 1 s)" test "${changed%.*}" -gt 2000 2>/dev/null
e2e_check "it plays on" player_running
xdotool key a
e2e_wait_exit 5; code=$e2e_code
e2e_check "a key press ends it with exit status 0 (got $code)" test "$code" = 0
rm -rf "$home"
e2e_finish
