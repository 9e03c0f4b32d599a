// Bounds-checked access to the bytes of an enhanced metafile: the header fields the player
// needs and the list of records up to EMR_EOF. Nothing here trusts a size or count in the file.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace morvane::emf {

struct EmfHeaderInfo {
  QRect bounds;  // device units, inclusive edges as stored
  QRect frame;   // 0.01 mm, edges as stored
  quint32 handles = 0;
  QSize devicePixels;  // reference device
  QSize deviceMillimeters;
};

// One record's bytes inside the metafile; reads past its end return false or zero.
class RecordView {
 public:
  RecordView(const char* data, quint32 size, quint32 type)
      : m_data(data), m_size(size), m_type(type) {}
  quint32 type() const { return m_type; }
  quint32 size() const { return m_size; }
  bool has(quint64 offset, quint64 length) const { return offset + length <= m_size; }
  quint32 u32(quint32 offset) const;
  qint32 i32(quint32 offset) const { return qint32(u32(offset)); }
  quint16 u16(quint32 offset) const;
  qint16 i16(quint32 offset) const { return qint16(u16(offset)); }
  quint8 u8(quint32 offset) const { return has(offset, 1) ? quint8(m_data[offset]) : 0; }
  float f32(quint32 offset) const;
  // `count` UTF-16 units at `offset`; nullopt when they do not fit in the record.
  std::optional<QString> utf16(quint64 offset, quint64 count) const;
  const char* data() const { return m_data; }

 private:
  const char* m_data;
  quint32 m_size;
  quint32 m_type;
};

// The header, when `emf` starts with a plausible EMR_HEADER; nullopt otherwise.
std::optional<EmfHeaderInfo> readEmfHeader(const QByteArray& emf);

// Every record from the header to EMR_EOF inclusive. nullopt when `emf` is not a metafile or a
// record is shorter than 8 bytes, not a multiple of 4, or runs past the end before EMR_EOF.
// Requires: `emf` outlives the views.
std::optional<std::vector<RecordView>> splitEmfRecords(const QByteArray& emf);

// The string of an EMR_EXTTEXTOUTW record; nullopt when its count or offset is out of bounds.
std::optional<QString> extTextOutString(const RecordView& record);

}  // namespace morvane::emf
