#include "ooxml/package.h"

#include "ooxml/detail/package_data.h"
#include "ooxml/detail/part_name.h"
#include "ooxml/detail/relationships_part.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace morvane::ooxml {

using detail::partKey;

namespace {

constexpr qint64 kRatioFloor = 1 << 20;  // parts this small are never ratio-checked

bool isContentTypesMember(const QString& name) {
  return name.compare(QLatin1String("[Content_Types].xml"), Qt::CaseInsensitive) == 0;
}

// Every member's name is checked and indexed; nothing is inflated here.
Status indexMembers(Package::Data& d) {
  for (const detail::ZipEntry& entry : d.zip->entries()) {
    if (entry.name.endsWith(QLatin1Char('/'))) continue;  // folder entries are not parts
    const QString decoded = detail::percentDecode(entry.name);
    const QString problem = detail::memberNameProblem(decoded);
    if (!problem.isEmpty()) {
      return d.error(Error::Code::Unsafe,
                     QStringLiteral("member \"%1\" %2").arg(entry.name, problem));
    }
    if (entry.encrypted) {
      return d.error(Error::Code::NotAPackage,
                     QStringLiteral("member \"%1\" is encrypted").arg(entry.name));
    }
    if (isContentTypesMember(entry.name)) {
      if (d.contentTypesIndex >= 0) {
        return d.error(Error::Code::NotAPackage, QStringLiteral("two [Content_Types].xml members"));
      }
      d.contentTypesIndex = qint64(entry.index);
      continue;
    }
    const QString partName = QLatin1Char('/') + decoded;
    PartEntry& part = d.parts[partKey(partName)];
    if (part.zipIndex >= 0) {
      return d.error(Error::Code::NotAPackage,
                     QStringLiteral("members \"%1\" and \"%2\" name the same part (names ignore "
                                    "letter case)")
                         .arg(part.memberName, entry.name));
    }
    part.name = partName;
    part.memberName = entry.name;
    part.zipIndex = qint64(entry.index);
    part.sequence = d.nextSequence++;
  }
  if (d.contentTypesIndex < 0) {
    return d.error(Error::Code::NotAPackage,
                   QStringLiteral("no [Content_Types].xml: not an Office Open XML package"));
  }
  return Status();
}

// Inflates a source member within the limits; `label` names it in messages.
Result<QByteArray> readMember(const Package::Data& d, qint64 index, const QString& label) {
  const detail::ZipEntry& entry = d.zip->entries().at(size_t(index));
  const Limits& limits = d.limits;
  if (entry.size > limits.maxPartSize) {
    return d.error(Error::Code::Unsafe,
                   QStringLiteral("%1 would inflate to %2 bytes, more than the limit of %3")
                       .arg(label)
                       .arg(entry.size)
                       .arg(limits.maxPartSize));
  }
  if (entry.size > kRatioFloor && (entry.compressedSize <= 0 || entry.size / entry.compressedSize >
                                                                    limits.maxCompressionRatio)) {
    return d.error(
        Error::Code::Unsafe,
        QStringLiteral("%1 is compressed %2 to 1, beyond the limit of %3 to 1 "
                       "(a zip bomb?)")
            .arg(label)
            .arg(entry.compressedSize > 0 ? entry.size / entry.compressedSize : entry.size)
            .arg(limits.maxCompressionRatio));
  }
  const bool charged = d.charged.count(label) > 0;
  if (!charged && d.inflated + entry.size > limits.maxTotalSize) {
    return d.error(Error::Code::Unsafe,
                   QStringLiteral("reading %1 would inflate more than %2 bytes in all")
                       .arg(label)
                       .arg(limits.maxTotalSize));
  }
  Result<QByteArray> data = d.zip->read(entry.index);
  if (!data) return d.error(data.error().code, label + QStringLiteral(": ") + data.error().message);
  if (!charged) {
    d.charged.insert(label);
    d.inflated += entry.size;
  }
  return data;
}

Status loadContentTypes(Package::Data& d) {
  Result<QByteArray> data =
      readMember(d, d.contentTypesIndex, QStringLiteral("[Content_Types].xml"));
  if (!data) return data.error();
  Result<detail::ContentTypes> types = detail::ContentTypes::parse(*data, d.limits.maxXmlDepth);
  if (!types) return d.error(types.error().code, types.error().message);
  d.contentTypes = std::move(*types);
  return Status();
}

Status loadRelationships(Package::Data& d) {
  for (const auto& [key, part] : d.parts) {
    const QString source = detail::sourceOfRelsPart(part.name);
    if (source.isEmpty()) continue;
    Result<QByteArray> data = readMember(d, part.zipIndex, part.name);
    if (!data) return data.error();
    Result<std::vector<Relationship>> rels =
        detail::parseRelationships(*data, part.name, source, d.limits.maxXmlDepth);
    if (!rels) return d.error(rels.error().code, rels.error().message);
    d.adoptPartSpelling(&*rels);
    d.relationships[key] = std::move(*rels);
    d.relationshipsXml[key] = *data;
  }
  const auto root = d.relationships.find(partKey(detail::relsPartFor(QStringLiteral("/"))));
  if (root != d.relationships.end()) {
    d.strict = std::any_of(root->second.begin(), root->second.end(),
                           [](const Relationship& r) { return detail::isStrictRelType(r.type); });
  }
  return Status();
}

class PackageImpl : public Package {
 public:
  PackageImpl() = default;
};

}  // namespace

