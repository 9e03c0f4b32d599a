#include "hosts/presentation/provenance.h"

namespace morvane::hosts::presentation {

bool writeSourceRecord(ooxml::pptx::Document& doc, int slide, quint32 shapeId,
                       const office::SourceRecord& record) {
  const QString compact = record.compact();
  return doc.addShapeTags(slide, shapeId, {{QString::fromLatin1(kSourceTag), compact}}) &&
         doc.setShapeName(slide, shapeId, compact);
}

bool rewriteSourceRecord(ooxml::pptx::Document& doc, int slide, quint32 shapeId,
                         const office::SourceRecord& record) {
  const auto shape = doc.shape(slide, shapeId);
  if (!shape) return false;
  const QString compact = record.compact();
  if (!doc.setShapeTag(slide, shapeId, {QString::fromLatin1(kSourceTag), compact})) return false;
  return !office::SourceRecord::fromCompact(shape->name) ||
         doc.setShapeName(slide, shapeId, compact);
}

std::optional<office::SourceRecord> readSourceRecord(const ooxml::pptx::Document& doc, int slide,
                                                     quint32 shapeId) {
  for (const auto& tag : doc.shapeTags(slide, shapeId)) {
    if (tag.name.compare(QLatin1String(kSourceTag), Qt::CaseInsensitive) != 0) continue;
    if (auto record = office::SourceRecord::fromCompact(tag.value)) return record;
  }
  const auto shape = doc.shape(slide, shapeId);
  return shape ? office::SourceRecord::fromCompact(shape->name) : std::nullopt;
}

}  // namespace morvane::hosts::presentation
