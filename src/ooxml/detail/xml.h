// Safe XML for package parts (internal to ooxml: models never expose pugixml types), with namespace prefixes normalised so readers match one
// spelling whatever prefixes the producer chose and whether it wrote strict or transitional
// namespaces. Only this header and src/ooxml/detail know pugixml.
//
// Canonical prefixes: x (spreadsheetml main), r (officeDocument relationships), a (drawingml
// main), c (drawingml chart), xdr (spreadsheet drawing), p (presentationml), pr (package
// relationships), ct (content types), mc (markup compatibility). Elements of the
// default namespace get their canonical prefix too; unknown namespaces keep their prefix.
#pragma once

#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>

namespace ooxml {

struct XmlDocument {
  pugi::xml_document doc;
  // True when the part used strict namespaces.
  bool strict = false;
};

// Parses `data`. Refuses DOCTYPE declarations (no DTDs, no entity expansion) and nesting
// deeper than `maxDepth` with Error::Unsafe; malformed XML gives Error::BadXml. `partName`
// names the part in messages. On success every element and attribute in a known namespace
// carries its canonical prefix and the root declares those prefixes.
Result<std::unique_ptr<XmlDocument>> parseXml(const QByteArray& data, const QString& partName,
                                              int maxDepth = 256);

// Serialises a (canonical) document back: UTF-8, XML declaration with standalone="yes",
// the canonical prefixes declared with strict or transitional URIs as `strict` says.
QByteArray serializeXml(const XmlDocument& document);

class Package;

// Reads `partName` of `package` and parses it with the package's depth limit. Errors name
// the package file and the part (read() and parseXml() failures alike).
Result<std::unique_ptr<XmlDocument>> readXml(const Package& package, const QString& partName);

// Namespace URI of a canonical prefix in the chosen conformance class ("" when unknown).
QString namespaceUri(const QString& canonicalPrefix, bool strict);

// Helpers.
inline QString qstr(const pugi::char_t* s) { return QString::fromUtf8(s); }
inline QByteArray utf8(const QString& s) { return s.toUtf8(); }

}  // namespace ooxml
