// The state behind ooxml::Package, shared by package.cpp (reading) and package_edit.cpp
// (editing, saving).
#pragma once

#include <QDir>
#include <QTemporaryFile>
#include <map>
#include <memory>
#include <set>

#include "ooxml/detail/content_types.h"
#include "ooxml/detail/part_name.h"
#include "ooxml/detail/relationships_part.h"
#include "ooxml/detail/zip_archive.h"
#include "ooxml/package.h"

namespace morvane::ooxml {

struct PartEntry {
  QString name;          // part name, decoded
  QString memberName;    // zip member name it is stored under
  qint64 zipIndex = -1;  // member of the source archive; -1 for parts added since open
  qint64 sequence = 0;   // archive order; new parts go last
  bool written = false;
  QByteArray data;          // the bytes, when written and not spilled
  qint64 spillOffset = -1;  // where its bytes wait in the spill file, when they do
  qint64 spillSize = 0;
  // A .rels part whose relationships changed since `data` was made: serialized when read or
  // saved, not at every change (a deck's thousandth slide would rewrite a thousand).
  bool stale = false;
  QByteArray form;  // the XML whose form the serialization keeps
};

struct Package::Data {
  QString displayName;
  Limits limits;
  bool strict = false;
  bool modified = false;
  std::unique_ptr<detail::ZipReader> zip;  // absent for created packages
  std::map<QString, PartEntry> parts;      // by partKey()
  qint64 nextSequence = 0;
  detail::ContentTypes contentTypes;
  qint64 contentTypesIndex = -1;  // its member in the source archive
  bool contentTypesChanged = false;
  std::map<QString, std::vector<Relationship>> relationships;  // by partKey() of the .rels part
  std::map<QString, QByteArray> relationshipsXml;  // as read, to be rewritten in its own form
  // uniquePartName(): by pattern, a number below which every name is taken; cleared when a
  // part is removed. Keeps naming a deck's thousandth slide from trying the 999 before it.
  mutable std::map<QString, qint64> takenBelow;
  mutable std::set<QString> charged;                           // parts counted against maxTotalSize
  mutable qint64 inflated = 0;

  // Resolved targets take the spelling of the part they name, so they compare equal to
  // partNames() whatever letter case the relationship used.
  void adoptPartSpelling(std::vector<Relationship>* rels) const {
    for (Relationship& rel : *rels) {
      const auto part = parts.find(detail::partKey(rel.targetPart));
      if (!rel.targetPart.isEmpty() && part != parts.end()) rel.targetPart = part->second.name;
    }
  }

  // Written parts of kSpillBytes or more (pictures, embedded workbooks) wait in this scratch
  // file until the save instead of in memory, so a deck of thousands of pictures holds only
  // their places. Absent until the first one; removed with the package.
  static constexpr qint64 kSpillBytes = 32 * 1024;
  std::unique_ptr<QTemporaryFile> spill;

  // Moves a written part's bytes to the spill file. False, with the bytes kept in memory,
  // when the scratch file cannot take them (no temporary folder, a full disk).
  bool spillOut(PartEntry& part) {
    if (!spill) {
      auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                   QStringLiteral("/morvane-spill-XXXXXX"));
      if (!file->open()) return false;
      spill = std::move(file);
    }
    const qint64 at = spill->size();
    if (!spill->seek(at) || spill->write(part.data) != part.data.size() || !spill->flush())
      return false;
    part.spillOffset = at;
    part.spillSize = part.data.size();
    part.data = QByteArray();
    return true;
  }

  // The part's bytes when written, its relationships serialized first when they are stale.
  Result<QByteArray> writtenBytes(PartEntry& part) {
    if (part.stale) {
      part.data =
          detail::serializeRelationships(relationships[detail::partKey(part.name)], part.form);
      part.form.clear();
      part.stale = false;
    }
    if (part.spillOffset < 0) return part.data;
    QByteArray bytes;
    if (spill->seek(part.spillOffset)) bytes = spill->read(part.spillSize);
    if (bytes.size() != part.spillSize) {
      return error(Error::Code::Unreadable,
                   QStringLiteral("the scratch copy of %1 cannot be read back (%2)")
                       .arg(part.name, spill->errorString()));
    }
    return bytes;
  }

  Error error(Error::Code code, const QString& problem) const {
    return Error{code, (displayName.isEmpty() ? QStringLiteral("(new package)") : displayName) +
                           QStringLiteral(": ") + problem};
  }
};

}  // namespace morvane::ooxml
