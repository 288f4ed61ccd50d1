# /S plays the demo movie's music through wave-out: with "soundoff" 0 what
# the program plays is the movie's mix as swfrender --audio makes it, with
# "soundoff" 1 it is silence; the wave-out volumes are as they were once the
# program has ended. ALSA's default device is made a file, for the programs
# of this test only, so Wine's one wave-out device writes what it plays there.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/player_input.sh"

movie="$(dirname "$NIMBRE_SCR")/nimbre.s"
swfrender="$(dirname "$NIMBRE_SCR")/swfrender.exe"
work=$(mktemp -d "$e2e_top/build/e2e-sound.XXXXXX")
cat >"$work/asound.conf" <<EOF
pcm.!default {
  type file
  slave.pcm "null"
  file "$work/played.raw"
  format "raw"
}
EOF
export ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/asound.conf"

desktop_key='HKCU\Control Panel\Desktop'
saved_soundoff=$(e2e_reg "$desktop_key" soundoff)
volumes() { wine "$NIMBRE_WINWIN" volume 2>/dev/null | tr -d '\r' | tr '\n' ' '; }
before=$(volumes)
e2e_check "Wine offers a wave-out device ($before)" test -n "$before"

# What the movie sounds like: its first 100 frames (4 s) as swfrender mixes them.
wine "$swfrender" "$movie" --audio "$(winepath -w "$work/mix.wav")" --frames 100 >/dev/null 2>&1
e2e_check "swfrender --audio writes the demo's mix" test -s "$work/mix.wav"

play_for() { # seconds: plays /S, then a key ends it
  rm -f "$work/played.raw"
  player_start
  sleep "$1"
  xdotool key a
  e2e_wait_exit 10
  e2e_check "the program ends with exit status 0 (got $e2e_code)" test "$e2e_code" = 0
}

# Sample frames, frames that are not silent, and the match against the mix
# (signal to noise in dB). Only the first quarter second is compared: the file
# device takes samples two to three times faster than real time (the frames
# keep up with the music then), and on a loaded machine Wine pads it with
# silence where the program's buffers ran dry, which shifts what follows.
measure() { # raw
  python3 - "$1" "$work/mix.wav" <<'EOF'
import math, struct, sys, wave
raw = open(sys.argv[1], 'rb').read() if sys.argv[1] else b''
played = struct.unpack('<%dh' % (len(raw) // 2), raw[:len(raw) // 4 * 4])
w = wave.open(sys.argv[2])
mix = struct.unpack('<%dh' % (2 * w.getnframes()), w.readframes(w.getnframes()))
loud = sum(1 for i in range(0, len(played), 2) if played[i] or played[i + 1])
def first_sound(s):
    return next((i // 2 * 2 for i, v in enumerate(s) if v), 0)
# The stream starts on a frame's block: the played sound is matched against
# the mix from the start of each of its frames (1764 sample frames at 25 fps).
n = 2 * 11025
best = -1000.0
for start in sorted({0, first_sound(played)}):
    for k in range(0, len(mix) // 3528):
        off = k * 3528
        m = min(n, len(played) - start, len(mix) - off)
        if m <= 0:
            continue
        signal = sum(mix[off + i] ** 2 for i in range(0, m, 7))
        noise = sum((mix[off + i] - played[start + i]) ** 2 for i in range(0, m, 7))
        best = max(best, 200.0 if noise == 0 else 10 * math.log10(signal / noise) if signal else -1000.0)
print(len(played) // 2, loud, '%.0f' % best)
EOF
}

e2e_reg_set "$desktop_key" soundoff REG_DWORD 0x0
play_for 4
read -r frames loud snr <<<"$(measure "$work/played.raw")"
e2e_check "with the sound on the device plays the music ($loud of $frames frames sound)" \
  test "${loud:-0}" -gt 44100
e2e_check "what it plays is the movie's mix ($snr dB against swfrender --audio)" test "${snr:--1000}" -ge 40

e2e_reg_set "$desktop_key" soundoff REG_DWORD 0x1
play_for 3
read -r frames loud snr <<<"$(measure "$work/played.raw")"
e2e_check "with the sound off the device plays silence ($loud of $frames frames sound)" \
  test "${frames:-0}" -gt 44100 -a "${loud:-1}" = 0
after=$(volumes)
e2e_check "the wave-out volumes are as before ($before / $after)" test "$before" = "$after"

# Put the user's value back.
if [ -n "$saved_soundoff" ]; then
  read -r type data <<<"$saved_soundoff"
  wine reg add "$desktop_key" /v soundoff /t "$type" /d "$data" /f >/dev/null 2>&1
else
  wine reg delete "$desktop_key" /v soundoff /f >/dev/null 2>&1
fi
[ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
e2e_finish
