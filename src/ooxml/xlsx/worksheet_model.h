// One worksheet's content: cells by position with their values and style indices, column
// and row dimensions, merged cells. Plain values.
#pragma once

#include "ooxml/xlsx/cell_reference.h"

#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace morvane::ooxml::xlsx {

struct CellValue {
  enum class Type { Empty, Number, Text, Boolean, Error };
  Type type = Type::Empty;
  double number = 0;
  QString text;   // Text, or the error code ("#N/A") for Error
  bool boolean = false;

  static CellValue fromNumber(double d) { return {Type::Number, d, {}, false}; }
  static CellValue fromText(const QString& s) { return {Type::Text, 0, s, false}; }
  static CellValue fromBoolean(bool b) { return {Type::Boolean, 0, {}, b}; }
  static CellValue fromError(const QString& code) { return {Type::Error, 0, code, false}; }
  bool isEmpty() const { return type == Type::Empty; }
  bool operator==(const CellValue&) const = default;
};

struct Cell {
  CellValue value;       // for formula cells, the cached result
  int style = 0;         // index into Styles::cellFormats
  bool hasStyle = false; // the file gave an s attribute
  bool hasFormula = false;
  // A cell counts as non-empty (CurrentRegion, Find) when it has a value or a formula.
  bool isBlank() const { return value.isEmpty() && !hasFormula; }
};

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
  std::map<std::pair<int, int>, Cell> cells;  // (row, column) from 1, in row order
  std::vector<ColumnInfo> columns;            // sorted, non-overlapping
  std::map<int, RowInfo> rows;                // rows with explicit settings
  std::optional<double> defaultColumnWidth;   // sheetFormatPr defaultColWidth
  int baseColumnWidth = 8;                    // sheetFormatPr baseColWidth
  double defaultRowHeight = 15;               // sheetFormatPr defaultRowHeight, points
  std::vector<CellRange> mergedCells;
  std::optional<CellRange> dimension;         // as the file states it
  QString drawingPart;                        // empty when the sheet has no drawing

  const Cell* cell(int row, int column) const;
  // The ColumnInfo covering `column`, or nullptr.
  const ColumnInfo* columnInfo(int column) const;
  // The style a new value in an empty cell would show: row style, else column style, else 0.
  int inheritedStyle(int row, int column) const;
  // The style the cell shows: its own when it has one, else the inherited style.
  int effectiveStyle(int row, int column) const;
};

}  // namespace morvane::ooxml::xlsx
