# /S plays the demo movie full screen: the window covers the screen, the
# movie's pixels appear and change; a key, a left or right press or a mouse
# move of 31 pixels ends it with exit status 0; a move of exactly 30 on both
# axes, a middle click and a wheel turn do not. A "soundoff" of the wrong
# type is repaired by the run.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/player_input.sh"

movie="$(dirname "$NIMBRE_SCR")/nimbre.s"
e2e_check "the demo movie lies beside the program" test -f "$movie"
desktop_key='HKCU\Control Panel\Desktop'
saved_soundoff=$(e2e_reg "$desktop_key" soundoff)
e2e_reg_set "$desktop_key" soundoff REG_SZ 1

shots=$(mktemp -d "$e2e_top/build/e2e-player.XXXXXX")
screen=$(xdotool getwindowgeometry "$(player_desktop)" 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
: "${screen:=1280 1024}"

# --- one run: the picture, the registry, what does not close, then a key ---
player_start
read -r _ x y w h visible <<<"$player_window"
e2e_check "a visible window covers the screen ($player_window; screen $screen)" \
  test "${x:-x} ${y:-y} ${w:-w} ${h:-h} ${visible:-0}" = "0 0 $screen 1"
import -window root "$shots/a.png" 2>/dev/null
sleep 1
import -window root "$shots/b.png" 2>/dev/null
cp "$shots/b.png" "$NIMBRE_SCREENSHOTS/player.png"
colours=$(identify -format '%k' "$shots/a.png" 2>/dev/null)
e2e_check "the movie's pixels appear ($colours colours on screen)" test "${colours:-0}" -gt 8
changed=$(compare -metric AE "$shots/a.png" "$shots/b.png" null: 2>&1 | sed 's/ .*//')
e2e_check "the picture changes over time ($changed pixels in 1 s)" test "${changed%.*}" -gt 0 2>/dev/null
e2e_check "a REG_SZ soundoff is repaired to REG_DWORD 0 ($(e2e_reg "$desktop_key" soundoff))" \
  test "$(e2e_reg "$desktop_key" soundoff)" = "REG_DWORD 0x0"
player_move_by 30 30; sleep 0.6
e2e_check "a move of exactly 30 on both axes leaves it playing" player_running
xdotool click 2; sleep 0.6
e2e_check "a middle click leaves it playing" player_running
xdotool click 4; xdotool click 5; sleep 0.6
e2e_check "a wheel turn leaves it playing" player_running
xdotool key a
e2e_wait_exit 5; code=$e2e_code
e2e_check "a key press ends it with exit status 0 (got $code)" test "$code" = 0

# --- what ends it, one run each ---
ends_with() { # description command...
  local what=$1; shift
  player_start
  "$@"
  local code
  e2e_wait_exit 5; code=$e2e_code
  e2e_check "$what ends it with exit status 0 (got $code)" test "$code" = 0
}
ends_with "a left press" xdotool mousedown 1
xdotool mouseup 1
ends_with "a right press" xdotool mousedown 3
xdotool mouseup 3
ends_with "a move of 31 to the right" player_move_by 31 0
ends_with "a move of 31 upwards" player_move_by 0 -31

# Put the user's value back.
if [ -n "$saved_soundoff" ]; then
  read -r type data <<<"$saved_soundoff"
  wine reg add "$desktop_key" /v soundoff /t "$type" /d "$data" /f >/dev/null 2>&1
else
  wine reg delete "$desktop_key" /v soundoff /f >/dev/null 2>&1
fi
rm -rf "$shots"
e2e_finish
