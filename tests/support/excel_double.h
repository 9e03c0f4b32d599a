// The spreadsheet half of the office double: a workbook in memory (sheets, cells, number
// formats, embedded charts, chart sheets, defined names) behind excel.h, recording every
// member call in a CallLog that can also be told to fail any chosen call.
//
// Its data is open to tests (ExcelState) so they can arrange and inspect a workbook without
// going through, and logging, the interface.
#pragma once

#include "office/excel.h"
#include "support/call_log.h"
#include "support/workbook_outline.h"

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace morvane::fake {

struct SheetState;

struct ChartState {
  QString name;   // chart object name (embedded) or the sheet's name (chart sheet)
  QString title;
  std::weak_ptr<SheetState> sheet;
  bool chartSheet = false;
  bool unreadable = false;  // copies fail as the host's do for a chart part it cannot read
  QString key{};            // the stable key: the outline's creation id, else one given when built
};

struct SheetState {
  excel::SheetType type = excel::SheetType::Worksheet;
  QString name;
  int visible = excel::xlSheetVisible;
  std::vector<std::shared_ptr<ChartState>> charts;  // embedded, in drawing order
  std::shared_ptr<ChartState> sheetChart;           // a chart sheet's own chart
  std::map<std::pair<int, int>, office::Variant> cells;
  std::map<std::pair<int, int>, QString> cellFormats;
  std::map<int, QString> columnFormats;
  bool deleted = false;

  office::Variant cell(int row, int column) const;
  QString formatAt(int row, int column) const;
};

struct NameState {
  QString name;        // without prefix
  QString localSheet;  // sheet-level scope; empty for workbook level
  QString refersTo;    // "Sheet1!$A$1:$B$3", "0.98", "#REF!"
  bool hidden = false;
};

struct WorkbookState {
  QString name = QStringLiteral("Book1.xlsx");
  QString fullName = QStringLiteral("/home/user/Book1.xlsx");
  bool protectStructure = false;
  std::vector<std::shared_ptr<SheetState>> sheets;
  std::vector<std::shared_ptr<NameState>> names;
  std::shared_ptr<SheetState> activeSheet;
  std::shared_ptr<ChartState> activeChart;

  std::shared_ptr<SheetState> findSheet(const QString& name) const;  // case-insensitive
};

struct ExcelState {
  QString version = QStringLiteral("16.0");
  std::shared_ptr<WorkbookState> workbook;  // the active workbook; null: none open
  bool activeWindowVisible = true;
  // Workbook.prefetchPictures hints, each as its objects' "sheet|name", in order; the double
  // draws nothing ahead.
  std::vector<QStringList> prefetches;
};

// Builds a workbook from a description.
std::shared_ptr<WorkbookState> buildWorkbook(const testbook::WorkbookOutline& outline);

// The application object over `state`. Copies put real content on the desktop clipboard:
// a bitmap (QImage at 192 dpi, device pixel ratio 2) unless a metafile was asked for, a small
// SVG for SVG and native copies, and always a marker under kFakeObjectMime naming what was
// copied ("chart|Sheet1|Chart 1|bitmap"). A copy that fails with AutomationError 481 (an
// unreadable chart, or a failure armed in the log) leaves the clipboard empty, as the host's.
std::shared_ptr<excel::Application> makeExcel(std::shared_ptr<ExcelState> state, CallLog& log);

inline constexpr char kFakeObjectMime[] = "application/x-morvane-double-object";

}  // namespace morvane::fake
