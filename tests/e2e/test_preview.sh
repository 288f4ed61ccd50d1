# The preview (/p HWND) inside a real host window: it sits at the top-left of
# the host's client area, "Config...." opens the settings dialog on top (each
# press a new one, storing when closed), and the program ends with exit
# status 0 when the window it sits in goes away.
source "$(dirname "$0")/harness.sh"

host_pid=""
e2e_kill() {
  [ -n "$e2e_pid" ] && e2e_end "$e2e_pid"
  [ -n "$host_pid" ] && e2e_end "$host_pid"
  e2e_pid="" host_pid=""
  sleep 0.3
}

key='HKCU\Control Panel\Desktop'
saved_timeout=$(e2e_reg "$key" ScreenSaveTimeOut)
e2e_reg_set "$key" ScreenSaveTimeOut REG_SZ 420

# A host window that the test closes once every step below is done; should the test never
# get there, the host goes by itself after a while.
host_seconds=120
host_out=$(mktemp "$e2e_top/build/e2e-preview-host.XXXXXX")
e2e_spawn wine "$NIMBRE_WINWIN" host "Preview Host" "$host_seconds" >"$host_out" 2>/dev/null
host_pid=$e2e_spawned
for _ in $(seq 100); do [ -s "$host_out" ] && break; sleep 0.1; done
read -r host hx hy hw hh _ < <(tr -d '\r' <"$host_out")
e2e_check "the host window is up ($host $hx $hy $hw $hh)" test -n "${host:-}"

e2e_start /p "$host"
# The preview is a child of the host, so it is found among the host's children.
preview=""
for _ in $(seq 40); do
  preview=$(wine "$NIMBRE_WINWIN" children "$host" 2>/dev/null | tr -d '\r' | grep '^Nimbre Screen Saver|' | head -n 1)
  [ -n "$preview" ] && break
  sleep 0.25
done
read -r px py pw ph <<<"$(cut -d"|" -f2 <<<"$preview")"
e2e_check "the preview is a child window of the host ($preview)" test -n "$preview"
e2e_check "the preview is 160 x 114 ($pw x $ph)" test "${pw:-0} ${ph:-0}" = "160 114"
# At the top-left of the host's client area: inside the host's frame, right
# below its caption.
e2e_check "the preview sits at the host's client origin ($px,$py in $hx,$hy $hw x $hh)" \
  test "${px:-0}" -gt "${hx:-0}" -a "$((px - hx))" -lt 12 -a "${py:-0}" -gt "${hy:-0}" -a "$((py - hy))" -lt 40
# Wine does not show the drawing of a child window whose parent belongs to
# another process (the in-process tests check the preview's pixels inside a
# host window); the picture here shows the host with the preview in it.
sleep 1
import -window root -crop "$((hw + 40))x$((hh + 40))+$((hx - 20))+$((hy - 20))" +repage "$NIMBRE_SCREENSHOTS/preview-host.png" 2>/dev/null

desk=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1)
[ -n "$desk" ] && xdotool windowfocus --sync "$desk" >/dev/null 2>&1

# "Config....": at (0, 11) of the middle panel, which starts at (56, 23) of the frame.
press_config() {
  xdotool mousemove $((px + 1 + 56 + 44)) $((py + 23 + 11 + 11)) click 1
  dialog=$(e2e_window "Config" 10)
  read -r _ dx dy _ _ _ <<<"$dialog"
  for _ in $(seq 40); do
    [ "$(e2e_pixel "${dx:-0}" $((${dy:-0} + 60)))" = "0,0,0" ] && break
    sleep 0.25
  done
  sleep 0.5
}

press_config
e2e_check "Config.... opens the settings dialog ($dialog)" test -n "$dialog"
shown=$(import -window root -crop "279x137+${dx:-0}+${dy:-0}" +repage txt:- 2>/dev/null | grep -c '#000000')
e2e_check "the dialog is drawn on top, its black border showing ($shown black pixels)" test "$shown" -gt 300
import -window root "$NIMBRE_SCREENSHOTS/preview-config.png" 2>/dev/null
# "Quit" stores the minutes read (420 seconds: 7).
e2e_reg_set "$key" ScreenSaveTimeOut REG_SZ 999
xdotool mousemove $((dx + 1 + 177 + 40)) $((dy + 95 + 4 + 13)) click 1
e2e_check "Quit closes the dialog" e2e_gone "Config" 5
e2e_check "the dialog stored the minutes it showed ($(e2e_reg "$key" ScreenSaveTimeOut))" \
  test "$(e2e_reg "$key" ScreenSaveTimeOut)" = "REG_SZ 420"
e2e_check "the preview runs on after the dialog closes" kill -0 "$e2e_pid"

# A second press: a new dialog that reads the settings afresh (999 s: 17 min).
e2e_reg_set "$key" ScreenSaveTimeOut REG_SZ 999
press_config
e2e_check "a second press opens a dialog again ($dialog)" test -n "$dialog"
xdotool key alt+F4
e2e_check "Alt+F4 closes it" e2e_gone "Config" 5
e2e_check "the second dialog read afresh and stored 17 minutes ($(e2e_reg "$key" ScreenSaveTimeOut))" \
  test "$(e2e_reg "$key" ScreenSaveTimeOut)" = "REG_SZ 1020"

# When the host window goes, the preview closes and the program ends.
e2e_check "the host window closes" wine "$NIMBRE_WINWIN" close "Preview Host"
e2e_wait_exit 15
e2e_check "the program ends with exit status 0 when its host goes (got $e2e_code)" test "$e2e_code" = 0
wait "$host_pid" 2>/dev/null
host_pid=""
rm -f "$host_out"

[ -n "$saved_timeout" ] && wine reg add "$key" /v ScreenSaveTimeOut /t "${saved_timeout%% *}" /d "${saved_timeout#* }" /f >/dev/null 2>&1
e2e_finish
