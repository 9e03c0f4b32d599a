#!/usr/bin/env bash
# Builds the fuzz harnesses with clang (ASan + UBSan, halting on the first finding) into
# $FUZZ_BUILD (default build-fuzz/, shared with scripts/test-asan.sh) and runs each for SECONDS
# with a fixed seed: first the inputs that once failed (fuzz/regressions/TARGET), then the
# seeds (fuzz/seeds, the sample, ../shared's real files) mutated under its dictionary.
# Exits non-zero on any crash, leak, timeout (10 s) or out-of-memory (2 GB); the failing
# input is left in $FUZZ_BUILD/findings/. usage: fuzz/run.sh SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
targets=${*:-fuzz_package fuzz_workbook fuzz_chart fuzz_presentation fuzz_numfmt fuzz_emf fuzz_plan}
build=${FUZZ_BUILD:-build-fuzz}
./scripts/sanitizer-build.sh "$build"
cmake --build "$build" -j"$(nproc)" --target $targets
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/findings"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in $targets; do
  binary=$build/fuzz/$target
  name=${target#fuzz_}
  options=(-seed=1 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/findings/$target-")
  [ -f "fuzz/dicts/$name.dict" ] && options+=(-dict="fuzz/dicts/$name.dict")
  if compgen -G "fuzz/regressions/$target/*" >/dev/null; then
    if ! "$binary" "${options[@]}" fuzz/regressions/"$target"/* >"$work/$target.replay" 2>&1; then
      echo "$target: an input of fuzz/regressions/$target fails again" >&2
      tail -40 "$work/$target.replay" >&2
      status=1
      continue
    fi
  fi
  /usr/bin/python3 fuzz/seed_corpus.py "$target" "$work/corpus-$target" >/dev/null
  if "$binary" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 \
       "$work/corpus-$target" >"$work/$target.log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$work/$target.log" | tail -1)
    echo "$target: $runs runs in ${seconds} s, $cov"
  else
    echo "$target: FAILED (input saved under $build/findings/)" >&2
    grep -v '^#\|^INFO\|^MS:\|^base64' "$work/$target.log" | tail -60 >&2
    status=1
  fi
done
exit $status
