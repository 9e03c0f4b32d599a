// Pattern brushes as EMR_CREATEDIBPATTERNBRUSHPT stores them: the tile a QBrush shows on the
// device, its packed-DIB form for the writer, and the bounds-checked decoding for the player.
#pragma once

#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QTransform>
#include <optional>

#include "emf/emf_reader.h"

namespace morvane::emf {

// Largest tile side written; bigger or stretched tiles fall back to a solid blend.
constexpr int kMaxPatternSide = 64;
// Largest tile side the player accepts from other producers.
constexpr int kMaxPlayedPatternSide = 256;

// The opaque tile `brush` (Qt::TexturePattern or Dense1..Dense7Pattern) paints, in device
// pixels, phased so that it repeats from the device origin as metafile pattern brushes do.
// `brushToDevice` is the brush transform times the painter's; transparent pixels are blended
// onto `background` and everything is faded by `opacity`. nullopt when no such tile exists: a
// rotated, mirrored or non-integer-period tile, a tile beyond kMaxPatternSide, an empty texture.
std::optional<QImage> devicePatternTile(const QBrush& brush, const QTransform& brushToDevice,
                                        qreal opacity, QRgb background);

// BITMAPINFO followed by the bits of `tile`: 1 bit with a two-entry colour table when it has at
// most two colours, else 24-bit. `infoSize` receives the size of the BITMAPINFO part.
QByteArray packedPatternDib(const QImage& tile, quint32* infoSize);

// The tile of an EMR_CREATEDIBPATTERNBRUSHPT record. nullopt when the record is malformed: short,
// offsets or sizes outside it, a header size that does not fit, dimensions of 0 or beyond
// kMaxPlayedPatternSide, or a format other than uncompressed 1/4/8/24/32 bit with RGB colours.
std::optional<QImage> readPatternBrushTile(const RecordView& r);

}  // namespace morvane::emf
