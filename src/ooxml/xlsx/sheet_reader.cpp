// Worksheet and chart sheet parts.
#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

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

CellValue typedValue(const pugi::xml_node& c, const QString& type,
                     const std::vector<QString>& strings, bool& badIndex) {
  const QString v = childText(c, "x:v");
  if (type == QLatin1String("inlineStr")) return CellValue::fromText(stringItemText(c.child("x:is")));
  if (!c.child("x:v")) return {};
  if (type == QLatin1String("s")) {
    bool ok = false;
    const int i = v.trimmed().toInt(&ok);
    if (!ok || i < 0 || i >= int(strings.size())) {
      badIndex = true;
      return {};
    }
    return CellValue::fromText(strings[size_t(i)]);
  }
  if (type == QLatin1String("str") || type == QLatin1String("d")) return CellValue::fromText(v);
  if (type == QLatin1String("b")) return CellValue::fromBoolean(v.trimmed() == QLatin1String("1") ||
                                                                v.trimmed() == QLatin1String("true"));
  if (type == QLatin1String("e")) return CellValue::fromError(v.trimmed());
  bool ok = false;
  const double d = v.trimmed().toDouble(&ok);
  return ok ? CellValue::fromNumber(d) : CellValue{};
}

Status readRows(const Package& package, const QString& partName, pugi::xml_node data,
                const std::vector<QString>& strings, Worksheet& sheet) {
  int rowNumber = 0;
  for (pugi::xml_node r = data.child("x:row"); r; r = r.next_sibling("x:row")) {
    rowNumber = intAttr(r, "r").value_or(rowNumber + 1);
    if (rowNumber < 1 || rowNumber > kMaxRows)
      return partError(package, partName, QStringLiteral("row number %1 is out of range").arg(rowNumber));
    RowInfo info;
    info.height = sane(doubleAttr(r, "ht"), 409);
    info.customHeight = boolAttr(r, "customHeight");
    info.hidden = boolAttr(r, "hidden");
    if (boolAttr(r, "customFormat")) info.style = intAttr(r, "s");
    if (info.height || info.hidden || info.style) sheet.rows[rowNumber] = info;
    int column = 0;
    for (pugi::xml_node c = r.child("x:c"); c; c = c.next_sibling("x:c")) {
      const QString ref = attr(c, "r");
      if (ref.isEmpty()) {
        ++column;
      } else {
        const auto area = parseA1Area(ref);
        if (!area || area->cellCount() != 1)
          return partError(package, partName, QStringLiteral("bad cell reference \"%1\"").arg(ref));
        column = area->firstColumn;
        // Producers never contradict the row; trust the row element when they do.
      }
      if (column < 1 || column > kMaxColumns)
        return partError(package, partName, QStringLiteral("column out of range in row %1").arg(rowNumber));
      Cell cell;
      bool badIndex = false;
      cell.value = typedValue(c, attr(c, "t"), strings, badIndex);
      if (badIndex)
        return partError(package, partName, QStringLiteral("cell %1 names a shared string that does not exist")
                                                .arg(cellName(rowNumber, column)));
      if (const auto s = intAttr(c, "s")) {
        cell.style = *s;
        cell.hasStyle = true;
      }
      cell.hasFormula = bool(c.child("x:f"));
      if (!cell.isBlank() || cell.hasStyle) sheet.cells[{rowNumber, column}] = cell;
    }
  }
  return {};
}

}  // namespace

Status readWorksheet(const Package& package, const QString& partName,
                     const std::vector<QString>& sharedStrings, Worksheet& sheet) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "x:worksheet") != 0)
    return partError(package, partName, QStringLiteral("the part is not a worksheet"));
  const pugi::xml_node format = root.child("x:sheetFormatPr");
  sheet.defaultColumnWidth = sane(doubleAttr(format, "defaultColWidth"), 255);
  sheet.baseColumnWidth = std::clamp(intAttr(format, "baseColWidth").value_or(8), 0, 255);
  sheet.defaultRowHeight = sane(doubleAttr(format, "defaultRowHeight"), 409).value_or(15);
  readColumns(root.child("x:cols"), sheet);
  if (Status s = readRows(package, partName, root.child("x:sheetData"), sharedStrings, sheet); !s) return s;
  for (pugi::xml_node m = root.child("x:mergeCells").child("x:mergeCell"); m;
       m = m.next_sibling("x:mergeCell")) {
    if (const auto area = parseA1Area(attr(m, "ref"))) sheet.mergedCells.push_back(*area);
  }
  if (const auto dim = parseA1Area(attr(root.child("x:dimension"), "ref"))) sheet.dimension = *dim;
  const QString drawingId = attr(root.child("x:drawing"), "r:id");
  if (!drawingId.isEmpty()) {
    sheet.drawingPart = targetOf(package, partName, drawingId);
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
