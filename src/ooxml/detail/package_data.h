// The state behind ooxml::Package, shared by package.cpp (reading) and package_edit.cpp
// (editing, saving).
#pragma once

#include "ooxml/detail/content_types.h"
#include "ooxml/detail/part_name.h"
#include "ooxml/detail/zip_archive.h"
#include "ooxml/package.h"

#include <map>
#include <set>

namespace morvane::ooxml {

struct PartEntry {
  QString name;          // part name, decoded
  QString memberName;    // zip member name it is stored under
  qint64 zipIndex = -1;  // member of the source archive; -1 for parts added since open
  qint64 sequence = 0;   // archive order; new parts go last
  bool written = false;
  QByteArray data;  // the bytes, when written
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

  Error error(Error::Code code, const QString& problem) const {
    return Error{code, (displayName.isEmpty() ? QStringLiteral("(new package)") : displayName) +
                           QStringLiteral(": ") + problem};
  }
};

}  // namespace morvane::ooxml
