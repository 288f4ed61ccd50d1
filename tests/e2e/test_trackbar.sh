# The track bars of the toolkit gallery with a real mouse: a slider dragged past either end
# stops there, a click on the bar puts the slider's centre at the mouse, and the progress bar
# each track bar drives shows the same value, read from the screen (the slider's window, the
# progress bar's caption and the pixels of its fill).
source "$(dirname "$0")/harness.sh"
: "${NIMBRE_GALLERY:=$e2e_top/build/dist/SkinGallery.exe}"

e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue >/dev/null 2>&1
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
    if ((d == "horizontal") == (r[3] > r[4])) { print; exit } }'
}

# Drags from the slider's centre to (x, y) in steps, and lets go there.
drag_slider_to() { # track-direction x y
  local sx sy sw sh
  read -r sx sy sw sh <<<"$(slider_in $track)"
  xdotool mousemove $((sx + sw / 2)) $((sy + sh / 2)); sleep 0.3
  xdotool mousedown 1; sleep 0.3
  local cx=$((sx + sw / 2)) cy=$((sy + sh / 2))
  for i in 1 2 3 4 5 6; do
    xdotool mousemove $((cx + ($2 - cx) * i / 6)) $((cy + ($3 - cy) * i / 6)); sleep 0.15
  done
  xdotool mouseup 1; sleep 0.6
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

  # Past the far end: the slider stops at the end, the bar is full.
  if [ $dir = horizontal ]; then drag_slider_to $dir $((tx + tw + 80)) $((ty + th / 2)); else drag_slider_to $dir $((tx + tw / 2)) $((ty + th + 80)); fi
  read -r sx sy sw sh <<<"$(slider_in $track)"
  if [ $dir = horizontal ]; then at=$((sx + sw - tx - tw)); else at=$((sy + sh - ty - th)); fi
  e2e_check "$dir: dragged past the end, the slider stops flush with it ($at)" test "$at" = 0
  IFS='|' read -r caption bar <<<"$(progress_bar $dir)"
  read -r px py pw ph <<<"$bar"
  e2e_check "$dir: the progress bar reads 100% ($caption)" test "$caption" = "100%"
  if [ $dir = horizontal ]; then p=$(e2e_pixel $((px + pw - 4)) $((py + 5))); else p=$(e2e_pixel $((px + 5)) $((py + 3))); fi
  e2e_check "$dir: the far end of the progress bar is filled ($p)" test -n "$p" -a "$p" != "$face"

  # Past the start: the slider stops at the start, the bar is empty.
  if [ $dir = horizontal ]; then drag_slider_to $dir $((tx - 80)) $((ty + th / 2)); else drag_slider_to $dir $((tx + tw / 2)) $((ty - 60)); fi
  read -r sx sy sw sh <<<"$(slider_in $track)"
  if [ $dir = horizontal ]; then at=$((sx - tx)); else at=$((sy - ty)); fi
  e2e_check "$dir: dragged past the start, the slider stops flush with it ($at)" test "$at" = 0
  IFS='|' read -r caption bar <<<"$(progress_bar $dir)"
  e2e_check "$dir: the progress bar reads 0% ($caption)" test "$caption" = "0%"
  if [ $dir = horizontal ]; then p=$(e2e_pixel $((px + 3)) $((py + 5))); else p=$(e2e_pixel $((px + 5)) $((py + ph - 4))); fi
  e2e_check "$dir: the start of the progress bar is empty ($p)" test "$p" = "$face"

  # A click three quarters along the bar: the slider's centre goes to the mouse.
  if [ $dir = horizontal ]; then
    along=$((tw * 3 / 4)); travel=$((tw - sw)); half=$((sw / 2))
    xdotool mousemove $((tx + along)) $((ty + th / 2)) click 1
  else
    along=$((th * 3 / 4)); travel=$((th - sh)); half=$((sh / 2))
    xdotool mousemove $((tx + tw / 2)) $((ty + along)) click 1
  fi
  sleep 0.8
  want=$(((along - half) * 100 / travel))
  read -r sx sy sw sh <<<"$(slider_in $track)"
  if [ $dir = horizontal ]; then at=$((sx - tx)); else at=$((sy - ty)); fi
  e2e_check "$dir: a click puts the slider at $((travel * want / 100)) ($at)" test "$at" = $((travel * want / 100))
  IFS='|' read -r caption bar <<<"$(progress_bar $dir)"
  e2e_check "$dir: the progress bar follows to $want% ($caption)" test "$caption" = "$want%"
  if [ $dir = horizontal ]; then
    f=$((want * (pw - 1) / 100))
    inside=$(e2e_pixel $((px + f - 2)) $((py + 5))); beyond=$(e2e_pixel $((px + f + 2)) $((py + 5)))
  else
    f=$((ph - 1 - want * (ph - 1) / 100))
    inside=$(e2e_pixel $((px + 5)) $((py + f + 2))); beyond=$(e2e_pixel $((px + 5)) $((py + f - 2)))
  fi
  e2e_check "$dir: the fill ends where the value says ($inside | $beyond)" test -n "$inside" -a "$inside" != "$face" -a "$beyond" = "$face"
done
xdotool mousemove 5 1000; sleep 0.5
e2e_screenshot trackbar
e2e_finish
