#!/usr/bin/env bash
# The workbook host, the batch paste and the PDF export under ThreadSanitizer, drawing
# pictures on the host's worker pool (never fewer than two workers). The host's suite is
# built with the sanitizer and runs in-process. The batch paste and PDF suites start the
# program through QProcess, whose clone() this sanitizer cannot follow in an instrumented
# parent, so they run from the test build (`build`, as scripts/test.sh leaves it) against
# the instrumented program (MORVANE_BINARY_UNDER_TEST): every picture the program draws
# ahead is checked, and a report makes the run's exit status 66, which fails the case.
# Qt, fontconfig and the C library are not built with the sanitizer; scripts/tsan.supp says
# what it ignores.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TSAN_BUILD:-build-tsan}
tests=${TEST_BUILD:-build}
suites="tests/app/test_batch tests/app/test_batch_paste_roads tests/pdf/test_batch_pdf"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVANE_TSAN=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target test_workbook_host morvane
if [ ! -f "$tests/CMakeCache.txt" ]; then cmake -S . -B "$tests" -G Ninja >/dev/null; fi
cmake --build "$tests" -j"$(nproc)" --target $(for s in $suites; do basename "$s"; done)
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 suppressions=$PWD/scripts/tsan.supp"
export QT_QPA_PLATFORM=offscreen
# Qt's own event dispatcher, not GLib's: GLib is not built with the sanitizer, and its
# main loop hands memory between Qt's pool threads in ways the sanitizer cannot see.
export QT_NO_GLIB=1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
# Its cases that start Python (openpyxl) through QProcess run in the other builds only.
"$build/tests/hosts/workbook/test_workbook_host" \
  --gtest_filter='-Interop.*:ChartCellsOpenpyxl.*' --gtest_brief=1
export MORVANE_BINARY_UNDER_TEST=$PWD/$build/src/app/morvane
for suite in $suites; do
  "$tests/$suite" --gtest_brief=1
done
echo "test-tsan: no report"
