#!/usr/bin/env bash
# Instructions the rasterizer spends on one frame of each reference movie
# and of the demo at 1920x1080, counted by callgrind: steady figures to
# compare before and after a change where the wall clock is too noisy
# (a shared machine). Two figures per movie: the band drawing (both
# threads') and the painting of shapes into the scene (outlines, strokes,
# paints); not reading or playing.
#
#   bench/render_instructions.sh [SWFRENDER] [FILTER]
#
# SWFRENDER defaults to build/bench/bin/swfrender (README, "Measuring the
# engine"); FILTER keeps the movies whose name contains it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
render=${1:-$top/build/bench/bin/swfrender}
only=${2:-}
command -v valgrind >/dev/null || { echo "render_instructions.sh: valgrind is not installed" >&2; exit 1; }
[ -x "$render" ] || { echo "render_instructions.sh: no $render" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/resources/demo/make_demo.py" "$work/demo.s"

count() { # movie frames
    valgrind --tool=callgrind --callgrind-out-file="$work/out" --toggle-collect='movie::raster::SceneRenderer::RunJob*' \
        --toggle-collect='movie::render::ShapePainter::Paint(*' \
        "$render" "$1" --frames "$2" --size 1920x1080 --out "$work/frame.png" >/dev/null 2>&1
    callgrind_annotate --inclusive=yes --threshold=100 "$work/out" 2>/dev/null |
        awk '/SceneRenderer::RunJob\(/ && !d { gsub(",", "", $1); d = $1 }
             /ShapePainter::Paint\(movie::Shape/ && !s { gsub(",", "", $1); s = $1 }
             END { printf "%14d %14d", d, s }'
}
printf '%-24s %14s %14s\n' movie drawing scene
movies=("demo:$work/demo.s:100")
for d in "$top"/../shared/swf-reference/*/; do
    movies+=("$(basename "$d"):$d/test.swf:1")
done
for m in "${movies[@]}"; do
    IFS=: read -r name file frames <<<"$m"
    [[ -z "$only" || "$name" == *"$only"* ]] || continue
    printf '%-24s %s\n' "$name" "$(count "$file" "$frames")"
done
