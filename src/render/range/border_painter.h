// Border lines of a range picture, drawn on the gridline they belong to with the program's
// widths (thin and the dashed kinds 1 pixel, medium 2, thick 3, double two 1-pixel lines
// around the gridline) and dash patterns, in points at 0.75 per pixel.
#pragma once

#include "render/range/cell_look.h"

class QPainter;

namespace morvane::render::range {

// The edge the program draws where two cells' borders meet: the heavier; `b` (the right or
// lower cell's) on a tie.
const BorderLine& heavierLine(const BorderLine& a, const BorderLine& b);

// Draws `line` on the gridline whose far pixel ends at `at` (x for a vertical edge, y for a
// horizontal one), from `from` to `to` along the edge. Does nothing for a none line.
void drawBorderLine(QPainter& painter, const BorderLine& line, bool vertical, double at, double from, double to);

}  // namespace morvane::render::range
