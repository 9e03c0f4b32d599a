// The document information (title, creator, author, producer) of a written PDF, set by an
// incremental update appended to it: Qt's writer keeps only the title and the creator. Also
// the pass-through device that remembers the document's last bytes the update needs.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QString>

namespace morvane::pdf {

struct DocumentInfo {
  QString title;
  QString creator;
  QString author;
  QString producer;
  QDateTime created;  // written when valid
};

// The bytes to append to a PDF of `size` bytes whose last bytes are `tail` so that `info`
// becomes its document information: a new Info object (empty fields left out), a
// cross-reference section for it, and a trailer that keeps the previous trailer's entries
// and points back to it (/Prev). Empty, with `error` set, when `tail` does not end with a
// classic trailer and startxref (a cross-reference stream, a truncated file).
QByteArray infoUpdate(const QByteArray& tail, qint64 size, const DocumentInfo& info,
                      QString* error);

// A write-only device, open from the start, that passes every byte on to `target` (which
// must be open for writing and outlive it) and keeps at least the last `keep` bytes written.
class TailKeepingDevice : public QIODevice {
 public:
  TailKeepingDevice(QIODevice& target, qsizetype keep);

  const QByteArray& tail() const { return m_tail; }
  qint64 written() const { return m_written; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 length) override;

 private:
  QIODevice& m_target;
  qsizetype m_keep;
  QByteArray m_tail;
  qint64 m_written = 0;
};

}  // namespace morvane::pdf
