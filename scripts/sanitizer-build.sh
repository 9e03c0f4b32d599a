#!/usr/bin/env bash
# Configures the one clang build (AddressSanitizer + UBSan, libFuzzer coverage) that the
# hostile-input suites and the fuzz harnesses share: scripts/sanitizer-build.sh DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: scripts/sanitizer-build.sh DIR}
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_ASAN=ON -DMORVANE_FUZZ=ON >/dev/null
