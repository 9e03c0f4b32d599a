#!/usr/bin/env bash
# The workbook host, the batch paste and the PDF export under ThreadSanitizer, in a clang
# build of their own, drawing pictures on the host's worker pool (never fewer than two
# workers). The host's suite runs in-process; the batch and PDF suites start
# processes with QProcess (the program, poppler), which this sanitizer cannot follow through
# Qt's clone(), so the batch commands run here directly on the bench workbook. Qt, fontconfig
# and the C library are not built with the sanitizer; scripts/tsan.supp says what it ignores.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TSAN_BUILD:-build-tsan}
suites="test_workbook_host"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_TSAN=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target $suites morvane
# A report fails the run that met it: the test, or the command, exits with 66.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/scripts/tsan.supp"
export QT_QPA_PLATFORM=offscreen
# Its cases that start Python (openpyxl) through QProcess are left to the other builds.
"$build/tests/hosts/workbook/test_workbook_host" --gtest_filter='-Interop.*:ChartCellsOpenpyxl.*' --gtest_brief=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 bench/make_bench_workbook.py "$work/book.xlsx" 50
morvane=$build/src/app/morvane
for format in emf bitmap svg; do
  "$morvane" paste "$work/book.xlsx" "$work/$format.pptx" --format "$format" --quiet
done
"$morvane" pdf "$work/book.xlsx" "$work/book.pdf" --quiet
"$morvane" export "$work/book.xlsx" "$work/export" --format png --quiet >/dev/null
echo "test-tsan: no report"
