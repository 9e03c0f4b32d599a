// DrawingML preset patterns (a:pattFill prst="...") as tiled Qt brushes: an 8 x 8 bitmap of
// foreground and background pixels, one pattern pixel per 96 dpi pixel (0.75 pt).
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QString>

#include <array>
#include <cstdint>

namespace morvane::render::chart {

// The 8 rows of preset `name`, leftmost pixel in the high bit; unknown names give the 50 %
// pattern.
std::array<std::uint8_t, 8> patternBits(const QString& name);

// The 8 x 8 tile of preset `name` in the two colours.
QImage patternTile(const QString& name, const QColor& foreground, const QColor& background);

// A brush tiling the preset in points (each tile pixel 0.75 pt) on any device. Devices that
// cannot tile pictures draw its average colour.
QBrush patternBrush(const QString& name, const QColor& foreground, const QColor& background);

}  // namespace morvane::render::chart