Package::Package() : d(std::make_unique<Data>()) {}
Package::~Package() = default;

Result<std::unique_ptr<Package>> Package::open(const QString& path, const Limits& limits) {
  const QString display = QDir::toNativeSeparators(path);
  const QFileInfo info(path);
  if (!info.exists())
    return Error{Error::Code::NotFound, display + QStringLiteral(": no such file")};
  if (info.isDir()) {
    return Error{Error::Code::Unreadable, display + QStringLiteral(": is a folder, not a file")};
  }
  if (info.size() > limits.maxTotalSize) {
    return Error{Error::Code::Unsafe, display + QStringLiteral(": the file is %1 bytes, more than "
                                                               "the limit of %2")
                                                    .arg(info.size())
                                                    .arg(limits.maxTotalSize)};
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return Error{Error::Code::Unreadable,
                 display + QStringLiteral(": cannot be read (%1)").arg(file.errorString())};
  }
  const QByteArray data = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    return Error{Error::Code::Unreadable,
                 display + QStringLiteral(": cannot be read (%1)").arg(file.errorString())};
  }
  return openBytes(data, display, limits);
}

Result<std::unique_ptr<Package>> Package::openBytes(const QByteArray& data,
                                                    const QString& displayName,
                                                    const Limits& limits) {
  std::unique_ptr<Package> package = std::make_unique<PackageImpl>();
  Data& d = *package->d;
  d.displayName = displayName;
  d.limits = limits;
  if (data.isEmpty()) return d.error(Error::Code::NotAPackage, QStringLiteral("the file is empty"));
  Result<std::unique_ptr<detail::ZipReader>> zip = detail::ZipReader::open(data, limits.maxParts);
  if (!zip) return d.error(zip.error().code, zip.error().message);
  d.zip = std::move(*zip);
  if (Status s = indexMembers(d); !s) return s.error();
  if (Status s = loadContentTypes(d); !s) return s.error();
  if (Status s = loadRelationships(d); !s) return s.error();
  return package;
}

std::unique_ptr<Package> Package::create(const QString& displayName) {
  std::unique_ptr<Package> package = std::make_unique<PackageImpl>();
  package->d->displayName = displayName;
  package->d->contentTypes = detail::ContentTypes::initial();
  package->d->contentTypesChanged = true;
  return package;
}

