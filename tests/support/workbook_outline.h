// WorkbookOutline: a workbook described as plain values, from which the office double builds an
// in-memory workbook and the workbook host's test support writes a real .xlsx file. The
// contract suite (excel_contract.h) runs the same cases on both through this one description.
#pragma once

#include "office/variant.h"

#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace morvane::testbook {

struct ChartOutline {
  QString name;  // the chart object's name (cNvPr name)
  QString title; // optional chart title
  bool unreadable = false;  // its chart part cannot be read: no picture of it can be made
  QString creationId{};     // the frame's a16:creationId ("{GUID}"); empty: the frame has none
};

struct SheetOutline {
  enum class Kind { Worksheet, ChartSheet };
  Kind kind = Kind::Worksheet;
  QString name;
  int visible = -1;  // -1 visible, 0 hidden, 2 very hidden
  std::vector<ChartOutline> charts;  // worksheets: embedded charts in drawing order
  // (row, column) from 1 -> value; texts, numbers, booleans.
  std::map<std::pair<int, int>, office::Variant> cells;
  // (row, column) -> number format code for that cell ("@", "0.00").
  std::map<std::pair<int, int>, QString> formats;
};

struct NameOutline {
  QString name;        // without sheet prefix
  QString refersTo;    // formula text without "=": "Sheet1!$A$1:$B$3", "0.98", "#REF!"
  bool hidden = false;
  QString localSheet;  // sheet name for a sheet-level name; empty for workbook level
};

struct WorkbookOutline {
  QString fileName = QStringLiteral("Book1.xlsx");
  std::vector<SheetOutline> sheets;
  std::vector<NameOutline> names;
  bool protectStructure = false;
  int activeSheet = 0;  // 0-based index into sheets
};

}  // namespace morvane::testbook
