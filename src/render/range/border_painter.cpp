#include "render/range/border_painter.h"

#include <QPainter>
#include <QPen>

namespace morvane::render::range {

namespace {

constexpr double kPixel = 0.75;  // points

struct Stroke {
  double widthPx = 1;
  double centrePx = -0.5;     // from the edge, in pixels (the gridline pixel is [-1, 0])
  QList<qreal> dashesPx;      // on, off, ... in pixels; empty for solid
};

Stroke strokeOf(const QString& style) {
  if (style == QLatin1String("medium")) return {2, -1, {}};
  if (style == QLatin1String("thick")) return {3, -0.5, {}};
  if (style == QLatin1String("dashed")) return {1, -0.5, {3, 1}};
  if (style == QLatin1String("dotted")) return {1, -0.5, {1, 1}};
  if (style == QLatin1String("hair")) return {1, -0.5, {1, 2}};
  if (style == QLatin1String("dashDot")) return {1, -0.5, {8, 3, 3, 3}};
  if (style == QLatin1String("dashDotDot")) return {1, -0.5, {8, 3, 3, 3, 3, 3}};
  if (style == QLatin1String("mediumDashed")) return {2, -1, {9, 3}};
  if (style == QLatin1String("mediumDashDot")) return {2, -1, {9, 3, 3, 3}};
  if (style == QLatin1String("mediumDashDotDot")) return {2, -1, {9, 3, 3, 3, 3, 3}};
  if (style == QLatin1String("slantDashDot")) return {2, -1, {11, 1, 5, 1}};
  return {1, -0.5, {}};  // thin
}

void strokeLine(QPainter& painter, const QColor& color, const Stroke& s, bool vertical, double at, double from,
                double to, double centrePx) {
  QPen pen(color, s.widthPx * kPixel, Qt::SolidLine, Qt::FlatCap);
  if (!s.dashesPx.isEmpty()) {
    QList<qreal> pattern;
    for (qreal d : s.dashesPx) pattern << d / s.widthPx;  // Qt counts dashes in pen widths
    pen.setDashPattern(pattern);
  }
  painter.setPen(pen);
  const double c = at + centrePx * kPixel;
  if (vertical)
    painter.drawLine(QPointF(c, from), QPointF(c, to));
  else
    painter.drawLine(QPointF(from, c), QPointF(to, c));
}

}  // namespace

const BorderLine& heavierLine(const BorderLine& a, const BorderLine& b) { return a.rank > b.rank ? a : b; }

void drawBorderLine(QPainter& painter, const BorderLine& line, bool vertical, double at, double from, double to) {
  if (line.isNone() || to <= from) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (line.style == QLatin1String("double")) {
    const Stroke thin{1, 0, {}};
    strokeLine(painter, line.color, thin, vertical, at, from - kPixel, to + kPixel, -1.5);
    strokeLine(painter, line.color, thin, vertical, at, from - kPixel, to + kPixel, 0.5);
  } else {
    const Stroke s = strokeOf(line.style);
    // Solid lines reach over the crossing gridline so corners close.
    const double reach = s.dashesPx.isEmpty() ? (s.widthPx - 1) * kPixel : 0;
    strokeLine(painter, line.color, s, vertical, at, from - kPixel - reach, to + reach, s.centrePx);
  }
  painter.restore();
}

}  // namespace morvane::render::range
