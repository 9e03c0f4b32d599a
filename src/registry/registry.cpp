#include "registry/registry.h"

#include <memory>

#include "office/automation_error.h"
#include "registry/registry_sheet.h"

namespace morvane::registry {

using detail::RegistrySheet;
using office::AutomationError;
using office::Variant;

bool WorksheetExists(excel::Workbook& workbook, const QString& name) {
  try {
    const auto sheet = workbook.worksheet(name);
    return sheet && !sheet->name().isEmpty();
  } catch (const AutomationError&) {
    return false;
  }
}

void CountObjects(excel::Workbook& workbook, Counts& counts) {
  counts.objectCount = 0;
  counts.knownObjectCount = 0;
  for (const auto& sheet : workbook.sheets()) {
    if (sheet->type() != excel::SheetType::Worksheet) continue;
    for (std::size_t i = 0, n = sheet->chartObjects().size(); i < n; ++i) ++counts.objectCount;
  }
  for (std::size_t i = 0, n = workbook.charts().size(); i < n; ++i) ++counts.objectCount;
  if (workbook.namesCount() >= 1) {
    for (const auto& name : workbook.names())
      if (name->name() != kRegistryName) ++counts.objectCount;
  }
  counts.knownObjectCount = counts.objectCount;
}

namespace {

int addObject(ObjectTable& table, Counts& counts, const QString& name, const QString& sheet) {
  ++counts.objectCount;
  const int row = table.addRow();
  table.at(kColName, row) = name;
  table.at(kColSheet, row) = sheet;
  table.at(kColInclude, row) = kYes;
  table.at(kColSlideNumber, row) = QString();
  table.at(kColSlideTitle, row) = QString();
  table.at(kColPasteAs, row) = kPicture;
  return row;
}

void takeRegistryRow(ObjectTable& table, int row, RegistrySheet& registry, int r) {
  table.at(kColPasteAs, row) = kPicture;
  table.at(kColNumerator, row) = registry.cell(r, kColNumerator);
  table.at(kColInclude, row) = registry.cell(r, kColInclude);
  // What the user saved from the window; a registry that never held it (E and F empty, G
  // "Picture") reads as it always did. G holds one of the two settings or counts as Picture.
  table.at(kColSlideNumber, row) = registry.cell(r, kColSlideNumber).toText();
  table.at(kColSlideTitle, row) = registry.cell(r, kColSlideTitle).toText();
  if (registry.cell(r, kColPasteAs) == Variant(kExcelObject))
    table.at(kColPasteAs, row) = kExcelObject;
}

// Every registry row whose columns A and B equal name and sheet; the last match wins.
void recogniseByNameAndSheet(ObjectTable& table, int row, RegistrySheet& registry,
                             int registryRows, const QString& name, const QString& sheet) {
  for (int r = 1; r <= registryRows; ++r) {
    if (registry.cell(r, kColName) == Variant(name) && registry.cell(r, kColSheet) == Variant(sheet))
      takeRegistryRow(table, row, registry, r);
  }
}

void scanEmbeddedCharts(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                        RegistrySheet& registry) {
  for (const auto& sheet : workbook.sheets()) {
    if (sheet->type() != excel::SheetType::Worksheet) continue;
    const QString sheetName = sheet->name();
    for (const auto& chartObject : sheet->chartObjects()) {
      const QString name = chartObject->name();
      const int row = addObject(table, counts, name, sheetName);
      recogniseByNameAndSheet(table, row, registry, registry.rowCount(), name, sheetName);
    }
  }
}

// A chart sheet is recognised like an embedded chart: by the marker in column A and its exact
// name in column B. (A substring search of column B would take a row of Sheet1 for a chart
// sheet named Sheet, and a one-row registry would never be searched at all.)
void scanChartSheets(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                     RegistrySheet& registry) {
  const int registryRows = registry.rowCount();
  for (const auto& chart : workbook.charts()) {
    const QString sheetName = chart->name();
    const int row = addObject(table, counts, kChartSheetMarker, sheetName);
    recogniseByNameAndSheet(table, row, registry, registryRows, kChartSheetMarker, sheetName);
  }
}

// `leftOut`, when given, collects the visible names passed over for referring to several
// areas; without it the scan makes exactly the calls it always made.
void scanNames(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
               RegistrySheet& registry, QStringList* leftOut) {
  if (workbook.namesCount() < 1) return;
  for (const auto& definedName : workbook.names()) {
    std::shared_ptr<excel::Range> range;
    try {
      range = definedName->refersToRange();
    } catch (const office::AutomationError&) {
      range = nullptr;  // a name to a constant, a formula or nothing: not a pasteable range
    }
    const QString name = definedName->name();
    if (leftOut && !range && name != kRegistryName && definedName->visible() &&
        definedName->areasCount() > 1)
      leftOut->append(name);
    if (name == kRegistryName || !range || !definedName->visible()) continue;
    const int row = addObject(table, counts, name, range->worksheet()->name());
    const int registryRows = registry.rowCount();
    for (int r = 1; r <= registryRows; ++r) {
      if (registry.cell(r, kColName) == Variant(name)) takeRegistryRow(table, row, registry, r);
    }
  }
}

void firstFill(ObjectTable& table, RegistrySheet& registry, int listColumnCount) {
  for (int i = 1; i <= table.rowCount(); ++i) {
    table.at(kColNumerator, i) = i;
    for (int c = 1; c <= listColumnCount; ++c) registry.setCell(i, c, table.at(c, i));
  }
}

void appendNewObjects(ObjectTable& table, RegistrySheet& registry) {
  int freeRow = registry.rowCount() + 1;
  for (int i = 1; i <= table.rowCount(); ++i) {
    if (!table.at(kColNumerator, i).isEmpty()) continue;
    registry.setCell(freeRow, kColNumerator, registry.maxNumerator() + 1);
    table.at(kColNumerator, i) = registry.cell(freeRow, kColNumerator);
    registry.setCell(freeRow, kColName, table.at(kColName, i));
    registry.setCell(freeRow, kColSheet, table.at(kColSheet, i));
    registry.setCell(freeRow, kColInclude, kYes);
    registry.setCell(freeRow, kColPasteAs, kPicture);
    ++freeRow;
  }
}

void sync(excel::Workbook& workbook, ObjectTable& table, Counts& counts, int listColumnCount,
          QStringList* leftOut) {
  counts.objectCount = 0;
  counts.knownObjectCount = 0;
  table.clear();
  RegistrySheet registry(workbook);

  scanEmbeddedCharts(workbook, table, counts, registry);
  scanChartSheets(workbook, table, counts, registry);
  scanNames(workbook, table, counts, registry, leftOut);

  if (registry.cell(1, 1).isEmpty() || registry.cell(1, 1) == Variant(QString()))
    firstFill(table, registry, listColumnCount);
  else
    appendNewObjects(table, registry);

  counts.knownObjectCount = counts.objectCount;
}

}  // namespace

void SyncRegistry(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                  int listColumnCount) {
  sync(workbook, table, counts, listColumnCount, nullptr);
}

void SyncRegistry(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                  QStringList& leftOut) {
  leftOut.clear();
  sync(workbook, table, counts, kObjectColumns, &leftOut);
}

}  // namespace morvane::registry
