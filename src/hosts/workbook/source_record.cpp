#include "hosts/workbook/source_record.h"

#include <QFileInfo>

#include "ooxml/xlsx/formula_reference.h"

namespace morvane::hosts::workbook {

namespace {

office::SourceRecord record(const HostPtr& host, office::SourceRecord::Kind kind, int sheet) {
  office::SourceRecord r;
  r.workbook = QFileInfo(host->path()).fileName();
  r.kind = kind;
  r.sheet = host->document().model().sheets.at(size_t(sheet)).name;
  return r;
}

}  // namespace

office::SourceRecord chartSource(const HostPtr& host, int sheet, int object) {
  if (object < 0) return record(host, office::SourceRecord::Kind::ChartSheet, sheet);
  office::SourceRecord r = record(host, office::SourceRecord::Kind::Chart, sheet);
  HostChartObject chart(host, sheet, object);
  r.name = chart.name();
  r.key = chart.stableKey();
  return r;
}

std::optional<office::SourceRecord> rangeSource(const HostPtr& host, int sheet, int firstRow,
                                                int firstColumn, int rows, int columns) {
  std::optional<office::SourceRecord> hidden;
  const auto& model = host->document().model();
  if (sheet < 0 || sheet >= int(model.sheets.size())) return hidden;  // the copy fails on it
  const QString& sheetName = model.sheets[size_t(sheet)].name;
  const int count = int(model.names.size());
  for (int i = 0; i < count; ++i) {
    // Names of other sheets are passed over on their text: resolving every name for every
    // copy made a large workbook's copies slower the more names it has.
    const auto area = ooxml::xlsx::parseSheetArea(model.names[size_t(i)].formula);
    if (!area || area->sheet.compare(sheetName, Qt::CaseInsensitive) != 0) continue;
    const auto range = resolveNameRange(host, i);
    if (!range || range->worksheet()->name() != sheetName || range->row() != firstRow ||
        range->column() != firstColumn || range->rowsCount() != rows ||
        range->columnsCount() != columns)
      continue;
    HostName name(host, i);
    office::SourceRecord r = record(host, office::SourceRecord::Kind::Range, sheet);
    r.name = name.name();
    if (name.visible()) return r;
    if (!hidden) hidden = r;
  }
  return hidden;
}

}  // namespace morvane::hosts::workbook
