// Internal to the xlsx readers and writers: loading a part as XML with errors that name the
// file and the part, and small attribute helpers over canonical-prefix pugixml nodes.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ooxml/detail/xml.h"
#include "ooxml/package.h"

namespace morvane::ooxml::xlsx::detail {

using XmlPtr = std::unique_ptr<XmlDocument>;

// "Book.xlsx: part /xl/workbook.xml: <problem>".
Error partError(const Package& package, const QString& partName, const QString& problem,
                Error::Code code = Error::Code::BadXml);
// Reads and parses a part. Fails with Missing when the part does not exist, else with the
// package's or the parser's error, its message naming the file and the part.
Result<XmlPtr> loadPart(const Package& package, const QString& partName);
// Reads a part too large for one tree piece by piece (detail/xml_pieces.h): `visit` gets the
// root of each piece in order; cuts fall only where at most `splitDepth` elements are open.
// Fails as loadPart does, or with the first failure `visit` returns.
Status forEachPiece(const Package& package, const QString& partName, int splitDepth,
                    const std::function<Status(pugi::xml_node root)>& visit);
// The part a relationship of `source` with type suffix `suffix` ("styles") points at; empty
// when there is none or it is external.
QString relatedPart(const Package& package, const QString& source, const char* suffix);
// The part an r:id of `source` points at; empty when unknown or external.
QString targetOf(const Package& package, const QString& source, const QString& id);
bool typeEndsWith(const QString& relationshipType, const char* suffix);

inline QString attr(const pugi::xml_node& n, const char* name) { return qstr(n.attribute(name).value()); }
// "1"/"true" true, "0"/"false" false, absent `fallback`.
bool boolAttr(const pugi::xml_node& n, const char* name, bool fallback = false);
std::optional<int> intAttr(const pugi::xml_node& n, const char* name);
std::optional<double> doubleAttr(const pugi::xml_node& n, const char* name);
// Text of the element's child `name` ("" when absent).
inline QString childText(const pugi::xml_node& n, const char* name) { return qstr(n.child(name).child_value()); }
// The concatenated text of a string item (<si> or <is>): its <t>, or its runs' <t>, without
// phonetic runs; as UTF-8 and as a QString.
std::string stringItemUtf8(const pugi::xml_node& item);
inline QString stringItemText(const pugi::xml_node& item) {
  return QString::fromStdString(stringItemUtf8(item));
}
// An integer attribute read as intAttr does, without building a QString when it is plain.
std::optional<int> fastIntAttr(const pugi::xml_node& n, const char* name);

}  // namespace morvane::ooxml::xlsx::detail
