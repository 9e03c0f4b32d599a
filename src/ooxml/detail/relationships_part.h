// Relationships parts (.rels): reading, writing, and relationship types compared modulo the
// strict and transitional spellings.
#pragma once

#include "ooxml/package.h"

namespace morvane::ooxml::detail {

// Reads a .rels part of `sourcePart`, resolving internal targets against it. Fails with
// BadXml (not <Relationships>, a relationship without Id or Target) or parseXml's errors;
// messages name `relsPart`.
Result<std::vector<Relationship>> parseRelationships(const QByteArray& data,
                                                     const QString& relsPart,
                                                     const QString& sourcePart, int maxDepth);
// The .rels part for `relationships`. Given the part's `previous` bytes, that part with the
// relationships gone removed, changed ones updated and new ones appended, so its prefixes,
// declarations and order stay; otherwise a new part with a default namespace.
QByteArray serializeRelationships(const std::vector<Relationship>& relationships,
                                  const QByteArray& previous = QByteArray());

// The transitional spelling of a relationship type (unchanged when it has no strict one).
QString transitionalRelType(const QString& type);
// The strict spelling of a relationship type.
QString strictRelType(const QString& type);
bool isStrictRelType(const QString& type);
bool sameRelType(const QString& a, const QString& b);

}  // namespace morvane::ooxml::detail
