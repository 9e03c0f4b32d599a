#include "ooxml/detail/zip_archive.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>

namespace morvane::ooxml::detail {

namespace {

Error zipError(Error::Code code, const QString& what, zip_error_t* error) {
  return Error{code, what + QStringLiteral(" (") + QString::fromUtf8(zip_error_strerror(error)) +
                         QLatin1Char(')')};
}

QString openProblem(int code) {
  switch (code) {
    case ZIP_ER_NOZIP:
      return QStringLiteral("not a zip archive");
    case ZIP_ER_INCONS:
      return QStringLiteral("damaged zip archive (inconsistent directory)");
    case ZIP_ER_EOF:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
      return QStringLiteral("truncated or damaged zip archive");
    case ZIP_ER_MEMORY:
      return QStringLiteral("zip archive too large to index");
    default:
      return QStringLiteral("unreadable zip archive");
  }
}

}  // namespace

Result<std::unique_ptr<ZipReader>> ZipReader::open(const QByteArray& data, qint64 maxEntries) {
  std::unique_ptr<ZipReader> reader(new ZipReader);
  reader->m_data = data;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(reader->m_data.constData(),
                                                  quint64(reader->m_data.size()), 0, &error);
  if (!source) {
    Error e =
        zipError(Error::Code::NotAPackage, QStringLiteral("cannot read the zip archive"), &error);
    zip_error_fini(&error);
    return e;
  }
  reader->m_archive = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!reader->m_archive) {
    zip_source_free(source);
    Error e = zipError(Error::Code::NotAPackage, openProblem(zip_error_code_zip(&error)), &error);
    zip_error_fini(&error);
    return e;
  }
  zip_error_fini(&error);

  const zip_int64_t count = zip_get_num_entries(reader->m_archive, 0);
  if (count > maxEntries) {
    return Error{Error::Code::Unsafe, QStringLiteral("the archive holds %1 members, more than the "
                                                     "limit of %2")
                                          .arg(count)
                                          .arg(maxEntries)};
  }
  reader->m_entries.reserve(size_t(count));
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(reader->m_archive, quint64(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
      return Error{Error::Code::NotAPackage,
                   QStringLiteral("damaged zip directory entry %1").arg(i)};
    ZipEntry entry;
    entry.index = quint64(i);
    entry.name = QString::fromUtf8(st.name);
    entry.size =
        (st.valid & ZIP_STAT_SIZE) ? qint64(qMin<quint64>(st.size, quint64(INT64_MAX))) : 0;
    entry.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE)
                               ? qint64(qMin<quint64>(st.comp_size, quint64(INT64_MAX)))
                               : 0;
    entry.compressionMethod = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0;
    entry.encrypted =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE;
    reader->m_entries.push_back(std::move(entry));
  }
  return reader;
}

ZipReader::~ZipReader() {
  if (m_archive) zip_discard(m_archive);  // read-only: nothing to write back
}

Result<QByteArray> ZipReader::read(quint64 index) const {
  const ZipEntry& entry = m_entries.at(index);
  zip_file_t* file = zip_fopen_index(m_archive, index, 0);
  if (!file) {
    return zipError(Error::Code::NotAPackage, QStringLiteral("member cannot be opened"),
                    zip_get_error(m_archive));
  }
  // One byte more than declared, to notice a member that inflates past its declared size.
  QByteArray data(entry.size + 1, Qt::Uninitialized);
  qint64 got = 0;
  Result<QByteArray> result = QByteArray();
  while (got < data.size()) {
    const zip_int64_t n = zip_fread(file, data.data() + got, quint64(data.size() - got));
    if (n < 0) {
      result = zipError(Error::Code::NotAPackage, QStringLiteral("member is damaged"),
                        zip_file_get_error(file));
      break;
    }
    if (n == 0) break;
    got += n;
  }
  zip_fclose(file);
  if (!result.ok()) return result;
  if (got != entry.size) {
    return Error{Error::Code::NotAPackage,
                 QStringLiteral("member inflates to a size other than the %1 bytes declared")
                     .arg(entry.size)};
  }
  data.resize(got);
  return data;
}

// The write side of a libzip source on a QIODevice: libzip writes each member's local
// header, its data, then goes back to complete the header, and last the central directory.
struct ZipWriter::DeviceTarget {
  QIODevice* device = nullptr;
  zip_error_t error;
  QString reason;  // the device's own, when a write failed

