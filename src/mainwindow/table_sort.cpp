#include "mainwindow/table_sort.h"

#include "registry/object_sort.h"

namespace morvane::mainwindow {

// One exchange sort for the window and the batch listing, so both order rows alike.
void exchangeSort(registry::ObjectTable& table, int column) { registry::ExchangeSort(table, column); }

}  // namespace morvane::mainwindow
