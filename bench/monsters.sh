#!/usr/bin/env bash
# Resource benchmark: generates the monster workbooks (bench/make_monsters.py: a name of
# 1,000,000 rows x 50 columns, a 17-million-cell sheet, 2 million shared strings, the
# densest range still drawn cell by cell, 200,000 chart points) into a temporary folder and times `morvane list`, `paste` (bitmap, emf and
# svg) and `pdf` on each, printing wall time, peak memory and exit status. Targets: under 60 s
# and 2 GB for every run. The processor time (user + system) beside the wall time tells a
# run slowed by other work on a shared machine. Builds in its own Release folder, leaving
# the test build alone.
# MONSTERS="dense strings" limits the runs to those monsters.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build" -j2 --target morvane || exit 1
morvane=$build/src/app/morvane
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure LABEL morvane-arguments...: one timed run, one line of figures.
measure() {
  local label=$1
  shift
  /usr/bin/time -f "%e %U %S %M %x" -o "$work/time" "$morvane" "$@" >/dev/null 2>"$work/stderr"
  read -r seconds user system kib status <<<"$(tail -n 1 "$work/time")"
  awk -v l="$label" -v s="$seconds" -v u="$user" -v y="$system" -v k="$kib" -v x="$status" \
    'BEGIN { printf "%-24s %7.2f s  cpu %7.2f s  peak %7.1f MB  exit %s%s\n", l, s, u + y, k/1024, x,
             (s > 60 || k > 2048*1024) ? "  OVER TARGET" : "" }'
  grep -v '^$' "$work/stderr" | head -n 3 | sed 's/^/    /'
}

for monster in ${MONSTERS:-huge-name dense strings detailed points}; do
  book=$work/$monster.xlsx
  /usr/bin/python3 bench/make_monsters.py "$monster" "$book" || exit 1
  measure "$monster list" list "$book"
  for format in bitmap emf svg; do
    rm -f "$work/deck.pptx"
    measure "$monster paste $format" paste "$book" "$work/deck.pptx" --format "$format"
  done
  measure "$monster pdf" pdf "$book" "$work/out.pdf"
  rm -f "$book" "$work/deck.pptx" "$work/out.pdf"
done
