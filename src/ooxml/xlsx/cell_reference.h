// A1 cell and range references: parsing, formatting and the sheet's bounds.
// Rows and columns count from 1. Pure functions; nothing here knows a workbook.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace morvane::ooxml::xlsx {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

// A rectangle of cells, first <= last on both axes. Whole columns run from row 1 to
// kMaxRows, whole rows from column 1 to kMaxColumns.
struct CellRange {
  int firstRow = 1;
  int firstColumn = 1;
  int lastRow = 1;
  int lastColumn = 1;

  static CellRange cell(int row, int column) { return {row, column, row, column}; }
  int rows() const { return lastRow - firstRow + 1; }
  int columns() const { return lastColumn - firstColumn + 1; }
  qint64 cellCount() const { return qint64(rows()) * columns(); }
  bool contains(int row, int column) const {
    return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
  }
  bool isWholeColumns() const { return firstRow == 1 && lastRow == kMaxRows; }
  bool isWholeRows() const { return firstColumn == 1 && lastColumn == kMaxColumns; }
  bool operator==(const CellRange&) const = default;
};

// "A" -> 1, "XFD" -> 16384, case-insensitive. 0 when not 1-3 letters or past XFD.
int columnNumber(QStringView letters);
// 1 -> "A". REQUIRES: 1 <= column <= kMaxColumns.
QString columnLetters(int column);
// "B3" for (3, 2).
QString cellName(int row, int column);

// Parses one A1 area: "A1", "$A$1", "A1:C5", "$A:$H", "D:D", "D", "$1:$2", "7".
// Case-insensitive; corners are put in order. nullopt for anything else (unions,
// out-of-bounds, "#REF!"). Lone columns ("D") and rows ("7") are accepted only when
// `allowLoneLine` is true (Columns("D") accepts them; references in formulas do not).
std::optional<CellRange> parseA1Area(QStringView text, bool allowLoneLine = false);
// "$A$1", "$A$1:$C$5", "$A:$H", "$1:$2"; without the dollars when `absolute` is false.
QString formatA1Area(const CellRange& range, bool absolute = true);

}  // namespace morvane::ooxml::xlsx
