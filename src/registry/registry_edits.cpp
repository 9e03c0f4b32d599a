#include "registry/registry_edits.h"

#include "registry/registry.h"
#include "registry/registry_sheet.h"

namespace morvane::registry {

using detail::RegistrySheet;
using office::Variant;

namespace {

// An embedded chart or a chart sheet is known by its name and sheet, a named range by its
// name alone, as the scan recognises them.
bool isNamedRange(const QString& name) {
  return name != kChartSheetMarker && !name.startsWith(QLatin1String("Chart "));
}

int registryRowOf(RegistrySheet& registry, int registryRows, const QString& name,
                  const QString& sheet) {
  int found = 0;
  for (int r = 1; r <= registryRows; ++r) {
    if (registry.cell(r, kColName) != Variant(name)) continue;
    if (isNamedRange(name) || registry.cell(r, kColSheet) == Variant(sheet)) found = r;
  }
  return found;
}

// Texts compare as the list shows them, so an empty cell equals an empty text.
void writeText(RegistrySheet& registry, int row, int column, const QString& text) {
  if (registry.cell(row, column).toText() != text) registry.setCell(row, column, text);
}

void writeNumerator(RegistrySheet& registry, int row, const Variant& value) {
  const std::optional<double> number = value.isNumber()
                                           ? std::optional(value.number())
                                           : office::parseNumericText(value.toText(), QLocale::c());
  if (!number) return;
  const Variant cell = registry.cell(row, kColNumerator);
  if (!cell.isNumber() || cell.number() != *number) registry.setCell(row, kColNumerator, *number);
}

void writeMode(RegistrySheet& registry, bool titleMode) {
  const Variant cell = registry.cell(kOptionRow, kModeColumn);
  // TRUE may also be held as the number the program stores for it (-1).
  const bool same = (cell.isBoolean() && cell.boolean() == titleMode) ||
                    (cell.isNumber() && cell.number() == (titleMode ? -1.0 : 0.0));
  if (!same) registry.setCell(kOptionRow, kModeColumn, titleMode);
}

}  // namespace

void WriteListEdits(excel::Workbook& workbook, const ListEdits& edits) {
  RegistrySheet registry(workbook);
  const int registryRows = registry.rowCount();
  const ObjectTable& rows = edits.rows;
  for (int i = 1; i <= rows.rowCount(); ++i) {
    const int r = registryRowOf(registry, registryRows, rows.at(kColName, i).toText(),
                                rows.at(kColSheet, i).toText());
    if (r == 0) continue;
    writeText(registry, r, kColInclude, rows.at(kColInclude, i).toText());
    writeNumerator(registry, r, rows.at(kColNumerator, i));
    for (int column : {kColSlideNumber, kColSlideTitle, kColPasteAs})
      writeText(registry, r, column, rows.at(column, i).toText());
  }
  if (edits.titleMode) writeMode(registry, *edits.titleMode);
}

}  // namespace morvane::registry
