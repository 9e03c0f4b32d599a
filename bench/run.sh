#!/usr/bin/env bash
# Benchmark: bench/run.sh [--quick]. Grows the bench workbook (four charts for every named
# range) to 250, 1,000 and 4,000 objects (--quick: 250 only) and times, best of three runs
# each, `morvane paste` into a new deck as metafiles and as bitmaps, the same metafile paste
# into a deck that already has 500 slides, `pdf`, `export`, `list`, the window's start-up to
# its listed window (offscreen), and LibreOffice converting the same workbook to PDF with a
# warm profile. Prints wall time, processor time (user + system: the machine is shared, so it
# is the steadier figure), wall time per object and peak memory of the fastest run, and for the
# pastes the wall time per object beyond a 25-object run of the same paste, timed first: that
# run's wall is the fixed cost (start-up, the workbook's opening, the pause at a run's end)
# that small runs share among fewer objects. Bitmaps are
# drawn at twice 96 dpi. Builds in its own Release folder, leaving the test build alone, unless
# MORVANE_BINARY names a binary to time (another build, to compare); BENCH_ONLY="pdf list"
# times only the runs whose labels start with one of those words.
set -euo pipefail
cd "$(dirname "$0")/.."
sizes="250 1000 4000"
if [ "${1:-}" = --quick ]; then sizes=250; fi
runs=${BENCH_RUNS:-3}
if [[ -n "${MORVANE_BINARY:-}" ]]; then
  morvane=$(realpath "$MORVANE_BINARY")
else
  build=${BENCH_BUILD_DIR:-build-bench}
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j"$(nproc)" --target morvane >/dev/null
  morvane=$PWD/$build/src/app/morvane
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work/runtime}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

echo "$(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg), $(date -u '+%Y-%m-%d %H:%M UTC')"
printf '%-22s %7s %10s %9s %13s %10s %13s\n' run objects wall processor "wall/object" "peak" \
  "beyond 25"

# wanted LABEL: true unless BENCH_ONLY is set and names no first words of LABEL.
wanted() {
  [[ -z "${BENCH_ONLY:-}" ]] && return 0
  local word
  for word in $BENCH_ONLY; do [[ $1 == "$word"* ]] && return 0; done
  return 1
}

# measure LABEL OBJECTS PREPARE COMMAND...: runs PREPARE (untimed, e.g. removing the output)
# then COMMAND, $runs times; prints the fastest run's figures.
measure() {
  local label=$1 objects=$2 prepare=$3
  shift 3
  wanted "$label" || return 0
  local best=
  for ((i = 0; i < runs; ++i)); do
    eval "$prepare"
    if ! /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/stderr"; then
      echo "$label: failed: $(tail -n 3 "$work/stderr")" >&2
      return 0
    fi
    read -r wall user system kib <"$work/time"
    if [ -z "$best" ] || awk -v a="$wall" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best="$wall $user $system $kib"
    fi
  done
  read -r wall user system kib <<<"$best"
  if ((objects == 25)); then fixed[$label]=$wall; fi
  awk -v l="$label" -v n="$objects" -v w="$wall" -v u="$user" -v s="$system" -v k="$kib" \
    -v f="${fixed[$label]:-}" \
    'BEGIN { printf "%-22s %7d %8.2f s %7.2f s %10.2f ms %7.0f MB", l, n, w, u + s, 1000 * w / n, k / 1024
             if (f != "" && n > 25) printf " %10.2f ms", 1000 * (w - f) / (n - 25)
             printf "\n" }'
}
declare -A fixed

# The deck of 500 slides the last paste goes into: 500 objects pasted once, untimed.
if wanted "paste emf, 500 slides"; then
  /usr/bin/python3 bench/make_bench_workbook.py "$work/b500.xlsx" 500
  "$morvane" paste "$work/b500.xlsx" "$work/deck500.pptx" --format emf --quiet >/dev/null
fi

lo_profile="file://$work/lo-profile"
for n in 25 $sizes; do
  book=$work/b$n.xlsx
  /usr/bin/python3 bench/make_bench_workbook.py "$book" "$n"
  deck=$work/deck.pptx
  if ((n == 25)); then  # the pastes' fixed cost only
    measure "paste emf" "$n" "rm -f $deck" "$morvane" paste "$book" "$deck" --format emf --quiet
    measure "paste bitmap" "$n" "rm -f $deck" "$morvane" paste "$book" "$deck" --format bitmap --quiet
    measure "paste emf, 500 slides" "$n" "cp $work/deck500.pptx $deck" \
      "$morvane" paste "$book" "$deck" --format emf --quiet
    continue
  fi
  measure "paste emf" "$n" "rm -f $deck" "$morvane" paste "$book" "$deck" --format emf --quiet
  measure "paste bitmap" "$n" "rm -f $deck" "$morvane" paste "$book" "$deck" --format bitmap --quiet
  measure "paste emf, 500 slides" "$n" "cp $work/deck500.pptx $deck" \
    "$morvane" paste "$book" "$deck" --format emf --quiet
  measure "pdf" "$n" "rm -f $work/out.pdf" "$morvane" pdf "$book" "$work/out.pdf" --quiet
  measure "export png" "$n" "rm -rf $work/export" "$morvane" export "$book" "$work/export" --format png --quiet
  measure "export emf" "$n" "rm -rf $work/export" "$morvane" export "$book" "$work/export" --format emf --quiet
  measure "list" "$n" ":" "$morvane" list "$book"
  measure "window listed" "$n" "rm -f $deck" \
    env MORVANE_BENCH_EXIT_WHEN_LISTED=1 "$morvane" "$book" "$deck"
  # One untimed conversion warms the profile (its first start creates it).
  if wanted "LibreOffice pdf" && [ ! -d "$work/lo-profile" ]; then
    soffice "-env:UserInstallation=$lo_profile" --headless --convert-to pdf --outdir "$work/lo" \
      "$book" >/dev/null 2>&1
  fi
  measure "LibreOffice pdf" "$n" "rm -rf $work/lo" soffice "-env:UserInstallation=$lo_profile" \
    --headless --convert-to pdf --outdir "$work/lo" "$book"
done
