// Refreshing what a pasted shape shows: new media (and embedded workbook) parts of its own,
// the crop kept or the picture fitted, the shape's tags rewritten; parts left behind go at
// save when nothing refers to them.
#include <QStringList>
#include <cmath>
#include <cstring>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/shape_xml.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

namespace {

constexpr char kSvgExtUri[] = "{96DAC541-7B7A-43D3-8B79-37D633B846F1}";

// The picture element showing the shape: the p:pic itself, or an embedded object's fallback
// picture (directly in p:oleObj, or in the choice a compatibility wrapper offers).
pugi::xml_node pictureOf(pugi::xml_node shape) {
  if (std::strcmp(shape.name(), "p:pic") == 0) return shape;
  if (pugi::xml_node ole = shapexml::oleObject(shape)) return ole.child("p:pic");
  return {};
}

// 1/1000 of a percent, the unit of a:fillRect and a:srcRect.
qint64 perMille(double part, double whole) {
  return whole > 0 ? qint64(std::lround(part / whole * 100000.0)) : 0;
}

// Fits a picture of `aspect` (w ÷ h) inside `frame`, centred: the stretch's fill rectangle
// gets the insets, and the crop goes.
void fitInside(pugi::xml_node blipFill, const RectEmu& frame, double aspect) {
  blipFill.remove_child("a:srcRect");
  blipFill.remove_child("a:tile");
  pugi::xml_node stretch =
      xml::ensureChild(blipFill, "a:stretch", {"a:blip", "a:srcRect", "a:tile", "a:stretch"});
  stretch.remove_children();
  pugi::xml_node fill = stretch.append_child("a:fillRect");
  const double w = double(frame.cx), h = double(frame.cy);
  if (w <= 0 || h <= 0 || !(aspect > 0)) return;
  if (aspect > w / h) {
    const qint64 inset = perMille((h - w / aspect) / 2, h);
    if (inset > 0) {
      xml::setAttr(fill, "t", inset);
      xml::setAttr(fill, "b", inset);
    }
  } else {
    const qint64 inset = perMille((w - h * aspect) / 2, w);
    if (inset > 0) {
      xml::setAttr(fill, "l", inset);
      xml::setAttr(fill, "r", inset);
    }
  }
}

bool namesRelationship(pugi::xml_node node, const char* rid) {
  for (pugi::xml_attribute a : node.attributes())
    if (std::strncmp(a.name(), "r:", 2) == 0 && std::strcmp(a.value(), rid) == 0) return true;
  for (pugi::xml_node c : node.children())
    if (c.type() == pugi::node_element && namesRelationship(c, rid)) return true;
  return false;
}

const char* mediaPattern(ImageFormat format) {
  return format == ImageFormat::Png ? "/ppt/media/image%1.png" : "/ppt/media/image%1.emf";
}

}  // namespace

void Document::Impl::releaseRelationship(int slide, const QString& rid) {
  const QString part = slides.at(size_t(slide)).part;
  if (rid.isEmpty() || namesRelationship(xml(part).document_element(), rid.toUtf8().constData()))
    return;
  if (auto r = package->relationship(part, rid); r && !r->targetPart.isEmpty())
    released.insert(r->targetPart);
  package->removeRelationship(part, rid);
}

void Document::Impl::removeReleasedParts() {
  if (released.empty()) return;
  std::set<QString> referenced;
  QStringList sources{QStringLiteral("/")};
  for (const QString& p : package->partNames()) sources << p;
  for (const QString& source : sources)
    for (const auto& r : package->relationships(source))
      if (!r.targetPart.isEmpty()) referenced.insert(lower(r.targetPart));
  for (const QString& part : released) {
    if (referenced.count(lower(part)) || !package->hasPart(part)) continue;
    package->remove(part);
    parts.erase(lower(part));
  }
  released.clear();
}

