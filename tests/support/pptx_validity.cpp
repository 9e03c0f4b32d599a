#include "support/pptx_validity.h"

#include <QSet>
#include <cstring>
#include <functional>

#include "ooxml/detail/xml.h"
#include "ooxml/package.h"

using namespace morvane;

namespace morvane::pptxcheck {

namespace {

void walk(pugi::xml_node n, const std::function<void(pugi::xml_node)>& f) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element) continue;
    f(c);
    walk(c, f);
  }
}

// Element children of `n` must appear in the order of `order` (names not listed are ignored).
bool inOrder(pugi::xml_node n, std::initializer_list<const char*> order) {
  int last = -1;
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
    int rank = 0, found = -1;
    for (const char* o : order) {
      if (std::strcmp(o, c.name()) == 0) found = rank;
      ++rank;
    }
    if (found < 0) continue;
    if (found < last) return false;
    last = found;
  }
  return true;
}

void checkSlideXml(const QString& part, pugi::xml_node root, QStringList& out) {
  QSet<qint64> ids;
  walk(root, [&](pugi::xml_node e) {
    const char* name = e.name();
    if (std::strcmp(name, "p:cNvPr") == 0) {
      const bool oleFallback = e.parent().parent().parent() &&
                               std::strcmp(e.parent().parent().parent().name(), "p:oleObj") == 0;
      const qint64 id = e.attribute("id").as_llong(-1);
      if (!oleFallback && (id <= 0 || ids.contains(id)))
        out << QStringLiteral("%1: shape id %2 not unique").arg(part).arg(id);
      ids.insert(id);
    }
    if ((std::strcmp(name, "a:xfrm") == 0 || std::strcmp(name, "p:xfrm") == 0) &&
        !inOrder(e, {"a:off", "a:ext", "a:chOff", "a:chExt"}))
      out << QStringLiteral("%1: a:ext before a:off").arg(part);
    if (std::strcmp(name, "p:pic") == 0 &&
        !inOrder(e, {"p:nvPicPr", "p:blipFill", "p:spPr", "p:style", "p:extLst"}))
      out << QStringLiteral("%1: p:pic children out of order").arg(part);
    if (std::strcmp(name, "p:sp") == 0 &&
        !inOrder(e, {"p:nvSpPr", "p:spPr", "p:style", "p:txBody", "p:extLst"}))
      out << QStringLiteral("%1: p:sp children out of order").arg(part);
    if (std::strcmp(name, "p:graphicFrame") == 0 &&
        !inOrder(e, {"p:nvGraphicFramePr", "p:xfrm", "a:graphic", "p:extLst"}))
      out << QStringLiteral("%1: p:graphicFrame children out of order").arg(part);
    if (std::strcmp(name, "p:oleObj") == 0 && e.attribute("spid"))
      out << QStringLiteral("%1: embedded object refers to VML").arg(part);
    if (std::strcmp(name, "a:p") == 0 && !inOrder(e, {"a:pPr", "a:r", "a:endParaRPr"}))
      out << QStringLiteral("%1: a:p children out of order").arg(part);
    if (std::strcmp(name, "a:rPr") == 0 || std::strcmp(name, "a:endParaRPr") == 0) {
      if (!inOrder(e, {"a:ln", "a:solidFill", "a:latin", "a:ea", "a:cs", "a:extLst"}))
        out << QStringLiteral("%1: run properties out of order").arg(part);
    }
  });
}

void checkIds(const ooxml::Package& pkg, const QString& mainPart, pugi::xml_node pres,
              QStringList& out) {
  QSet<qint64> slideIds;
  for (pugi::xml_node s : pres.child("p:sldIdLst").children("p:sldId")) {
    const qint64 id = s.attribute("id").as_llong(-1);
    if (id < 256 || id >= 2147483648LL || slideIds.contains(id))
      out << QStringLiteral("slide id %1 invalid or repeated").arg(id);
    slideIds.insert(id);
  }
  QSet<qint64> masterIds;
  for (pugi::xml_node m : pres.child("p:sldMasterIdLst").children("p:sldMasterId")) {
    const qint64 id = m.attribute("id").as_llong(-1);
    if (id < 2147483648LL || masterIds.contains(id))
      out << QStringLiteral("master id %1 invalid").arg(id);
    masterIds.insert(id);
    auto rel = pkg.relationship(mainPart, QString::fromUtf8(m.attribute("r:id").value()));
    if (!rel) continue;
    auto doc = ooxml::readXml(pkg, rel->targetPart);
    if (!doc) continue;
    for (pugi::xml_node l :
         doc.value()->doc.child("p:sldMaster").child("p:sldLayoutIdLst").children()) {
      const qint64 lid = l.attribute("id").as_llong(-1);
      if (lid < 2147483648LL || masterIds.contains(lid))
        out << QStringLiteral("layout id %1 invalid or repeated").arg(lid);
      masterIds.insert(lid);
      if (!pkg.relationship(rel->targetPart, QString::fromUtf8(l.attribute("r:id").value())))
        out << QStringLiteral("%1: layout list names a missing relationship").arg(rel->targetPart);
    }
  }
}

}  // namespace

QStringList problems(const QByteArray& bytes) {
  QStringList out;
  auto opened = ooxml::Package::openBytes(bytes, QStringLiteral("checked.pptx"));
  if (!opened) return {QStringLiteral("does not open: ") + opened.error().message};
  const ooxml::Package& pkg = *opened.value();

  QSet<QString> reachable;
  std::function<void(const QString&)> reach = [&](const QString& source) {
    for (const ooxml::Relationship& r : pkg.relationships(source)) {
      if (r.external || r.targetPart.isEmpty()) continue;
      if (!pkg.hasPart(r.targetPart)) {
        out << QStringLiteral("%1: relationship %2 targets missing %3")
                   .arg(source, r.id, r.targetPart);
        continue;
      }
      if (reachable.contains(r.targetPart.toLower())) continue;
      reachable.insert(r.targetPart.toLower());
      reach(r.targetPart);
    }
  };
  reach(QStringLiteral("/"));
  for (const QString& part : pkg.partNames()) {
    if (part.endsWith(QLatin1String(".rels")) || part == QLatin1String("/[Content_Types].xml"))
      continue;
    if (pkg.contentType(part).isEmpty()) out << QStringLiteral("%1: no content type").arg(part);
    if (!reachable.contains(part.toLower())) out << QStringLiteral("%1: orphaned").arg(part);
    if (part.startsWith(QLatin1String("/ppt/slides/slide")) &&
        part.endsWith(QLatin1String(".xml"))) {
      auto doc = ooxml::readXml(pkg, part);
      if (!doc)
        out << QStringLiteral("%1: %2").arg(part, doc.error().message);
      else
        checkSlideXml(part, doc.value()->doc.document_element(), out);
    }
  }
  const auto main = pkg.relationshipsOfType(QStringLiteral("/"),
                                            QString::fromLatin1(ooxml::reltype::kOfficeDocument));
  if (main.empty()) return out << QStringLiteral("no presentation part");
  auto pres = ooxml::readXml(pkg, main.front().targetPart);
  if (!pres) return out << pres.error().message;
  checkIds(pkg, main.front().targetPart, pres.value()->doc.child("p:presentation"), out);
  return out;
}

}  // namespace morvane::pptxcheck
