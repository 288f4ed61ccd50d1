# The gallery's own structure as a person meets it: the cursor on the side channel's bar opens
# the channel, leaving it closes it again, the pin keeps it open; a click on a tab changes the
# page and a click on the first tab brings the first page back.
source "$(dirname "$0")/harness.sh"
: "${NIMBRE_GALLERY:=$e2e_top/build/dist/SkinGallery.exe}"

# Where things are in the DeepBlue gallery, from its top-left corner: the bar's arrow, the area
# the open channel covers, the pin button, the tabs and a piece of the page.
bar=(5 157)
channel_area="130x150+12+80"
pin=(132 62)
pin_area="18x14+123+55" # inside its edge, which shows under the mouse
first_tab=(80 63)
second_tab=(175 63)
page_area="300x120+150+90"
away=(560 400)

x=0; y=0; w=0; h=0
e2e_spawn wine "$NIMBRE_GALLERY" --style DeepBlue >/dev/null 2>&1
e2e_pid=$e2e_spawned
# The window is found as soon as it exists; its place and size come once it is shown.
for _ in $(seq 60); do
  read -r _ x y w h _ <<<"$(e2e_window "Skin Gallery" 60)"
  : "${x:=0}" "${y:=0}" "${w:=0}"
  [ "$w" -gt 0 ] && break
  sleep 0.5
done
e2e_check "the gallery opens ($w x $h)" test "$w" -gt 0

# A digest of a part of the screen, given relative to the window.
area() { # WxH+X+Y
  local size=${1%%+*} rest=${1#*+}
  import -window root -crop "$size+$((x + ${rest%%+*}))+$((y + ${rest#*+}))" +repage rgb:- 2>/dev/null | md5sum
}
move() { xdotool mousemove $((x + $1)) $((y + $2)); }
# Waits (up to 10 s) until the area's digest is, or is not, the one given.
wait_area() { # is|not digest area
  for _ in $(seq 50); do
    local now
    now=$(area "$3")
    if [ "$1" = is ] && [ "$now" = "$2" ]; then return 0; fi
    if [ "$1" = not ] && [ "$now" != "$2" ]; then return 0; fi
    sleep 0.2
  done
  return 1
}

move "${away[@]}"; sleep 1
closed=$(area "$channel_area")
move "${bar[@]}"
e2e_check "the cursor on the bar opens the side channel" wait_area not "$closed" "$channel_area"
sleep 0.5
e2e_screenshot gallery-channel-open
move "${away[@]}"
e2e_check "leaving it closes it again" wait_area is "$closed" "$channel_area"

# Clicks the pin until its picture changes (a busy display may still place the cursor elsewhere
# when the first click comes).
click_pin() {
  local before
  move "${pin[@]}"; sleep 0.5
  # The pin lights up under the mouse: take its picture once that has settled, so that the
  # light coming late is not taken for the click.
  before=$(area "$pin_area")
  for _ in $(seq 20); do
    sleep 0.3
    local again
    again=$(area "$pin_area")
    [ "$again" = "$before" ] && break
    before=$again
  done
  for _ in 1 2 3; do
    xdotool click 1
    wait_area not "$before" "$pin_area" && return 0
  done
  return 1
}

move "${bar[@]}"
wait_area not "$closed" "$channel_area"
sleep 0.5
e2e_check "the pin goes down" click_pin
move "${away[@]}"; sleep 1.5
e2e_check "pinned, it stays open after the cursor has left" test "$(area "$channel_area")" != "$closed"
e2e_check "the pin comes up" click_pin
move "${away[@]}"
e2e_check "unpinned, it closes once the cursor has left" wait_area is "$closed" "$channel_area"

first=$(area "$page_area")
move "${second_tab[@]}"; xdotool click 1
e2e_check "a click on the second tab changes the page" wait_area not "$first" "$page_area"
e2e_screenshot gallery-second-tab
move "${first_tab[@]}"; xdotool click 1
e2e_check "a click on the first tab brings the first page back" wait_area is "$first" "$page_area"

e2e_end "$e2e_pid"; e2e_pid=""
e2e_finish
