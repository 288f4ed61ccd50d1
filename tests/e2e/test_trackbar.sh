# The track bars of the toolkit gallery, on its "Sliders and bars" tab, with a real mouse: a
# slider dragged past either end stops there, a click on the bar puts the slider's centre at
# the mouse, and the progress bar each track bar drives shows the same value, read from the
# screen (the slider's window, the progress bar's caption and the pixels of its fill).
source "$(dirname "$0")/harness.sh"
: "${NIMBRE_GALLERY:=$e2e_top/build/dist/SkinGallery.exe}"

e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue --page bars >/dev/null 2>&1
e2e_pid=$e2e_spawned
read -r gallery _ <<<"$(e2e_window "Skin Gallery" 30)"
e2e_check "the gallery opens" test -n "${gallery:-}"
sleep 1
xdotool mousemove 5 1000

children() { wine "$NIMBRE_WINWIN" children "$gallery" 2>/dev/null | tr -d '\r'; }
# "x y w h" of the child window with that title.
rect_of() { children | grep -m 1 "^$1|" | cut -d'|' -f2; }
# The slider: the one other window inside the track bar.
slider_in() { # x y w h
  children | awk -F'|' -v X="$1" -v Y="$2" -v W="$3" -v H="$4" '{
    split($2, r, " ")
    if (r[1] >= X && r[2] >= Y && r[1] + r[3] <= X + W && r[2] + r[4] <= Y + H && !(r[3] == W && r[4] == H)) {
      print $2; exit
    }
  }'
}
# The progress bar lying beside the track bar in that direction: "caption|x y w h".
progress_bar() { # horizontal|vertical
  children | awk -F'|' -v d="$1" '$1 ~ /^-?[0-9]+%$/ { split($2, r, " ");
    if ((d == "horizontal") == (r[3] > r[4])) { print $1 "|" $2; exit } }'
}

# Along the track bar in this direction: the screen point at distance $1 from its start, and
# the slider's distance from the start.
point_along() { if [ $dir = horizontal ]; then echo $((tx + $1)) $((ty + th / 2)); else echo $((tx + tw / 2)) $((ty + $1)); fi; }
slider_at() {
  local sx sy
  read -r sx sy _ <<<"$(slider_in $tx $ty $tw $th)"
  if [ $dir = horizontal ]; then echo $((sx - tx)); else echo $((sy - ty)); fi
}
# The pixel $1 pixels into the progress bar's fill from where it starts (the left or the foot).
fill_pixel() { if [ $dir = horizontal ]; then e2e_pixel $((px + 1 + $1)) $((py + 5)); else e2e_pixel $((px + 5)) $((py + ph - 2 - $1)); fi; }
# Waits for the progress bar beside the track bar to read $1, then for its paint.
caption="" px=0 py=0 pw=0 ph=0
settle() {
  local bar
  for _ in $(seq 20); do
    IFS='|' read -r caption bar <<<"$(progress_bar $dir)"
    [ "$caption" = "$1" ] && break
    sleep 0.25
  done
  read -r px py pw ph <<<"$bar"
  sleep 0.5
}

# Drags the slider by its centre to the point $1 along the track, in steps, and lets go.
drag_to() {
  local from=$(($(slider_at) + slider / 2)) i
  xdotool mousemove $(point_along $from); sleep 0.3
  xdotool mousedown 1; sleep 0.3
  for i in 1 2 3 4 5 6; do xdotool mousemove $(point_along $((from + ($1 - from) * i / 6))); sleep 0.15; done
  xdotool mouseup 1
}

# DeepBlue gives a track bar's face and a progress bar's unfilled part one colour (0xE8E8E8):
# read it, as the display reports it, off the horizontal track bar above its bar.
read -r tx ty tw th <<<"$(rect_of "Horizontal track bar")"
face=$(e2e_pixel $((${tx:-0} + ${tw:-0} - 2)) $((${ty:-0} + 1)))

for dir in horizontal vertical; do
  track=$(rect_of "${dir^} track bar")
  read -r tx ty tw th <<<"$track"
  e2e_check "the $dir track bar is on the form ($track)" test -n "$track"
  [ -n "$track" ] || continue
  read -r _ _ sw sh <<<"$(slider_in $tx $ty $tw $th)"
  if [ $dir = horizontal ]; then length=$tw slider=$sw; else length=$th slider=$sh; fi
  travel=$((length - slider))

  # Past the far end: the slider stops at the end, the bar is full.
  drag_to $((length + 80))
  settle 100%
  e2e_check "$dir: the progress bar reads 100% ($caption)" test "$caption" = "100%"
  at=$(slider_at)
  e2e_check "$dir: dragged past the end, the slider stops flush with it ($at of $travel)" test "$at" = "$travel"
  if [ $dir = horizontal ]; then fill=$((pw - 1)); else fill=$((ph - 1)); fi
  p=$(fill_pixel $((fill - 4)))
  e2e_check "$dir: the far end of the progress bar is filled ($p)" test -n "$p" -a "$p" != "$face"

  # Past the start: the slider stops at the start, the bar is empty.
  drag_to -80
  settle 0%
  e2e_check "$dir: the progress bar reads 0% ($caption)" test "$caption" = "0%"
  at=$(slider_at)
  e2e_check "$dir: dragged past the start, the slider stops flush with it ($at)" test "$at" = 0
  p=$(fill_pixel 2)
  e2e_check "$dir: the start of the progress bar is empty ($p)" test "$p" = "$face"

  # A click three quarters along the bar: the slider's centre goes to the mouse.
  along=$((length * 3 / 4))
  want=$(((along - slider / 2) * 100 / travel))
  xdotool mousemove $(point_along $along) click 1
  settle "$want%"
  e2e_check "$dir: a click makes it $want% ($caption)" test "$caption" = "$want%"
  at=$(slider_at)
  e2e_check "$dir: the slider goes to $((travel * want / 100)) ($at)" test "$at" = $((travel * want / 100))
  f=$((want * fill / 100))
  inside=$(fill_pixel $((f - 3))); beyond=$(fill_pixel $((f + 1)))
  e2e_check "$dir: the fill ends where the value says ($inside | $beyond)" test -n "$inside" -a "$inside" != "$face" -a "$beyond" = "$face"
done
xdotool mousemove 5 1000; sleep 0.5
e2e_screenshot trackbar
e2e_finish
