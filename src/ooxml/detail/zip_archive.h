// Zip archives through libzip: ZipReader indexes and inflates the members of an archive held
// in a QByteArray; ZipWriter builds a new archive in memory or straight onto a device,
// deflating new members and copying members of a ZipReader with their compressed bytes
// unchanged.
// Messages are problems only ("not a zip archive"); callers prefix the file's name.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <deque>
#include <memory>
#include <vector>

#include "ooxml/result.h"

struct zip;         // libzip's zip_t
struct zip_source;  // libzip's zip_source_t
struct zip_error;   // libzip's zip_error_t

namespace morvane::ooxml::detail {

struct ZipEntry {
  quint64 index = 0;
  QString name;     // as stored, in UTF-8 (legacy code page names converted)
  qint64 size = 0;  // declared inflated size
  qint64 compressedSize = 0;
  int compressionMethod = 0;
  bool encrypted = false;
};

class ZipReader {
 public:
  // Indexes the archive in `data` (shared, not copied). Fails with NotAPackage when the
  // bytes are not a readable zip archive, or Unsafe when it holds more than `maxEntries`.
  static Result<std::unique_ptr<ZipReader>> open(const QByteArray& data, qint64 maxEntries);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  const std::vector<ZipEntry>& entries() const { return m_entries; }
  // Inflates entry `index`. Fails with NotAPackage when the member is damaged (bad data,
  // CRC) or inflates to more or fewer bytes than declared, so a member's declared size,
  // checked by the caller, bounds the work.
  // REQUIRES: the caller checked the declared size against its limits (it is allocated).
  Result<QByteArray> read(quint64 index) const;
  // The libzip archive, for ZipWriter::copyRaw().
  zip* archive() const { return m_archive; }

 private:
  ZipReader() = default;
  QByteArray m_data;
  zip* m_archive = nullptr;
  std::vector<ZipEntry> m_entries;
};

class ZipWriter {
 public:
  // An archive built in memory, for finish(). Fails with Unwritable when libzip cannot start
  // an archive.
  static Result<std::unique_ptr<ZipWriter>> create();
  // An archive written member by member onto `device` (open for writing, seekable), for
  // close(): no copy of the whole archive is held. REQUIRES: `device` outlives the writer.
  static Result<std::unique_ptr<ZipWriter>> createOn(QIODevice* device);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Adds a deflated member. Failure: Unwritable.
  Status addDeflated(const QString& name, const QByteArray& data);
  // Adds a member stored as it is, for data compressed already (PNG, JPEG). Failure: Unwritable.
  Status addStored(const QString& name, const QByteArray& data);
  // Adds a member whose bytes are `length` bytes of `device` (open for reading, seekable)
  // from `start`, stored as they are or deflated, read when the archive is written.
  // REQUIRES: `device` outlives finish() or close(). Failure: Unwritable.
  Status addDeviceRange(const QString& name, QIODevice* device, qint64 start, qint64 length,
                        bool stored);
  // Adds member `index` of `from` under `name` with its compressed bytes, method and CRC
  // unchanged. REQUIRES: `from` outlives finish(). Failure: Unwritable.
  Status copyRaw(const ZipReader& from, quint64 index, const QString& name);
  // Writes the central directory and returns the archive's bytes. Call once, on an archive
  // from create().
  Result<QByteArray> finish();
  // Writes the members and the central directory onto the device. Call once, on an archive
  // from createOn(). A failed write gives the device's reason.
  Status close();
  // Why the device refused a write or a seek (its errorString()); empty when it did not.
  QString deviceProblem() const;

  struct DeviceTarget;
  struct DeviceRange;

 private:
  ZipWriter();
  Status closeArchive();
  // Takes `target` over and opens a new archive on it.
  Status openArchive(zip_source* target, int flags, zip_error* error);
  Status add(const QString& name, const QByteArray& data, int method);
  Status addSource(const QString& name, zip_source* source, int method);
  zip* m_archive = nullptr;
  ::zip_source* m_target = nullptr;
  std::deque<QByteArray> m_keepAlive;  // buffers libzip reads at finish()
  std::unique_ptr<DeviceTarget> m_device;
  std::deque<std::unique_ptr<DeviceRange>> m_ranges;  // the sources of addDeviceRange()
};

}  // namespace morvane::ooxml::detail
