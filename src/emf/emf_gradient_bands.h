// Draws brushes the metafile subset lacks as solid-colour pieces: gradients as bands, hatches
// as thin strips (other programs fill hatched metafile brushes solid or at device resolution).
// Pieces are painted in order and each may overlap the previous ones, so that neighbouring bands
// leave no hairline seams.
#pragma once

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QTransform>
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

// Colour of `gradient` at position `t`, with its spread rule applied.
QColor gradientColorAt(const QGradient& gradient, qreal t);

}  // namespace morvane::emf
