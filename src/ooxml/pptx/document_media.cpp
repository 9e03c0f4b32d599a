// Pictures and embedded workbooks: the media or embedding part, its relationship from the
// slide, and the p:pic or p:graphicFrame that shows it.
#include <cstring>

#include "ooxml/pptx/detail/document_impl.h"
#include "ooxml/pptx/detail/xml_tree.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::ooxml::pptx {

QString Document::Impl::addBinaryPart(int slide, const QString& pattern, const QByteArray& bytes,
                                      const char* contentType, const char* relKind) {
  const QString part = package->uniquePartName(pattern);
  // Names come from our own patterns, which the package always accepts.
  const ooxml::Status written = package->write(part, bytes, QString::fromLatin1(contentType));
  Q_ASSERT(written.ok());
  (void)written;
  return package->addRelationship(slides.at(size_t(slide)).part, relType(relKind), part);
}

namespace {

QString picXml(quint32 id, const QString& name, const QString& descr, const QString& rid,
               const RectEmu& f, bool locked) {
  return QStringLiteral(
             "<p:pic><p:nvPicPr><p:cNvPr id=\"%1\" name=\"%2\" descr=\"%3\"/><p:cNvPicPr>%4"
             "</p:cNvPicPr><p:nvPr/></p:nvPicPr><p:blipFill><a:blip r:embed=\"%5\"/><a:stretch>"
             "<a:fillRect/></a:stretch></p:blipFill><p:spPr><a:xfrm><a:off x=\"%6\" y=\"%7\"/>"
             "<a:ext cx=\"%8\" cy=\"%9\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
             "</a:prstGeom></p:spPr></p:pic>")
      .arg(id)
      .arg(xml::escaped(name), xml::escaped(descr),
           locked ? QStringLiteral("<a:picLocks noChangeAspect=\"1\"/>") : QString(), rid)
      .arg(f.x)
      .arg(f.y)
      .arg(f.cx)
      .arg(f.cy);
}

const char* mediaPattern(ImageFormat format) {
  return format == ImageFormat::Png ? "/ppt/media/image%1.png" : "/ppt/media/image%1.emf";
}

const char* mediaType(ImageFormat format) {
  return format == ImageFormat::Png ? ctype::kPng : ctype::kEmf;
}

}  // namespace

quint32 Document::addPicture(int slide, const QByteArray& image, ImageFormat format,
                             const RectEmu& frame, const QString& description) {
  Impl& d = *m_impl;
  (void)d.trim();  // a failure only keeps more slides parsed
  const QString rid = d.addBinaryPart(slide, QString::fromLatin1(mediaPattern(format)), image,
                                      mediaType(format), rel::kImage);
  const quint32 id = d.nextShapeId(slide);
  xml::appendFragment(d.spTree(slide), picXml(id, QStringLiteral("Picture %1").arg(id - 1),
                                              description, rid, frame, true));
  d.markDirty(slidePart(slide));
  return id;
}

// The picture shows the PNG; programs that read vector pictures take the SVG its blip's
// extension names (the extension current presentation programs write).
quint32 Document::addSvgPicture(int slide, const QByteArray& png, const QByteArray& svg,
                                const RectEmu& frame, const QString& description) {
  Impl& d = *m_impl;
  (void)d.trim();  // a failure only keeps more slides parsed
  const quint32 id = addPicture(slide, png, ImageFormat::Png, frame, description);
  const QString rid = d.addBinaryPart(slide, QStringLiteral("/ppt/media/image%1.svg"), svg,
                                      ctype::kSvg, rel::kImage);
  xml::appendFragment(
      d.shapeNode(slide, id).child("p:blipFill").child("a:blip"),
      QStringLiteral("<a:extLst><a:ext uri=\"{96DAC541-7B7A-43D3-8B79-37D633B846F1}\">"
                     "<asvg:svgBlip xmlns:asvg=\"http://schemas.microsoft.com/office/drawing/"
                     "2016/SVG/main\" r:embed=\"%1\"/></a:ext></a:extLst>")
          .arg(rid));
  return id;
}

quint32 Document::addEmbeddedWorkbook(int slide, const QByteArray& workbook, const QString& progId,
                                      const QByteArray& fallback, ImageFormat fallbackFormat,
                                      const RectEmu& f) {
  Impl& d = *m_impl;
  (void)d.trim();  // a failure only keeps more slides parsed
  const bool chart = progId.startsWith(QLatin1String("Excel.Chart"));
  const QString pattern = chart
                              ? QStringLiteral("/ppt/embeddings/Microsoft_Excel_Chart%1.xlsx")
                              : QStringLiteral("/ppt/embeddings/Microsoft_Excel_Worksheet%1.xlsx");
  const QString embedRid = d.addBinaryPart(slide, pattern, workbook, ctype::kXlsx, rel::kPackage);
  const QString imageRid = d.addBinaryPart(slide, QString::fromLatin1(mediaPattern(fallbackFormat)),
                                           fallback, mediaType(fallbackFormat), rel::kImage);
  const quint32 id = d.nextShapeId(slide);
  const QString objectName = chart ? QStringLiteral("Chart") : QStringLiteral("Worksheet");
  const QString frameXml =
      QStringLiteral(
          "<p:graphicFrame><p:nvGraphicFramePr><p:cNvPr id=\"%1\" name=\"Object %2\"/>"
          "<p:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></p:cNvGraphicFramePr>"
          "<p:nvPr/></p:nvGraphicFramePr><p:xfrm><a:off x=\"%3\" y=\"%4\"/><a:ext cx=\"%5\" "
          "cy=\"%6\"/></p:xfrm><a:graphic><a:graphicData "
          "uri=\"http://schemas.openxmlformats.org/presentationml/2006/ole\"><p:oleObj "
          "name=\"%7\" r:id=\"%8\" imgW=\"%5\" imgH=\"%6\" progId=\"%9\"><p:embed/>")
          .arg(id)
          .arg(id - 1)
          .arg(f.x)
          .arg(f.y)
          .arg(f.cx)
          .arg(f.cy)
          .arg(objectName, embedRid, xml::escaped(progId)) +
      picXml(0, QString(), QString(), imageRid, f, false) +
      QStringLiteral("</p:oleObj></a:graphicData></a:graphic></p:graphicFrame>");
  xml::appendFragment(d.spTree(slide), frameXml);
  d.markDirty(slidePart(slide));
  return id;
}

std::optional<Document::PictureData> Document::pictureData(int slide, quint32 shapeId) const {
  const Impl& d = *m_impl;
  pugi::xml_node n = d.shapeNode(slide, shapeId);
  pugi::xml_node pic =
      std::strcmp(n.name(), "p:pic") == 0
          ? n
          : n.child("a:graphic").child("a:graphicData").child("p:oleObj").child("p:pic");
  const QString rid = xml::attr(pic.child("p:blipFill").child("a:blip"), "r:embed");
  if (rid.isEmpty()) return std::nullopt;
  auto r = d.package->relationship(slidePart(slide), rid);
  if (!r || r->targetPart.isEmpty() || !d.package->hasPart(r->targetPart)) return std::nullopt;
  auto bytes = d.package->read(r->targetPart);
  if (!bytes) return std::nullopt;
  return PictureData{*bytes, d.package->contentType(r->targetPart)};
}

}  // namespace morvane::ooxml::pptx
