#include "ooxml/detail/relationships_part.h"

#include <algorithm>
#include <set>

#include "ooxml/detail/xml.h"

namespace morvane::ooxml {

QString reltype::officeRel(const char* suffix) {
  return QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/") +
         QString::fromUtf8(suffix);
}

namespace detail {

namespace {

constexpr char kRelationshipsNs[] = "http://schemas.openxmlformats.org/package/2006/relationships";
const QString kTransitionalBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kStrictBase =
    QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships/");

}  // namespace

Result<std::vector<Relationship>> parseRelationships(const QByteArray& data,
                                                     const QString& relsPart,
                                                     const QString& sourcePart, int maxDepth) {
  Result<std::unique_ptr<XmlDocument>> doc = parseXml(data, relsPart, maxDepth);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (qstr(root.name()) != QLatin1String("pr:Relationships")) {
    return Error{Error::Code::BadXml,
                 relsPart + QStringLiteral(": the root element is not <Relationships>")};
  }
  std::vector<Relationship> relationships;
  for (pugi::xml_node node : root.children("pr:Relationship")) {
    Relationship rel;
    rel.id = qstr(node.attribute("Id").value());
    rel.type = qstr(node.attribute("Type").value());
    rel.target = qstr(node.attribute("Target").value());
    rel.external = QString::fromUtf8(node.attribute("TargetMode").value())
                       .compare(QLatin1String("External"), Qt::CaseInsensitive) == 0;
    if (rel.id.isEmpty() || node.attribute("Target").empty()) {
      return Error{Error::Code::BadXml,
                   relsPart + QStringLiteral(": a relationship has no Id or no Target")};
    }
    if (!rel.external) rel.targetPart = Package::resolveTarget(sourcePart, rel.target);
    relationships.push_back(std::move(rel));
  }
  return relationships;
}

namespace {

void setIfChanged(pugi::xml_node node, const char* name, const QString& value) {
  pugi::xml_attribute attr = node.attribute(name);
  const QByteArray bytes = value.toUtf8();
  if (!attr) attr = node.append_attribute(name);
  if (bytes != attr.value()) attr.set_value(bytes.constData());
}

void describe(pugi::xml_node node, const Relationship& rel) {
  setIfChanged(node, "Id", rel.id);
  setIfChanged(node, "Type", rel.type);
  setIfChanged(node, "Target", rel.target);
  const bool external = QString::fromUtf8(node.attribute("TargetMode").value())
                            .compare(QLatin1String("External"), Qt::CaseInsensitive) == 0;
  if (rel.external && !external) setIfChanged(node, "TargetMode", QStringLiteral("External"));
  if (!rel.external && external) node.remove_attribute("TargetMode");
}

}  // namespace

QByteArray serializeRelationships(const std::vector<Relationship>& relationships,
                                  const QByteArray& previous) {
  std::unique_ptr<XmlDocument> doc;
  if (auto parsed = parseXml(previous, QString());
      parsed.ok() &&
      qstr((*parsed)->doc.document_element().name()) == QLatin1String("pr:Relationships")) {
    doc = std::move(*parsed);
  } else {
    // Written with a default namespace, as office programs write it.
    doc = std::move(
        *parseXml(QByteArray("<Relationships xmlns=\"") + kRelationshipsNs + "\"/>", QString()));
  }
  pugi::xml_node root = doc->doc.document_element();
  std::set<QString> placed;
  for (pugi::xml_node node = root.first_child(), next; node; node = next) {
    next = node.next_sibling();
    if (qstr(node.name()) != QLatin1String("pr:Relationship")) continue;
    const QString id = qstr(node.attribute("Id").value());
    const auto rel = std::find_if(relationships.begin(), relationships.end(),
                                  [&id](const Relationship& r) { return r.id == id; });
    if (rel == relationships.end() || !placed.insert(id).second) {
      root.remove_child(node);
    } else {
      describe(node, *rel);
    }
  }
  for (const Relationship& rel : relationships)
    if (placed.insert(rel.id).second) describe(root.append_child("pr:Relationship"), rel);
  return serializeXml(*doc);
}

QString transitionalRelType(const QString& type) {
  if (type.startsWith(kStrictBase)) return kTransitionalBase + type.mid(kStrictBase.size());
  return type;
}

QString strictRelType(const QString& type) {
  if (type.startsWith(kTransitionalBase)) return kStrictBase + type.mid(kTransitionalBase.size());
  return type;
}

bool isStrictRelType(const QString& type) { return type.startsWith(kStrictBase); }

bool sameRelType(const QString& a, const QString& b) {
  return transitionalRelType(a) == transitionalRelType(b);
}

}  // namespace detail
}  // namespace morvane::ooxml