  static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    auto* self = static_cast<DeviceTarget*>(state);
    switch (command) {
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_BEGIN_WRITE,
            ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE,
            ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, -1);
      case ZIP_SOURCE_STAT:
        // No archive there yet: libzip starts a new one.
        zip_error_set(&self->error, ZIP_ER_READ, ENOENT);
        return -1;
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&self->error, data, length);
      case ZIP_SOURCE_BEGIN_WRITE:
      case ZIP_SOURCE_ROLLBACK_WRITE:
      case ZIP_SOURCE_REMOVE:
      case ZIP_SOURCE_FREE:
        return 0;
      case ZIP_SOURCE_COMMIT_WRITE:
        return 0;
      case ZIP_SOURCE_WRITE: {
        const char* bytes = static_cast<const char*>(data);
        // A short write is retried, so that the one that fails gives the system's reason.
        for (zip_uint64_t done = 0; done < length;) {
          const qint64 written = self->device->write(bytes + done, qint64(length - done));
          if (written <= 0) return self->fail(ZIP_ER_WRITE);
          done += zip_uint64_t(written);
        }
        return zip_int64_t(length);
      }
      case ZIP_SOURCE_TELL_WRITE:
        return self->device->pos();
      case ZIP_SOURCE_SEEK_WRITE: {
        const zip_int64_t to = zip_source_seek_compute_offset(quint64(self->device->pos()),
                                                              quint64(self->device->size()), data,
                                                              length, &self->error);
        if (to < 0 || !self->device->seek(to)) return self->fail(ZIP_ER_SEEK);
        return 0;
      }
      default:
        // Nothing is read back: the archive is always new.
        zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  zip_int64_t fail(int code) {
    reason = device->errorString();
    zip_error_set(&error, code, 0);
    return -1;
  }
};

// The read side of a libzip source on a range of a QIODevice.
struct ZipWriter::DeviceRange {
  QIODevice* device = nullptr;
  qint64 start = 0;
  qint64 length = 0;
  qint64 done = 0;
  zip_error_t error;

  DeviceRange() { zip_error_init(&error); }
  ~DeviceRange() { zip_error_fini(&error); }

  static zip_int64_t callback(void* state, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    auto* self = static_cast<DeviceRange*>(state);
    switch (command) {
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              -1);
      case ZIP_SOURCE_OPEN:
        self->done = 0;
        return 0;
      case ZIP_SOURCE_READ: {
        const qint64 wanted = std::min<qint64>(qint64(length), self->length - self->done);
        if (wanted <= 0) return 0;
        if (!self->device->seek(self->start + self->done)) return self->fail();
        const qint64 n = self->device->read(static_cast<char*>(data), wanted);
        if (n <= 0) return self->fail();
        self->done += n;
        return n;
      }
      case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE;
        st->size = zip_uint64_t(self->length);
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&self->error, data, length);
      case ZIP_SOURCE_CLOSE:
      case ZIP_SOURCE_FREE:
        return 0;
      default:
        zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
  }

  zip_int64_t fail() {
    zip_error_set(&error, ZIP_ER_READ, EIO);
    return -1;
  }
};

ZipWriter::ZipWriter() = default;

Status ZipWriter::openArchive(zip_source* target, int flags, zip_error* error) {
  m_target = target;
  if (m_target) {
    zip_source_keep(m_target);  // outlives zip_close(), which owns one reference
    m_archive = zip_open_from_source(m_target, flags, error);
  }
  if (!m_archive)
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot start a zip archive"), error);
  return Status();
}

