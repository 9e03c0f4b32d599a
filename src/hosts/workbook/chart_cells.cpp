#include "hosts/workbook/chart_cells.h"

#include "render/numfmt/number_format.h"

#include <map>

namespace morvane::hosts::workbook {

using ooxml::xlsx::CellRange;
using ooxml::xlsx::CellValue;
using ooxml::xlsx::SheetArea;
using ooxml::xlsx::SheetEntry;
using ooxml::xlsx::WorkbookModel;
using ooxml::xlsx::Worksheet;

namespace {

// A name that refers to another name is followed this far, so a cycle ends.
constexpr int kMaxNameDepth = 4;

ooxml::Error notFound(QStringView formula, const QString& why) {
  return {ooxml::Error::Code::NotFound, QStringLiteral("chart reference %1: %2").arg(formula.toString(), why)};
}

QStringView bareFormula(QStringView f) {
  f = f.trimmed();
  if (f.startsWith(u'=')) f = f.mid(1).trimmed();
  if (f.size() >= 2 && f.front() == u'(' && f.back() == u')') f = f.mid(1, f.size() - 2).trimmed();
  return f;
}

QString unquoted(QStringView s) {
  if (s.size() >= 2 && s.front() == u'\'' && s.back() == u'\'')
    return s.mid(1, s.size() - 2).toString().replace(QLatin1String("''"), QLatin1String("'"));
  return s.toString();
}

// Index of the '!' that ends a sheet or workbook prefix (outside quotes); -1 when none.
qsizetype prefixEnd(QStringView f) {
  bool quoted = false;
  qsizetype last = -1;
  for (qsizetype i = 0; i < f.size(); ++i) {
    if (f[i] == u'\'') quoted = !quoted;
    else if (f[i] == u'!' && !quoted) last = i;
  }
  return last;
}

// "[0]" is the file's own workbook in stored formulas; some writers put its file name.
bool namesThisWorkbook(const QString& prefix) {
  static const char* const kExtensions[] = {".xlsx", ".xlsm", ".xlsb", ".xls"};
  if (prefix == QLatin1String("[0]")) return true;
  for (const char* ext : kExtensions) {
    if (prefix.endsWith(QLatin1String(ext), Qt::CaseInsensitive) && !prefix.startsWith(u'[')) return true;
  }
  return false;
}

bool looksLikeName(const QString& name) {
  if (name.isEmpty() || name[0].isDigit()) return false;
  for (QChar ch : name) {
    if (!ch.isLetterOrNumber() && ch != u'_' && ch != u'.' && ch != u'\\') return false;
  }
  return true;
}

// The sheet's own name first, then a workbook-level one.
std::optional<int> findName(const WorkbookModel& model, const QString& name, std::optional<int> sheet) {
  const auto& names = model.names;
  for (size_t i = 0; sheet && i < names.size(); ++i) {
    if (names[i].localSheetId == sheet && names[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (!names[i].localSheetId && names[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
  }
  return std::nullopt;
}

ooxml::Result<SheetArea> resolve(const WorkbookModel& model, QStringView original, QStringView formula, int depth) {
  const QStringView f = bareFormula(formula);
  if (const auto area = ooxml::xlsx::parseSheetArea(f)) {
    const int index = model.sheetIndex(area->sheet);
    if (index < 0) return notFound(original, QStringLiteral("there is no sheet named %1").arg(area->sheet));
    const SheetEntry& entry = model.sheets[size_t(index)];
    if (entry.kind != SheetEntry::Kind::Worksheet)
      return notFound(original, QStringLiteral("%1 is not a worksheet").arg(entry.name));
    return SheetArea{entry.name, area->area};
  }
  const qsizetype bang = prefixEnd(f);
  const QString prefix = bang >= 0 ? unquoted(f.left(bang)) : QString();
  if (prefix.startsWith(u'[') && prefix != QLatin1String("[0]"))
    return notFound(original, QStringLiteral("it refers to another workbook"));
  const QString name = f.mid(bang + 1).toString();
  if (!looksLikeName(name) || depth >= kMaxNameDepth)
    return notFound(original, QStringLiteral("it is not one area of cells"));
  std::optional<int> scope;
  if (bang >= 0) {
    const int sheet = model.sheetIndex(prefix);
    if (sheet >= 0) scope = sheet;
    else if (!namesThisWorkbook(prefix)) return notFound(original, QStringLiteral("there is no sheet named %1").arg(prefix));
  }
  const auto found = findName(model, name, scope);
  if (!found) return notFound(original, QStringLiteral("there is no name %1").arg(name));
  return resolve(model, original, model.names[size_t(*found)].formula, depth + 1);
}

bool rowHidden(const Worksheet& ws, int row) {
  const auto it = ws.rows.find(row);
  return it != ws.rows.end() &&
         (it->second.hidden || (it->second.customHeight && it->second.height && *it->second.height <= 0));
}

bool columnHidden(const Worksheet& ws, int column) {
  const auto* info = ws.columnInfo(column);
  return info && info->hidden;
}

// Whole columns and rows end at the last non-blank cell inside them; `area` may end up
// empty (last before first).
CellRange clippedToUsedCells(const Worksheet& ws, CellRange area) {
  if (!area.isWholeColumns() && !area.isWholeRows()) {
    // Blank points past the sheet's stored cells cost memory without costing bytes in the
    // file: a reference keeps at most kMaxTrailingBlanks of them.
    const std::optional<CellRange> stored = ws.cells.bounds();
    const int lastRow = stored ? stored->lastRow : 0, lastColumn = stored ? stored->lastColumn : 0;
    area.lastRow = std::min(area.lastRow, std::max(area.firstRow, lastRow) + kMaxTrailingBlanks);
    area.lastColumn =
        std::min(area.lastColumn, std::max(area.firstColumn, lastColumn) + kMaxTrailingBlanks);
    return area;
  }
  int lastRow = area.firstRow - 1, lastColumn = area.firstColumn - 1;
  ws.cells.forEachIn(area, [&](int r, int c, const ooxml::xlsx::Cell& cell) {
    if (!cell.isBlank()) {
      lastRow = std::max(lastRow, r);
      lastColumn = std::max(lastColumn, c);
    }
    return true;
  });
  if (area.isWholeColumns()) area.lastRow = lastRow;
  if (area.isWholeRows()) area.lastColumn = lastColumn;
  return area;
}

// Parsed number formats by cell style, so each is parsed once per reference.
class Formats {
 public:
  explicit Formats(const WorkbookModel& model) : m_model(model) {}
  const render::numfmt::NumberFormat& of(int style) {
    auto it = m_parsed.find(style);
    if (it == m_parsed.end())
      it = m_parsed.emplace(style, render::numfmt::NumberFormat::parse(code(style))).first;
    return it->second;
  }
  QString code(int style) const { return m_model.styles.formatCodeOfXf(style); }

 private:
  const WorkbookModel& m_model;
  std::map<int, render::numfmt::NumberFormat> m_parsed;
};

ChartCell readCell(const Worksheet& ws, int row, int column, Formats& formats, bool date1904) {
  ChartCell out;
  const auto cell = ws.cell(row, column);
  if (!cell) return out;
  const CellValue& v = cell->value;
  const render::numfmt::NumberFormat& format = formats.of(ws.effectiveStyle(row, column));
  switch (v.type) {
    case CellValue::Type::Empty: return out;
    case CellValue::Type::Number:
      out.number = v.number;
      out.text = format.format(v.number, date1904).text;
      break;
    case CellValue::Type::Text: out.text = format.formatText(v.text).text; break;
    case CellValue::Type::Boolean: out.text = v.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
    case CellValue::Type::Error: out.text = v.text; break;
  }
  out.empty = false;
  return out;
}

// A reference's area clipped to the used cells, on its worksheet.
struct ClippedArea {
  const Worksheet* sheet = nullptr;
  SheetArea reference;
  int rows = 0, columns = 0;
};

ooxml::Result<ClippedArea> clippedArea(const WorkbookModel& model, QStringView formula) {
  auto resolved = resolve(model, formula, formula, 0);
  if (!resolved) return resolved.error();
  ClippedArea out;
  out.sheet = &model.sheets[size_t(model.sheetIndex(resolved->sheet))].worksheet;
  out.reference = {resolved->sheet, clippedToUsedCells(*out.sheet, resolved->area)};
  const CellRange& area = out.reference.area;
  out.rows = std::max(0, area.lastRow - area.firstRow + 1);
  out.columns = std::max(0, area.lastColumn - area.firstColumn + 1);
  return out;
}

ooxml::Error tooManyCells(QStringView formula) {
  return {ooxml::Error::Code::Unsafe,
          QStringLiteral("chart reference %1: more than %2 cells").arg(formula.toString()).arg(kMaxChartCells)};
}

// The line `offset` rows (across) or columns (down) into the area. A hidden line hides all
// its points when it is the whole area; otherwise only hidden points are left out.
ChartCells readLine(const WorkbookModel& model, const ClippedArea& area, bool down, int offset, bool visibleOnly) {
  const Worksheet& ws = *area.sheet;
  const CellRange& r = area.reference.area;
  const bool single = area.rows <= 1 || area.columns <= 1;
  const int count = down ? area.rows : area.columns;
  ChartCells out;
  out.reference = area.reference;
  Formats formats(model);
  for (int i = 0; i < count; ++i) {
    const int row = down ? r.firstRow + i : r.firstRow + offset;
    const int column = down ? r.firstColumn + offset : r.firstColumn + i;
    if (visibleOnly) {
      const bool pointHidden = down ? rowHidden(ws, row) : columnHidden(ws, column);
      const bool lineHidden = down ? columnHidden(ws, column) : rowHidden(ws, row);
      if (pointHidden || (single && lineHidden)) continue;
    }
    out.points.push_back(readCell(ws, row, column, formats, model.date1904));
    if (out.formatCode.isEmpty() && !out.points.back().empty) out.formatCode = formats.code(ws.effectiveStyle(row, column));
  }
  if (out.formatCode.isEmpty()) out.formatCode = QStringLiteral("General");
  return out;
}

}  // namespace

ooxml::Result<SheetArea> resolveChartReference(const WorkbookModel& model, QStringView formula) {
  return resolve(model, formula, formula, 0);
}

ooxml::Result<ChartCells> readChartCells(const WorkbookModel& model, QStringView formula, bool visibleOnly) {
  auto area = clippedArea(model, formula);
  if (!area) return area.error();
  if (area->rows > 1 && area->columns > 1)
    return notFound(formula, QStringLiteral("the area is not one row or one column"));
  const bool down = area->columns == 1;
  if ((down ? area->rows : area->columns) > kMaxChartCells) return tooManyCells(formula);
  return readLine(model, area.value(), down, 0, visibleOnly);
}

ooxml::Result<std::vector<ChartCells>> readChartCellLevels(const WorkbookModel& model, QStringView formula,
                                                           bool visibleOnly) {
  auto area = clippedArea(model, formula);
  if (!area) return area.error();
  const bool down = area->rows >= area->columns;
  const int levels = down ? area->columns : area->rows;
  if (qint64(area->rows) * area->columns > kMaxChartCells) return tooManyCells(formula);
  std::vector<ChartCells> out;
  for (int level = levels; level-- > 0;) out.push_back(readLine(model, area.value(), down, level, visibleOnly));
  return out;
}

}  // namespace morvane::hosts::workbook
