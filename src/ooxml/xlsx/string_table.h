// Many texts in one block of UTF-8 with their end offsets: the shared string table and the
// texts a worksheet part holds itself, at about the size they had in the file rather than a
// string object each. Append-only; plain value.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::ooxml::xlsx {

class StringTable {
 public:
  // Adds `utf8` and returns its index.
  uint32_t append(std::string_view utf8);
  size_t size() const { return m_ends.size(); }
  // Gives back the room growth left over, once every text is in.
  void squeeze();
  // The text at `index`; an empty string for an index out of range.
  QString at(size_t index) const;

 private:
  std::string m_bytes;
  std::vector<uint64_t> m_ends;
};

}  // namespace morvane::ooxml::xlsx
