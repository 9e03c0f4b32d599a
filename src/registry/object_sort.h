// The exchange sort of the object table by one column, with the variant order (numbers
// before texts, texts by code unit). Not stable: equal keys may change places, as users of
// the tool have always seen them do.
#pragma once

#include "registry/object_table.h"

namespace morvane::registry {

// for i = 1..n-1, for j = i+1..n: when T(key, i) > T(key, j), rows i and j swap.
void ExchangeSort(ObjectTable& table, int keyColumn);

}  // namespace morvane::registry
