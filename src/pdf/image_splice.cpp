#include "pdf/image_splice.h"

#include <QRegularExpression>
#include <algorithm>

namespace morvane::pdf {
namespace {

QByteArray lengthObject(const QByteArray& number, qsizetype length) {
  return number + " 0 obj\n" + QByteArray::number(length) + "\nendobj\n";
}

// Whether `bytes` holds `text` at `at`, without copying what follows.
bool holdsAt(const QByteArray& bytes, qsizetype at, QByteArrayView text) {
  return at >= 0 && at <= bytes.size() && QByteArrayView(bytes).sliced(at).startsWith(text);
}

}  // namespace

ImageSplicingDevice::ImageSplicingDevice(QIODevice& target) : m_target(target) {
  setOpenMode(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ImageSplicingDevice::pass(const QByteArray& bytes) {
  if (m_target.write(bytes) != bytes.size()) {
    setErrorString(m_target.errorString());
    return false;
  }
  m_written += bytes.size();
  return true;
}

qint64 ImageSplicingDevice::writeData(const char* data, qint64 length) {
  m_counted += length;
  if (m_hold != Hold::None) {
    m_held.append(data, length);
    return length;
  }
  return pass(QByteArray::fromRawData(data, length)) ? length : -1;
}

void ImageSplicingDevice::holdImage() {
  m_hold = Hold::Image;
  m_held.clear();
  m_heldFrom = m_counted;
}

bool ImageSplicingDevice::replaceImage(const QByteArray& dictionary, const QByteArray& stream) {
  m_hold = Hold::None;
  const QByteArray held = std::exchange(m_held, {});
  if (held.isEmpty()) return true;
  // N 0 obj << ... /Length M 0 R ... >> stream ... endstream endobj, then M 0 obj L endobj.
  static const QRegularExpression image(QStringLiteral(
      "^(\\d+) 0 obj\\n<<\\n[^>]*/Subtype /Image\\n[^>]*/Length (\\d+) 0 R\\n[^>]*>>\\nstream\\n"));
  static const QRegularExpression length(
      QStringLiteral("\\nendstream\\nendobj\\n(\\d+) 0 obj\\n\\d+\\nendobj\\n$"));
  const auto head = image.match(QString::fromLatin1(held.left(512)));
  const auto tail = length.match(QString::fromLatin1(held.right(64)));
  if (!head.hasMatch() || !tail.hasMatch() || head.captured(2) != tail.captured(1)) {
    setErrorString(QStringLiteral("Qt wrote a picture in a form this program does not know"));
    return false;
  }
  const QByteArray number = head.captured(2).toLatin1();
  const qsizetype tailFrom = held.size() - std::min<qsizetype>(64, held.size());
  const qint64 qtLengthObject = m_heldFrom + tailFrom + tail.capturedStart(1);
  QByteArray object = head.captured(1).toLatin1() + " 0 obj\n<<\n" + dictionary + ">>\nstream\n";
  object += stream;
  object += "\nendstream\nendobj\n";
  m_anchors.emplace_back(qtLengthObject, m_written + object.size());
  object += lengthObject(number, stream.size());
  m_anchors.emplace_back(m_counted, m_written + object.size());
  return pass(object);
}

void ImageSplicingDevice::holdEnd() {
  m_hold = Hold::End;
  m_held.clear();
  m_heldFrom = m_counted;
}

qint64 ImageSplicingDevice::fileOffset(qint64 offset) const {
  const auto after = std::upper_bound(
      m_anchors.begin(), m_anchors.end(), offset,
      [](qint64 value, const std::pair<qint64, qint64>& anchor) { return value < anchor.first; });
  const auto& anchor = *(after - 1);
  return anchor.second + (offset - anchor.first);
}

bool ImageSplicingDevice::finish() {
  m_hold = Hold::None;
  QByteArray held = std::exchange(m_held, {});
  const qsizetype start = held.lastIndexOf("startxref");
  static const QRegularExpression number(QStringLiteral("^startxref\\s+(\\d+)"));
  const auto found = start < 0 ? QRegularExpressionMatch()
                               : number.match(QString::fromLatin1(held.mid(start, 40)));
  const qint64 table = found.hasMatch() ? found.captured(1).toLongLong() - m_heldFrom : -1;
  if (!holdsAt(held, table, "xref\n")) {
    setErrorString(QStringLiteral("the document has no cross-reference table"));
    return false;
  }
  // Subsections "first count", each entry 20 bytes: ten-digit offset, generation, n or f.
  qsizetype at = table + 5;
  while (at < start && !holdsAt(held, at, "trailer")) {
    const qsizetype eol = held.indexOf('\n', at);
    const QList<QByteArray> header = held.mid(at, eol - at).trimmed().split(' ');
    if (eol < 0 || header.size() != 2) break;
    at = eol + 1;
    for (int entry = header[1].toInt(); entry > 0; --entry, at += 20) {
      if (at + 20 > start || held[at + 17] == 'f') continue;
      const QByteArray offset = QByteArray::number(fileOffset(held.mid(at, 10).toLongLong()));
      held.replace(at, 10, offset.rightJustified(10, '0'));
    }
  }
  if (!holdsAt(held, at, "trailer")) {
    setErrorString(QStringLiteral("the document's cross-reference table cannot be read"));
    return false;
  }
  const QByteArray moved = QByteArray::number(fileOffset(m_heldFrom + table));
  held.replace(start + found.capturedStart(1), found.capturedLength(1), moved);
  return pass(held);
}

}  // namespace morvane::pdf
