// The cells behind a chart's data reference: the formula of a c:numRef or c:strRef
// ("'Sales Data'!$B$2:$B$4", "Sheet1!B1", a defined name) resolved against the workbook, and
// the cells' values as a chart cache holds them. Pure functions over the workbook model.
#pragma once

#include "ooxml/result.h"
#include "ooxml/xlsx/formula_reference.h"
#include "ooxml/xlsx/workbook_model.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace morvane::hosts::workbook {

// The most points one reference gives (a whole column of a sheet); longer areas are refused
// rather than cached.
inline constexpr int kMaxChartCells = 1 << 20;
// The most blank points a reference gives past the sheet's last stored cell.
inline constexpr int kMaxTrailingBlanks = 100000;

// One cell of the reference, in point order.
struct ChartCell {
  bool empty = true;             // no value (a gap in the chart)
  std::optional<double> number;  // numbers, dates and times
  QString text;                  // what the cell shows: its value through its number format
};

struct ChartCells {
  ooxml::xlsx::SheetArea reference;  // the area read, whole lines clipped to the used cells
  QString formatCode;                // the first non-empty cell's format; "General" when none
  std::vector<ChartCell> points;
};

// The one worksheet area `formula` names: an A1 area with a sheet, quoted or not, absolute or
// relative, with or without "=" and one pair of enclosing parentheses; or a defined name,
// bare, after "[0]!" or a workbook file name (workbook level), or after a sheet name (that
// sheet's own name, else a workbook-level one). Fails with NotFound and a message naming the
// formula and what is missing: no such sheet, no such name, not a worksheet, not a single
// area (unions, other workbooks, constants, #REF!).
ooxml::Result<ooxml::xlsx::SheetArea> resolveChartReference(const ooxml::xlsx::WorkbookModel& model,
                                                            QStringView formula);

// The cells of `formula`, down its column or along its row (one cell alone is one point).
// Whole columns and rows stop at the last cell in use. `visibleOnly`: hidden rows and
// columns are left out, as a chart that plots visible cells only leaves them out. Failure:
// resolveChartReference's, or NotFound when the area is neither one row nor one column,
// Unsafe when it holds more than kMaxChartCells points.
ooxml::Result<ChartCells> readChartCells(const ooxml::xlsx::WorkbookModel& model, QStringView formula,
                                         bool visibleOnly);

// The cells of a multi-level category reference, one ChartCells per level, the innermost
// (the last column, or the last row) first. The points run down the rows unless the area is
// wider than it is tall. Failure: resolveChartReference's, or Unsafe past kMaxChartCells
// cells in all.
ooxml::Result<std::vector<ChartCells>> readChartCellLevels(const ooxml::xlsx::WorkbookModel& model,
                                                           QStringView formula, bool visibleOnly);

}  // namespace morvane::hosts::workbook