const QString& Package::displayName() const { return d->displayName; }
const Limits& Package::limits() const { return d->limits; }
bool Package::isStrict() const { return d->strict; }
bool Package::isModified() const { return d->modified; }

std::vector<QString> Package::partNames() const {
  std::vector<const PartEntry*> entries;
  for (const auto& [key, part] : d->parts) entries.push_back(&part);
  std::sort(entries.begin(), entries.end(),
            [](const PartEntry* a, const PartEntry* b) { return a->sequence < b->sequence; });
  std::vector<QString> names;
  names.reserve(entries.size());
  for (const PartEntry* part : entries) names.push_back(part->name);
  return names;
}

bool Package::hasPart(const QString& partName) const {
  return d->parts.count(partKey(partName)) > 0;
}

Result<QByteArray> Package::read(const QString& partName) const {
  const auto found = d->parts.find(partKey(partName));
  if (found == d->parts.end()) {
    return d->error(Error::Code::NotFound, QStringLiteral("no part %1").arg(partName));
  }
  PartEntry& part = found->second;
  if (part.written) return d->writtenBytes(part);
  return readMember(*d, part.zipIndex, part.name);
}

QString Package::contentType(const QString& partName) const {
  return d->contentTypes.lookup(partName);
}

namespace {

// The stored relationships of `sourcePart`, not copied: a deck's presentation part has one
// per slide, and each slide looks its own up.
const std::vector<Relationship>& storedRelationships(const Package::Data& d,
                                                     const QString& sourcePart) {
  static const std::vector<Relationship> none;
  const auto found = d.relationships.find(partKey(detail::relsPartFor(sourcePart)));
  return found == d.relationships.end() ? none : found->second;
}

}  // namespace

std::vector<Relationship> Package::relationships(const QString& sourcePart) const {
  return storedRelationships(*d, sourcePart);
}

std::optional<Relationship> Package::relationship(const QString& sourcePart,
                                                  const QString& id) const {
  for (const Relationship& rel : storedRelationships(*d, sourcePart)) {
    if (rel.id == id) return rel;
  }
  return std::nullopt;
}

std::vector<Relationship> Package::relationshipsOfType(const QString& sourcePart,
                                                       const QString& type) const {
  std::vector<Relationship> matching;
  for (const Relationship& rel : storedRelationships(*d, sourcePart)) {
    if (detail::sameRelType(rel.type, type)) matching.push_back(rel);
  }
  return matching;
}

QString Package::resolveTarget(const QString& sourcePart, const QString& target) {
  QString path = target;
  const qsizetype hash = path.indexOf(QLatin1Char('#'));
  if (hash >= 0) path.truncate(hash);
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
  if (path.isEmpty() || scheme.match(path).hasMatch()) return QString();
  path = detail::percentDecode(path);
  if (!path.startsWith(QLatin1Char('/'))) {
    const QString source =
        sourcePart.startsWith(QLatin1Char('/')) ? sourcePart : QLatin1Char('/') + sourcePart;
    path = detail::folderOf(source) + path;
  }
  const QString resolved = detail::normalizePath(path);
  return resolved == QLatin1String("/") ? QString() : resolved;
}

QString Package::relativeTarget(const QString& sourcePart, const QString& targetPart) {
  const QStringList from = detail::folderOf(sourcePart).split(QLatin1Char('/'), Qt::SkipEmptyParts);
  const QStringList to = targetPart.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  qsizetype common = 0;
  while (common < from.size() && common + 1 < to.size() &&
         partKey(from[common]) == partKey(to[common])) {
    ++common;
  }
  QStringList segments;
  for (qsizetype i = common; i < from.size(); ++i) segments.append(QStringLiteral(".."));
  for (qsizetype i = common; i < to.size(); ++i) segments.append(to[i]);
  return detail::percentEncode(segments.join(QLatin1Char('/')));
}

}  // namespace morvane::ooxml
