// Part names and relationship targets: the string rules of the package layer, with no I/O.
// Part names are absolute and decoded ("/xl/media/my image.png"); comparisons go through
// partKey() because part names are case-insensitive.
#pragma once

#include <QString>

namespace morvane::ooxml::detail {

// The key under which a part name is compared (case folded).
QString partKey(const QString& partName);

// Decodes %XX sequences as UTF-8; malformed sequences are kept as written.
QString percentDecode(const QString& text);
// Encodes the characters a relationship target or content-type PartName may not hold
// literally (space, '%', '#', '?', '[', ']', controls). Letters beyond ASCII stay.
QString percentEncode(const QString& text);

// Why a decoded zip member name cannot be a part name ("" when it can): absolute paths,
// drive letters, backslashes, empty, "." or ".." segments.
QString memberNameProblem(const QString& memberName);
// Why `partName` cannot name a part ("" when it can): it must start with "/" and obey
// memberNameProblem() for the rest.
QString partNameProblem(const QString& partName);

// "/a/b/../c.xml" -> "/a/c.xml". Empty when ".." climbs above the root.
// REQUIRES: path starts with "/".
QString normalizePath(const QString& path);

// The relationships part of `sourcePart` ("/" -> "/_rels/.rels",
// "/xl/workbook.xml" -> "/xl/_rels/workbook.xml.rels").
QString relsPartFor(const QString& sourcePart);
// The inverse of relsPartFor(); empty when `partName` is not a relationships part.
QString sourceOfRelsPart(const QString& partName);

// The folder of a part name, with its trailing slash ("/xl/workbook.xml" -> "/xl/").
QString folderOf(const QString& partName);

}  // namespace morvane::ooxml::detail
