// Inspection of an enhanced metafile for tests and other hosts: its records and its frame.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

namespace morvane::emf {

struct EmfRecord {
  quint32 type;
  quint32 size;
  QString text;  // the string of an EMR_EXTTEXTOUTW record, else empty
};

// Every record from EMR_HEADER to EMR_EOF. nullopt when the bytes are not a metafile or are
// malformed (a broken record chain, a missing EMR_EOF, a text record whose string lies outside it).
std::optional<std::vector<EmfRecord>> parseEmfRecords(const QByteArray& emf);

// The picture size recorded in the header's frame (0.01 mm), in points; nullopt when the bytes
// do not start with a metafile header or the frame is empty.
std::optional<QSizeF> emfFrameSizeInPoints(const QByteArray& emf);

}  // namespace morvane::emf
