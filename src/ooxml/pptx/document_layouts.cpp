// Masters and layouts: lookup by layout type, and the minimal layouts added to a master that
// lacks Title Only or Blank.
#include <algorithm>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

using ooxml::Error;
using ooxml::Result;
using ooxml::Status;

namespace {

QString layoutName(const pugi::xml_document& doc) {
  return xml::attr(doc.child("p:sldLayout").child("p:cSld"), "name");
}

bool hasTitlePlaceholder(pugi::xml_node spTree) {
  for (pugi::xml_node sp : spTree.children("p:sp")) {
    const QString t = xml::attr(sp.child("p:nvSpPr").child("p:nvPr").child("p:ph"), "type");
    if (t == QLatin1String("title") || t == QLatin1String("ctrTitle")) return true;
  }
  return false;
}

QString minimalLayoutXml(const QString& type, bool masterHasTitle, const SizeEmu& slide) {
  const bool titleOnly = type == QLatin1String("titleOnly");
  QString title;
  if (titleOnly) {
    // Without a master title to inherit from, the title gets its own place at the top.
    const QString xfrm =
        masterHasTitle
            ? QString()
            : QStringLiteral(
                  "<a:xfrm><a:off x=\"%1\" y=\"%2\"/><a:ext cx=\"%3\" cy=\"%4\"/></a:xfrm>")
                  .arg(slide.cx / 20)
                  .arg(slide.cy / 25)
                  .arg(slide.cx - slide.cx / 10)
                  .arg(slide.cy / 6);
    title = QStringLiteral(
                "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"Title 1\"/><p:cNvSpPr><a:spLocks "
                "noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph type=\"title\"/></p:nvPr></p:nvSpPr>"
                "<p:spPr>%1</p:spPr><p:txBody><a:bodyPr/><a:lstStyle/><a:p><a:r><a:rPr "
                "lang=\"en-US\"/><a:t>Click to edit Master title style</a:t></a:r><a:endParaRPr "
                "lang=\"en-US\"/></a:p></p:txBody></p:sp>")
                .arg(xfrm);
  }
  return QStringLiteral(
             "<p:sldLayout type=\"%1\" preserve=\"1\"><p:cSld name=\"%2\"><p:spTree><p:nvGrpSpPr>"
             "<p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr>"
             "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/>"
             "<a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>%3</p:spTree></p:cSld><p:clrMapOvr>"
             "<a:masterClrMapping/></p:clrMapOvr></p:sldLayout>")
      .arg(type, titleOnly ? QStringLiteral("Title Only") : QStringLiteral("Blank"), title);
}

}  // namespace

std::vector<MasterInfo> Document::masters() const {
  const Impl& d = *m_impl;
  std::vector<MasterInfo> out;
  for (const auto& m : d.masters) {
    MasterInfo info{m.part, m.id, {}};
    for (pugi::xml_node l :
         d.xml(m.part).child("p:sldMaster").child("p:sldLayoutIdLst").children("p:sldLayoutId")) {
      auto r = d.package->relationship(m.part, xml::attr(l, "r:id"));
      if (!r || !d.isLoaded(r->targetPart)) continue;
      info.layouts.push_back({r->targetPart, layoutType(r->targetPart),
                              layoutName(d.xml(r->targetPart)),
                              quint32(xml::int64Attr(l, "id").value_or(0))});
    }
    out.push_back(std::move(info));
  }
  return out;
}

QString Document::layoutType(const QString& layoutPart) const {
  if (layoutPart.isEmpty() || !m_impl->isLoaded(layoutPart)) return {};
  pugi::xml_node l = m_impl->xml(layoutPart).child("p:sldLayout");
  if (!l) return {};
  const QString t = xml::attr(l, "type");
  return t.isEmpty() ? QStringLiteral("cust") : t;
}

QString Document::masterOfLayout(const QString& layoutPart) const {
  for (const MasterInfo& m : masters())
    for (const LayoutInfo& l : m.layouts)
      if (lower(l.part) == lower(layoutPart)) return m.part;
  auto r = m_impl->package->relationshipsOfType(layoutPart, relType(rel::kSlideMaster));
  return r.empty() ? QString() : r.front().targetPart;
}

