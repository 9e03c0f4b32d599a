#include "ooxml/xlsx/string_table.h"

namespace morvane::ooxml::xlsx {

uint32_t StringTable::append(std::string_view utf8) {
  m_bytes.append(utf8);
  m_ends.push_back(m_bytes.size());
  return uint32_t(m_ends.size() - 1);
}

void StringTable::squeeze() {
  m_bytes.shrink_to_fit();
  m_ends.shrink_to_fit();
}

QString StringTable::at(size_t index) const {
  if (index >= m_ends.size()) return QString();
  const uint64_t begin = index ? m_ends[index - 1] : 0;
  return QString::fromUtf8(m_bytes.data() + begin, qsizetype(m_ends[index] - begin));
}

}  // namespace morvane::ooxml::xlsx
