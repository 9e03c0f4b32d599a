// The Range object of the workbook host: values with the program's typing rules, number
// formats, CurrentRegion, Find and the numbers Max reads.
#include <QFileInfo>
#include <map>

#include "hosts/workbook/clipboard.h"
#include "hosts/workbook/objects.h"
#include "hosts/workbook/source_record.h"
#include "office/automation_error.h"

namespace morvane::hosts::workbook {

using ooxml::xlsx::CellRange;
using ooxml::xlsx::CellValue;
using ooxml::xlsx::Worksheet;

namespace {

// Writing every cell of a larger range is refused rather than attempted cell by cell.
constexpr qint64 kMaxCellsWritten = 1 << 20;

const Worksheet& sheetOf(const HostPtr& host, int sheet) {
  return host->document().model().sheets.at(size_t(sheet)).worksheet;
}

office::Variant toVariant(const CellValue& v) {
  switch (v.type) {
    case CellValue::Type::Empty: return {};
    case CellValue::Type::Number: return v.number;
    case CellValue::Type::Text: return v.text;
    case CellValue::Type::Boolean: return v.boolean;
    case CellValue::Type::Error:
      return office::Variant::error(v.text);
  }
  return {};
}

bool isTextFormat(const HostPtr& host, int sheet, int row, int column) {
  const auto& model = host->document().model();
  const int style = model.sheets.at(size_t(sheet)).worksheet.effectiveStyle(row, column);
  return model.styles.formatCodeOfXf(style) == QLatin1String("@");
}

// What the cell holds after the value is assigned, as typing it would store it.
CellValue storedValue(const HostPtr& host, int sheet, int row, int column,
                      const office::Variant& v) {
  switch (v.type()) {
    case office::Variant::Type::Empty:
      return {};
    case office::Variant::Type::Boolean:
      return CellValue::fromBoolean(v.boolean());
    case office::Variant::Type::Number:
      return CellValue::fromNumber(v.number());
    case office::Variant::Type::Error:
      return CellValue::fromError(v.errorCode());
    case office::Variant::Type::Text:
      break;
  }
  if (v.text().isEmpty()) return {};
  if (!isTextFormat(host, sheet, row, column)) {
    if (const auto number = office::parseNumericText(v.text()))
      return CellValue::fromNumber(*number);
  }
  return CellValue::fromText(v.text());
}

bool nonBlank(const Worksheet& ws, int row, int column) {
  const auto cell = ws.cell(row, column);
  return cell && !cell->isBlank();
}

// Any non-blank cell in row `row`, columns first..last.
bool rowHasValue(const Worksheet& ws, int row, int first, int last) {
  return !ws.cells.forEachIn({row, first, row, last}, [](int, int, const ooxml::xlsx::Cell& cell) {
    return cell.isBlank();  // stop at the first non-blank one
  });
}

bool columnHasValue(const Worksheet& ws, int column, int first, int last) {
  for (int r = first; r <= last; ++r) {
    if (nonBlank(ws, r, column)) return true;
  }
  return false;
}

// The text Find matches against: the value as the cell shows it in General format.
QString findText(const CellValue& v) {
  if (v.type == CellValue::Type::Boolean) return v.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
  return toVariant(v).toText();
}

}  // namespace

office::Variant HostRange::value() {
  const auto cell = sheetOf(m_host, m_sheet).cell(m_area.firstRow, m_area.firstColumn);
  return cell ? toVariant(cell->value) : office::Variant();
}

void HostRange::setValue(const office::Variant& value) {
  if (m_area.cellCount() > kMaxCellsWritten)
    throw office::AutomationError::methodFailed(QStringLiteral("Value"), QStringLiteral("Range"));
  auto& document = m_host->editableDocument();
  for (int r = m_area.firstRow; r <= m_area.lastRow; ++r) {
    for (int c = m_area.firstColumn; c <= m_area.lastColumn; ++c)
      document.setCellValue(m_sheet, r, c, storedValue(m_host, m_sheet, r, c, value));
  }
}

QString HostRange::address() { return ooxml::xlsx::formatA1Area(m_area); }

std::shared_ptr<excel::Range> HostRange::currentRegion() {
  const Worksheet& ws = sheetOf(m_host, m_sheet);
  using ooxml::xlsx::kMaxColumns;
  using ooxml::xlsx::kMaxRows;
  CellRange r = CellRange::cell(m_area.firstRow, m_area.firstColumn);
  // Grow while a cell next to the rectangle, corners included, holds something.
  for (bool grown = true; grown;) {
    grown = false;
    const int left = std::max(1, r.firstColumn - 1), right = std::min(kMaxColumns, r.lastColumn + 1);
    const int top = std::max(1, r.firstRow - 1), bottom = std::min(kMaxRows, r.lastRow + 1);
    if (r.firstRow > 1 && rowHasValue(ws, r.firstRow - 1, left, right)) { --r.firstRow; grown = true; }
    if (r.lastRow < kMaxRows && rowHasValue(ws, r.lastRow + 1, left, right)) { ++r.lastRow; grown = true; }
    if (r.firstColumn > 1 && columnHasValue(ws, r.firstColumn - 1, top, bottom)) { --r.firstColumn; grown = true; }
    if (r.lastColumn < kMaxColumns && columnHasValue(ws, r.lastColumn + 1, top, bottom)) { ++r.lastColumn; grown = true; }
  }
  return std::make_shared<HostRange>(m_host, m_sheet, r);
}

std::shared_ptr<excel::Sheet> HostRange::worksheet() { return std::make_shared<HostSheet>(m_host, m_sheet); }

QString HostRange::numberFormat() {
  const auto& model = m_host->document().model();
  return model.styles.formatCodeOfXf(model.sheets.at(size_t(m_sheet)).worksheet.effectiveStyle(m_area.firstRow, m_area.firstColumn));
}

void HostRange::setNumberFormat(const QString& format) {
  auto& document = m_host->editableDocument();
  const Worksheet& ws = sheetOf(m_host, m_sheet);
  std::map<int, int> converted;  // base style -> style with the format
  auto withFormat = [&](int base) {
    auto it = converted.find(base);
    if (it == converted.end()) it = converted.emplace(base, document.cellFormatWithNumberFormat(base, format)).first;
    return it->second;
  };
  std::vector<std::pair<int, int>> cells;
  if (m_area.isWholeColumns()) {
    // A column style, as the program stores it: one <col> per run of columns that end up
    // with the same style, never a million cells.
    int runStart = m_area.firstColumn, runStyle = -1;
    for (int c = m_area.firstColumn; c <= m_area.lastColumn + 1; ++c) {
      int style = -1;
      if (c <= m_area.lastColumn) {
        const auto* info = ws.columnInfo(c);
        style = withFormat(info && info->style ? *info->style : 0);
      }
      if (style != runStyle) {
        if (runStyle >= 0) document.setColumnsStyle(m_sheet, runStart, c - 1, runStyle);
        runStart = c;
        runStyle = style;
      }
    }
    ws.cells.forEachIn(m_area, [&](int r, int c, const ooxml::xlsx::Cell& cell) {
      if (cell.hasStyle) cells.emplace_back(r, c);
      return true;
    });
  } else if (m_area.isWholeRows()) {
    // Row styles are not modelled; the tool formats columns and bounded ranges only.
    throw office::AutomationError::methodFailed(QStringLiteral("NumberFormat"),
                                                QStringLiteral("Range"));
  } else {
    if (m_area.cellCount() > kMaxCellsWritten)
      throw office::AutomationError::methodFailed(QStringLiteral("NumberFormat"),
                                                  QStringLiteral("Range"));
    for (int r = m_area.firstRow; r <= m_area.lastRow; ++r)
      for (int c = m_area.firstColumn; c <= m_area.lastColumn; ++c) cells.emplace_back(r, c);
  }
  for (const auto& [r, c] : cells) document.setCellStyle(m_sheet, r, c, withFormat(ws.effectiveStyle(r, c)));
}

// A range copy carries every picture form and the workbook itself, as the program's does.
void HostRange::copy() {
  const CellRange area = m_area;
  const HostPtr host = m_host;
  // The picture first: it checks the sheet index and raises the program's error.
  auto picture = hosts::workbook::rangePicture(*m_host, m_sheet, area.firstRow, area.firstColumn,
                                               area.lastRow, area.lastColumn);
  const auto& entry = m_host->document().model().sheets.at(size_t(m_sheet));
  const QSizeF size = picture.sizePoints;
  const QString sheetName = entry.name;
  hosts::workbook::offerOnClipboard(
      std::move(picture), hosts::workbook::kOfferNativeCopy,
      [host, area, size, sheetName] {
        office::NativeObject native;
        native.kind = office::NativeObject::Kind::Range;
        native.workbookName = QFileInfo(host->path()).fileName();
        native.sheet = sheetName;
        native.name = ooxml::xlsx::formatA1Area(area);
        native.sizePoints = size;
        native.workbook = hosts::workbook::workbookBytes(*host);
        return native;
      },
      source());
}

void HostRange::copyPicture(int, int format) {
  hosts::workbook::offerOnClipboard(
      hosts::workbook::rangePicture(*m_host, m_sheet, m_area.firstRow, m_area.firstColumn,
                                    m_area.lastRow, m_area.lastColumn),
      hosts::workbook::pictureFormats(format), {}, source());
}

std::optional<office::SourceRecord> HostRange::source() const {
  return rangeSource(m_host, m_sheet, m_area.firstRow, m_area.firstColumn, m_area.rows(),
                     m_area.columns());
}

std::shared_ptr<excel::Range> HostRange::find(const office::Variant& what, int) {
  const Worksheet& ws = sheetOf(m_host, m_sheet);
  const QString needle = what.toText();
  // By rows from the cell after the first one, then round to the first cell itself.
  std::optional<CellRange> found, firstMatches;
  ws.cells.forEachIn(m_area, [&](int r, int c, const ooxml::xlsx::Cell& cell) {
    if (cell.isBlank() || !findText(cell.value).contains(needle, Qt::CaseInsensitive)) return true;
    const bool first = r == m_area.firstRow && c == m_area.firstColumn;
    (first ? firstMatches : found) = CellRange::cell(r, c);
    return first;
  });
  if (!found) found = firstMatches;
  return found ? std::make_shared<HostRange>(m_host, m_sheet, *found) : nullptr;
}

double HostRange::maxNumber() const {
  const Worksheet& ws = sheetOf(m_host, m_sheet);
  std::optional<double> best;
  ws.cells.forEachIn(m_area, [&](int, int, const ooxml::xlsx::Cell& cell) {
    if (cell.value.type == CellValue::Type::Number)
      best = best ? std::max(*best, cell.value.number) : cell.value.number;
    return true;
  });
  return best.value_or(0);
}

}  // namespace morvane::hosts::workbook
