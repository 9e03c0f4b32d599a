#include "ooxml/detail/xml.h"

#include <algorithm>

#include "ooxml/detail/xml_namespaces.h"
#include "ooxml/detail/xml_pieces.h"
#include "ooxml/package.h"

namespace morvane::ooxml {

namespace {

// A tree costs about 64 bytes a node and 40 an attribute besides the text. Past this
// estimate a part is refused rather than held: the parts that legitimately grow that large
// (worksheets, shared strings) are parsed in pieces (xml_pieces.h).
constexpr qint64 kMaxTreeBytes = 768ll << 20;

qint64 treeEstimate(const QByteArray& data) {
  qint64 tags = 0, attributes = 0;
  for (const char c : data) {
    tags += c == '<';
    attributes += c == '=';
  }
  return 64 * tags + 40 * attributes;
}

int lineOf(const QByteArray& data, ptrdiff_t offset) {
  offset = std::clamp<ptrdiff_t>(offset, 0, ptrdiff_t(data.size()));
  return int(std::count(data.constBegin(), data.constBegin() + offset, '\n')) + 1;
}

// Measures depth without recursion, since the document may be arbitrarily deep.
class DepthProbe : public pugi::xml_tree_walker {
 public:
  explicit DepthProbe(int limit) : m_limit(limit) {}
  bool for_each(pugi::xml_node&) override {
    if (depth() + 1 > m_limit) {
      m_exceeded = true;
      return false;
    }
    return true;
  }
  bool exceeded() const { return m_exceeded; }

 private:
  int m_limit;
  bool m_exceeded = false;
};

class ByteArrayWriter : public pugi::xml_writer {
 public:
  explicit ByteArrayWriter(QByteArray* out) : m_out(out) {}
  void write(const void* data, size_t size) override {
    m_out->append(static_cast<const char*>(data), qsizetype(size));
  }

 private:
  QByteArray* m_out;
};

}  // namespace

Result<std::unique_ptr<XmlDocument>> parseXml(const QByteArray& data, const QString& partName,
                                              int maxDepth) {
  return detail::parseXmlShifted(data, partName, maxDepth, 0);
}

Result<std::unique_ptr<XmlDocument>> detail::parseXmlShifted(const QByteArray& data,
                                                             const QString& partName, int maxDepth,
                                                             int lineShift) {
  if (treeEstimate(data) > kMaxTreeBytes)
    return Error{Error::Code::Unsafe,
                 QStringLiteral("%1: too many elements to hold in memory").arg(partName)};
  auto document = std::make_unique<XmlDocument>();
  // parse_doctype makes a DOCTYPE visible so it can be refused; pugixml never expands
  // entities it does not know, and nothing here reads an external subset.
  const unsigned options = pugi::parse_default | pugi::parse_doctype | pugi::parse_ws_pcdata_single;
  const pugi::xml_parse_result parsed = document->doc.load_buffer(
      data.constData(), size_t(data.size()), options, pugi::encoding_auto);
  if (!parsed) {
    if (parsed.status == pugi::status_bad_doctype) {
      return Error{
          Error::Code::Unsafe,
          QStringLiteral("%1: document type declarations (DTDs) are refused").arg(partName)};
    }
    return Error{Error::Code::BadXml, QStringLiteral("%1: malformed XML at line %2: %3")
                                          .arg(partName)
                                          .arg(lineOf(data, parsed.offset) + lineShift)
                                          .arg(QString::fromUtf8(parsed.description()))};
  }
  for (pugi::xml_node node : document->doc.children()) {
    if (node.type() == pugi::node_doctype) {
      return Error{
          Error::Code::Unsafe,
          QStringLiteral("%1: document type declarations (DTDs) are refused").arg(partName)};
    }
  }
  // The namespace pass recurses once per level, so the limit also bounds the stack.
  maxDepth = std::clamp(maxDepth, 1, detail::kXmlDepthCeiling);
  DepthProbe probe(maxDepth);
  document->doc.traverse(probe);
  if (probe.exceeded()) {
    return Error{
        Error::Code::Unsafe,
        QStringLiteral("%1: elements nest deeper than %2 levels").arg(partName).arg(maxDepth)};
  }
  Result<bool> strict = detail::canonicalizeNamespaces(document->doc, partName);
  if (!strict) return strict.error();
  document->strict = *strict;
  return document;
}

QByteArray serializeXml(const XmlDocument& document) {
  pugi::xml_document copy;
  for (pugi::xml_node node : document.doc.children()) {
    if (node.type() == pugi::node_element || node.type() == pugi::node_comment ||
        node.type() == pugi::node_pi) {
      copy.append_copy(node);
    }
  }
  detail::restoreOwnPrefixes(copy.document_element(), document.strict);
  QByteArray out("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n");
  ByteArrayWriter writer(&out);
  copy.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return out;
}

QString namespaceUri(const QString& canonicalPrefix, bool strict) {
  const detail::KnownNamespace* ns = detail::findPrefix(canonicalPrefix.toStdString());
  if (!ns) return QString();
  return QString::fromUtf8(strict ? ns->strict : ns->transitional);
}

Result<std::unique_ptr<XmlDocument>> readXml(const Package& package, const QString& partName) {
  Result<QByteArray> data = package.read(partName);
  if (!data) return data.error();
  Result<std::unique_ptr<XmlDocument>> document =
      parseXml(*data, partName, package.limits().maxXmlDepth);
  if (!document) {
    Error error = document.error();
    error.message = package.displayName() + QStringLiteral(": ") + error.message;
    return error;
  }
  return document;
}

}  // namespace morvane::ooxml
