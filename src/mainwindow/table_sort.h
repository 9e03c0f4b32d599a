// The exchange sort of the main window's table copy, apart from any widget.
#pragma once

#include "registry/object_table.h"

namespace morvane::mainwindow {

// Sorts `table` by its column `column` (1-based) with the exchange sort the pasting order
// relies on: for i < j, rows i and j swap whenever T(column, i) > T(column, j) by variant
// comparison. Not stable: equal keys can change their relative order.
// REQUIRES: 1 <= column <= 8.
void exchangeSort(registry::ObjectTable& table, int column);

}  // namespace morvane::mainwindow
