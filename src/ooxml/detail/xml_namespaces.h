// The namespaces ooxml knows, their canonical prefixes in both conformance classes, and the
// pass that rewrites a parsed document onto those prefixes (see xml.h).
#pragma once

#include "ooxml/result.h"

#include <QString>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace morvane::ooxml::detail {

struct KnownNamespace {
  const char* prefix;
  const char* transitional;
  const char* strict;  // equal to `transitional` for namespaces that have one spelling
};

// All known namespaces, in the order serialisation declares them.
const std::vector<KnownNamespace>& knownNamespaces();
// The known namespace a URI belongs to, or nullptr; `*isStrict` tells the spelling.
const KnownNamespace* findNamespace(const char* uri, bool* isStrict);
// The known namespace with that canonical prefix, or nullptr.
const KnownNamespace* findPrefix(const std::string& prefix);

// Rewrites every element and attribute name of a known namespace to its canonical prefix,
// removes their declarations, renames unknown prefixes that collide with a canonical one
// (also inside mc:Ignorable and friends), and declares the canonical prefixes in use on the
// root. Returns whether strict URIs were seen, or BadXml for an undeclared prefix.
// REQUIRES: the document's depth was checked (the pass recurses).
Result<bool> canonicalizeNamespaces(pugi::xml_document& doc, const QString& partName);

// Replaces the root's declarations of canonical prefixes by those the document uses, with
// strict or transitional URIs.
void declareCanonicalPrefixes(pugi::xml_node root, bool strict);

}  // namespace morvane::ooxml::detail
