#!/usr/bin/env bash
# Builds morvane and runs its main job on the shipped sample workbook: lists the objects,
# then pastes them into a new deck and writes the PDF (outputs under build/sample/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target morvane
out="$build/sample"
mkdir -p "$out"
cp examples/sample-sales.xlsx "$out/sample-sales.xlsx"
echo "== objects of the sample workbook"
"$build/src/app/morvane" list "$out/sample-sales.xlsx"
