#include "emf/emf_records.h"

#include "emf/emf_format.h"
#include "emf/emf_reader.h"

namespace morvane::emf {

std::optional<std::vector<EmfRecord>> parseEmfRecords(const QByteArray& emf) {
  const std::optional<std::vector<RecordView>> views = splitEmfRecords(emf);
  if (!views) return std::nullopt;
  std::vector<EmfRecord> records;
  records.reserve(views->size());
  for (const RecordView& v : *views) {
    EmfRecord r{v.type(), v.size(), QString()};
    if (v.type() == record::ExtTextOutW) {
      const std::optional<QString> text = extTextOutString(v);
      if (!text) return std::nullopt;
      r.text = *text;
    }
    records.push_back(std::move(r));
  }
  return records;
}

std::optional<QSizeF> emfFrameSizeInPoints(const QByteArray& emf) {
  const std::optional<EmfHeaderInfo> header = readEmfHeader(emf);
  if (!header) return std::nullopt;
  const qint64 w = qint64(header->frame.right()) - header->frame.left();
  const qint64 h = qint64(header->frame.bottom()) - header->frame.top();
  if (w <= 0 || h <= 0) return std::nullopt;
  return QSizeF(w * 72.0 / 2540.0, h * 72.0 / 2540.0);
}

}  // namespace morvane::emf
