// The styles part: new number formats and cell formats appended to the existing lists.
#include "ooxml/xlsx/part_writers.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx::detail {

namespace {

// Mirrors WorkbookDocument's default Styles: what a workbook without a styles part shows.
const char kDefaultStyles[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/><name val=\"Calibri\"/>"
    "<family val=\"2\"/><scheme val=\"minor\"/></font></fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "</styleSheet>";

void setCount(pugi::xml_node list, const char* item) {
  int n = 0;
  for (pugi::xml_node c = list.child(item); c; c = c.next_sibling(item)) ++n;
  pugi::xml_attribute a = list.attribute("count");
  if (!a) a = list.append_attribute("count");
  a.set_value(n);
}

pugi::xml_node nthChild(pugi::xml_node list, const char* item, int index) {
  int i = 0;
  for (pugi::xml_node c = list.child(item); c; c = c.next_sibling(item), ++i) {
    if (i == index) return c;
  }
  return {};
}

}  // namespace

Result<QByteArray> writeStylesPart(const Package& package, const QString& partName,
                                   const std::vector<NewXf>& newXfs,
                                   const std::map<int, QString>& newNumberFormats) {
  Result<XmlPtr> doc = package.hasPart(partName) ? loadPart(package, partName)
                                                 : parseXml(QByteArray(kDefaultStyles), partName);
  if (!doc) return doc.error();
  XmlDocument& xml = **doc;
  xml.strict = package.isStrict();
  pugi::xml_node root = xml.doc.document_element();
  if (std::strcmp(root.name(), "x:styleSheet") != 0)
    return partError(package, partName, QStringLiteral("the part is not a style sheet"));
  if (!newNumberFormats.empty()) {
    pugi::xml_node fmts = root.child("x:numFmts");
    if (!fmts) fmts = root.prepend_child("x:numFmts");
    for (const auto& [id, code] : newNumberFormats) {
      pugi::xml_node f = fmts.append_child("x:numFmt");
      f.append_attribute("numFmtId").set_value(id);
      f.append_attribute("formatCode").set_value(code.toUtf8().constData());
    }
    setCount(fmts, "x:numFmt");
  }
  if (!newXfs.empty()) {
    pugi::xml_node xfs = root.child("x:cellXfs");
    if (!xfs) return partError(package, partName, QStringLiteral("the style sheet has no cellXfs"));
    for (const NewXf& n : newXfs) {
      const pugi::xml_node base = nthChild(xfs, "x:xf", n.base);
      pugi::xml_node xf = base ? xfs.append_copy(base) : xfs.append_child("x:xf");
      for (const char* a : {"numFmtId", "applyNumberFormat"}) {
        if (!xf.attribute(a)) xf.append_attribute(a);
      }
      xf.attribute("numFmtId").set_value(n.numFmtId);
      xf.attribute("applyNumberFormat").set_value("1");
    }
    setCount(xfs, "x:xf");
  }
  return serializeXml(xml);
}

}  // namespace morvane::ooxml::xlsx::detail
