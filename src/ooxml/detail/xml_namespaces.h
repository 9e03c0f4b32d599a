// The namespaces ooxml knows, their canonical prefixes in both conformance classes, the pass
// that rewrites a parsed document onto those prefixes (see xml.h), and the pass that writes
// it back with the prefixes and declarations it came with.
#pragma once

#include "ooxml/result.h"

#include <QString>

#include <pugixml.hpp>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::ooxml::detail {

// A parsed document keeps each namespace declaration the canonical pass removed or renamed
// as an attribute named with this mark before the original name ("#xmlns", "#xmlns:c"), at
// its place. No XML name holds the mark, so no reader meets these by accident.
constexpr char kKeptDeclarationMark = '#';
// An unknown namespace declared under a canonical prefix gets a prefix holding this mark
// ("c#u1") while the document is in memory.
constexpr char kRenamedPrefixMark = '#';

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

// True for "xmlns" (then `prefix` is empty) and "xmlns:p" (then `prefix` is "p").
bool isDeclaration(std::string_view name, std::string* prefix);

inline constexpr char kXsiNamespace[] = "http://www.w3.org/2001/XMLSchema-instance";

// Attribute values that hold prefixes, which must follow any renaming: a list of them
// (mc:Ignorable and its kin, Requires of mc:Choice) or one qualified name (xsi:type). By
// the attribute's and its element's canonical names and the attribute's namespace URI.
enum class PrefixValue { None, Tokens, QualifiedName };
PrefixValue prefixValue(std::string_view attrName, std::string_view element,
                        std::string_view attrUri);
// `value` with the prefix of its qualified name, or of each whitespace-separated token (the
// whole token when it has no colon), replaced by `mapPrefix`'s answer.
std::string mapValuePrefixes(std::string_view value, PrefixValue kind,
                             const std::function<std::string(std::string_view)>& mapPrefix);

// Rewrites every element and attribute name of a known namespace to its canonical prefix,
// keeps their declarations aside (kKeptDeclarationMark), renames unknown prefixes that
// collide with a canonical one (also inside mc:Ignorable and friends), and declares the
// canonical prefixes in use on the root. Returns whether strict URIs were seen, or BadXml
// for an undeclared prefix.
// REQUIRES: the document's depth was checked (the pass recurses).
Result<bool> canonicalizeNamespaces(pugi::xml_document& doc, const QString& partName);

// Replaces the root's declarations of canonical prefixes by those the document uses, with
// strict or transitional URIs.
void declareCanonicalPrefixes(pugi::xml_node root, bool strict);

// The reverse of the canonical pass, on a copy about to be written: the kept declarations
// return to their places (known namespaces in the spelling `strict` asks for), the
// canonical ones go, and every name and prefix-holding value takes the prefix its
// namespace has where it stands. A namespace with none there (elements added in code, a
// document built in code) gets its canonical prefix, declared on the root when that
// prefix is free there, else on the element.
void restoreOwnPrefixes(pugi::xml_node root, bool strict);

}  // namespace morvane::ooxml::detail
