#include "zip_fixture.h"

#include <QFile>

#include <zip.h>

#include <deque>

using namespace morvane;

namespace morvane::opctest {

QByteArray makeZip(const std::vector<Member>& members) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(target);
  zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  for (const Member& member : members) {
    zip_source_t* source =
        zip_source_buffer(archive, member.data.constData(), quint64(member.data.size()), 0);
    const zip_int64_t index =
        zip_file_add(archive, member.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    zip_set_file_compression(archive, quint64(index), member.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                             0);
  }
  QByteArray bytes;
  if (zip_close(archive) == 0) {
    zip_stat_t st;
    zip_source_stat(target, &st);
    zip_source_open(target);
    bytes.resize(qsizetype(st.size));
    zip_source_read(target, bytes.data(), st.size);
    zip_source_close(target);
  } else {
    zip_discard(archive);
  }
  zip_source_free(target);
  zip_error_fini(&error);
  return bytes;
}

static zip_t* openZip(const QByteArray& zip) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(zip.constData(), quint64(zip.size()), 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!archive && source) zip_source_free(source);
  zip_error_fini(&error);
  return archive;
}

std::map<QString, RawMember> rawMembers(const QByteArray& zip, std::vector<QString>* order) {
  std::map<QString, RawMember> members;
  zip_t* archive = openZip(zip);
  if (!archive) return members;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(archive, quint64(i), 0, &st);
    RawMember raw;
    raw.crc = st.crc;
    raw.method = st.comp_method;
    raw.size = qint64(st.size);
    raw.compressed.resize(qsizetype(st.comp_size));
    zip_file_t* file = zip_fopen_index(archive, quint64(i), ZIP_FL_COMPRESSED);
    if (file) {
      zip_fread(file, raw.compressed.data(), st.comp_size);
      zip_fclose(file);
    }
    const QString name = QString::fromUtf8(st.name);
    if (order) order->push_back(name);
    members[name] = raw;
  }
  zip_discard(archive);
  return members;
}

QByteArray memberData(const QByteArray& zip, const QString& name) {
  QByteArray data;
  zip_t* archive = openZip(zip);
  if (!archive) return data;
  zip_stat_t st;
  if (zip_stat(archive, name.toUtf8().constData(), 0, &st) == 0) {
    data.resize(qsizetype(st.size));
    zip_file_t* file = zip_fopen(archive, name.toUtf8().constData(), 0);
    if (file) {
      zip_fread(file, data.data(), st.size);
      zip_fclose(file);
    }
  }
  zip_discard(archive);
  return data;
}

std::vector<Member> minimalWorkbook() {
  return {
      {QStringLiteral("[Content_Types].xml"),
       R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
       R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
       R"(<Default Extension="xml" ContentType="application/xml"/>)"
       R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
       R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
       R"(</Types>)"},
      {QStringLiteral("_rels/.rels"),
       R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
       R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>)"
       R"(</Relationships>)"},
      {QStringLiteral("xl/workbook.xml"),
       R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
       R"(<sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
      {QStringLiteral("xl/_rels/workbook.xml.rels"),
       R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
       R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
       R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="https://example.org/a%20b" TargetMode="External"/>)"
       R"(</Relationships>)"},
      {QStringLiteral("xl/worksheets/sheet1.xml"),
       R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
       R"(<row r="1"><c r="A1" t="inlineStr"><is><t xml:space="preserve"> </t></is></c></row>)"
       R"(</sheetData></worksheet>)",
       true},
  };
}

namespace {

quint16 le16(const QByteArray& b, qsizetype at) {
  return quint16(uchar(b[at]) | uchar(b[at + 1]) << 8);
}
void put16(QByteArray* b, qsizetype at, quint16 v) {
  (*b)[at] = char(v & 0xff);
  (*b)[at + 1] = char(v >> 8);
}
void put32(QByteArray* b, qsizetype at, quint32 v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = char((v >> (8 * i)) & 0xff);
}

// Calls `patch(headerOffset, isCentral)` for the local and central headers of `name`.
template <typename Patch>
bool forHeaders(QByteArray* zip, const QString& name, Patch patch) {
  const QByteArray wanted = name.toUtf8();
  bool found = false;
  for (qsizetype at = 0; at + 46 < zip->size(); ++at) {
    if ((*zip)[at] != 'P' || (*zip)[at + 1] != 'K') continue;
    const bool local = (*zip)[at + 2] == 3 && (*zip)[at + 3] == 4;
    const bool central = (*zip)[at + 2] == 1 && (*zip)[at + 3] == 2;
    if (!local && !central) continue;
    const qsizetype nameAt = at + (central ? 46 : 30);
    const quint16 length = le16(*zip, at + (central ? 28 : 26));
    if (zip->mid(nameAt, length) != wanted) continue;
    patch(at, central);
    found = true;
  }
  return found;
}

}  // namespace

bool setDeclaredSize(QByteArray* zip, const QString& name, quint32 size) {
  return forHeaders(zip, name, [zip, size](qsizetype at, bool central) {
    put32(zip, at + (central ? 24 : 22), size);
  });
}

bool setEncryptedFlag(QByteArray* zip, const QString& name) {
  return forHeaders(zip, name, [zip](qsizetype at, bool central) {
    const qsizetype flags = at + (central ? 8 : 6);
    put16(zip, flags, le16(*zip, flags) | 1);
  });
}

bool renameMember(QByteArray* zip, const QString& from, const QString& to) {
  const QByteArray replacement = to.toUtf8();
  if (replacement.size() != from.toUtf8().size()) return false;
  return forHeaders(zip, from, [zip, &replacement](qsizetype at, bool central) {
    zip->replace(at + (central ? 46 : 30), replacement.size(), replacement);
  });
}

bool setEntryCount(QByteArray* zip, quint16 count) {
  const qsizetype at = zip->lastIndexOf(QByteArray("PK\x05\x06", 4));
  if (at < 0) return false;
  put16(zip, at + 8, count);
  put16(zip, at + 10, count);
  return true;
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

}  // namespace morvane::opctest
