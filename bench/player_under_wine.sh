#!/usr/bin/env bash
# Measures the player under Wine in a virtual display of its own:
#  1. the time from starting "/S" to the first movie frame on screen;
#  2. the CPU used while it plays the demo for a while at 1920 x 1080,
#     against the same program playing an empty movie at the same frame
#     rate (the cost of just being a window with a frame clock), and a
#     movie of filters and blend modes (bench/make_effects_movie.py: twenty
#     blurred, glowing sprites added and screened over a gradient, 1920 x
#     1080 at 25 frames per second);
#  3. the same with a wave-out device (ALSA's default made a file, for these
#     runs only), the demo's music on and then with the "soundoff" setting
#     on, and how much sound the device took in the time.
# With NIMBRE_BENCH_PROFILE=1 (and perf installed), the demo's run without
# a sound device is also sampled by perf and shown by module: "[JIT]" is
# the program's own code (Wine maps it without a file; nearly all of it is
# drawing the frame), msvcrt.dll the program's copy of the changed
# rectangle into the window's bitmap, libc.so.6 Wine's copy of that bitmap
# towards X, win32u/winex11 the rest of the blit, and the kernel; then the
# program's own functions by share of those samples, named from the symbols
# of the unstripped build (build/win/bin, or NIMBRE_BENCH_SYMBOLS), which
# Wine maps at the image's own base.
# With NIMBRE_BENCH_DEMO_ONLY=1 only the demo without a sound device is
# played (for comparing two builds back to back).
# Usage: bench/player_under_wine.sh [seconds] [WIDTHxHEIGHT]
# Uses build/dist (or NIMBRE_SCR), its own prefix build/bench-wineprefix and an
# X display of its own at that size (on a free number, or NIMBRE_BENCH_DISPLAY);
# the display and the prefix's wineserver end with the script.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
size=${2:-1920x1080}
scr=${NIMBRE_SCR:-$top/build/dist/NimbreScreen.scr}
demo="$(dirname "$scr")/nimbre.s"
[ -f "$scr" ] && [ -f "$demo" ] || { echo "build the program and its demo movie first ($scr)" >&2; exit 1; }

unset DISPLAY NIMBRE_WINE_OWNER NIMBRE_DISPLAY_NUMBER
if [ -n "${NIMBRE_BENCH_DISPLAY:-}" ]; then
  if xdpyinfo -display ":$NIMBRE_BENCH_DISPLAY" >/dev/null 2>&1; then
    echo "display :$NIMBRE_BENCH_DISPLAY is in use; choose another NIMBRE_BENCH_DISPLAY" >&2
    exit 1
  fi
  export NIMBRE_DISPLAY_NUMBER=$NIMBRE_BENCH_DISPLAY
