#!/usr/bin/env bash
# Script speed against a peer: the movies of bench_script run natively (our
# figures from bench_script) and in the web build of the open-source player
# Ruffle inside Debian's headless chromium, run as a black box. Each movie
# traces its own getTimer() around its work, which the peer keeps on the
# wall clock; the table gives operations per second on both sides and
# ours / theirs.
#
#   bench/script_vs_peer.sh [BENCH_SCRIPT]
#
# BENCH_SCRIPT defaults to build/bench/bin/bench_script (README, "Measuring
# the engine"); NIMBRE_PEER_SECONDS (default 40) is how long the peer gets
# for each movie. Installs chromium (apt) and the npm package into
# build/peer/ when they are missing. Serves the movies from 127.0.0.1 only.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$top/build/bench/bin/bench_script}
seconds=${NIMBRE_PEER_SECONDS:-40}
[ -x "$bench" ] || { echo "script_vs_peer.sh: no $bench (build the bench_script target)" >&2; exit 1; }
if ! command -v chromium >/dev/null; then
  apt-get install -y chromium >/dev/null
fi
peer=$top/build/peer
if [ ! -f "$peer/node_modules/@ruffle-rs/ruffle/ruffle.js" ]; then
  mkdir -p "$peer"
  npm install --prefix "$peer" --no-audit --no-fund @ruffle-rs/ruffle@0.6.0 >/dev/null
fi

work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
"$bench" --write "$work"
ln -s "$peer/node_modules/@ruffle-rs/ruffle" "$work/ruffle"
names=$(cd "$work" && ls -- *.swf | sed 's/\.swf$//')
# Each page plays its movie; its one image, "wait", comes only after the
# peer's seconds, so the page is still loading until then, and chromium
# dumps it (and ends) only once it has loaded.
for name in $names; do
  cat > "$work/$name.html" <<PAGE
<!doctype html><html><body><div id="stage"></div>
<script>window.RufflePlayer = { config: { logLevel: "info", autoplay: "on", splashScreen: false,
  maxExecutionDuration: 60 } };</script>
<script src="ruffle/ruffle.js"></script>
<script>const player = window.RufflePlayer.newest().createPlayer();
document.getElementById("stage").appendChild(player); player.load({ url: "$name.swf" });</script>
<img src="wait"></body></html>
PAGE
done
cat > "$work/serve.py" <<'SERVE'
import functools, http.server, sys, time
root, port, seconds = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if self.path.endswith("/wait"):
            time.sleep(seconds)
            self.send_response(404)
            self.end_headers()
            return
        super().do_GET()
    def log_message(self, *args):
        pass
http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=root)).serve_forever()
SERVE
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 "$work/serve.py" "$work" "$port" "$seconds" &
server=$!
for _ in $(seq 100); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/ruffle/package.json')" 2>/dev/null && break
  sleep 0.1
done

ours=$("$bench")
printf '%-12s %14s %14s %12s\n' movie "ours ops/s" "peer ops/s" "ours/peer"
for name in $names; do
  # The movie's own trace line: "bench NAME OPERATIONS MILLISECONDS". Real
  # time: under a virtual time budget the page's clock stands still while a
  # script runs.
  line=$(timeout $((seconds + 120)) chromium --headless=new --no-sandbox --disable-gpu --enable-logging=stderr \
           --v=0 --user-data-dir="$work/profile-$name" --dump-dom "http://127.0.0.1:$port/$name.html" 2>&1 >/dev/null |
         grep -o "bench $name [0-9]* [0-9]*" | head -n 1 || true)
  mine=$(echo "$ours" | awk -v n="$name" '$1 == n { print $3 }')
  if [ -z "$line" ]; then
    printf '%-12s %14s %14s %12s\n' "$name" "$mine" "no result" "-"
    continue
  fi
  read -r _ _ ops ms <<<"$line"
  awk -v n="$name" -v mine="$mine" -v ops="$ops" -v ms="$ms" 'BEGIN {
    theirs = ms > 0 ? ops / (ms / 1000) : 0
    ratio = theirs > 0 ? sprintf("%.2f", mine / theirs) : "-"
    printf "%-12s %14.0f %14.0f %12s\n", n, mine, theirs, ratio }'
done
