// A range picture too dense for its texts to be read on the device (a hundred thousand rows
// scaled down to a slide), drawn as one image of the whole range at the device's resolution:
// each pixel the average of what the cells over it show, the white ground, the gridlines, the
// fills, borders and an estimate of the texts' ink. Work follows the stored cells and memory
// the pixels, whatever the range's size. Stateless.
#pragma once

#include <QSizeF>

#include "render/range/cell_look.h"
#include "render/range/range_grid.h"

class QImage;
class QPainter;

namespace morvane::render::range {

// The most pixels an overview holds; a device resolution beyond that is averaged in blocks.
inline constexpr double kMaxOverviewPixels = 2e6;

// Whether `grid`, drawn at `pixelsPerPoint` (x and y), has rows or columns too thin to show
// text, or more cells than a picture within the pixel budget can show one by one.
bool needsOverview(const RangeGrid& grid, QSizeF pixelsPerPoint);

// The overview of `grid` on `sheet` at `pixelsPerPoint`, an image covering the grid's size.
// Never null.
QImage rangeOverview(const ooxml::xlsx::Worksheet& sheet, const RangeGrid& grid, CellLooks& looks,
                     bool gridlines, QSizeF pixelsPerPoint);

}  // namespace morvane::render::range
