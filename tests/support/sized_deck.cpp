#include "support/sized_deck.h"

#include <QFile>
#include <QRegularExpression>

#include "ooxml/pptx/blank_template.h"
#include "ooxml/pptx/pptx_types.h"

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

}  // namespace

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
