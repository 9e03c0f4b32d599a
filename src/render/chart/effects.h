// Effects on series shapes, as a chart style or a shape's a:effectLst and a:sp3d ask: an
// outer shadow (an offset, blurred copy), a glow, soft edges and a top bevel (lit edges). All
// are drawn as a few bands of solid colour blended in advance with the background, so that
// devices without transparency or bitmaps (the metafile) show them as rasters do.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <functional>
#include <optional>

#include "ooxml/chart/drawing_format.h"
#include "ooxml/chart/theme.h"

class QBrush;
class QPainter;
class QPen;

namespace morvane::render::chart {

struct ShapeEffects {
  // A shadow or glow: the shape grown by `spreadPt`, moved by `offset`, fading outwards.
  struct Halo {
    QPointF offset;
    double spreadPt = 0;
    QColor color;  // opaque; `opacity` says how strongly it covers the background
    double opacity = 0;
  };
  std::optional<Halo> shadow, glow;
  double softEdgePt = 0;
  double bevelPt = 0;

  bool any() const { return shadow || glow || softEdgePt > 0 || bevelPt > 0; }
};

// The effects of a filled series shape: the file's own (`own`) where it writes them, else
// those of chart style `style` (25-32: a soft shadow and a top bevel).
ShapeEffects effectsFor(const ooxml::chart::EffectFormat& own, const ooxml::chart::Theme& theme,
                        int style);

// `shape` shrunk by a distance, for the bands along its edges.
using InsetShape = std::function<QPainterPath(double)>;

// The shadow and glow of `shape`, drawn before the shapes of its series so that they lie
// under all of them.
void paintHalos(QPainter& painter, const QPainterPath& shape, const QBrush& fill,
                const ShapeEffects& effects, const QColor& background);
// Draws `shape` with `fill` and `line` and its effects over a background of `background`;
// its shadow and glow too unless `halos` is false.
void paintWithEffects(QPainter& painter, const QPainterPath& shape, const InsetShape& inset,
                      const QBrush& fill, const QPen& line, const ShapeEffects& effects,
                      const QColor& background, bool halos = true);

}  // namespace morvane::render::chart
