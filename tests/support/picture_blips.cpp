#include "support/picture_blips.h"

#include <QXmlStreamReader>

namespace morvane::blips {

namespace {

const QString kDrawingMl = QStringLiteral("http://schemas.openxmlformats.org/drawingml/2006/main");
const QString kSvgMain =
    QStringLiteral("http://schemas.microsoft.com/office/drawing/2016/SVG/main");
const QString kRelationships =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

QString targetOf(const ooxml::Package& package, const QString& slidePart,
                 const QXmlStreamReader& reader) {
  const QString id = reader.attributes().value(kRelationships, QStringLiteral("embed")).toString();
  const auto rel = package.relationship(slidePart, id);
  return rel ? rel->targetPart : QString();
}

}  // namespace

std::vector<PictureBlip> pictureBlips(const ooxml::Package& package, const QString& slidePart) {
  std::vector<PictureBlip> out;
  auto xml = package.read(slidePart);
  if (!xml) return out;
  QXmlStreamReader reader(*xml);
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (reader.namespaceUri() == kDrawingMl && reader.name() == QLatin1String("blip"))
      out.push_back({targetOf(package, slidePart, reader), {}});
    else if (reader.namespaceUri() == kSvgMain && reader.name() == QLatin1String("svgBlip") &&
             !out.empty())
      out.back().svg = targetOf(package, slidePart, reader);
  }
  return out;
}

}  // namespace morvane::blips
