#!/usr/bin/env bash
# Benchmark: `morvane refresh` of the bench deck (200 charts and 50 named ranges pasted) against
# the paste that made it, per picture format; best of three, wall time, time per object and
# peak memory. Builds in its own Release folder unless MORVANE_BINARY names a binary to time.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ -z "${MORVANE_BINARY:-}" ]]; then
  build=${BENCH_BUILD_DIR:-build-bench}
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target morvane
  MORVANE_BINARY="$build/src/app/morvane"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_bench_workbook.py "$work/bench.xlsx"
objects=250

# best LABEL SETUP morvane-arguments...: the best of three runs, SETUP run before each.
best() {
  local label=$1 setup=$2
  shift 2
  local line best_s=999999 best_k=0
  for _ in 1 2 3; do
    eval "$setup"
    /usr/bin/time -f "%e %M" -o "$work/time" "$MORVANE_BINARY" "$@" >/dev/null
    read -r seconds kib <"$work/time"
    if awk -v a="$seconds" -v b="$best_s" 'BEGIN { exit !(a < b) }'; then
      best_s=$seconds best_k=$kib
    fi
  done
  awk -v l="$label" -v s="$best_s" -v k="$best_k" -v n="$objects" \
    'BEGIN { printf "%-18s %7.2f s  %6.1f ms/object  peak %6.1f MB\n", l, s, 1000*s/n, k/1024 }'
}

for format in emf bitmap; do
  best "paste $format" 'rm -f "$work/deck.pptx"' paste "$work/bench.xlsx" "$work/deck.pptx" --format "$format" --quiet
  cp "$work/deck.pptx" "$work/pasted.pptx"
  best "refresh $format" 'cp "$work/pasted.pptx" "$work/deck.pptx"' refresh "$work/bench.xlsx" "$work/deck.pptx" --quiet
done
