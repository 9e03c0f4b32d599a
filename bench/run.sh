#!/usr/bin/env bash
# Benchmark: `morvane paste` of a workbook with 200 charts and 50 named ranges into a new
# deck, in each picture format, and `morvane pdf` of the same objects; prints wall time, time
# per object and peak memory. Bitmaps are drawn at twice 96 dpi; the runs marked 1x draw
# them at 96 dpi (MORVANE_BITMAP_SCALE=1) to show what the finer pixels cost. Builds in its
# own Release folder, leaving the test build alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target morvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_bench_workbook.py "$work/bench.xlsx"
objects=250

# measure LABEL SCALE morvane-arguments...: one timed run, one line of figures.
measure() {
  local label=$1 scale=$2
  shift 2
  MORVANE_BITMAP_SCALE=$scale /usr/bin/time -f "%e %M" -o "$work/time" \
    "$build/src/app/morvane" "$@" >/dev/null
  read -r seconds kib <"$work/time"
  awk -v l="$label" -v s="$seconds" -v k="$kib" -v n="$objects" \
    'BEGIN { printf "%-16s %7.2f s  %6.1f ms/object  peak %6.1f MB\n", l, s, 1000*s/n, k/1024 }'
}

for format in emf bitmap svg; do
  rm -f "$work/deck.pptx"
  measure "paste $format" 2 paste "$work/bench.xlsx" "$work/deck.pptx" --format "$format"
done
rm -f "$work/deck.pptx"
measure "paste bitmap 1x" 1 paste "$work/bench.xlsx" "$work/deck.pptx" --format bitmap
measure "pdf" 2 pdf "$work/bench.xlsx" "$work/bench.pdf"
measure "pdf 1x" 1 pdf "$work/bench.xlsx" "$work/bench.pdf"
