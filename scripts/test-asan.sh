#!/usr/bin/env bash
# Hostile-input suites under AddressSanitizer and UBSan, in the clang build the fuzz harnesses
# share (fuzz/run.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD:-build-fuzz}
./scripts/sanitizer-build.sh "$build"
targets=$(grep -h -o 'morvane_add_test(test_[a-z_]*hostile[a-z_]*' -r tests | sed 's/.*(//' | sort -u)
# A move that hides the suites from this search must not turn the sanitizer run into a pass.
if [ -z "$targets" ]; then echo "test-asan: no hostile-input suite found under tests/" >&2; exit 1; fi
cmake --build "$build" -j"$(nproc)" --target $targets
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ctest --test-dir "$build" --output-on-failure \
  -R hostile --no-tests=error
