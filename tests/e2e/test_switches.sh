# Every switch of the command line opens the window of its mode: the
# full-screen player, the settings (Config) or the preview inside the window
# whose handle follows /p.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/player_input.sh"

opens_player() { # arguments...
  player_start "$@"
  e2e_check "'$*' opens the full-screen player ($player_window)" test -n "$player_window"
  xdotool key q
  local code
  e2e_wait_exit 5; code=$e2e_code
  e2e_check "'$*' exits 0 (got $code)" test "$code" = 0
}
opens_config() { # arguments...
  e2e_start "$@"
  local window
  window=$(e2e_window "Config" 20)
  e2e_check "'$*' opens the settings" test -n "$window"
  e2e_check "'$*' opens no player" test -z "$(e2e_window "Nimbre Screen" 1)"
  wine "$NIMBRE_WINWIN" close "Config" >/dev/null 2>&1
  local code
  e2e_wait_exit 5; code=$e2e_code
  e2e_check "'$*' exits 0 once the settings close (got $code)" test "$code" = 0
}

for s in /s -s s /screen --c /p /p:1234 A; do opens_player "$s"; done
opens_player /p abc
opens_config /c
opens_config /c:1234

# /p with the handle of a real window: the preview sits inside it at (0, 0).
host_out=$(mktemp)
e2e_spawn wine "$NIMBRE_WINWIN" host "Nimbre Test Host" 30 >"$host_out" 2>/dev/null
host_pid=$e2e_spawned
for _ in $(seq 100); do [ -s "$host_out" ] && break; sleep 0.1; done
read -r host hx hy _ <<<"$(tr -d '\r' <"$host_out")"
e2e_check "a host window for the preview exists ($host)" test -n "$host"
e2e_start /p "$host"
preview=""
for _ in $(seq 50); do
  preview=$(wine "$NIMBRE_WINWIN" children "$host" 2>/dev/null | tr -d '\r' | grep '^Nimbre Screen Saver|' | head -n 1)
  [ -n "$preview" ] && break
  sleep 0.2
done
e2e_check "'/p $host' places the preview inside the host ($preview)" test -n "$preview"
e2e_check "no full-screen player with /p and a handle" test -z "$(e2e_window "Nimbre Screen" 1)"
e2e_screenshot preview_placeholder
e2e_kill
e2e_end "$host_pid"
rm -f "$host_out"
e2e_finish
