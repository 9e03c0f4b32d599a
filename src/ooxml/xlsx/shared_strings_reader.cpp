// The shared string table.
#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

using namespace detail;

Result<std::vector<QString>> readSharedStrings(const Package& package, const QString& partName) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "x:sst") != 0)
    return partError(package, partName, QStringLiteral("the part is not a shared string table"));
  std::vector<QString> strings;
  for (pugi::xml_node si = root.child("x:si"); si; si = si.next_sibling("x:si"))
    strings.push_back(stringItemText(si));
  return strings;
}

}  // namespace morvane::ooxml::xlsx
