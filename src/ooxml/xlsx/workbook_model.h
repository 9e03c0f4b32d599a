// A workbook read from an .xlsx package, as plain values: sheets in tab order with their
// content, defined names in file order, shared strings, styles and the parts they live in.
// Produced by readWorkbook (workbook_reader.h); edited and saved by WorkbookDocument.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "ooxml/xlsx/drawing_model.h"
#include "ooxml/xlsx/styles_model.h"
#include "ooxml/xlsx/worksheet_model.h"

namespace morvane::ooxml::xlsx {

struct SheetEntry {
  enum class Kind { Worksheet, Chartsheet, Other };  // Other: dialog and macro sheets
  enum class State { Visible, Hidden, VeryHidden };
  QString name;
  Kind kind = Kind::Worksheet;
  State state = State::Visible;
  int sheetId = 0;
  QString relationshipId;  // r:id in the workbook part
  QString partName;        // "/xl/worksheets/sheet1.xml"; empty when the target is missing
  Worksheet worksheet;     // Worksheet kind only
  std::optional<Drawing> drawing;  // its drawing part, when it has one
  // Chart sheets: the chart part of the sheet's chart ("/xl/charts/chart2.xml").
  QString chartPart;
};

struct DefinedName {
  QString name;                     // as in the file: "Area", "_xlnm.Print_Area"
  std::optional<int> localSheetId;  // 0-based tab index of the sheet it belongs to
  bool hidden = false;
  QString formula;                  // without "=": "Sheet1!$A$1:$C$5"

  bool isBuiltIn() const { return name.startsWith(QLatin1String("_xlnm.")); }
  // The name without the built-in prefix ("Print_Area").
  QString shortName() const;
};

struct WorkbookModel {
  QString workbookPart;  // "/xl/workbook.xml"
  QString stylesPart;    // empty when the package has none
  QString sharedStringsPart;
  QString themePart;     // the workbook theme ("/xl/theme/theme1.xml"); empty when none
  std::vector<SheetEntry> sheets;
  std::vector<DefinedName> names;
  // Rich text flattened to its text; null when the workbook has no table. Shared with the
  // worksheets' cells, which hold indices into it.
  std::shared_ptr<const StringTable> sharedStrings;
  Styles styles;
  bool lockStructure = false;
  bool date1904 = false;
  int activeTab = 0;  // bookViews' first workbookView

  // The sheet with that name, case-insensitively; -1 when none.
  int sheetIndex(const QString& name) const;
  // How the program reports a name: "Area", "Sheet2!Area", "'My Sheet'!Print_Area".
  QString reportedName(const DefinedName& name) const;
};

}  // namespace morvane::ooxml::xlsx
