// Worksheet and chart sheet parts.
#include <cctype>
#include <charconv>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <utility>

#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

namespace morvane::ooxml::xlsx {

using namespace detail;

namespace {

// Widths and heights within what the program allows (255 characters, 409 points); NaN is 0.
std::optional<double> sane(std::optional<double> v, double max) {
  if (!v) return v;
  return *v >= 0 ? std::min(*v, max) : 0.0;
}

void readColumns(pugi::xml_node cols, Worksheet& sheet) {
  for (pugi::xml_node c = cols.child("x:col"); c; c = c.next_sibling("x:col")) {
    ColumnInfo info;
    info.min = std::clamp(intAttr(c, "min").value_or(1), 1, kMaxColumns);
    info.max = std::clamp(intAttr(c, "max").value_or(info.min), info.min, kMaxColumns);
    info.width = sane(doubleAttr(c, "width"), 255);
    info.customWidth = boolAttr(c, "customWidth");
    info.hidden = boolAttr(c, "hidden");
    info.style = intAttr(c, "style");
    info.bestFit = boolAttr(c, "bestFit");
    info.outlineLevel = intAttr(c, "outlineLevel").value_or(0);
    info.collapsed = boolAttr(c, "collapsed");
    // Producers keep <col> sorted and disjoint; drop an overlapping one rather than guess.
    if (!sheet.columns.empty() && info.min <= sheet.columns.back().max) continue;
    sheet.columns.push_back(info);
  }
}

// Reading state carried from one piece of the part to the next.
struct SheetReading {
  const Package& package;
  const QString& partName;
  const StringTable& strings;
  Worksheet& sheet;
  int rowNumber = 0;
  bool formatSeen = false, dimensionSeen = false, drawingSeen = false;
  QString drawingId;
};

std::string_view trimmed(std::string_view v) {
  const auto first = v.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return v.substr(first, v.find_last_not_of(" \t\r\n") - first + 1);
}

// Numbers as QString::toDouble and toInt read them, plain decimal ones without a QString.
template <typename T>
std::optional<T> numberIn(std::string_view v) {
  v = trimmed(v);
  const bool plain = !v.empty() && v.find_first_not_of("0123456789.eE-") == std::string_view::npos;
  T value{};
  const auto [last, error] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (plain && error == std::errc() && last == v.data() + v.size()) return value;
  bool ok = false;
  const QString text = QString::fromUtf8(v.data(), qsizetype(v.size()));
  if constexpr (std::is_same_v<T, int>)
    value = text.toInt(&ok);
  else
    value = text.toDouble(&ok);
  return ok ? std::optional<T>(value) : std::nullopt;
}

// The column of a plain reference ("B7", "xfd1048576"); 0 for anything else, which the
// reference parser then reads.
int plainColumn(std::string_view ref) {
  int column = 0;
  size_t letters = 0;
  for (; letters < ref.size() && letters < 3 &&
         std::isalpha(static_cast<unsigned char>(ref[letters]));
       ++letters)
    column = column * 26 + (std::toupper(static_cast<unsigned char>(ref[letters])) - 'A' + 1);
  const std::string_view digits = ref.substr(letters);
  int row = 0;
  const auto [last, error] = std::from_chars(digits.data(), digits.data() + digits.size(), row);
  const bool plain = letters && !digits.empty() && digits.front() >= '1' && digits.front() <= '9' &&
                     error == std::errc() && last == digits.data() + digits.size();
  return plain && row <= kMaxRows && column <= kMaxColumns ? column : 0;
}

// Stores cell `c` at (row, column) by its type. Fails only on a shared string index the
// table does not have.
bool storeCell(SheetReading& st, const pugi::xml_node& c, int row, int column) {
  CellStore::Bits bits;
  if (const auto s = fastIntAttr(c, "s")) {
    bits.style = *s;
    bits.hasStyle = true;
  }
  bits.hasFormula = bool(c.child("x:f"));
  CellStore& cells = st.sheet.cells;
  const std::string_view type = c.attribute("t").value();
  const pugi::xml_node v = c.child("x:v");
  const std::string_view text = v.child_value();
  if (type == "inlineStr") {
    cells.appendText(row, column, CellValue::Type::Text, stringItemUtf8(c.child("x:is")), bits);
  } else if (!v) {
    if (bits.hasFormula || bits.hasStyle) cells.appendValue(row, column, {}, bits);
  } else if (type == "s") {
    const auto i = numberIn<int>(text);
    if (!i || *i < 0 || size_t(*i) >= st.strings.size()) return false;
    cells.appendShared(row, column, uint32_t(*i), bits);
  } else if (type == "str" || type == "d") {
    cells.appendText(row, column, CellValue::Type::Text, text, bits);
  } else if (type == "b") {
    const std::string_view t = trimmed(text);
    cells.appendValue(row, column, CellValue::fromBoolean(t == "1" || t == "true"), bits);
  } else if (type == "e") {
    cells.appendText(row, column, CellValue::Type::Error, trimmed(text), bits);
  } else if (const auto d = numberIn<double>(text)) {
    cells.appendValue(row, column, CellValue::fromNumber(*d), bits);
  } else if (bits.hasFormula || bits.hasStyle) {
    cells.appendValue(row, column, {}, bits);
  }
  return true;
}

Status readRows(SheetReading& st, pugi::xml_node data) {
  for (pugi::xml_node r = data.child("x:row"); r; r = r.next_sibling("x:row")) {
    const int rowNumber = st.rowNumber = fastIntAttr(r, "r").value_or(st.rowNumber + 1);
    if (rowNumber < 1 || rowNumber > kMaxRows)
      return partError(st.package, st.partName,
                       QStringLiteral("row number %1 is out of range").arg(rowNumber));
    RowInfo info;
    info.height = sane(doubleAttr(r, "ht"), 409);
    info.customHeight = boolAttr(r, "customHeight");
    info.hidden = boolAttr(r, "hidden");
    if (boolAttr(r, "customFormat")) info.style = intAttr(r, "s");
    if (info.height || info.hidden || info.style) st.sheet.rows[rowNumber] = info;
    int column = 0;
    for (pugi::xml_node c = r.child("x:c"); c; c = c.next_sibling("x:c")) {
      const char* ref = c.attribute("r").value();
      if (!*ref) {
        ++column;
      } else if (const int plain = plainColumn(ref)) {
        column = plain;
      } else {
        const auto area = parseA1Area(QString::fromUtf8(ref));
        if (!area || area->cellCount() != 1)
          return partError(st.package, st.partName,
                           QStringLiteral("bad cell reference \"%1\"").arg(QString::fromUtf8(ref)));
        column = area->firstColumn;
        // Producers never contradict the row; trust the row element when they do.
      }
      if (column < 1 || column > kMaxColumns)
        return partError(st.package, st.partName,
                         QStringLiteral("column out of range in row %1").arg(rowNumber));
      if (!storeCell(st, c, rowNumber, column))
        return partError(st.package, st.partName,
                         QStringLiteral("cell %1 names a shared string that does not exist")
                             .arg(cellName(rowNumber, column)));
    }
  }
  return {};
}

// One piece's children of <worksheet>; an element cut between pieces comes once in each.
Status readSheetPiece(SheetReading& st, pugi::xml_node root) {
  if (std::strcmp(root.name(), "x:worksheet") != 0)
    return partError(st.package, st.partName, QStringLiteral("the part is not a worksheet"));
  Worksheet& sheet = st.sheet;
  for (pugi::xml_node n = root.first_child(); n; n = n.next_sibling()) {
    const char* name = n.name();
    if (std::strcmp(name, "x:sheetData") == 0) {
      if (Status s = readRows(st, n); !s) return s;
    } else if (std::strcmp(name, "x:cols") == 0) {
      readColumns(n, sheet);
    } else if (std::strcmp(name, "x:mergeCells") == 0) {
      for (pugi::xml_node m = n.child("x:mergeCell"); m; m = m.next_sibling("x:mergeCell")) {
        if (const auto area = parseA1Area(attr(m, "ref"))) sheet.mergedCells.push_back(*area);
      }
    } else if (std::strcmp(name, "x:sheetFormatPr") == 0 && !std::exchange(st.formatSeen, true)) {
      sheet.defaultColumnWidth = sane(doubleAttr(n, "defaultColWidth"), 255);
      sheet.baseColumnWidth = std::clamp(intAttr(n, "baseColWidth").value_or(8), 0, 255);
      sheet.defaultRowHeight = sane(doubleAttr(n, "defaultRowHeight"), 409).value_or(15);
    } else if (std::strcmp(name, "x:dimension") == 0 && !std::exchange(st.dimensionSeen, true)) {
      if (const auto dim = parseA1Area(attr(n, "ref"))) sheet.dimension = *dim;
    } else if (std::strcmp(name, "x:drawing") == 0 && !std::exchange(st.drawingSeen, true)) {
      st.drawingId = attr(n, "r:id");
    }
  }
  return {};
}

}  // namespace

Status readWorksheet(const Package& package, const QString& partName,
                     std::shared_ptr<const StringTable> sharedStrings, Worksheet& sheet) {
  const StringTable noStrings;
  SheetReading st{package, partName, sharedStrings ? *sharedStrings : noStrings,
                  sheet,   0,        false,
                  false,   false,    {}};
  sheet.cells.setSharedStrings(std::move(sharedStrings));
  // Cuts between rows (two levels down), never inside one: a row's cells number on.
  Status read = forEachPiece(package, partName, 2,
                             [&](pugi::xml_node root) { return readSheetPiece(st, root); });
  if (!read) return read;
  sheet.cells.finishReading();
  if (!st.drawingId.isEmpty()) {
    sheet.drawingPart = targetOf(package, partName, st.drawingId);
    if (sheet.drawingPart.isEmpty())
      return partError(package, partName, QStringLiteral("the sheet's drawing has no part"), Error::Code::Missing);
  }
  return {};
}

Status readChartsheet(const Package& package, const QString& partName, SheetEntry& sheet) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "x:chartsheet") != 0)
    return partError(package, partName, QStringLiteral("the part is not a chart sheet"));
  const QString drawingId = attr(root.child("x:drawing"), "r:id");
  const QString drawingPart = targetOf(package, partName, drawingId);
  if (drawingPart.isEmpty())
    return partError(package, partName, QStringLiteral("the chart sheet has no drawing"), Error::Code::Missing);
  auto drawing = readDrawing(package, drawingPart);
  if (!drawing) return drawing.error();
  for (int i : drawing->chartIndices()) {
    sheet.chartPart = drawing->objects[size_t(i)].chartPart;
    break;
  }
  sheet.drawing = std::move(*drawing);
  return {};
}

}  // namespace morvane::ooxml::xlsx
