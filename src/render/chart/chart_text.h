// Text for charts: fonts sized in points for any paint device, and measuring and drawing
// (optionally rotated) text in point coordinates.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace morvane::render::chart {

// A resolved text style. `font` carries its size in points (pointSizeF) as measured on a
// 72 dpi device, so that 1 unit = 1 point in layouts; its family is the one the file asks for,
// measured and drawn with the installed stand-in (emf::officeFont).
struct TextStyle {
  QFont font;
  QColor color = Qt::black;
  double rotationDeg = 0;   // clockwise, as DrawingML writes it
};

// A text style from the theme's minor font, `sizePt`, `bold`, then `format` on top.
TextStyle makeTextStyle(const ooxml::chart::Theme& theme, const ooxml::chart::TextFormat& format,
                        double sizePt, bool bold, const QColor& color);

// The size of `text` (lines split at '\n') in points, before rotation.
QSizeF measureText(const TextStyle& style, const QString& text);
// The bounding size after the style's rotation.
QSizeF measureRotated(const TextStyle& style, const QString& text);

// `text` broken into lines no wider than `width` (before rotation), at spaces as the program
// breaks titles; a word wider than `width` alone is broken between characters so that no line
// is clipped. Existing line breaks stay. Lines are joined with '\n'. A `width` below one
// character's width gives one character per line.
QString wrapText(const TextStyle& style, const QString& text, double width);

// `text` cut to `width` with an ellipsis at its end when it is wider.
QString elideText(const TextStyle& style, const QString& text, double width);

// Draws `text` centred on `center`, rotated by the style's rotation, lines centred.
void drawTextCentered(QPainter& painter, const TextStyle& style, const QPointF& center,
                      const QString& text);
// Draws `text` inside `rect` with Qt alignment `flags` (no rotation).
void drawTextInRect(QPainter& painter, const TextStyle& style, const QRectF& rect, int flags,
                    const QString& text);

// `font` resized for `painter`'s device so that its size in painter units equals its size
// in points. Requires: the painter's transform maps 1 unit to 1 point.
QFont deviceFont(const QPainter& painter, const QFont& font);

}  // namespace morvane::render::chart
