// Safe XML for package parts, with namespace prefixes normalised so readers match one
// spelling whatever prefixes the producer chose and whether it wrote strict or transitional
// namespaces, and written back with the producer's own prefixes and declarations. Internal
// to ooxml: only this header and src/ooxml/detail know pugixml, and models never expose its
// types.
//
// Canonical prefixes: x (spreadsheetml main), r (officeDocument relationships), a (drawingml
// main), c (drawingml chart), xdr (spreadsheet drawing), cdr (chart drawing), pic (drawingml
// picture), p (presentationml), pr (package relationships), ct (content types), mc (markup
// compatibility), cp, dc, dcterms (core properties). Elements of the default namespace get
// their canonical prefix too. Unknown namespaces keep their prefix and declaration, unless
// the prefix is a canonical one, which is renamed ("c#u1") here and in mc:Ignorable and its
// kin. Canonical prefixes are declared on the root only.
#pragma once

#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <memory>

namespace morvane::ooxml {

struct XmlDocument {
  pugi::xml_document doc;
  // True when the part used strict namespaces.
  bool strict = false;
};

// Parses `data`. Refuses DOCTYPE declarations (no DTDs, no entity expansion) and nesting
// deeper than `maxDepth` (capped at 4096) with Error::Unsafe; malformed XML or an
// undeclared prefix gives Error::BadXml. Messages start with `partName`. On success every
// element and attribute in a known namespace carries its canonical prefix, the root
// declares those prefixes, and `strict` tells whether strict URIs were used. Whitespace-
// only text is kept where it is an element's only content (<t xml:space="preserve"> </t>);
// comments and processing instructions are dropped.
Result<std::unique_ptr<XmlDocument>> parseXml(const QByteArray& data, const QString& partName,
                                              int maxDepth = 256);

// Serialises a (canonical) document back: UTF-8, XML declaration with standalone="yes",
// every declaration where the parsed part had it and every name with the prefix the part
// used there (a default namespace stays the default), known namespaces with strict or
// transitional URIs as `strict` says. What the part never declared (elements added in
// code, documents built in code) takes its canonical prefix, declared on the root: "p:sld"
// is enough.
QByteArray serializeXml(const XmlDocument& document);

class Package;

// Reads `partName` of `package` and parses it with the package's depth limit. Errors name
// the package file and the part (read() and parseXml() failures alike), so callers can
// show them as they are.
Result<std::unique_ptr<XmlDocument>> readXml(const Package& package, const QString& partName);

// Namespace URI of a canonical prefix in the chosen conformance class ("" when unknown).
QString namespaceUri(const QString& canonicalPrefix, bool strict);

// Helpers.
inline QString qstr(const pugi::char_t* s) { return QString::fromUtf8(s); }
inline QByteArray utf8(const QString& s) { return s.toUtf8(); }

}  // namespace morvane::ooxml
