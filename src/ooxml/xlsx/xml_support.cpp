#include "ooxml/xlsx/xml_support.h"

#include <charconv>
#include <cstring>

#include "ooxml/detail/xml_pieces.h"

namespace morvane::ooxml::xlsx::detail {

Error partError(const Package& package, const QString& partName, const QString& problem,
                Error::Code code) {
  return Error{code, QStringLiteral("%1: part %2: %3").arg(package.displayName(), partName, problem)};
}

namespace {

Result<QByteArray> readPart(const Package& package, const QString& partName) {
  if (!package.hasPart(partName))
    return partError(package, partName, QStringLiteral("the part is missing"), Error::Code::Missing);
  auto bytes = package.read(partName);
  if (!bytes) {
    Error e = bytes.error();
    if (!e.message.contains(package.displayName()))
      e.message = package.displayName() + QStringLiteral(": ") + e.message;
    return e;
  }
  return bytes;
}

// A parser's error with the part and the file named.
Error named(const Package& package, const QString& partName, Error e) {
  if (!e.message.contains(partName))
    e.message = QStringLiteral("part %1: %2").arg(partName, e.message);
  if (!e.message.contains(package.displayName()))
    e.message = package.displayName() + QStringLiteral(": ") + e.message;
  return e;
}

}  // namespace

Result<XmlPtr> loadPart(const Package& package, const QString& partName) {
  auto bytes = readPart(package, partName);
  if (!bytes) return bytes.error();
  auto doc = parseXml(*bytes, partName, int(package.limits().maxXmlDepth));
  if (!doc) return named(package, partName, doc.error());
  return std::move(doc.value());
}

Status forEachPiece(const Package& package, const QString& partName, int splitDepth,
                    const std::function<Status(pugi::xml_node root)>& visit) {
  auto pieces = [&]() -> Result<ooxml::detail::XmlPieces> {
    auto bytes = readPart(package, partName);
    if (!bytes) return bytes.error();
    return ooxml::detail::XmlPieces::split(*bytes, partName, int(package.limits().maxXmlDepth),
                                           splitDepth);
  }();
  if (!pieces) return named(package, partName, pieces.error());
  for (size_t i = 0; i < pieces->count(); ++i) {
    auto doc = pieces->parse(i);
    if (!doc) return named(package, partName, doc.error());
    if (Status s = visit((*doc)->doc.document_element()); !s) return s;
  }
  return {};
}

bool typeEndsWith(const QString& relationshipType, const char* suffix) {
  return relationshipType.endsWith(QLatin1Char('/') + QLatin1String(suffix));
}

QString relatedPart(const Package& package, const QString& source, const char* suffix) {
  for (const Relationship& r : package.relationships(source)) {
    if (!r.external && typeEndsWith(r.type, suffix)) return r.targetPart;
  }
  return QString();
}

QString targetOf(const Package& package, const QString& source, const QString& id) {
  if (id.isEmpty()) return QString();
  const auto r = package.relationship(source, id);
  return r && !r->external ? r->targetPart : QString();
}

bool boolAttr(const pugi::xml_node& n, const char* name, bool fallback) {
  const pugi::xml_attribute a = n.attribute(name);
  if (!a) return fallback;
  const QString v = qstr(a.value()).trimmed();
  if (v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
  if (v == QLatin1String("0") || v.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  return fallback;
}

std::optional<int> intAttr(const pugi::xml_node& n, const char* name) {
  const pugi::xml_attribute a = n.attribute(name);
  if (!a) return std::nullopt;
  bool ok = false;
  const int v = qstr(a.value()).trimmed().toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

std::optional<int> fastIntAttr(const pugi::xml_node& n, const char* name) {
  const pugi::xml_attribute a = n.attribute(name);
  if (!a) return std::nullopt;
  const char* v = a.value();
  const char* end = v + std::strlen(v);
  int value = 0;
  const auto [last, error] = std::from_chars(v, end, value);
  if (error == std::errc() && last == end && v != end) return value;
  return intAttr(n, name);
}

std::optional<double> doubleAttr(const pugi::xml_node& n, const char* name) {
  const pugi::xml_attribute a = n.attribute(name);
  if (!a) return std::nullopt;
  bool ok = false;
  const double v = qstr(a.value()).trimmed().toDouble(&ok);
  return ok ? std::optional<double>(v) : std::nullopt;
}

std::string stringItemUtf8(const pugi::xml_node& item) {
  std::string text;
  for (pugi::xml_node n = item.first_child(); n; n = n.next_sibling()) {
    const char* name = n.name();
    if (std::strcmp(name, "x:t") == 0) {
      text += n.child_value();
    } else if (std::strcmp(name, "x:r") == 0) {
      text += n.child("x:t").child_value();
    }
  }
  return text;
}

}  // namespace morvane::ooxml::xlsx::detail
