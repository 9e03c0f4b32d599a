// Shape trees: enumeration, ids, geometry, aspect locks and the shapes the model appends
// (title placeholder, text box).
#include <algorithm>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/shape_xml.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

// --- shape nodes ---------------------------------------------------------------------

namespace shapexml {

bool isShapeElement(pugi::xml_node n) {
  if (n.type() != pugi::node_element) return false;
  const char* name = n.name();
  return std::strcmp(name, "p:nvGrpSpPr") != 0 && std::strcmp(name, "p:grpSpPr") != 0 &&
         std::strcmp(name, "p:extLst") != 0;
}

ShapeKind kindOf(pugi::xml_node n) {
  const QString name = QString::fromUtf8(n.name());
  if (name == QLatin1String("p:sp")) return ShapeKind::Shape;
  if (name == QLatin1String("p:pic")) return ShapeKind::Picture;
  if (name == QLatin1String("p:graphicFrame")) return ShapeKind::GraphicFrame;
  if (name == QLatin1String("p:grpSp")) return ShapeKind::Group;
  if (name == QLatin1String("p:cxnSp")) return ShapeKind::Connector;
  return ShapeKind::Other;
}

pugi::xml_node nvProps(pugi::xml_node shape) {
  for (pugi::xml_node c = shape.first_child(); c; c = c.next_sibling())
    if (std::strncmp(c.name(), "p:nv", 4) == 0) return c;
  return {};
}

pugi::xml_node cNvPr(pugi::xml_node shape) {
  if (pugi::xml_node nv = nvProps(shape)) return nv.child("p:cNvPr");
  return shape.find_node([](pugi::xml_node n) { return std::strcmp(n.name(), "p:cNvPr") == 0; });
}

pugi::xml_node xfrmOf(pugi::xml_node shape, bool create) {
  switch (kindOf(shape)) {
    case ShapeKind::GraphicFrame:
      return create ? xml::ensureChild(shape, "p:xfrm",
                                       {"p:nvGraphicFramePr", "p:xfrm", "a:graphic", "p:extLst"})
                    : shape.child("p:xfrm");
    case ShapeKind::Group: {
      pugi::xml_node pr = shape.child("p:grpSpPr");
      return create ? xml::ensureChild(pr, "a:xfrm", PPTX_SPPR_ORDER) : pr.child("a:xfrm");
    }
    case ShapeKind::Shape:
    case ShapeKind::Picture:
    case ShapeKind::Connector: {
      pugi::xml_node pr = shape.child("p:spPr");
      if (!pr) return {};
      return create ? xml::ensureChild(pr, "a:xfrm", PPTX_SPPR_ORDER) : pr.child("a:xfrm");
    }
    case ShapeKind::Other:
      return {};
  }
  return {};
}

pugi::xml_node oleObject(pugi::xml_node shape) {
  return shape.child("a:graphic").child("a:graphicData").child("p:oleObj");
}

}  // namespace shapexml

using namespace shapexml;

pugi::xml_node Document::Impl::spTree(int slide) const {
  return xml(slides.at(size_t(slide)).part).child("p:sld").child("p:cSld").child("p:spTree");
}

pugi::xml_node Document::Impl::shapeNode(int slide, quint32 shapeId) const {
  for (pugi::xml_node n = spTree(slide).first_child(); n; n = n.next_sibling()) {
    if (!isShapeElement(n)) continue;
    if (xml::int64Attr(cNvPr(n), "id").value_or(-1) == qint64(shapeId)) return n;
  }
  return {};
}

quint32 Document::Impl::nextShapeId(int slide) const {
  qint64 maxId = 1;
  struct Walker : pugi::xml_tree_walker {
    qint64* maxId;
    bool for_each(pugi::xml_node& n) override {
      if (std::strcmp(n.name(), "p:cNvPr") == 0)
        *maxId = std::max(*maxId, xml::int64Attr(n, "id").value_or(0));
      return true;
    }
  } walker;
  walker.maxId = &maxId;
  spTree(slide).traverse(walker);
  return quint32(std::min<qint64>(maxId + 1, 0x7fffffff));
}

// --- queries -------------------------------------------------------------------------

namespace {

ShapeInfo describe(const Document::Impl& d, int slide, pugi::xml_node n) {
  ShapeInfo info;
  pugi::xml_node c = cNvPr(n);
  info.id = quint32(xml::int64Attr(c, "id").value_or(0));
  info.name = xml::attr(c, "name");
  info.description = xml::attr(c, "descr");
  info.kind = kindOf(n);
  pugi::xml_node ph = nvProps(n).child("p:nvPr").child("p:ph");
  info.isPlaceholder = bool(ph);
  if (ph) {
    info.placeholderType = xml::attr(ph, "type");
    if (info.placeholderType.isEmpty()) info.placeholderType = QStringLiteral("obj");
  }
  info.hasText = bool(n.child("p:txBody"));
  info.isOleObject = info.kind == ShapeKind::GraphicFrame && bool(oleObject(n));
  info.frame = xml::readXfrm(xfrmOf(n, false));
  if (!info.frame && ph) {
    auto layouts =
        d.package->relationshipsOfType(d.slides.at(size_t(slide)).part, relType(rel::kSlideLayout));
    if (!layouts.empty())
      info.frame =
          d.inheritedFrame(layouts.front().targetPart, info.placeholderType, xml::attr(ph, "idx"));
  }
  return info;
}

bool isTitleType(const QString& t) {
  return t == QLatin1String("title") || t == QLatin1String("ctrTitle");
}

}  // namespace