Result<QString> Document::layoutOfType(const QString& masterPart, const QString& type) {
  Impl& d = *m_impl;
  std::optional<MasterInfo> master;
  quint32 maxId = 2147483647u;
  for (const MasterInfo& m : masters()) {
    maxId = std::max(maxId, m.id);
    for (const LayoutInfo& l : m.layouts) maxId = std::max(maxId, l.id);
    if (lower(m.part) == lower(masterPart)) master = m;
  }
  if (!master)
    return Error{Error::Code::Missing, QStringLiteral("%1 is not a slide master").arg(masterPart)};
  for (const LayoutInfo& l : master->layouts)
    if (l.type == type) return l.part;
  if (type != QLatin1String("titleOnly") && type != QLatin1String("blank"))
    return Error{Error::Code::Missing,
                 QStringLiteral("the slide master has no layout of type %1").arg(type)};

  pugi::xml_node masterRoot = d.xml(masterPart).child("p:sldMaster");
  const bool masterHasTitle = hasTitlePlaceholder(masterRoot.child("p:cSld").child("p:spTree"));
  const QString part =
      d.package->uniquePartName(QStringLiteral("/ppt/slideLayouts/slideLayout%1.xml"));
  const QByteArray bytes =
      partXml(minimalLayoutXml(type, masterHasTitle, slideSize()), d.package->isStrict());
  if (Status s = d.addXmlPart(part, bytes, QString::fromLatin1(ctype::kSlideLayout)); !s)
    return s.error();
  d.package->addRelationship(part, relType(rel::kSlideMaster), masterPart);
  const QString rid = d.package->addRelationship(masterPart, relType(rel::kSlideLayout), part);
  pugi::xml_node list = xml::ensureChild(masterRoot, "p:sldLayoutIdLst",
                                         {"p:cSld", "p:clrMap", "p:sldLayoutIdLst", "p:transition",
                                          "p:timing", "p:hf", "p:txStyles", "p:extLst"});
  pugi::xml_node entry = list.append_child("p:sldLayoutId");
  xml::setAttr(entry, "id", qint64(maxId) + 1);
  xml::setAttr(entry, "r:id", rid);
  d.markDirty(masterPart);
  return part;
}

bool placeholderMatches(pugi::xml_node ph, const QString& type, const QString& idx, bool byIdx) {
  const QString t = xml::attr(ph, "type");
  const QString normalized = t.isEmpty() ? QStringLiteral("obj") : t;
  auto titleLike = [](const QString& x) {
    return x == QLatin1String("title") || x == QLatin1String("ctrTitle");
  };
  if (titleLike(type)) return titleLike(normalized);
  if (byIdx && !idx.isEmpty()) return xml::attr(ph, "idx") == idx;
  return normalized == type ||
         (type == QLatin1String("obj") && normalized == QLatin1String("body"));
}

pugi::xml_node Document::Impl::layoutTree(const QString& layoutPart) const {
  if (layoutPart.isEmpty() || !isLoaded(layoutPart)) return {};
  return xml(layoutPart).child("p:sldLayout").child("p:cSld").child("p:spTree");
}

QString Document::Impl::masterOfLayoutPart(const QString& layoutPart) const {
  auto masters = package->relationshipsOfType(layoutPart, relType(rel::kSlideMaster));
  if (masters.empty() || !isLoaded(masters.front().targetPart)) return {};
  return masters.front().targetPart;
}

std::optional<RectEmu> Document::Impl::inheritedFrame(const QString& layoutPart,
                                                      const QString& type,
                                                      const QString& idx) const {
  auto search = [&](pugi::xml_node spTree, bool byIdx) -> std::optional<RectEmu> {
    for (pugi::xml_node sp : spTree.children("p:sp")) {
      pugi::xml_node ph = sp.child("p:nvSpPr").child("p:nvPr").child("p:ph");
      if (!ph || !placeholderMatches(ph, type, idx, byIdx)) continue;
      if (auto r = xml::readXfrm(sp.child("p:spPr").child("a:xfrm"))) return r;
    }
    return std::nullopt;
  };
  if (!layoutTree(layoutPart)) return std::nullopt;
  if (auto r = search(layoutTree(layoutPart), true)) return r;
  const QString master = masterOfLayoutPart(layoutPart);
  if (master.isEmpty()) return std::nullopt;
  return search(xml(master).child("p:sldMaster").child("p:cSld").child("p:spTree"), false);
}

QString Document::Impl::themeFont(int slide, bool major) const {
  const QString fallback = QStringLiteral("Calibri");
  auto layouts =
      package->relationshipsOfType(slides.at(size_t(slide)).part, relType(rel::kSlideLayout));
  if (layouts.empty()) return fallback;
  auto masterRels =
      package->relationshipsOfType(layouts.front().targetPart, relType(rel::kSlideMaster));
  if (masterRels.empty()) return fallback;
  auto themes = package->relationshipsOfType(masterRels.front().targetPart, relType(rel::kTheme));
  if (themes.empty()) return fallback;
  auto bytes = package->read(themes.front().targetPart);
  if (!bytes) return fallback;
  auto doc = ooxml::parseXml(*bytes, themes.front().targetPart, package->limits().maxXmlDepth);
  if (!doc) return fallback;
  pugi::xml_node fonts =
      doc.value()->doc.child("a:theme").child("a:themeElements").child("a:fontScheme");
  const QString face =
      xml::attr(fonts.child(major ? "a:majorFont" : "a:minorFont").child("a:latin"), "typeface");
  return face.isEmpty() ? fallback : face;
}

}  // namespace morvane::ooxml::pptx
