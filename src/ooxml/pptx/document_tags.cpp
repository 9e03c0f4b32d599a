// Shape tags and names: the name/value pairs presentation programs keep with a shape, in a
// tags part (p:tagLst) the shape's p:custDataLst names, and the cNvPr name.
#include <cstring>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/shape_xml.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

namespace {

constexpr char kTagsRel[] = "tags";
constexpr char kTagsType[] =
    "application/vnd.openxmlformats-officedocument.presentationml.tags+xml";

// The shape's p:nvPr, where p:custDataLst lives.
pugi::xml_node nvPr(pugi::xml_node shape) { return shapexml::nvProps(shape).child("p:nvPr"); }

}  // namespace

std::vector<Document::Tag> Document::shapeTags(int slide, quint32 shapeId) const {
  const Impl& d = *m_impl;
  std::vector<Tag> out;
  for (pugi::xml_node ref :
       nvPr(d.shapeNode(slide, shapeId)).child("p:custDataLst").children("p:tags")) {
    auto r = d.package->relationship(slidePart(slide), xml::attr(ref, "r:id"));
    if (!r || r->targetPart.isEmpty() || !d.package->hasPart(r->targetPart)) continue;
    // Tags parts are never edited, only added: read the bytes the package holds. One that
    // cannot be read holds no tags.
    auto tagList = ooxml::readXml(*d.package, r->targetPart);
    if (!tagList) continue;
    for (pugi::xml_node t : tagList.value()->doc.document_element().children("p:tag"))
      out.push_back({xml::attr(t, "name"), xml::attr(t, "val")});
  }
  return out;
}

bool Document::addShapeTags(int slide, quint32 shapeId, const std::vector<Tag>& tags) {
  Impl& d = *m_impl;
  pugi::xml_node props = nvPr(d.shapeNode(slide, shapeId));
  if (!props) return false;
  QString list;
  for (const Tag& tag : tags) {
    list += QStringLiteral("<p:tag name=\"%1\" val=\"%2\"/>")
                .arg(xml::escaped(xml::xmlSafe(tag.name.toUpper())),
                     xml::escaped(xml::xmlSafe(tag.value)));
  }
  const QString part = d.package->uniquePartName(QStringLiteral("/ppt/tags/tag%1.xml"));
  // Never edited, only replaced: the part stays bytes, with no parsed form to keep.
  if (!d.package->write(
          part, partXml(QStringLiteral("<p:tagLst>%1</p:tagLst>").arg(list), d.package->isStrict()),
          QString::fromLatin1(kTagsType)))
    return false;
  const QString rid = d.package->addRelationship(slidePart(slide), relType(kTagsRel), part);
  // p:custDataLst comes before the p:extLst of p:nvPr, when it has one.
  pugi::xml_node custData = props.child("p:custDataLst");
  if (!custData) {
    pugi::xml_node ext = props.child("p:extLst");
    custData =
        ext ? props.insert_child_before("p:custDataLst", ext) : props.append_child("p:custDataLst");
  }
  xml::setAttr(custData.append_child("p:tags"), "r:id", rid);
  d.markDirty(slidePart(slide));
  return true;
}

bool Document::setShapeName(int slide, quint32 shapeId, const QString& name) {
  pugi::xml_node c = shapexml::cNvPr(m_impl->shapeNode(slide, shapeId));
  if (!c) return false;
  xml::setAttr(c, "name", xml::xmlSafe(name));
  m_impl->markDirty(slidePart(slide));
  return true;
}

}  // namespace morvane::ooxml::pptx
