#include "files/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace morvane::files {

namespace {

constexpr char kMark[] = ".morvane-";
constexpr char kSuffix[] = ".tmp";
// Keeps ".<name>.morvane-<pid>-<random>.tmp" within the 255 bytes a file name may have.
constexpr int kMaxNameBytes = 200;

// ".<name>.morvane-": what every temporary of `target` begins with.
QString temporaryPrefix(const QString& target) {
  QString name = QFileInfo(target).fileName();
  while (name.toUtf8().size() > kMaxNameBytes) name.chop(1);
  return QLatin1Char('.') + name + QLatin1String(kMark);
}

QString randomTag() {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  QString tag;
  for (int i = 0; i < 6; ++i) tag += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
  return tag;
}

// True while process `pid` exists (it may belong to another user).
bool running(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

// Removes the temporaries in `folderPath` whose names begin with `prefix` and whose writing
// process has ended. Matched by hand, unsorted: a name may hold wildcard characters, and the
// folder may hold thousands of files.
int sweepFolder(const QString& folderPath, const QString& prefix) {
  QDir folder(folderPath);
  int removed = 0;
  const QLatin1String mark(kMark);
  const QStringList names =
      folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);
  for (const QString& name : names) {
    if (!name.startsWith(prefix) || !name.endsWith(QLatin1String(kSuffix))) continue;
    // ".<name>.morvane-<pid>-<random>.tmp": the pid follows the last mark.
    const qsizetype at = name.lastIndexOf(mark);
    if (at < 0 || at + mark.size() < prefix.size()) continue;
    const QString rest = name.mid(at + mark.size());
    bool isNumber = false;
    const qint64 pid = rest.left(rest.indexOf(QLatin1Char('-'))).toLongLong(&isNumber);
    if (isNumber && running(pid)) continue;
    if (folder.remove(name)) ++removed;
  }
  return removed;
}

// A rename is only durable once its folder is synced; a failure here loses nothing a reader
// could see, so it is not reported.
void syncFolder(const QString& folder) {
  const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A short write (a file size limit, a full disk) is retried, so that the write that fails
// gives the system's reason instead of none.
bool writeAll(QFileDevice& file, const QByteArray& bytes) {
  for (qint64 done = 0; done < bytes.size();) {
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) return false;
    done += written;
  }
  return true;
}

}  // namespace

AtomicFile::AtomicFile(const QString& target) {
  const QFileInfo info(target);
  m_target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
}

AtomicFile::~AtomicFile() { cancelWriting(); }

bool AtomicFile::fail(const QString& reason) {
  cancelWriting();
  setErrorString(reason);
  return false;
}

bool AtomicFile::open(OpenMode mode) {
  if (!mode.testFlag(QIODevice::WriteOnly) || mode.testFlag(QIODevice::ReadOnly) ||
      mode.testFlag(QIODevice::Append))
    return fail(QStringLiteral("a temporary file is opened for writing only"));
  const QFileInfo target(m_target);
  if (target.isDir()) return fail(QStringLiteral("the path is a folder"));
  if (target.exists() && !target.isWritable()) return fail(QStringLiteral("the file is read-only"));
  if (m_sweepStale) removeStaleTemporaries(m_target);
  const QString stem = target.absolutePath() + QLatin1Char('/') + temporaryPrefix(m_target) +
                       QString::number(::getpid()) + QLatin1Char('-');
  // A clash with a file that already has the name only costs another try.
  for (int attempt = 0; attempt < 16; ++attempt) {
    setFileName(stem + randomTag() + QLatin1String(kSuffix));
    if (QFile::open(QIODevice::WriteOnly | QIODevice::NewOnly | (mode & QIODevice::Unbuffered))) {
      m_created = true;
      if (target.exists()) setPermissions(target.permissions());
      return true;
    }
    if (QFile::exists(fileName())) continue;
    break;
  }
  return fail(errorString());
}

bool AtomicFile::commit() {
  if (!isOpen() || !m_created) return fail(QStringLiteral("no file is open for writing"));
  if (!flush() || ::fsync(handle()) != 0) return fail(errorString());
  close();
  if (error() != QFileDevice::NoError) return fail(errorString());
  if (::rename(QFile::encodeName(fileName()).constData(),
               QFile::encodeName(m_target).constData()) != 0)
    return fail(QString::fromLocal8Bit(std::strerror(errno)));
  m_created = false;
  syncFolder(QFileInfo(m_target).absolutePath());
  return true;
}

void AtomicFile::cancelWriting() {
  if (isOpen()) close();
  if (m_created) QFile::remove(fileName());
  m_created = false;
}

ScratchFile::ScratchFile(const QString& target) : m_file(target) {
  if (!m_file.open(QIODevice::WriteOnly)) return;
  m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  m_file.close();
  m_path = m_file.fileName();
}

bool writeAtomically(const QString& target, const QByteArray& bytes, QString* error,
                     bool sweepStale) {
  AtomicFile file(target);
  file.setSweepStale(sweepStale);
  const bool ok = file.open(QIODevice::WriteOnly) && writeAll(file, bytes) && file.commit();
  if (!ok && error) *error = file.errorString();
  return ok;
}

int removeStaleTemporaries(const QString& target) {
  return sweepFolder(QFileInfo(target).absolutePath(), temporaryPrefix(target));
}

int removeStaleTemporariesIn(const QString& folder) {
  return sweepFolder(folder, QStringLiteral("."));
}

}  // namespace morvane::files
