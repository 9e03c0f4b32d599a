// The text of one cell as the program lays it out: the value through its number format
// (General numbers shortened to fit, '#' when a number does not fit, '*' fills expanded),
// horizontal and vertical alignment, indent, wrapping, rotation, and drawing it into the
// cell (or the wider span it overflows into). Works in points; measures with the painter's
// device so that layout matches what is drawn.
#pragma once

#include "ooxml/xlsx/worksheet_model.h"
#include "render/range/cell_look.h"

#include <QFont>
#include <QRectF>
#include <QStringList>

class QPainter;

namespace morvane::render::range {

// Space the program keeps between text and the cell's edges, in points (2 pixels each
// side; the right and bottom edges also hold the 1-pixel gridline).
inline constexpr double kTextPadLeft = 1.5;
inline constexpr double kTextPadRight = 2.25;

struct CellText {
  QStringList lines;  // one unless wrapped or stacked
  QFont font;         // sized for the painter (1 unit = 1 point)
  QColor color;
  Qt::Alignment horizontal = Qt::AlignLeft;
  Qt::Alignment vertical = Qt::AlignBottom;
  double indent = 0;         // points, from the aligned edge
  double rotation = 0;       // counter-clockwise degrees
  bool doubleUnderline = false;
  double width = 0;          // of the widest line, unrotated
  // A text that may spill into empty neighbours when wider than its cell (not numbers, not
  // wrapped, filled, rotated or merged).
  bool mayOverflow = false;
  bool isEmpty() const { return lines.isEmpty(); }
};

// Lays out `value` with `look` for a cell (or merged area) `cell` in points.
// `indentStep`: points per indent level. Requires: `painter` is active and maps 1 unit to 1
// point. Returns an empty CellText for an empty value.
CellText layoutCellText(const QPainter& painter, const ooxml::xlsx::CellValue& value, const CellLook& look,
                        const QRectF& cell, bool date1904, double indentStep);

// Draws `text` aligned within `area` (the cell, or the span it overflows into), clipped to
// `clip`. Leaves the painter's state as it found it.
void drawCellText(QPainter& painter, const CellText& text, const QRectF& area, const QRectF& clip);

// `font` resized so that its size in `painter` units equals its point size. Requires: the
// painter maps 1 unit to 1 point.
QFont pointFont(const QPainter& painter, const QFont& font);

}  // namespace morvane::render::range
