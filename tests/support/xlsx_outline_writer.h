// Writes a real .xlsx file for a testbook::WorkbookOutline: worksheets with their cells and
// number formats, embedded charts (a drawing with one two-cell anchor and a minimal bar chart
// part per chart), chart sheets with their drawing, defined names with localSheetId, sheet
// states, structure protection and the active tab.
#pragma once

#include "ooxml/package.h"
#include "support/workbook_outline.h"

#include <QString>

#include <memory>

namespace morvane::testxlsx {

// The package for `outline`, not yet saved.
std::unique_ptr<ooxml::Package> buildWorkbook(const testbook::WorkbookOutline& outline);
// buildWorkbook, saved at `path`.
ooxml::Status writeWorkbook(const testbook::WorkbookOutline& outline, const QString& path);

}  // namespace morvane::testxlsx
