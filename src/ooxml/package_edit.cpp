// Package editing and saving: parts written and removed, relationships added and removed,
// the archive rebuilt with untouched members copied as they are.
#include "ooxml/package.h"

#include "files/atomic_file.h"
#include "ooxml/detail/package_data.h"
#include "ooxml/detail/part_name.h"
#include "ooxml/detail/relationships_part.h"

#include <QDir>

#include <algorithm>

namespace morvane::ooxml {

using detail::partKey;

namespace {

const QString kRelsContentType =
    QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");

PartEntry& entryFor(Package::Data& d, const QString& partName) {
  PartEntry& part = d.parts[partKey(partName)];
  if (part.name.isEmpty()) {
    part.name = partName;
    part.memberName = partName.mid(1);
    part.sequence = d.nextSequence++;
  }
  return part;
}

// The relationships of `sourcePart`, as edited in place: its .rels part is marked to be
// serialized again.
std::vector<Relationship>& editRelationships(Package::Data& d, const QString& sourcePart) {
  const QString relsPart = detail::relsPartFor(sourcePart);
  PartEntry& part = entryFor(d, relsPart);
  if (!part.stale) {
    part.form = part.written ? part.data : d.relationshipsXml[partKey(relsPart)];
    part.stale = true;
  }
  part.written = true;
  if (d.contentTypes.lookup(relsPart) != kRelsContentType) {
    d.contentTypesChanged |= d.contentTypes.set(relsPart, kRelsContentType);
  }
  d.modified = true;
  return d.relationships[partKey(relsPart)];
}

// Images whose format compresses them: deflating them again costs time and saves nothing.
bool compressedAlready(const QString& memberName) {
  for (const char* extension : {".png", ".jpg", ".jpeg", ".gif"})
    if (memberName.endsWith(QLatin1String(extension), Qt::CaseInsensitive)) return true;
  return false;
}

}  // namespace

Status Package::write(const QString& partName, const QByteArray& data, const QString& contentType) {
  QString problem = detail::partNameProblem(partName);
  if (problem.isEmpty() && partKey(partName) == partKey(QStringLiteral("/[Content_Types].xml")))
    problem = QStringLiteral("is reserved for the content types");
  if (!problem.isEmpty()) {
    return d->error(Error::Code::Unsafe,
                    QStringLiteral("part name \"%1\" %2").arg(partName, problem));
  }
  const QString source = detail::sourceOfRelsPart(partName);
  if (!source.isEmpty()) {
    Result<std::vector<Relationship>> rels =
        detail::parseRelationships(data, partName, source, d->limits.maxXmlDepth);
    if (!rels) return d->error(rels.error().code, rels.error().message);
    d->adoptPartSpelling(&*rels);
    d->relationships[partKey(partName)] = std::move(*rels);
  }
  PartEntry& part = entryFor(*d, partName);
  part.written = true;
  part.data = data;
  part.spillOffset = -1;
  part.stale = false;
  part.form.clear();
  if (source.isEmpty() && data.size() >= Data::kSpillBytes) d->spillOut(part);
  if (!contentType.isEmpty()) d->contentTypesChanged |= d->contentTypes.set(partName, contentType);
  d->modified = true;
  return Status();
}

void Package::remove(const QString& partName) {
  const QString key = partKey(partName);
  if (d->parts.erase(key) > 0) d->modified = true;
  d->takenBelow.clear();
  d->contentTypesChanged |= d->contentTypes.removeOverride(partName);
  d->relationships.erase(key);
  d->relationshipsXml.erase(key);
  if (detail::sourceOfRelsPart(partName).isEmpty()) {
    const QString relsPart = detail::relsPartFor(partName);
    if (hasPart(relsPart)) remove(relsPart);
  }
}

QString Package::addRelationship(const QString& sourcePart, const QString& type,
                                 const QString& targetPart) {
  // Edited in place: a deck's thousandth slide must not copy the 999 relationships before it.
  std::vector<Relationship>& rels = editRelationships(*d, sourcePart);
  int n = int(rels.size()) + 1;
  auto taken = [&rels](const QString& id) {
    return std::any_of(rels.begin(), rels.end(),
                       [&id](const Relationship& r) { return r.id == id; });
  };
  while (taken(QStringLiteral("rId%1").arg(n))) ++n;
  std::vector<Relationship> added(1);
  Relationship& rel = added.front();
  rel.id = QStringLiteral("rId%1").arg(n);
  rel.type = d->strict ? detail::strictRelType(type) : detail::transitionalRelType(type);
  rel.target = relativeTarget(sourcePart, targetPart);
  rel.targetPart = targetPart;
  d->adoptPartSpelling(&added);
  rels.push_back(std::move(rel));
  return rels.back().id;
}

bool Package::removeRelationship(const QString& sourcePart, const QString& id) {
  const auto stored = d->relationships.find(partKey(detail::relsPartFor(sourcePart)));
  if (stored == d->relationships.end()) return false;
  const auto found = std::find_if(stored->second.begin(), stored->second.end(),
                                  [&id](const Relationship& r) { return r.id == id; });
  if (found == stored->second.end()) return false;
  if (stored->second.size() == 1) {
    remove(detail::relsPartFor(sourcePart));
  } else {
    std::vector<Relationship>& rels = editRelationships(*d, sourcePart);
    rels.erase(rels.begin() + (found - stored->second.begin()));
  }
  return true;
}

QString Package::uniquePartName(const QString& pattern) const {
  qint64& below = d->takenBelow[pattern];
  for (qint64 n = std::max<qint64>(below, 1);; ++n) {
    const QString name = pattern.arg(n);
    if (!hasPart(name)) {
      below = n;
      return name;
    }
  }
}

namespace {

// Every member in archive order: [Content_Types].xml first, regenerated only when changed;
// untouched parts copied as they are.
Status addMembers(Package::Data& d, detail::ZipWriter& writer) {
  const QString contentTypesName = QStringLiteral("[Content_Types].xml");
  Status status = d.contentTypesChanged || d.contentTypesIndex < 0
                      ? writer.addDeflated(contentTypesName, d.contentTypes.serialize())
                      : writer.copyRaw(*d.zip, quint64(d.contentTypesIndex),
                                       d.zip->entries().at(size_t(d.contentTypesIndex)).name);
  if (!status) return d.error(status.error().code, status.error().message);

  std::vector<PartEntry*> parts;
  for (auto& [key, part] : d.parts) parts.push_back(&part);
  std::sort(parts.begin(), parts.end(),
            [](const PartEntry* a, const PartEntry* b) { return a->sequence < b->sequence; });
  if (d.spill && !d.spill->flush())
    return d.error(Error::Code::Unwritable, QStringLiteral("the scratch file cannot be written"));
  for (PartEntry* part : parts) {
    const bool stored = compressedAlready(part->memberName);
    if (!part->written) {
      status = writer.copyRaw(*d.zip, quint64(part->zipIndex), part->memberName);
    } else if (part->spillOffset >= 0) {
      status = writer.addDeviceRange(part->memberName, d.spill.get(), part->spillOffset,
                                     part->spillSize, stored);
    } else {
      Result<QByteArray> bytes = d.writtenBytes(*part);
      if (!bytes) return bytes.error();
      status = stored ? writer.addStored(part->memberName, *bytes)
                      : writer.addDeflated(part->memberName, *bytes);
    }
    if (!status) return d.error(status.error().code, status.error().message);
  }
  return Status();
}

}  // namespace

Result<QByteArray> Package::saveToBytes() const {
  Result<std::unique_ptr<detail::ZipWriter>> created = detail::ZipWriter::create();
  if (!created) return d->error(created.error().code, created.error().message);
  if (Status added = addMembers(*d, **created); !added) return added.error();
  Result<QByteArray> bytes = (*created)->finish();
  if (!bytes) return d->error(bytes.error().code, bytes.error().message);
  return bytes;
}

Status Package::save(const QString& path) const {
  const QString display = QDir::toNativeSeparators(path);
  auto cannotWrite = [&display](const QString& reason) {
    return Error{Error::Code::Unwritable,
                 display + QStringLiteral(": cannot be written (%1)").arg(reason)};
  };
  // Written beside the old file, member by member, and renamed over it: a failure, or a run
  // killed at any instant, leaves the old file as it was, and no copy of the whole archive
  // is held in memory.
  files::AtomicFile file(path);
  // Unbuffered, so that the write the disk refuses is the one that reports it, with the
  // system's reason (a buffered one fails later, in a seek, without it).
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return cannotWrite(file.errorString());
  Result<std::unique_ptr<detail::ZipWriter>> created = detail::ZipWriter::createOn(&file);
  Status status = created ? addMembers(*d, **created) : Status(created.error());
  if (status) status = (*created)->close();
  if (!status) {
    // The disk's own reason when it refused; otherwise what went wrong in the archive.
    if (created && !(*created)->deviceProblem().isEmpty())
      return cannotWrite((*created)->deviceProblem());
    return Error{Error::Code::Unwritable,
                 display + QStringLiteral(": not saved: ") + status.error().message};
  }
  if (!file.commit()) return cannotWrite(file.errorString());
  return Status();
}

}  // namespace morvane::ooxml
