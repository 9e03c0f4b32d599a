#include "render/chart/effects.h"

#include <QBrush>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

constexpr int kBands = 4;  // solid bands a blurred edge is drawn with

QColor blend(const QColor& under, const QColor& over, double amount) {
  amount = std::clamp(amount, 0.0, 1.0);
  return QColor::fromRgbF(float(under.redF() + (over.redF() - under.redF()) * amount),
                          float(under.greenF() + (over.greenF() - under.greenF()) * amount),
                          float(under.blueF() + (over.blueF() - under.blueF()) * amount));
}

std::optional<ShapeEffects::Halo> haloOf(const ooxml::chart::DrawingColor& colour,
                                         const ooxml::chart::Theme& theme, double spread,
                                         double distance, double directionDeg) {
  QColor c = theme.resolve(colour);
  if (!c.isValid()) return std::nullopt;
  ShapeEffects::Halo h;
  const double a = directionDeg * M_PI / 180.0;
  h.offset = QPointF(std::cos(a), std::sin(a)) * distance;
  h.spreadPt = spread;
  h.opacity = c.alphaF();
  c.setAlpha(255);
  h.color = c;
  return h;
}

QColor fillColour(const QBrush& fill) {
  if (fill.style() == Qt::SolidPattern) return fill.color();
  if (const QGradient* g = fill.gradient(); g && !g->stops().isEmpty()) {
    const QGradientStops stops = g->stops();
    return blend(stops.front().second, stops.back().second, 0.5);
  }
  return QColor();
}

// A halo in bands from its faint outer rim to the shape's own outline.
void paintHalo(QPainter& p, const QPainterPath& shape, const ShapeEffects::Halo& h,
               const QColor& background) {
  const QPainterPath moved = shape.translated(h.offset);
  for (int k = kBands; k >= 0; --k) {
    const double grow = h.spreadPt * k / kBands;
    const QColor c = blend(background, h.color, h.opacity * (1.0 - double(k) / (kBands + 1)));
    p.setBrush(c);
    p.setPen(grow > 0 ? QPen(c, 2 * grow, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                      : QPen(Qt::NoPen));
    p.drawPath(moved);
  }
}

}  // namespace

ShapeEffects effectsFor(const ooxml::chart::EffectFormat& own, const ooxml::chart::Theme& theme,
                        int style) {
  ShapeEffects e;
  const int variant = (std::clamp(style, 1, 48) - 1) / 8;
  if (own.listWritten) {
    if (const auto& s = own.outerShadow)
      e.shadow = haloOf(s->color, theme, s->blurPt / 2, s->distancePt, s->directionDeg);
    if (const auto& g = own.glow) e.glow = haloOf(g->color, theme, g->radiusPt, 0, 0);
    e.softEdgePt = own.softEdgePt.value_or(0);
  } else if (variant == 3) {
    // The bevelled styles' soft shadow: 35 % black, 1.8 pt down, blurred over 3 pt.
    e.shadow = ShapeEffects::Halo{QPointF(0, 1.8), 1.6, Qt::black, 0.35};
  }
  if (own.bevelTopPt)
    e.bevelPt = *own.bevelTopPt;
  else if (variant == 3)
    e.bevelPt = 4;
  return e;
}

void paintHalos(QPainter& p, const QPainterPath& shape, const QBrush& fill,
                const ShapeEffects& effects, const QColor& background) {
  if (effects.glow) paintHalo(p, shape, *effects.glow, background);
  if (effects.shadow && fill.style() != Qt::NoBrush)
    paintHalo(p, shape, *effects.shadow, background);
}

void paintWithEffects(QPainter& p, const QPainterPath& shape, const InsetShape& inset,
                      const QBrush& fill, const QPen& line, const ShapeEffects& effects,
                      const QColor& background, bool halos) {
  if (halos) paintHalos(p, shape, fill, effects, background);
  p.setBrush(fill);
  p.setPen(Qt::NoPen);
  p.drawPath(shape);
  const QColor base = fillColour(fill);
  const QRectF box = shape.boundingRect();
  const double room = std::min(box.width(), box.height()) / 2;
  if (base.isValid() && effects.softEdgePt > 0 && room > 0.5) {
    // The edges fade into the background over the radius, most at the outline.
    for (int k = 1; k <= kBands; ++k) {
      const double d = std::min(effects.softEdgePt, room) * (kBands - k + 1) / kBands;
      p.setBrush(blend(base, background, double(k) / (kBands + 1)));
      p.drawPath(shape.subtracted(inset(d)));
    }
  }
  if (base.isValid() && effects.bevelPt > 0 && room > 0.5) {
    // Light from the top left: the edges facing it lit, the others in shade, each in two
    // steps towards the face.
    const double w = std::min(effects.bevelPt, room * 0.6);
    const QRectF around = box.adjusted(-1, -1, 1, 1);
    QPainterPath lit;
    lit.addPolygon(QPolygonF({around.bottomLeft(), around.topLeft(), around.topRight()}));
    // Without antialiasing: the bands meet the face without seams of mixed colour.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int step = 0; step < 2; ++step) {
      // Off the outline, which keeps the shape's own edge and sharp corners.
      const QPainterPath band = inset(0.75).subtracted(inset(w * (2 - step) / 2));
      p.setBrush(blend(base, Qt::white, 0.12 * (step + 1)));
      p.drawPath(band.intersected(lit));
      p.setBrush(blend(base, Qt::black, 0.1 * (step + 1)));
      p.drawPath(band.subtracted(lit));
    }
    p.restore();
  }
  if (line.style() != Qt::NoPen) {
    p.setBrush(Qt::NoBrush);
    p.setPen(line);
    p.drawPath(shape);
  }
}

}  // namespace morvane::render::chart
