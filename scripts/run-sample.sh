#!/usr/bin/env bash
# Builds morvane and runs its main job on the shipped sample workbook: lists the objects,
# then pastes every one of them into a new deck (outputs under build/sample/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target morvane
out="$build/sample"
rm -rf "$out"
mkdir -p "$out"
cp examples/sample-sales.xlsx "$out/sample-sales.xlsx"
echo "== objects of the sample workbook"
"$build/src/app/morvane" list "$out/sample-sales.xlsx"
echo "== pasting them into $out/sample-deck.pptx"
"$build/src/app/morvane" paste "$out/sample-sales.xlsx" "$out/sample-deck.pptx" --labels
echo "== writing them into $out/sample.pdf, a page each"
"$build/src/app/morvane" pdf "$out/sample-sales.xlsx" "$out/sample.pdf"
