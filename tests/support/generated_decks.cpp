#include "support/generated_decks.h"

#include <QFile>
#include <QRegularExpression>

#include "ooxml/pptx/blank_template.h"
#include "ooxml/pptx/pptx_types.h"
#include "ooxml/pptx/presentation_document.h"

namespace morvane::pptxfixture {

namespace {

using ooxml::pptx::kEmuPerPoint;

// Scales every a:off and a:ext of a master or layout by the slide's own factors.
QString scaled(QString xml, double sx, double sy) {
  static const QRegularExpression pair(
      QStringLiteral("<a:(off|ext) (c?)x=\"(-?\\d+)\" (c?)y=\"(-?\\d+)\""));
  QString out;
  qsizetype at = 0;
  for (auto it = pair.globalMatch(xml); it.hasNext();) {
    const auto m = it.next();
    out += xml.mid(at, m.capturedStart() - at);
    out += QStringLiteral("<a:%1 %2x=\"%3\" %4y=\"%5\"")
               .arg(m.captured(1), m.captured(2))
               .arg(qRound64(m.captured(3).toDouble() * sx))
               .arg(m.captured(4))
               .arg(qRound64(m.captured(5).toDouble() * sy));
    at = m.capturedEnd();
  }
  return out + xml.mid(at);
}

// A placeholder of the two-column layout or slide.
QString placeholder(int id, const QString& ph, const QString& spPr, const QString& bodyPr,
                    const QString& lstStyle, const QString& paragraphs) {
  return QStringLiteral(
             "<p:sp><p:nvSpPr><p:cNvPr id=\"%1\" name=\"Placeholder %1\"/><p:cNvSpPr><a:spLocks "
             "noGrp=\"1\"/></p:cNvSpPr><p:nvPr>%2</p:nvPr></p:nvSpPr><p:spPr>%3</p:spPr>"
             "<p:txBody>%4<a:lstStyle>%5</a:lstStyle>%6</p:txBody></p:sp>")
      .arg(id)
      .arg(ph, spPr, bodyPr, lstStyle, paragraphs);
}

QString frame(qint64 x, qint64 y, qint64 cx, qint64 cy) {
  return QStringLiteral("<a:xfrm><a:off x=\"%1\" y=\"%2\"/><a:ext cx=\"%3\" cy=\"%4\"/></a:xfrm>")
      .arg(x)
      .arg(y)
      .arg(cx)
      .arg(cy);
}

QString paragraph(const QString& text, int level) {
  return QStringLiteral("<a:p>%1<a:r><a:rPr lang=\"en-US\"/><a:t>%2</a:t></a:r></a:p>")
      .arg(level ? QStringLiteral("<a:pPr lvl=\"%1\"/>").arg(level) : QString(), text);
}

// Rewrites one XML part of `package` through `edit`.
template <typename Edit>
bool editPart(ooxml::Package& package, const QString& part, Edit&& edit) {
  auto bytes = package.read(part);
  if (!bytes.ok()) return false;
  QString xml = QString::fromUtf8(bytes.value());
  edit(xml);
  return package.write(part, xml.toUtf8(), package.contentType(part)).ok();
}

}  // namespace

QByteArray twoColumnDeck() {
  const QString layout = QStringLiteral("/ppt/slideLayouts/slideLayout2.xml");
  auto package = ooxml::pptx::createBlankPackage();
  const bool laidOut = editPart(*package, layout, [](QString& xml) {
    const QString columns =
        placeholder(3, QStringLiteral("<p:ph sz=\"half\" idx=\"1\"/>"),
                    frame(457200, 1600200, 4038600, 4525963), QStringLiteral("<a:bodyPr/>"),
                    QStringLiteral("<a:lvl1pPr><a:defRPr sz=\"2400\"/></a:lvl1pPr>"),
                    paragraph("Left", 0)) +
        placeholder(4, QStringLiteral("<p:ph sz=\"half\" idx=\"2\"/>"),
                    frame(4648200, 1600200, 4038600, 4525963),
                    QStringLiteral("<a:bodyPr anchor=\"b\"/>"),
                    QStringLiteral("<a:lvl1pPr><a:buNone/></a:lvl1pPr>"), paragraph("Right", 0));
    xml.replace(QStringLiteral("type=\"blank\""), QStringLiteral("type=\"twoObj\""))
        .replace(QStringLiteral("name=\"Blank\""), QStringLiteral("name=\"Two Content\""))
        .replace(QStringLiteral("</p:spTree>"), columns + QStringLiteral("</p:spTree>"));
  });
  auto doc = ooxml::pptx::Document::fromPackage(std::move(package));
  if (!laidOut || !doc.ok() || !doc.value()->addSlide(0, layout).ok()) return {};
  auto saved = doc.value()->saveToBytes();
  if (!saved.ok()) return {};
  auto slidePackage = ooxml::Package::openBytes(saved.value(), QStringLiteral("two columns"));
  if (!slidePackage.ok()) return {};
  const bool filled = editPart(*slidePackage.value(), doc.value()->slidePart(0), [](QString& xml) {
    const QString shapes =
        placeholder(2, QStringLiteral("<p:ph type=\"title\"/>"), QString(),
                    QStringLiteral("<a:bodyPr/>"), QString(), paragraph("Two columns", 0)) +
        placeholder(3, QStringLiteral("<p:ph sz=\"half\" idx=\"1\"/>"), QString(),
                    QStringLiteral("<a:bodyPr/>"), QString(),
                    paragraph("Left point", 0) + paragraph("Left detail", 1)) +
        placeholder(4, QStringLiteral("<p:ph sz=\"half\" idx=\"2\"/>"),
                    frame(4648200, 3200400, 4038600, 2000000), QStringLiteral("<a:bodyPr/>"),
                    QStringLiteral("<a:lvl1pPr algn=\"r\"/>"),
                    paragraph("Right point", 0) + paragraph("Right detail", 1));
    xml.replace(QStringLiteral("</p:spTree>"), shapes + QStringLiteral("</p:spTree>"));
  });
  auto bytes = slidePackage.value()->saveToBytes();
  return filled && bytes.ok() ? bytes.value() : QByteArray();
}

QByteArray blankDeck(const QSizeF& points) {
  auto package = ooxml::pptx::createBlankPackage();
  const qint64 cx = qRound64(points.width() * kEmuPerPoint);
  const qint64 cy = qRound64(points.height() * kEmuPerPoint);
  const double sx = points.width() / 720.0, sy = points.height() / 540.0;
  for (const QString& part : package->partNames()) {
    const bool presentation = part == QLatin1String("/ppt/presentation.xml");
    if (!presentation && !part.startsWith(QLatin1String("/ppt/slideMasters/")) &&
        !part.startsWith(QLatin1String("/ppt/slideLayouts/")))
      continue;
    if (!part.endsWith(QLatin1String(".xml"))) continue;
    QString xml = QString::fromUtf8(package->read(part).value());
    if (presentation)
      xml.replace(QRegularExpression(QStringLiteral("<p:sldSz [^>]*/>")),
                  QStringLiteral("<p:sldSz cx=\"%1\" cy=\"%2\"/>").arg(cx).arg(cy));
    else
      xml = scaled(xml, sx, sy);
    if (!package->write(part, xml.toUtf8(), package->contentType(part)).ok()) return {};
  }
  auto bytes = package->saveToBytes();
  return bytes.ok() ? bytes.value() : QByteArray();
}

bool writeBlankDeck(const QString& path, const QSizeF& points) {
  QFile file(path);
  const QByteArray bytes = blankDeck(points);
  return !bytes.isEmpty() && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace morvane::pptxfixture
