// The shared string table.
#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

using namespace detail;

Result<StringTable> readSharedStrings(const Package& package, const QString& partName) {
  StringTable strings;
  // Cuts between items only: each keeps its index.
  Status read = forEachPiece(package, partName, 1, [&](pugi::xml_node root) -> Status {
    if (std::strcmp(root.name(), "x:sst") != 0)
      return partError(package, partName, QStringLiteral("the part is not a shared string table"));
    for (pugi::xml_node si = root.child("x:si"); si; si = si.next_sibling("x:si"))
      strings.append(stringItemUtf8(si));
    return {};
  });
  if (!read) return read.error();
  strings.squeeze();
  return strings;
}

}  // namespace morvane::ooxml::xlsx
