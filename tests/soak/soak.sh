#!/usr/bin/env bash
# Plays the demo and a movie driven by its own frame actions full screen
# under Wine, both at once, for MINUTES (60 by default), and every minute
# samples each program's resident memory, its open files and, where Wine
# reports them, its GDI, USER and handle counts. Fails when a program ends
# before the time is up, or when its memory grows by more than 5 % over what
# it was after the first five minutes (after a tenth of the run, for runs
# shorter than 50 minutes).
#   tests/soak/soak.sh [MINUTES]
# The samples go to build/soak/soak.log.
source "$(dirname "$0")/common.sh"
minutes=${1:-60}
nimbre_wine_ready
python3 "$soak_top/tests/soak/make_script_movie.py" "$soak_out/script-movie.swf"
log="$soak_out/soak.log"
: >"$log"
note() { echo "$*" | tee -a "$log"; }

names=(demo script)
movies=("$(dirname "$NIMBRE_SCR")/nimbre.s" "$soak_out/script-movie.swf")
pids=()
for i in 0 1; do
  scr=$(soak_install "soak-${names[$i]}" "${movies[$i]}")
  wine "$scr" /S >/dev/null 2>&1 &
  pids+=($!)
done
nimbre_on_exit 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done'
sleep 10
note "# minute  program  rss-KiB  files  gdi user handles  cpu-s"
baseline_at=$((minutes >= 50 ? 5 : (minutes + 9) / 10))
declare -A baseline peak
failed=0
for minute in $(seq 0 "$minutes"); do
  [ "$minute" -gt 0 ] && sleep 60
  counts=$(wine "$NIMBRE_WINWIN" resources "Nimbre Screen" 2>/dev/null | tr -d '\r')
  for i in 0 1; do
    pid=${pids[$i]} name=${names[$i]}
    if ! kill -0 "$pid" 2>/dev/null; then
      note "FAIL: the $name program ended at minute $minute"
      failed=1
      continue
    fi
    rss=$(soak_rss "$pid")
    gui=$(echo "$counts" | grep -i "soak-$name" | awk '{ print $(NF-2), $(NF-1), $NF }')
    note "$minute $name $rss $(soak_fds "$pid") ${gui:-- - -} $(( $(soak_cpu "$pid") / $(getconf CLK_TCK) ))"
    if [ "$minute" -eq "$baseline_at" ]; then baseline[$name]=$rss; fi
    if [ "$minute" -gt "$baseline_at" ] && [ "$rss" -gt "${peak[$name]:-0}" ]; then peak[$name]=$rss; fi
  done
  [ "$failed" = 1 ] && break
done
for name in "${names[@]}"; do
  base=${baseline[$name]:-0} top=${peak[$name]:-0}
  [ "$base" -gt 0 ] || continue
  growth=$(awk -v b="$base" -v t="$top" 'BEGIN { printf "%.2f", (t > b ? t - b : 0) * 100 / b }')
  note "$name: $base KiB at minute $baseline_at, peak $top KiB after it: +$growth %"
  if awk -v g="$growth" 'BEGIN { exit !(g > 5) }'; then
    note "FAIL: the $name program's memory grew by more than 5 %"
    failed=1
  fi
done
[ "$failed" = 0 ] && note "soak passed: $minutes minutes" || note "soak failed"
exit "$failed"
