#include "ooxml/detail/relationships_part.h"

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

QByteArray serializeRelationships(const std::vector<Relationship>& relationships) {
  // Written with a default namespace, as office programs write it.
  XmlDocument plain;
  pugi::xml_node root = plain.doc.append_child("Relationships");
  root.append_attribute("xmlns").set_value(kRelationshipsNs);
  for (const Relationship& rel : relationships) {
    pugi::xml_node node = root.append_child("Relationship");
    node.append_attribute("Id").set_value(rel.id.toUtf8().constData());
    node.append_attribute("Type").set_value(rel.type.toUtf8().constData());
    node.append_attribute("Target").set_value(rel.target.toUtf8().constData());
    if (rel.external) node.append_attribute("TargetMode").set_value("External");
  }
  return serializeXml(plain);
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