bool Document::replacePicture(int slide, quint32 shapeId, const Replacement& r, bool keepCrop) {
  Impl& d = *m_impl;
  const pugi::xml_node shape = d.shapeNode(slide, shapeId);
  const pugi::xml_node pic = pictureOf(shape);
  pugi::xml_node blipFill = pic.child("p:blipFill");
  pugi::xml_node blip = blipFill.child("a:blip");
  if (!blip || xml::attr(blip, "r:embed").isEmpty()) return false;
  const pugi::xml_node ole = shapexml::oleObject(shape);
  if (!r.workbook.isEmpty() && !ole) return false;

  std::vector<QString> old{xml::attr(blip, "r:embed")};
  const QString image =
      d.addBinaryPart(slide, QString::fromLatin1(mediaPattern(r.format)), r.image,
                      r.format == ImageFormat::Png ? ctype::kPng : ctype::kEmf, rel::kImage);
  xml::setAttr(blip, "r:embed", image);

  // The vector form travels in the blip's extension list: replaced, added or dropped with
  // the new picture.
  pugi::xml_node svgExt =
      blip.child("a:extLst").find_child_by_attribute("a:ext", "uri", kSvgExtUri);
  if (svgExt) old.push_back(xml::attr(svgExt.first_child(), "r:embed"));
  if (!r.svg.isEmpty()) {
    const QString svg = d.addBinaryPart(slide, QStringLiteral("/ppt/media/image%1.svg"), r.svg,
                                        ctype::kSvg, rel::kImage);
    if (svgExt) {
      xml::setAttr(svgExt.first_child(), "r:embed", svg);
    } else {
      xml::appendFragment(xml::ensureChild(blip, "a:extLst", {}),
                          QStringLiteral("<a:ext uri=\"%1\"><asvg:svgBlip xmlns:asvg=\"http://"
                                         "schemas.microsoft.com/office/drawing/2016/SVG/main\" "
                                         "r:embed=\"%2\"/></a:ext>")
                              .arg(QLatin1String(kSvgExtUri), svg));
    }
  } else if (svgExt) {
    svgExt.parent().remove_child(svgExt);
  }

  if (!r.workbook.isEmpty()) {
    old.push_back(xml::attr(ole, "r:id"));
    const QString target = d.package->relationship(d.slides.at(size_t(slide)).part, old.back())
                               .value_or(ooxml::Relationship{})
                               .targetPart;
    const QString pattern =
        target.contains(QLatin1String("Chart"))
            ? QStringLiteral("/ppt/embeddings/Microsoft_Excel_Chart%1.xlsx")
            : QStringLiteral("/ppt/embeddings/Microsoft_Excel_Worksheet%1.xlsx");
    xml::setAttr(ole, "r:id",
                 d.addBinaryPart(slide, pattern, r.workbook, ctype::kXlsx, rel::kPackage));
  }

  if (!keepCrop) {
    const auto frame = xml::readXfrm(shapexml::xfrmOf(shape, false));
    fitInside(blipFill, frame.value_or(RectEmu{}), r.aspect);
  }
  d.markDirty(slidePart(slide));
  for (const QString& rid : old) d.releaseRelationship(slide, rid);
  return true;
}

bool Document::setShapeTag(int slide, quint32 shapeId, const Tag& tag) {
  Impl& d = *m_impl;
  pugi::xml_node props = shapexml::nvProps(d.shapeNode(slide, shapeId)).child("p:nvPr");
  if (!props) return false;
  std::vector<Tag> tags;
  for (Tag& t : shapeTags(slide, shapeId))
    if (t.name.compare(tag.name, Qt::CaseInsensitive) != 0) tags.push_back(std::move(t));
  tags.push_back(tag);
  // The old tags parts may be shared with a copy of the shape: they are left to the sweep,
  // never rewritten.
  std::vector<QString> old;
  pugi::xml_node custData = props.child("p:custDataLst");
  for (pugi::xml_node ref = custData.child("p:tags"); ref;) {
    pugi::xml_node next = ref.next_sibling("p:tags");
    old.push_back(xml::attr(ref, "r:id"));
    custData.remove_child(ref);
    ref = next;
  }
  if (!addShapeTags(slide, shapeId, tags)) return false;
  for (const QString& rid : old) d.releaseRelationship(slide, rid);
  return true;
}

}  // namespace morvane::ooxml::pptx
