#include "pdf/pdf_info_update.h"

#include <QRegularExpression>

namespace morvane::pdf {
namespace {

// A text string any reader decodes whatever it holds: UTF-16BE with its byte-order mark, in
// hexadecimal, so no character needs escaping.
QByteArray textString(const QString& text) {
  QByteArray bytes("<FEFF");
  for (const QChar c : text) bytes += QByteArray::number(c.unicode(), 16).rightJustified(4, '0');
  return bytes.toUpper() + '>';
}

QByteArray infoObject(int number, const DocumentInfo& info) {
  QByteArray object = QByteArray::number(number) + " 0 obj\n<<\n";
  const auto add = [&object](const char* key, const QString& value) {
    if (!value.isEmpty()) object += QByteArray("/") + key + ' ' + textString(value) + '\n';
  };
  add("Title", info.title);
  add("Creator", info.creator);
  add("Author", info.author);
  add("Producer", info.producer);
  if (info.created.isValid())
    object += "/CreationDate (D:" +
              info.created.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z)\n";
  return object + ">>\nendobj\n";
}

struct Trailer {
  qint64 xref = -1;   // offset of the last cross-reference section
  int size = -1;      // number of objects, the next object number
  QByteArray others;  // every other entry of its dictionary, as written
};

// The last trailer of `tail` and the startxref after it; size -1 when there is none.
Trailer lastTrailer(const QByteArray& tail) {
  Trailer trailer;
  const qsizetype start = tail.lastIndexOf("startxref");
  const qsizetype keyword = start < 0 ? -1 : tail.lastIndexOf("trailer", start);
  if (keyword < 0) return trailer;
  static const QRegularExpression offset(QStringLiteral("^startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
  const auto end = offset.match(QString::fromLatin1(tail.mid(start)));
  QByteArray dictionary = tail.mid(keyword + 7, start - keyword - 7).trimmed();
  if (!end.hasMatch() || !dictionary.startsWith("<<") || !dictionary.endsWith(">>")) return trailer;
  QString entries = QString::fromLatin1(dictionary.mid(2, dictionary.size() - 4));
  static const QRegularExpression size(QStringLiteral("/Size\\s+(\\d+)"));
  const auto count = size.match(entries);
  if (!count.hasMatch()) return trailer;
  // The update's own /Size, /Info and /Prev replace these.
  static const QRegularExpression replaced(
      QStringLiteral("/(Size\\s+\\d+|Prev\\s+\\d+|Info\\s+\\d+\\s+\\d+\\s+R)\\b"));
  entries.remove(replaced);
  trailer.xref = end.captured(1).toLongLong();
  trailer.size = count.captured(1).toInt();
  trailer.others = entries.trimmed().toLatin1();
  return trailer;
}

}  // namespace

QByteArray infoUpdate(const QByteArray& tail, qint64 size, const DocumentInfo& info,
                      QString* error) {
  const Trailer previous = lastTrailer(tail);
  if (previous.size < 1) {
    if (error) *error = QStringLiteral("the document has no trailer to update");
    return {};
  }
  QByteArray update = tail.endsWith('\n') ? QByteArray() : QByteArray("\n");
  const qint64 objectAt = size + update.size();
  update += infoObject(previous.size, info);
  const qint64 xrefAt = size + update.size();
  // Each entry is exactly 20 bytes: ten-digit offset, generation, type and a two-byte EOL.
  update += "xref\n" + QByteArray::number(previous.size) + " 1\n" +
            QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n \n";
  update += "trailer\n<<\n/Size " + QByteArray::number(previous.size + 1) + "\n/Info " +
            QByteArray::number(previous.size) + " 0 R\n/Prev " + QByteArray::number(previous.xref) +
            '\n';
  if (!previous.others.isEmpty()) update += previous.others + '\n';
  update += ">>\nstartxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
  return update;
}

TailKeepingDevice::TailKeepingDevice(QIODevice& target, qsizetype keep)
    : m_target(target), m_keep(keep) {
  setOpenMode(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TailKeepingDevice::writeData(const char* data, qint64 length) {
  const qint64 done = m_target.write(data, length);
  if (done <= 0) return done;
  m_written += done;
  m_tail.append(data, done);
  // Trimmed in batches: the writer sends many small pieces.
  if (m_tail.size() > 2 * m_keep) m_tail.remove(0, m_tail.size() - m_keep);
  return done;
}

}  // namespace morvane::pdf
