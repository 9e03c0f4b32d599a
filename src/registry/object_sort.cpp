#include "registry/object_sort.h"

namespace morvane::registry {

void ExchangeSort(ObjectTable& table, int keyColumn) {
  const int n = table.rowCount();
  for (int i = 1; i <= n - 1; ++i)
    for (int j = i + 1; j <= n; ++j)
      if (office::variantGreater(table.at(keyColumn, i), table.at(keyColumn, j))) table.swapRows(i, j);
}

}  // namespace morvane::registry
