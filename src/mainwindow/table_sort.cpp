#include "mainwindow/table_sort.h"

namespace mainwindow {

void exchangeSort(registry::ObjectTable& table, int column) {
  const int n = table.rowCount();
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (office::variantGreater(table.at(column, i), table.at(column, j))) table.swapRows(i, j);
    }
  }
}

}  // namespace mainwindow