Result<std::unique_ptr<ZipWriter>> ZipWriter::create() {
  std::unique_ptr<ZipWriter> writer(new ZipWriter);
  zip_error_t error;
  zip_error_init(&error);
  const Status opened =
      writer->openArchive(zip_source_buffer_create(nullptr, 0, 0, &error), ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (!opened) return opened.error();
  return writer;
}

Result<std::unique_ptr<ZipWriter>> ZipWriter::createOn(QIODevice* device) {
  std::unique_ptr<ZipWriter> writer(new ZipWriter);
  writer->m_device = std::make_unique<DeviceTarget>();
  writer->m_device->device = device;
  zip_error_init(&writer->m_device->error);
  zip_error_t error;
  zip_error_init(&error);
  // No archive is there to read: the source says so, and libzip starts a new one.
  const Status opened = writer->openArchive(
      zip_source_function_create(&DeviceTarget::callback, writer->m_device.get(), &error),
      ZIP_CREATE | ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (!opened) return opened.error();
  return writer;
}

ZipWriter::~ZipWriter() {
  if (m_archive) zip_discard(m_archive);
  if (m_target) zip_source_free(m_target);
  if (m_device) zip_error_fini(&m_device->error);
}

Status ZipWriter::addDeflated(const QString& name, const QByteArray& data) {
  return add(name, data, ZIP_CM_DEFLATE);
}

Status ZipWriter::addStored(const QString& name, const QByteArray& data) {
  return add(name, data, ZIP_CM_STORE);
}

Status ZipWriter::add(const QString& name, const QByteArray& data, int method) {
  m_keepAlive.push_back(data);
  const QByteArray& kept = m_keepAlive.back();
  return addSource(name, zip_source_buffer(m_archive, kept.constData(), quint64(kept.size()), 0),
                   method);
}

Status ZipWriter::addDeviceRange(const QString& name, QIODevice* device, qint64 start,
                                 qint64 length, bool stored) {
  auto range = std::make_unique<DeviceRange>();
  range->device = device;
  range->start = start;
  range->length = length;
  zip_source_t* source = zip_source_function(m_archive, &DeviceRange::callback, range.get());
  m_ranges.push_back(std::move(range));
  return addSource(name, source, stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE);
}

Status ZipWriter::addSource(const QString& name, zip_source* source, int method) {
  if (!source) {
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot add %1").arg(name),
                    zip_get_error(m_archive));
  }
  const zip_int64_t index =
      zip_file_add(m_archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot add %1").arg(name),
                    zip_get_error(m_archive));
  }
  // zlib's fastest level: on a deck of metafiles and XML it deflates three times faster
  // than libzip's default (the best), for a file some 6 % larger.
  zip_set_file_compression(m_archive, quint64(index), method, method == ZIP_CM_DEFLATE ? 1 : 0);
  return Status();
}

Status ZipWriter::copyRaw(const ZipReader& from, quint64 index, const QString& name) {
  const ZipEntry& entry = from.entries().at(index);
  zip_source_t* source = zip_source_zip(m_archive, from.archive(), index, ZIP_FL_COMPRESSED, 0, -1);
  if (!source) {
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot copy %1").arg(name),
                    zip_get_error(m_archive));
  }
  const zip_int64_t added =
      zip_file_add(m_archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
  if (added < 0) {
    zip_source_free(source);
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot copy %1").arg(name),
                    zip_get_error(m_archive));
  }
  // The member keeps its own method, so libzip copies the compressed bytes untouched
  // (the default would deflate stored members).
  if (zip_set_file_compression(m_archive, quint64(added), entry.compressionMethod, 0) != 0) {
    return zipError(Error::Code::Unwritable,
                    QStringLiteral("cannot copy %1: compression method %2")
                        .arg(name)
                        .arg(entry.compressionMethod),
                    zip_get_error(m_archive));
  }
  return Status();
}

Status ZipWriter::closeArchive() {
  if (zip_close(m_archive) != 0) {
    zip_error_t* error = zip_get_error(m_archive);
    const int code = zip_error_code_zip(error);
    if (m_device && !m_device->reason.isEmpty())
      return Error{Error::Code::Unwritable, m_device->reason};
    // Copied members are checked as they are read; damage there is the original's.
    const QString what = code == ZIP_ER_CRC || code == ZIP_ER_EOF || code == ZIP_ER_READ ||
                                 code == ZIP_ER_INCONS || code == ZIP_ER_COMPNOTSUPP
                             ? QStringLiteral(
                                   "cannot write the zip archive: a member of the "
                                   "original package is damaged")
                             : QStringLiteral("cannot write the zip archive");
    return zipError(Error::Code::Unwritable, what, error);  // the destructor discards it
  }
  m_archive = nullptr;
  return Status();
}

Status ZipWriter::close() { return closeArchive(); }

QString ZipWriter::deviceProblem() const { return m_device ? m_device->reason : QString(); }

Result<QByteArray> ZipWriter::finish() {
  if (Status closed = closeArchive(); !closed) return closed.error();
  zip_stat_t st;
  zip_stat_init(&st);
  QByteArray bytes;
  if (zip_source_stat(m_target, &st) != 0 || zip_source_open(m_target) != 0) {
    return zipError(Error::Code::Unwritable, QStringLiteral("cannot read the written archive"),
                    zip_source_error(m_target));
  }
  bytes.resize(qsizetype(st.size));
  const zip_int64_t n = zip_source_read(m_target, bytes.data(), st.size);
  zip_source_close(m_target);
  if (n != zip_int64_t(st.size)) {
    return Error{Error::Code::Unwritable, QStringLiteral("cannot read the written archive")};
  }
  return bytes;
}

}  // namespace morvane::ooxml::detail
