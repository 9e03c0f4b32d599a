// Atomic writes on real files: the target is the old file or the complete new one, the
// temporaries beside it follow one pattern, and those of ended processes are swept.
#include "files/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace morvane;

namespace {

QByteArray read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The names in `dir` that are temporary files of some target.
QStringList temporaries(const QTemporaryDir& dir) {
  return QDir(dir.path())
      .entryList({QStringLiteral(".*.morvane-*.tmp")}, QDir::Files | QDir::Hidden);
}

// Owner, group and others' permissions (the "user" bits only repeat the owner's for us).
int modeOf(const QString& path) { return int(QFileInfo(path).permissions()) & 0xf0ff; }

// The id of a process that has ended.
qint64 endedPid() {
  QProcess process;
  process.start(QStringLiteral("true"), {});
  process.waitForFinished();
  return process.processId() ? process.processId() : 999999;
}

}  // namespace

TEST(AtomicFile, CommitReplacesTheTargetKeepingItsPermissions) {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("deck.pptx"));
  write(target, "old");
  QFile::setPermissions(target,
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
  files::AtomicFile file(target);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  EXPECT_TRUE(QFileInfo(file.fileName())
                  .fileName()
                  .startsWith(QStringLiteral(".deck.pptx.morvane-%1-").arg(::getpid())));
  file.write("new and longer");
  EXPECT_EQ(read(target), "old");  // nothing visible before the commit
  ASSERT_TRUE(file.commit()) << file.errorString().toStdString();
  EXPECT_EQ(read(target), "new and longer");
  EXPECT_EQ(modeOf(target),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
  EXPECT_TRUE(temporaries(dir).isEmpty());
}

// Whatever stops the writing before the rename leaves the old file and no temporary.
TEST(AtomicFile, AnUncommittedOrFailedWriteLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("out.pdf"));
  write(target, "old");
  const QString folder = dir.filePath(QStringLiteral("a folder"));
  ASSERT_TRUE(QDir().mkdir(folder));
  {
    files::AtomicFile dropped(target);
    ASSERT_TRUE(dropped.open(QIODevice::WriteOnly));
    dropped.write("half");
  }
  files::AtomicFile cancelled(target);
  ASSERT_TRUE(cancelled.open(QIODevice::WriteOnly));
  cancelled.write("half");
  cancelled.cancelWriting();
  files::AtomicFile lost(target);  // its temporary vanished: the rename fails
  ASSERT_TRUE(lost.open(QIODevice::WriteOnly));
  QFile::remove(lost.fileName());
  EXPECT_FALSE(lost.commit());
  EXPECT_FALSE(lost.errorString().isEmpty());
  EXPECT_FALSE(files::AtomicFile(folder).open(QIODevice::WriteOnly));
  QString error;
  EXPECT_FALSE(files::writeAtomically(dir.filePath(QStringLiteral("missing/x.pdf")), "x", &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(read(target), "old");
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_TRUE(temporaries(dir).isEmpty());
}

TEST(AtomicFile, ASymbolicLinkIsWrittenThrough) {
  QTemporaryDir dir;
  const QString real = dir.filePath(QStringLiteral("real.xlsx"));
  const QString link = dir.filePath(QStringLiteral("link.xlsx"));
  write(real, "old");
  ASSERT_TRUE(QFile::link(real, link));
  ASSERT_TRUE(files::writeAtomically(link, "new"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(read(real), "new");
}

// A new temporary sweeps those its target's killed writers left, and nothing else; a sweep of
// the folder, those of every target.
TEST(AtomicFile, StaleTemporariesOfTheTargetAreSweptLiveOnesKept) {
  QTemporaryDir dir;
  const QString target = dir.filePath(QStringLiteral("a [b]*.xlsx"));
  const qint64 dead = endedPid();
  const QString live = QStringLiteral(".a [b]*.xlsx.morvane-%1-live00.tmp").arg(::getppid());
  const QString other = QStringLiteral(".other.xlsx.morvane-%1-abcdef.tmp").arg(dead);
  const QStringList stale{QStringLiteral(".a [b]*.xlsx.morvane-%1-abcdef.tmp").arg(dead),
                          QStringLiteral(".a [b]*.xlsx.morvane-x-abcdef.tmp")};
  for (const QString& name : stale + QStringList{live, other}) write(dir.filePath(name), "left");
  EXPECT_EQ(files::removeStaleTemporaries(target), 2);
  for (const QString& name : stale) write(dir.filePath(name), "left");
  ASSERT_TRUE(files::writeAtomically(target, "new"));
  QStringList left = temporaries(dir);
  left.sort();
  EXPECT_EQ(left, (QStringList{live, other}));

  // A sweep of the folder takes every target's stale temporaries, and a write told not to
  // sweep leaves them.
  for (const QString& name : stale) write(dir.filePath(name), "left");
  ASSERT_TRUE(files::writeAtomically(target, "newer", nullptr, false));
  EXPECT_EQ(temporaries(dir).size(), 4);
  EXPECT_EQ(files::removeStaleTemporariesIn(dir.path()), 3);
  EXPECT_EQ(temporaries(dir), QStringList{live});
}

TEST(AtomicFile, AScratchFileIsPrivateAndGoesWithItsOwner) {
  QTemporaryDir dir;
  QString path;
  {
    const files::ScratchFile scratch(dir.filePath(QStringLiteral("out.pdf")));
    path = scratch.path();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral(".out.pdf.morvane-")));
    EXPECT_EQ(modeOf(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  }
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.pdf"))));
}
