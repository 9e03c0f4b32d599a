#include "emf/emf_reader.h"

#include <QtEndian>
#include <cstring>

#include "emf/emf_format.h"

namespace morvane::emf {

quint32 RecordView::u32(quint32 offset) const {
  return has(offset, 4) ? qFromLittleEndian<quint32>(m_data + offset) : 0;
}

quint16 RecordView::u16(quint32 offset) const {
  return has(offset, 2) ? qFromLittleEndian<quint16>(m_data + offset) : 0;
}

float RecordView::f32(quint32 offset) const {
  const quint32 bits = u32(offset);
  float v;
  std::memcpy(&v, &bits, 4);
  return v;
}

std::optional<QString> RecordView::utf16(quint64 offset, quint64 count) const {
  if (!has(offset, count * 2)) return std::nullopt;
  QString s(qsizetype(count), Qt::Uninitialized);
  for (quint64 i = 0; i < count; ++i)
    s[qsizetype(i)] = QChar(qFromLittleEndian<quint16>(m_data + offset + 2 * i));
  return s;
}

std::optional<EmfHeaderInfo> readEmfHeader(const QByteArray& emf) {
  if (emf.size() < 88) return std::nullopt;
  const quint32 size = qFromLittleEndian<quint32>(emf.constData() + 4);
  if (size < 88 || size > quint64(emf.size())) return std::nullopt;
  const RecordView h(emf.constData(), size, qFromLittleEndian<quint32>(emf.constData()));
  if (h.type() != record::Header || h.u32(40) != kSignature) return std::nullopt;
  EmfHeaderInfo info;
  info.bounds = QRect(QPoint(h.i32(8), h.i32(12)), QPoint(h.i32(16), h.i32(20)));
  info.frame = QRect(QPoint(h.i32(24), h.i32(28)), QPoint(h.i32(32), h.i32(36)));
  info.handles = h.u16(56);
  info.devicePixels = QSize(h.i32(72), h.i32(76));
  info.deviceMillimeters = QSize(h.i32(80), h.i32(84));
  return info;
}

std::optional<std::vector<RecordView>> splitEmfRecords(const QByteArray& emf) {
  if (!readEmfHeader(emf)) return std::nullopt;
  std::vector<RecordView> records;
  const quint64 total = quint64(emf.size());
  quint64 offset = 0;
  while (offset + 8 <= total) {
    const char* p = emf.constData() + offset;
    const quint32 type = qFromLittleEndian<quint32>(p);
    const quint32 size = qFromLittleEndian<quint32>(p + 4);
    if (size < 8 || size % 4 != 0 || size > total - offset) return std::nullopt;
    if (offset > 0 && type == record::Header) return std::nullopt;
    records.emplace_back(p, size, type);
    if (type == record::Eof) return records;
    offset += size;
  }
  return std::nullopt;  // no EMR_EOF: truncated
}

std::optional<QString> extTextOutString(const RecordView& r) {
  if (r.type() != record::ExtTextOutW || !r.has(0, 76)) return std::nullopt;
  const quint32 chars = r.u32(44);
  const quint32 offString = r.u32(48);
  if (chars == 0) return QString();
  return r.utf16(offString, chars);
}

}  // namespace morvane::emf
