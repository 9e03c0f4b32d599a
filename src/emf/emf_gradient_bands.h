// Draws brushes the metafile subset lacks as solid-colour pieces: gradients as bands, hatches
// as thin strips (other programs fill hatched metafile brushes solid or at device resolution),
// pattern tiles as their pixels.
// Pieces are painted in order and each may overlap the previous ones, so that neighbouring bands
// leave no hairline seams.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QTransform>
#include <optional>
#include <vector>

namespace morvane::emf {

struct ColorPiece {
  QPainterPath area;  // device coordinates
  QColor color;       // may carry alpha; the caller blends it onto white
};

// Splits `deviceArea` into pieces for `brush`, whose gradient coordinates map to device
// coordinates through `gradientToDevice`. Returns one piece of the brush colour when `brush`
// is not a gradient, and nothing when `deviceArea` is empty.
std::vector<ColorPiece> gradientBands(const QPainterPath& deviceArea, const QBrush& brush,
                                      const QTransform& gradientToDevice);

// The lines of a hatch brush (`style` HorPattern .. DiagCrossPattern) inside `deviceArea`: one
// pixel wide, eight apart, as the raster draws them. Empty for other styles.
QPainterPath hatchArea(const QPainterPath& deviceArea, Qt::BrushStyle style);

// Largest number of rectangles, over all colours, that patternPieces() writes for one fill.
constexpr int kMaxPatternRects = 5000;

// The pieces of `deviceArea` filled with the opaque `tile`, which repeats from the device
// origin in device pixels: the area in the tile's commonest colour, then the pixels of each
// other colour, only those inside `deviceBounds`. nullopt when that takes more than
// kMaxPatternRects rectangles (a fine pattern over a large area), the area more than 4 million
// pixels, or the tile more than 16 colours.
std::optional<std::vector<ColorPiece>> patternPieces(const QPainterPath& deviceArea,
                                                     const QImage& tile, const QRect& deviceBounds);

// Colour of `gradient` at position `t`, with its spread rule applied.
QColor gradientColorAt(const QGradient& gradient, qreal t);

}  // namespace morvane::emf
