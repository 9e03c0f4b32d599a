// ObjectTable: the shared table of the workbook's pasteable objects, 8 columns and n rows of
// variants, addressed (column, row) from 1 like the registry sheet and the main window's
// table copy. Column c is list column c-1 and registry column c.
#pragma once

#include "office/variant.h"

#include <vector>

namespace morvane::registry {

inline constexpr int kObjectColumns = 8;

// Column numbers of the table (1-based).
enum ObjectColumn : int {
  kColName = 1,
  kColSheet = 2,
  kColInclude = 3,
  kColNumerator = 4,
  kColSlideNumber = 5,
  kColSlideTitle = 6,
  kColPasteAs = 7,
  kColSpare = 8,
};

class ObjectTable {
 public:
  int rowCount() const { return static_cast<int>(m_rows.size()); }
  // REQUIRES: 1 <= column <= 8, 1 <= row <= rowCount().
  office::Variant& at(int column, int row) { return m_rows.at(row - 1).at(column - 1); }
  const office::Variant& at(int column, int row) const { return m_rows.at(row - 1).at(column - 1); }
  // Grows the table by one empty row, keeping the rows already there; returns its number.
  int addRow() {
    m_rows.emplace_back(kObjectColumns);
    return rowCount();
  }
  void swapRows(int a, int b) { std::swap(m_rows.at(a - 1), m_rows.at(b - 1)); }
  void clear() { m_rows.clear(); }

 private:
  std::vector<std::vector<office::Variant>> m_rows;
};

}  // namespace morvane::registry
