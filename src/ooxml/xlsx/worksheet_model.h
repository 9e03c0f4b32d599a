// One worksheet's content: cells by position with their values and style indices (in the
// compact CellStore), column and row dimensions, merged cells. Plain values.
#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "ooxml/xlsx/cell_reference.h"
#include "ooxml/xlsx/cell_store.h"

namespace morvane::ooxml::xlsx {

// A <col> element: columns min..max share these settings.
struct ColumnInfo {
  int min = 1;
  int max = 1;
  std::optional<double> width;  // character widths as stored (padding included)
  bool customWidth = false;
  bool hidden = false;
  std::optional<int> style;
  bool bestFit = false;
  int outlineLevel = 0;
  bool collapsed = false;
};

struct RowInfo {
  std::optional<double> height;  // points
  bool customHeight = false;
  bool hidden = false;
  std::optional<int> style;      // when customFormat is set
};

struct Worksheet {
  CellStore cells;                            // (row, column) from 1
  std::vector<ColumnInfo> columns;            // sorted, non-overlapping
  std::map<int, RowInfo> rows;                // rows with explicit settings
  std::optional<double> defaultColumnWidth;   // sheetFormatPr defaultColWidth
  int baseColumnWidth = 8;                    // sheetFormatPr baseColWidth
  double defaultRowHeight = 15;               // sheetFormatPr defaultRowHeight, points
  std::vector<CellRange> mergedCells;
  std::optional<CellRange> dimension;         // as the file states it
  QString drawingPart;                        // empty when the sheet has no drawing

  // The stored cell; nullopt when the sheet stores none there.
  std::optional<Cell> cell(int row, int column) const { return cells.at(row, column); }
  // The ColumnInfo covering `column`, or nullptr.
  const ColumnInfo* columnInfo(int column) const;
  // The style a new value in an empty cell would show: row style, else column style, else 0.
  int inheritedStyle(int row, int column) const;
  // The style the cell shows: its own when it has one, else the inherited style.
  int effectiveStyle(int row, int column) const;
};

}  // namespace morvane::ooxml::xlsx