std::vector<ShapeInfo> Document::shapes(int slide) const {
  std::vector<ShapeInfo> out;
  for (pugi::xml_node n = m_impl->spTree(slide).first_child(); n; n = n.next_sibling())
    if (isShapeElement(n)) out.push_back(describe(*m_impl, slide, n));
  return out;
}

std::optional<ShapeInfo> Document::shape(int slide, quint32 shapeId) const {
  pugi::xml_node n = m_impl->shapeNode(slide, shapeId);
  if (!n) return std::nullopt;
  return describe(*m_impl, slide, n);
}

std::optional<quint32> Document::titleShape(int slide) const {
  for (const ShapeInfo& s : shapes(slide))
    if (s.isPlaceholder && isTitleType(s.placeholderType)) return s.id;
  return std::nullopt;
}

// --- appended shapes -------------------------------------------------------------------

quint32 Document::addTitlePlaceholder(int slide) {
  const quint32 id = m_impl->nextShapeId(slide);
  xml::appendFragment(
      m_impl->spTree(slide),
      QStringLiteral("<p:sp><p:nvSpPr><p:cNvPr id=\"%1\" name=\"Title %2\"/><p:cNvSpPr><a:spLocks "
                     "noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph type=\"title\"/></p:nvPr></p:nvSpPr>"
                     "<p:spPr/><p:txBody><a:bodyPr/><a:lstStyle/><a:p><a:endParaRPr "
                     "lang=\"en-US\"/></a:p></p:txBody></p:sp>")
          .arg(id)
          .arg(id - 1));
  m_impl->markDirty(slidePart(slide));
  return id;
}

quint32 Document::addTextBox(int slide, const RectEmu& f) {
  const quint32 id = m_impl->nextShapeId(slide);
  xml::appendFragment(
      m_impl->spTree(slide),
      QStringLiteral("<p:sp><p:nvSpPr><p:cNvPr id=\"%1\" name=\"TextBox %2\"/><p:cNvSpPr "
                     "txBox=\"1\"/><p:nvPr/></p:nvSpPr><p:spPr><a:xfrm><a:off x=\"%3\" y=\"%4\"/>"
                     "<a:ext cx=\"%5\" cy=\"%6\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
                     "</a:prstGeom><a:noFill/></p:spPr><p:txBody><a:bodyPr wrap=\"none\" "
                     "rtlCol=\"0\"><a:spAutoFit/></a:bodyPr><a:lstStyle/><a:p><a:endParaRPr "
                     "lang=\"en-US\" dirty=\"0\"/></a:p></p:txBody></p:sp>")
          .arg(id)
          .arg(id - 1)
          .arg(f.x)
          .arg(f.y)
          .arg(f.cx)
          .arg(f.cy));
  m_impl->markDirty(slidePart(slide));
  return id;
}

// --- geometry and locks ----------------------------------------------------------------

bool Document::setDescription(int slide, quint32 shapeId, const QString& text) {
  pugi::xml_node c = cNvPr(m_impl->shapeNode(slide, shapeId));
  if (!c) return false;
  xml::setAttr(c, "descr", xml::xmlSafe(text));
  m_impl->markDirty(slidePart(slide));
  return true;
}

bool Document::setFrame(int slide, quint32 shapeId, const RectEmu& frame) {
  pugi::xml_node n = m_impl->shapeNode(slide, shapeId);
  pugi::xml_node xfrm = n ? xfrmOf(n, true) : pugi::xml_node();
  if (!xfrm) return false;
  xml::writeXfrm(xfrm, frame);
  // The fallback picture of an embedded object follows its frame.
  if (pugi::xml_node ole = oleObject(n)) {
    if (pugi::xml_node pic = ole.child("p:pic"))
      if (pugi::xml_node x = xfrmOf(pic, true)) xml::writeXfrm(x, frame);
  }
  m_impl->markDirty(slidePart(slide));
  return true;
}

namespace {

pugi::xml_node locksOf(pugi::xml_node shape, bool create) {
  static const struct {
    ShapeKind kind;
    const char* props;
    const char* locks;
  } table[] = {{ShapeKind::Shape, "p:cNvSpPr", "a:spLocks"},
               {ShapeKind::Picture, "p:cNvPicPr", "a:picLocks"},
               {ShapeKind::GraphicFrame, "p:cNvGraphicFramePr", "a:graphicFrameLocks"},
               {ShapeKind::Group, "p:cNvGrpSpPr", "a:grpSpLocks"},
               {ShapeKind::Connector, "p:cNvCxnSpPr", "a:cxnSpLocks"}};
  for (const auto& row : table) {
    if (row.kind != kindOf(shape)) continue;
    pugi::xml_node props = nvProps(shape).child(row.props);
    if (!props) return {};
    return create
               ? xml::ensureChild(props, row.locks, {row.locks, "a:stCxn", "a:endCxn", "a:extLst"})
               : props.child(row.locks);
  }
  return {};
}

}  // namespace

bool Document::lockAspectRatio(int slide, quint32 shapeId) const {
  pugi::xml_node locks = locksOf(m_impl->shapeNode(slide, shapeId), false);
  const QString v = xml::attr(locks, "noChangeAspect");
  return v == QLatin1String("1") || v == QLatin1String("true");
}

void Document::setLockAspectRatio(int slide, quint32 shapeId, bool locked) {
  pugi::xml_node n = m_impl->shapeNode(slide, shapeId);
  if (!n) return;
  if (!locked && !lockAspectRatio(slide, shapeId)) return;
  pugi::xml_node locks = locksOf(n, true);
  if (!locks) return;
  if (locked)
    xml::setAttr(locks, "noChangeAspect", QStringLiteral("1"));
  else
    locks.remove_attribute("noChangeAspect");
  m_impl->markDirty(slidePart(slide));
}

}  // namespace morvane::ooxml::pptx
