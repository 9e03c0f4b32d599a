// The styles part: number formats, fonts, fills, borders and cell formats.
#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

using namespace detail;

namespace {

Color readColor(pugi::xml_node n) {
  Color c;
  if (!n) return c;
  c.rgb = attr(n, "rgb");
  c.theme = intAttr(n, "theme");
  c.indexed = intAttr(n, "indexed");
  c.tint = doubleAttr(n, "tint").value_or(0);
  c.automatic = boolAttr(n, "auto");
  return c;
}

// <b/> means on; <b val="0"/> off.
bool flag(pugi::xml_node parent, const char* name) {
  const pugi::xml_node n = parent.child(name);
  return n && boolAttr(n, "val", true);
}

Font readFont(pugi::xml_node f) {
  Font font;
  const QString name = attr(f.child("x:name"), "val");
  if (!name.isEmpty()) font.name = name;
  font.size = doubleAttr(f.child("x:sz"), "val").value_or(11);
  font.bold = flag(f, "x:b");
  font.italic = flag(f, "x:i");
  font.strike = flag(f, "x:strike");
  if (const pugi::xml_node u = f.child("x:u")) {
    font.underline = attr(u, "val");
    if (font.underline.isEmpty()) font.underline = QStringLiteral("single");
    if (font.underline == QLatin1String("none")) font.underline.clear();
  }
  font.color = readColor(f.child("x:color"));
  return font;
}

Fill readFill(pugi::xml_node f) {
  Fill fill;
  if (const pugi::xml_node p = f.child("x:patternFill")) {
    fill.patternType = attr(p, "patternType");
    fill.foreground = readColor(p.child("x:fgColor"));
    fill.background = readColor(p.child("x:bgColor"));
  } else if (f.child("x:gradientFill")) {
    fill.isGradient = true;
  }
  return fill;
}

BorderEdge readEdge(pugi::xml_node e) { return BorderEdge{attr(e, "style"), readColor(e.child("x:color"))}; }

Border readBorder(pugi::xml_node b) {
  Border border;
  border.left = readEdge(b.child("x:left") ? b.child("x:left") : b.child("x:start"));
  border.right = readEdge(b.child("x:right") ? b.child("x:right") : b.child("x:end"));
  border.top = readEdge(b.child("x:top"));
  border.bottom = readEdge(b.child("x:bottom"));
  border.diagonal = readEdge(b.child("x:diagonal"));
  return border;
}

CellFormat readXf(pugi::xml_node x) {
  CellFormat f;
  f.numFmtId = intAttr(x, "numFmtId").value_or(0);
  f.fontId = intAttr(x, "fontId").value_or(0);
  f.fillId = intAttr(x, "fillId").value_or(0);
  f.borderId = intAttr(x, "borderId").value_or(0);
  f.xfId = intAttr(x, "xfId");
  f.applyNumberFormat = boolAttr(x, "applyNumberFormat");
  if (const pugi::xml_node a = x.child("x:alignment")) {
    f.hasAlignment = true;
    f.alignment.horizontal = attr(a, "horizontal");
    f.alignment.vertical = attr(a, "vertical");
    f.alignment.wrapText = boolAttr(a, "wrapText");
    f.alignment.shrinkToFit = boolAttr(a, "shrinkToFit");
    f.alignment.indent = intAttr(a, "indent").value_or(0);
    f.alignment.textRotation = intAttr(a, "textRotation").value_or(0);
  }
  return f;
}

}  // namespace

Result<Styles> readStyles(const Package& package, const QString& partName) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "x:styleSheet") != 0)
    return partError(package, partName, QStringLiteral("the part is not a style sheet"));
  Styles styles;
  for (pugi::xml_node n = root.child("x:numFmts").child("x:numFmt"); n; n = n.next_sibling("x:numFmt")) {
    if (const auto id = intAttr(n, "numFmtId")) styles.numberFormats[*id] = attr(n, "formatCode");
  }
  for (pugi::xml_node n = root.child("x:fonts").child("x:font"); n; n = n.next_sibling("x:font"))
    styles.fonts.push_back(readFont(n));
  for (pugi::xml_node n = root.child("x:fills").child("x:fill"); n; n = n.next_sibling("x:fill"))
    styles.fills.push_back(readFill(n));
  for (pugi::xml_node n = root.child("x:borders").child("x:border"); n; n = n.next_sibling("x:border"))
    styles.borders.push_back(readBorder(n));
  for (pugi::xml_node n = root.child("x:cellXfs").child("x:xf"); n; n = n.next_sibling("x:xf"))
    styles.cellFormats.push_back(readXf(n));
  return styles;
}

}  // namespace morvane::ooxml::xlsx
