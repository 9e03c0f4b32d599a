// Test helpers that build and inspect zip archives with libzip directly, independent of
// the package layer under test.
#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace morvane::opctest {

struct Member {
  QString name;
  QByteArray data;
  bool store = false;  // stored instead of deflated
};

// A zip archive holding `members` in order.
QByteArray makeZip(const std::vector<Member>& members);

// What a member looks like inside the archive.
struct RawMember {
  QByteArray compressed;  // the member's data as stored (compressed bytes)
  quint32 crc = 0;
  int method = 0;
  qint64 size = 0;
};
// Members by name, in archive order through `order` when given. Empty when not a zip.
std::map<QString, RawMember> rawMembers(const QByteArray& zip,
                                        std::vector<QString>* order = nullptr);

// The inflated bytes of one member; empty when absent.
QByteArray memberData(const QByteArray& zip, const QString& name);

// The members of a small valid workbook package: content types, package rels, workbook
// with one sheet, its rels.
std::vector<Member> minimalWorkbook();

// Byte surgery on an archive made by makeZip(), for damage no zip writer produces. Each
// changes the member's local and central headers alike and returns false when the member
// is not found.
bool setDeclaredSize(QByteArray* zip, const QString& name, quint32 size);
bool setEncryptedFlag(QByteArray* zip, const QString& name);
bool renameMember(QByteArray* zip, const QString& from, const QString& to);  // same length
// Overwrites the end-of-directory entry counts.
bool setEntryCount(QByteArray* zip, quint16 count);

QByteArray readFile(const QString& path);
bool writeFile(const QString& path, const QByteArray& data);

}  // namespace morvane::opctest
