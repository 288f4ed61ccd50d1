# The toolkit gallery as a person meets it: its pictures of the five styles come out the same
# on every run; the window on the screen looks like the picture of the style it shows; the
# skinned menu, worked with the mouse (lists opening along the bar) and with the keyboard (Alt,
# F10, arrows, Enter, Escape, access keys), switches the style of the whole form; Exit ends the
# program with status 0.
source "$(dirname "$0")/harness.sh"
: "${NIMBRE_GALLERY:=$e2e_top/build/dist/SkinGallery.exe}"

work=$(mktemp -d "$e2e_top/build/e2e-gallery.XXXXXX")
nimbre_on_exit "rm -rf '$work'"
styles="macos winxp deepblue protein blueglass"

# --- the pictures: one per style, the same bytes on a second run ---
for run in a b; do
  mkdir -p "$work/$run"
  # A run that hangs is ended after two minutes, so the check fails and the display is cleaned up.
  e2e_spawn wine "$NIMBRE_GALLERY" --screenshots "Z:${work//\//\\}\\$run" >/dev/null 2>&1
  e2e_pid=$e2e_spawned
  e2e_wait_exit 120
  e2e_check "--screenshots ($run) exits 0 (ended with $e2e_code)" test "$e2e_code" = 0
done
for style in $styles; do
  e2e_check "gallery-$style.png is written" test -s "$work/a/gallery-$style.png"
  e2e_check "gallery-$style.png is the same on a second run" cmp -s "$work/a/gallery-$style.png" "$work/b/gallery-$style.png"
done
wine "$NIMBRE_GALLERY" --style Plaid >/dev/null 2>&1
e2e_check "an unknown style is refused with status 2" test $? = 2

# --- the window against the pictures ---
x=0; y=0; w=0; h=0
find_gallery() {
  read -r _ x y w h _ <<<"$(e2e_window "Skin Gallery" 20)"
  : "${x:=0}" "${y:=0}" "${w:=0}" "${h:=0}"
}
# The pixels of the window that differ from the style's picture (the focus mark of the focused
# control is expected to differ), or why they cannot be compared.
differs_from() { # style
  find_gallery
  import -window root -crop "${w}x${h}+$x+$y" +repage "$work/screen.png" 2>/dev/null
  local size
  size=$(identify -format '%wx%h' "$work/a/gallery-$1.png")
  [ "$size" = "${w}x${h}" ] || { echo "the window is ${w}x${h}, the picture $size"; return; }
  compare -metric AE "$work/screen.png" "$work/a/gallery-$1.png" null: 2>&1 | sed 's/ .*//'
}
small() { [[ "$1" =~ ^[0-9]+$ ]] && [ "$1" -lt $((w * 2)) ]; }
# Waits up to 15 seconds for the window to look like the style's picture (a busy machine
# repaints slowly).
looks_like() { # style
  local d
  xdotool mousemove 5 1000
  for _ in $(seq 30); do
    sleep 0.5
    d=$(differs_from "$1")
    small "$d" && break
  done
  cp "$work/screen.png" "$NIMBRE_SCREENSHOTS/gallery-$1.png"
  e2e_check "the window looks like gallery-$1.png ($d pixels differ)" small "$d"
}
# Opens the Style menu and waits until its list shows below the bar.
click_style_menu() {
  local px=$((x + 30)) py=$((y + bar_y + 30)) before
  before=$(e2e_pixel "$px" "$py")
  xdotool mousemove $((x + style_x)) $((y + bar_y)) click 1
  for _ in $(seq 40); do [ "$(e2e_pixel "$px" "$py")" != "$before" ] && break; sleep 0.2; done
  sleep 0.3
}

e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue >/dev/null 2>&1
e2e_pid=$e2e_spawned
find_gallery
e2e_check "the gallery opens ($w x $h)" test "$w" -gt 0
looks_like deepblue

# --- the mouse: DeepBlue's title bar is 32 pixels tall, its menu bar 22, its items 21 ---
bar_y=43 bar_bottom=54
style_x=20 items_x=75
list_pixel() { e2e_pixel $((x + 200)) $((y + bar_bottom + 50)); } # in the Items list, beside the Style list
click_style_menu
# Waits up to 5 seconds for the pixel to be (or, with !, not to be) the colour given.
list_shows() { # [!] colour
  local not=""; [ "$1" = "!" ] && { not=1; shift; }
  for _ in $(seq 25); do
    if [ -n "$not" ]; then [ "$(list_pixel)" != "$1" ] && return 0; else [ "$(list_pixel)" = "$1" ] && return 0; fi
    sleep 0.2
  done
  return 1
}
closed=$(list_pixel)
xdotool mousemove $((x + items_x)) $((y + bar_y))
e2e_check "moving along the bar opens the next button's list" list_shows ! "$closed"
xdotool mousemove $((x + style_x)) $((y + bar_y))
e2e_check "and moving back closes it again" list_shows "$closed"
# Protein is the fourth item of the Style list.
xdotool mousemove $((x + style_x + 10)) $((y + bar_bottom + 3 + 3 * 21 + 10)); sleep 0.5
xdotool click 1
looks_like protein

# --- the keyboard ---
xdotool key alt; sleep 0.5; xdotool key Down Down Return
looks_like winxp
xdotool key F10; sleep 0.5; xdotool key Escape; sleep 0.5
xdotool key alt+s; sleep 0.5; xdotool key b
looks_like blueglass
xdotool key alt; sleep 0.5; xdotool key Right Right Left Escape
looks_like blueglass

xdotool key alt+s; sleep 0.5; xdotool key x
e2e_wait_exit 10
e2e_check "Style, Exit ends the program with status 0 (got $e2e_code)" test "$e2e_code" = 0
e2e_finish
