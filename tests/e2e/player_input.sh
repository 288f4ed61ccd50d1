# Sourced by the player's end-to-end tests: start /S, wait for the full-screen
# window, and drive the virtual display with xdotool.

# The X window of Wine's virtual desktop: keys and clicks go there.
player_desktop() { xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1; }

# Starts the program (with /S when no switch is given) and waits until its
# window is up and the movie has had time to start; the window's line
# ("hwnd x y w h visible") is left in player_window.
player_window=""
player_start() { # [switches...]
  xdotool mousemove 640 512 >/dev/null 2>&1
  if [ $# -eq 0 ]; then set -- /S; fi
  e2e_start "$@"
  player_window=$(e2e_window "Nimbre Screen" 20)
  player_focus
  sleep 0.8
  # Asked again: the first sight may come before the window is maximised.
  [ -n "$player_window" ] && player_window=$(e2e_window "Nimbre Screen" 2)
  return 0
}

# Gives the keyboard to Wine's desktop window.
player_focus() {
  local desk
  desk=$(player_desktop)
  [ -n "$desk" ] && xdotool windowfocus --sync "$desk" >/dev/null 2>&1
  return 0
}

# True while the program started last is still running.
player_running() { kill -0 "$e2e_pid" 2>/dev/null; }

# Moves the pointer by dx, dy from where it is, to an absolute place (relative
# moves of the X test extension are subject to pointer acceleration).
player_move_by() { # dx dy
  local x y
  eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=')"
  xdotool mousemove -- $((X + $1)) $((Y + $2))
}
