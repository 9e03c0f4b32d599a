#!/usr/bin/env bash
# Benchmark: `morvane paste` of a workbook with 200 charts and 50 named ranges into a new
# deck, in both picture formats, and `morvane pdf` of the same objects; prints wall time, time
# per object and peak memory. Builds in its own Release folder, leaving the test build alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target morvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_bench_workbook.py "$work/bench.xlsx"
objects=250
for format in emf bitmap; do
  rm -f "$work/deck-$format.pptx"
  /usr/bin/time -f "%e %M" -o "$work/time" "$build/src/app/morvane" paste "$work/bench.xlsx" \
    "$work/deck-$format.pptx" --format "$format" >/dev/null
  read -r seconds kib <"$work/time"
  awk -v f="$format" -v s="$seconds" -v k="$kib" -v n="$objects" \
    'BEGIN { printf "paste %-6s %7.2f s  %6.1f ms/object  peak %6.1f MB\n", f, s, 1000*s/n, k/1024 }'
done
/usr/bin/time -f "%e %M" -o "$work/time" "$build/src/app/morvane" pdf "$work/bench.xlsx" \
  "$work/bench.pdf" >/dev/null
read -r seconds kib <"$work/time"
awk -v s="$seconds" -v k="$kib" -v n="$objects" \
  'BEGIN { printf "pdf           %7.2f s  %6.1f ms/object  peak %6.1f MB\n", s, 1000*s/n, k/1024 }'
