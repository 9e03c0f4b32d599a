// Worksheet parts: edited cells and column settings patched into the existing XML.
#include "ooxml/xlsx/part_writers.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx::detail {

namespace {

const char kEmptyWorksheet[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
    "</worksheet>";

void setAttr(pugi::xml_node n, const char* name, const QString& value) {
  pugi::xml_attribute a = n.attribute(name);
  if (!a) a = n.append_attribute(name);
  a.set_value(value.toUtf8().constData());
}

// Gives every row and cell an explicit r, so lookups by position are plain.
void numberRowsAndCells(pugi::xml_node data) {
  int rowNumber = 0;
  for (pugi::xml_node r = data.child("x:row"); r; r = r.next_sibling("x:row")) {
    rowNumber = intAttr(r, "r").value_or(rowNumber + 1);
    setAttr(r, "r", QString::number(rowNumber));
    int column = 0;
    for (pugi::xml_node c = r.child("x:c"); c; c = c.next_sibling("x:c")) {
      const auto area = parseA1Area(attr(c, "r"));
      column = area ? area->firstColumn : column + 1;
      setAttr(c, "r", cellName(rowNumber, column));
    }
  }
}

pugi::xml_node findOrInsertRow(pugi::xml_node data, int row) {
  for (pugi::xml_node r = data.child("x:row"); r; r = r.next_sibling("x:row")) {
    const int n = intAttr(r, "r").value_or(0);
    if (n == row) return r;
    if (n > row) {
      pugi::xml_node created = data.insert_child_before("x:row", r);
      setAttr(created, "r", QString::number(row));
      return created;
    }
  }
  pugi::xml_node created = data.append_child("x:row");
  setAttr(created, "r", QString::number(row));
  return created;
}

pugi::xml_node findCell(pugi::xml_node row, int column) {
  for (pugi::xml_node c = row.child("x:c"); c; c = c.next_sibling("x:c")) {
    const auto area = parseA1Area(attr(c, "r"));
    if (area && area->firstColumn == column) return c;
  }
  return {};
}

pugi::xml_node insertCell(pugi::xml_node row, int rowNumber, int column) {
  pugi::xml_node before;
  for (pugi::xml_node c = row.child("x:c"); c; c = c.next_sibling("x:c")) {
    const auto area = parseA1Area(attr(c, "r"));
    if (area && area->firstColumn > column) {
      before = c;
      break;
    }
  }
  pugi::xml_node created = before ? row.insert_child_before("x:c", before) : row.append_child("x:c");
  setAttr(created, "r", cellName(rowNumber, column));
  return created;
}

void writeCellContent(pugi::xml_node c, const Cell& cell) {
  while (pugi::xml_node child = c.first_child()) c.remove_child(child);
  c.remove_attribute("t");
  c.remove_attribute("cm");
  c.remove_attribute("vm");
  if (cell.hasStyle && cell.style != 0) setAttr(c, "s", QString::number(cell.style));
  else c.remove_attribute("s");
  const CellValue& v = cell.value;
  switch (v.type) {
    case CellValue::Type::Empty:
      return;
    case CellValue::Type::Number:
      c.append_child("x:v").text().set(storedNumber(v.number).toUtf8().constData());
      return;
    case CellValue::Type::Boolean:
      setAttr(c, "t", QStringLiteral("b"));
      c.append_child("x:v").text().set(v.boolean ? "1" : "0");
      return;
    case CellValue::Type::Error:
      setAttr(c, "t", QStringLiteral("e"));
      c.append_child("x:v").text().set(v.text.toUtf8().constData());
      return;
    case CellValue::Type::Text: {
      // Inline strings leave the shared string table, and so its part, untouched.
      setAttr(c, "t", QStringLiteral("inlineStr"));
      pugi::xml_node t = c.append_child("x:is").append_child("x:t");
      t.append_attribute("xml:space").set_value("preserve");
      t.text().set(v.text.toUtf8().constData());
      return;
    }
  }
}

void writeCell(pugi::xml_node data, const Worksheet& sheet, int row, int column) {
  const std::optional<Cell> cell = sheet.cell(row, column);
  pugi::xml_node rowNode = findOrInsertRow(data, row);
  pugi::xml_node c = findCell(rowNode, column);
  if (!cell) {
    if (c) rowNode.remove_child(c);
    if (!rowNode.first_child() && !rowNode.attribute("ht") && !rowNode.attribute("customFormat") &&
        !rowNode.attribute("hidden"))
      data.remove_child(rowNode);
    return;
  }
  if (!c) c = insertCell(rowNode, row, column);
  writeCellContent(c, *cell);
}

void writeColumns(pugi::xml_node root, const Worksheet& sheet) {
  root.remove_child("x:cols");
  if (sheet.columns.empty()) return;
  pugi::xml_node cols = root.insert_child_before("x:cols", root.child("x:sheetData"));
  for (const ColumnInfo& info : sheet.columns) {
    pugi::xml_node c = cols.append_child("x:col");
    setAttr(c, "min", QString::number(info.min));
    setAttr(c, "max", QString::number(info.max));
    if (info.width) setAttr(c, "width", storedNumber(*info.width));
    if (info.style) setAttr(c, "style", QString::number(*info.style));
    if (info.hidden) setAttr(c, "hidden", QStringLiteral("1"));
    if (info.bestFit) setAttr(c, "bestFit", QStringLiteral("1"));
    if (info.customWidth) setAttr(c, "customWidth", QStringLiteral("1"));
    if (info.outlineLevel) setAttr(c, "outlineLevel", QString::number(info.outlineLevel));
    if (info.collapsed) setAttr(c, "collapsed", QStringLiteral("1"));
  }
}

void writeDimension(pugi::xml_node root, const Worksheet& sheet) {
  pugi::xml_node dim = root.child("x:dimension");
  if (!dim) return;
  const auto box = sheet.cells.bounds();
  setAttr(dim, "ref", box ? formatA1Area(*box, false) : QStringLiteral("A1"));
}

}  // namespace

QString storedNumber(double value) {
  QString s = QString::number(value, 'g', 15);
  if (s.toDouble() != value) s = QString::number(value, 'g', 17);
  return s;
}

Result<QByteArray> writeWorksheetPart(const Package& package, const QString& partName,
                                      const Worksheet& sheet,
                                      const std::set<std::pair<int, int>>& cells, bool columns) {
  Result<XmlPtr> doc = package.hasPart(partName)
                           ? loadPart(package, partName)
                           : parseXml(QByteArray(kEmptyWorksheet), partName);
  if (!doc) return doc.error();
  XmlDocument& xml = **doc;
  xml.strict = package.isStrict();
  pugi::xml_node root = xml.doc.document_element();
  if (std::strcmp(root.name(), "x:worksheet") != 0)
    return partError(package, partName, QStringLiteral("the part is not a worksheet"));
  pugi::xml_node data = root.child("x:sheetData");
  if (!data) return partError(package, partName, QStringLiteral("the worksheet has no sheetData"));
  numberRowsAndCells(data);
  for (const auto& [row, column] : cells) writeCell(data, sheet, row, column);
  if (columns) writeColumns(root, sheet);
  writeDimension(root, sheet);
  return serializeXml(xml);
}

}  // namespace morvane::ooxml::xlsx::detail
