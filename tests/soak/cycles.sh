#!/usr/bin/env bash
# Starts and stops the screen saver COUNT times (1000 by default) with a
# wave-out device present: each cycle starts /S, waits for the movie's first
# frame on screen, presses a key and waits for the program to end. Fails on
# any exit status other than 0 (a crash included), a frame that does not
# come, or a wave-out volume that is not the same after a cycle as the
# program found it.
#   tests/soak/cycles.sh [COUNT]
# The wave-out device is ALSA's default turned into a file (a configuration
# of this run's own, named by ALSA_CONFIG_PATH for the programs it starts).
# Each cycle's figures go to build/soak/cycles.log, with what ended the run as
# the program told Wine's debug channel (a key, for a cycle that went right).
soak_name=cycles
NIMBRE_DISPLAY_NUMBER=${NIMBRE_DISPLAY_NUMBER:-92}
source "$(dirname "$0")/common.sh"
count=${1:-1000}
nimbre_wine_ready
log="$soak_out/cycles.log"
: >"$log"
note() { echo "$*" | tee -a "$log"; }

alsa="$soak_out/alsa"
mkdir -p "$alsa"
cat >"$alsa/asound.conf" <<CONF
</usr/share/alsa/alsa.conf>
pcm.!default { type file; slave.pcm "null"; file "$alsa/out.raw"; format "raw" }
CONF
export ALSA_CONFIG_PATH="$alsa/asound.conf"
scr=$(soak_install cycles "$(dirname "$NIMBRE_SCR")/nimbre.s")

volumes() { wine "$NIMBRE_WINWIN" volume 2>/dev/null | tr -d '\r' | tr '\n' ' '; }
level=$(volumes)
if [ -z "$level" ]; then note "FAIL: no wave-out device"; exit 1; fi
note "# wave-out before the run: $level"
desk=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1)
# Without Wine's virtual desktop a full-screen window would not take the key.
if [ -z "$desk" ]; then note "FAIL: no Wine desktop in display $DISPLAY"; exit 1; fi
read -r cx cy < <(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print int(d[1] / 2), int(d[2] / 2) }')
centre() { import -window root -crop "1x1+$cx+$cy" txt:- 2>/dev/null | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1; }
desktop=$(centre)
failures=0 started=$(date +%s)
for cycle in $(seq "$count"); do
  t0=$(date +%s%N)
  WINEDEBUG=-all,+debugstr wine "$scr" /S >/dev/null 2>"$soak_out/cycle.err" &
  pid=$!
  # The first frame: the screen's centre neither the desktop nor the black
  # of the window before the movie is drawn.
  frame=no
  for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    pixel=$(centre)
    if [ -n "$pixel" ] && [ "$pixel" != "$desktop" ] && [ "$pixel" != "0,0,0" ]; then frame=yes; break; fi
    sleep 0.05
  done
  t2=$(date +%s%N)
  xdotool windowfocus --sync "$desk" >/dev/null 2>&1
  xdotool key a
  code=timeout
  for _ in $(seq 150); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; code=$?; break; fi
    sleep 0.1
  done
  [ "$code" = timeout ] && kill "$pid" 2>/dev/null
  why=$(grep -o 'closes: [^"\\]*' "$soak_out/cycle.err" | head -n 1 | cut -c9- | tr ' ' _)
  after=$(volumes)
  ok=yes
  [ "$frame" = yes ] && [ "$code" = 0 ] && [ "$after" = "$level" ] || ok=no
  [ "$ok" = yes ] || failures=$((failures + 1))
  note "$cycle frame=$frame:$(( (t2 - t0) / 1000000 ))ms exit=$code closed=${why:-?} volume=$after$([ "$ok" = no ] && echo ' FAIL')"
done
note "$count cycles in $(( $(date +%s) - started )) s: $((count - failures)) passed, $failures failed"
[ "$failures" = 0 ]
