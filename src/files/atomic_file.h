// Files written so that a reader, or a run killed at any instant, only ever finds the old file
// or the complete new one. The bytes go to a temporary file beside the target, named
// ".<name>.morvane-<pid>-<random>.tmp", which commit() syncs and renames over the target;
// every new temporary first removes those of the same target whose writing process has ended.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace morvane::files {

class AtomicFile : public QFile {
 public:
  // `target` may not exist yet; a symbolic link is written through to the file it names.
  explicit AtomicFile(const QString& target);
  // Removes a temporary file that was not committed.
  ~AtomicFile() override;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file, write-only, with the target's permissions when it exists.
  // False (errorString() says why) when `mode` is not write-only, the target is a folder or
  // read-only, or its folder refuses the file.
  bool open(OpenMode mode) override;
  // Flushes and syncs the temporary file and renames it over the target. False
  // (errorString()) leaves the target as it was and removes the temporary file.
  bool commit();
  // Drops what was written: the temporary file goes, the target stays as it was.
  void cancelWriting();

  const QString& target() const { return m_target; }
  // Whether open() first sweeps the target's stale temporaries (it does unless told here),
  // which reads the whole folder: a writer of many files sweeps the folder once instead.
  void setSweepStale(bool sweep) { m_sweepStale = sweep; }

 private:
  bool fail(const QString& reason);

  QString m_target;
  bool m_created = false;
  bool m_sweepStale = true;
};

// A private scratch file (owner only) beside `target`, named and swept as the target's
// temporary files are, so a killed run's scratch never lingers; removed when destroyed.
// path() is empty when it could not be created.
class ScratchFile {
 public:
  explicit ScratchFile(const QString& target);
  const QString& path() const { return m_path; }

 private:
  AtomicFile m_file;
  QString m_path;
};

// Writes `bytes` to `target` as an AtomicFile does (sweeping the target's stale temporaries
// unless `sweepStale` is false). False with the reason in `error`.
bool writeAtomically(const QString& target, const QByteArray& bytes, QString* error = nullptr,
                     bool sweepStale = true);

// Removes the temporary files beside `target` whose writing process has ended (a run killed
// while writing); those of running processes stay. Returns how many it removed.
int removeStaleTemporaries(const QString& target);
// The same for the temporaries of every target in `folder`.
int removeStaleTemporariesIn(const QString& folder);

}  // namespace morvane::files
