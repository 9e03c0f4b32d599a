#include "ooxml/detail/content_types.h"

#include <set>

#include "ooxml/detail/part_name.h"
#include "ooxml/detail/xml.h"

namespace morvane::ooxml::detail {

namespace {

constexpr char kContentTypesNs[] = "http://schemas.openxmlformats.org/package/2006/content-types";

QString extensionOf(const QString& partName) {
  const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = partName.lastIndexOf(QLatin1Char('.'));
  return dot > slash ? partName.mid(dot + 1) : QString();
}

}  // namespace

Result<ContentTypes> ContentTypes::parse(const QByteArray& data, int maxDepth) {
  const QString name = QStringLiteral("[Content_Types].xml");
  Result<std::unique_ptr<XmlDocument>> doc = parseXml(data, name, maxDepth);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (qstr(root.name()) != QLatin1String("ct:Types")) {
    return Error{Error::Code::BadXml, name + QStringLiteral(": the root element is not <Types>")};
  }
  ContentTypes types;
  types.m_source = data;
  for (pugi::xml_node node : root.children()) {
    const QString element = qstr(node.name());
    const QString contentType = qstr(node.attribute("ContentType").value()).trimmed();
    if (element == QLatin1String("ct:Default")) {
      const QString extension = qstr(node.attribute("Extension").value());
      types.m_defaults[extension.toCaseFolded()] = {extension, contentType};
    } else if (element == QLatin1String("ct:Override")) {
      const QString partName = percentDecode(qstr(node.attribute("PartName").value()));
      types.m_overrides[partKey(partName)] = {partName, contentType};
    }
  }
  return types;
}

ContentTypes ContentTypes::initial() {
  ContentTypes types;
  types.ensureDefault(QStringLiteral("rels"),
                      QStringLiteral("application/vnd.openxmlformats-package.relationships+xml"));
  types.ensureDefault(QStringLiteral("xml"), QStringLiteral("application/xml"));
  return types;
}

QString ContentTypes::lookup(const QString& partName) const {
  const auto override = m_overrides.find(partKey(partName));
  if (override != m_overrides.end()) return override->second.second;
  return defaultFor(extensionOf(partName));
}

QString ContentTypes::defaultFor(const QString& extension) const {
  const auto found = m_defaults.find(extension.toCaseFolded());
  return found == m_defaults.end() ? QString() : found->second.second;
}

bool ContentTypes::set(const QString& partName, const QString& contentType) {
  if (defaultFor(extensionOf(partName)) == contentType) return removeOverride(partName);
  auto& entry = m_overrides[partKey(partName)];
  if (entry.first == partName && entry.second == contentType) return false;
  entry = {partName, contentType};
  return true;
}

bool ContentTypes::ensureDefault(const QString& extension, const QString& contentType) {
  const QString key = extension.toCaseFolded();
  if (m_defaults.count(key)) return false;
  m_defaults[key] = {extension, contentType};
  return true;
}

bool ContentTypes::removeOverride(const QString& partName) {
  return m_overrides.erase(partKey(partName)) > 0;
}

QByteArray ContentTypes::serialize() const {
  auto parsed = parseXml(m_source, QString());
  if (!parsed.ok()) {
    // Written with a default namespace, as office programs write it.
    parsed = parseXml(QByteArray("<Types xmlns=\"") + kContentTypesNs + "\"/>", QString());
  }
  XmlDocument& doc = **parsed;
  pugi::xml_node root = doc.doc.document_element();
  // The entries read keep their places; gone ones go, new Defaults follow the last Default.
  std::set<QString> placed;
  pugi::xml_node lastDefault;
  for (pugi::xml_node node = root.first_child(), next; node; node = next) {
    next = node.next_sibling();
    const bool isDefault = qstr(node.name()) == QLatin1String("ct:Default");
    if (!isDefault && qstr(node.name()) != QLatin1String("ct:Override")) continue;
    const QString key =
        isDefault ? QStringLiteral("D") + qstr(node.attribute("Extension").value()).toCaseFolded()
                  : QStringLiteral("O") +
                        partKey(percentDecode(qstr(node.attribute("PartName").value())));
    const auto& entries = isDefault ? m_defaults : m_overrides;
    const auto entry = entries.find(key.mid(1));
    if (entry == entries.end() || !placed.insert(key).second) {
      root.remove_child(node);
      continue;
    }
    if (qstr(node.attribute("ContentType").value()).trimmed() != entry->second.second)
      node.attribute("ContentType").set_value(entry->second.second.toUtf8().constData());
    if (isDefault) lastDefault = node;
  }
  for (const auto& [key, entry] : m_defaults) {
    if (!placed.insert(QStringLiteral("D") + key).second) continue;
    lastDefault = lastDefault ? root.insert_child_after("ct:Default", lastDefault)
                              : root.prepend_child("ct:Default");
    lastDefault.append_attribute("Extension").set_value(entry.first.toUtf8().constData());
    lastDefault.append_attribute("ContentType").set_value(entry.second.toUtf8().constData());
  }
  for (const auto& [key, entry] : m_overrides) {
    if (!placed.insert(QStringLiteral("O") + key).second) continue;
    pugi::xml_node node = root.append_child("ct:Override");
    node.append_attribute("PartName").set_value(percentEncode(entry.first).toUtf8().constData());
    node.append_attribute("ContentType").set_value(entry.second.toUtf8().constData());
  }
  return serializeXml(doc);
}

}  // namespace morvane::ooxml::detail