fi
export WINEPREFIX=$top/build/bench-wineprefix
source "$top/scripts/wine-env.sh"
nimbre_screen=$size
nimbre_wine_ready || exit 1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
width=${size%x*}
height=${size#*x}

work=$(mktemp -d "$top/build/bench-player.XXXXXX")
nimbre_on_exit 'rm -rf "$work"'
mkdir -p "$work/demo" "$work/empty" "$work/effects"
cp "$scr" "$work/demo/"
cp "$demo" "$work/demo/nimbre.s"
cp "$scr" "$work/empty/"
cp "$scr" "$work/effects/"
python3 "$top/bench/make_effects_movie.py" "$work/effects/nimbre.s" || exit 1
# An empty movie with the demo's stage, frame rate and frame count.
python3 - "$demo" "$work/empty/nimbre.s" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
if data[:3] == b'CWS':
    data = data[:8] + zlib.decompress(data[8:])
nbits = data[8] >> 3
rect_bytes = (5 + 4 * nbits + 7) // 8
rect = data[8:8 + rect_bytes]
rate, count = struct.unpack_from('<HH', data, 8 + rect_bytes)
body = rect + struct.pack('<HH', rate, count)
body += struct.pack('<H', (9 << 6) | 3) + bytes([0, 0, 0])   # black background
body += struct.pack('<H', 1 << 6) * count + struct.pack('<H', 0)
out = b'FWS' + bytes([data[3]]) + struct.pack('<I', 8 + len(body)) + body
open(sys.argv[2], 'wb').write(out)
print(f"frame rate {rate / 256:g}/s, {count} frames", file=sys.stderr)
PY

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
hz=$(getconf CLK_TCK)
xvfb_pid=$nimbre_xvfb_pid
server_pid=$(pgrep -u "$(id -u)" -f "wineserver" | while read -r p; do
  [ "$({ tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -c "^WINEPREFIX=$WINEPREFIX$")" -gt 0 ] && echo "$p"; done | head -n 1)

pixel() { import -window root -crop "1x1+$1+$2" txt:- 2>/dev/null | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n 1; }

# A wave-out device: ALSA's default as a file, for the programs given it only.
cat >"$work/asound.conf" <<CONF
</usr/share/alsa/alsa.conf>
pcm.!default { type file; slave.pcm "null"; file "$work/played.raw"; format "raw" }
CONF
soundoff() { wine reg add 'HKCU\Control Panel\Desktop' /v soundoff /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }

# Runs one movie: prints "first-frame-ms cpu-program-% cpu-xserver-% cpu-wineserver-%
# seconds-of-sound-played" (the last with the wave-out device only).
measure() { # folder [device]
  local alsa=()
  [ -n "${2:-}" ] && alsa=(env ALSA_CONFIG_PATH="$work/asound.conf")
  rm -f "$work/played.raw"
  xdotool mousemove "$((width / 2))" "$((height / 2))" >/dev/null 2>&1
  local before_desk
  before_desk=$(pixel $((width / 2)) $((height / 2)))
  local start
  start=$(date +%s%N)
  "${alsa[@]}" wine "$1/NimbreScreen.scr" /S >/dev/null 2>&1 &
  local pid=$!
  local first=""
  for _ in $(seq 400); do
    local p
    p=$(pixel $((width / 2)) $((height / 2)))
    if [ -n "$p" ] && [ "$p" != "$before_desk" ] && [ "$p" != "000000" ]; then
      first=$((($(date +%s%N) - start) / 1000000))
      break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.02
  done
  sleep 2 # let start-up settle
  local p0 x0 s0 t0
  local b0 b1
  b0=$(stat -c %s "$work/played.raw" 2>/dev/null || echo 0)
  p0=$(ticks "$pid"); x0=$(ticks "$xvfb_pid"); s0=$(ticks "${server_pid:-0}"); t0=$(date +%s%N)
  if [ "${NIMBRE_BENCH_PROFILE:-0}" = 1 ] && command -v perf >/dev/null && [ "$(basename "$1")" = demo ] && [ -z "${2:-}" ]; then
    perf record -q -e cpu-clock -F 499 -p "$pid" -o "$work/perf.data" -- sleep "$seconds" >/dev/null 2>&1
  else
    sleep "$seconds"
  fi
  local p1 x1 s1 t1
  p1=$(ticks "$pid"); x1=$(ticks "$xvfb_pid"); s1=$(ticks "${server_pid:-0}"); t1=$(date +%s%N)
  b1=$(stat -c %s "$work/played.raw" 2>/dev/null || echo 0)
  import -window root "$top/build/bench-player-$(basename "$1")${2:+-$2}.png" 2>/dev/null
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  local wall=$(((t1 - t0) / 1000000))
  pct() { awk -v d="$1" -v hz="$hz" -v ms="$wall" 'BEGIN { printf "%.1f", d / hz * 1000 / ms * 100 }'; }
  local sound=-
  [ -n "${2:-}" ] && sound=$(awk -v b=$((b1 - b0)) 'BEGIN { printf "%.1f", b / 4 / 44100 }')
  echo "${first:-none} $(pct $((p1 - p0))) $(pct $((x1 - x0))) $(pct $((s1 - s0))) $sound"
}

# Where the demo's time went, when it was sampled.
profile_report() {
  if [ -s "$work/perf.data" ]; then
    echo "where the demo's playing time went (perf samples by module):"
    perf report -i "$work/perf.data" --sort dso --stdio 2>/dev/null | grep -v '^#' | grep -v "^$" | head -n 10
    symbols=${NIMBRE_BENCH_SYMBOLS:-$top/build/win/bin/NimbreScreen.scr}
    if [ -f "$symbols" ] && command -v x86_64-w64-mingw32-nm >/dev/null; then
      echo "the program's own samples by function (from $symbols):"
      x86_64-w64-mingw32-nm -C --defined-only "$symbols" | awk '$2 ~ /^[tT]$/ && $3 !~ /^\./' | sort >"$work/symbols.txt"
      perf script -i "$work/perf.data" -F ip,dso 2>/dev/null | awk '$2 ~ /perf-[0-9]+\.map/ { print $1 }' |
        python3 -c '
import bisect, collections, sys
names, starts = [], []
for line in open(sys.argv[1]):
    address, _, name = line.rstrip("\n").split(" ", 2)
    starts.append(int(address, 16)); names.append(name)
hits = collections.Counter()
ips = [int(x, 16) for x in sys.stdin if x.strip()]
for ip in ips:
    i = bisect.bisect_right(starts, ip) - 1
    hits[names[i] if i >= 0 else "?"] += 1
for name, n in hits.most_common(15):
    print(f"{100 * n / max(1, len(ips)):6.1f}%  {name[:100]}")
' "$work/symbols.txt"
    fi
  fi
}

echo "player under Wine at ${width}x${height}, ${seconds} s each"
read -r demo_first demo_cpu demo_x demo_srv _ <<<"$(measure "$work/demo")"
if [ "${NIMBRE_BENCH_DEMO_ONLY:-0}" = 1 ]; then
  printf '%-22s %16s %12s %12s %14s\n' movie "first frame ms" "program CPU" "X server" "wineserver"
  printf '%-22s %16s %11s%% %11s%% %13s%%\n' "demo, no sound device" "$demo_first" "$demo_cpu" "$demo_x" "$demo_srv"
  profile_report
  exit 0
fi
soundoff 0
read -r on_first on_cpu on_x on_srv on_sound <<<"$(measure "$work/demo" sound-on)"
soundoff 1
read -r off_first off_cpu off_x off_srv off_sound <<<"$(measure "$work/demo" sound-off)"
soundoff 0
read -r empty_first empty_cpu empty_x empty_srv _ <<<"$(measure "$work/empty")"
read -r fx_first fx_cpu fx_x fx_srv _ <<<"$(measure "$work/effects")"
printf '%-22s %16s %12s %12s %14s %12s\n' movie "first frame ms" "program CPU" "X server" "wineserver" "sound s"
printf '%-22s %16s %11s%% %11s%% %13s%% %12s\n' "demo, no sound device" "$demo_first" "$demo_cpu" "$demo_x" "$demo_srv" -
printf '%-22s %16s %11s%% %11s%% %13s%% %12s\n' "demo, sound on" "$on_first" "$on_cpu" "$on_x" "$on_srv" "$on_sound"
printf '%-22s %16s %11s%% %11s%% %13s%% %12s\n' "demo, sound off" "$off_first" "$off_cpu" "$off_x" "$off_srv" "$off_sound"
printf '%-22s %16s %11s%% %11s%% %13s%% %12s\n' "empty frames" "$empty_first" "$empty_cpu" "$empty_x" "$empty_srv" -
printf '%-22s %16s %11s%% %11s%% %13s%% %12s\n' "effects, no sound" "$fx_first" "$fx_cpu" "$fx_x" "$fx_srv" -
awk -v a="$demo_cpu" -v b="$empty_cpu" 'BEGIN { if (b > 0) printf "demo / empty program CPU: %.1fx\n", a / b }'
awk -v a="$on_cpu" -v b="$off_cpu" 'BEGIN { if (b > 0) printf "sound on / sound off program CPU: %.2fx\n", a / b }'
awk -v a="$on_cpu" -v b="$demo_cpu" 'BEGIN { if (b > 0) printf "sound on / no sound device program CPU: %.2fx\n", a / b }'
profile_report
echo "(CPU in % of one core; the first frame is the first non-black pixel at the centre of the screen;"
echo " the empty movie is black, so its first frame is not seen: 'none'; sound s: seconds of"
echo " 44.1 kHz stereo the wave-out device took while the CPU was measured)"
