#include "emf/emf_gradient_bands.h"

#include <QHash>
#include <QLineF>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace morvane::emf {
namespace {

constexpr int kMaxBands = 128;
constexpr int kMaxPatternColours = 16;
constexpr qint64 kMaxPatternPixels = 1 << 22;  // beyond that the pattern's pieces are not read

qreal applySpread(QGradient::Spread spread, qreal t) {
  switch (spread) {
    case QGradient::RepeatSpread:
      return t - std::floor(t);
    case QGradient::ReflectSpread: {
      const qreal m = std::fmod(std::abs(t), 2.0);
      return m > 1.0 ? 2.0 - m : m;
    }
    default:
      return std::clamp(t, 0.0, 1.0);
  }
}

// Band count for a gradient whose unit length spans `devicePixels`: about one band per two
// pixels, at least enough to look smooth at small sizes.
int bandsFor(qreal span, qreal devicePixels) {
  const qreal perUnit = std::clamp(devicePixels / 2.0, 16.0, 96.0);
  return std::clamp(int(std::ceil(span * perUnit)), 1, kMaxBands);
}

QPolygonF gradientSpaceBox(const QPainterPath& deviceArea, const QTransform& toGradient) {
  return toGradient.map(QPolygonF(deviceArea.boundingRect().adjusted(-1, -1, 1, 1)));
}

// Linear: strips across the gradient line, painted in increasing t.
std::vector<ColorPiece> linearBands(const QPainterPath& area, const QLinearGradient& g,
                                    const QTransform& toDevice, const QTransform& toGradient) {
  const QPointF s = g.start();
  const QPointF d = g.finalStop() - s;
  const qreal len2 = QPointF::dotProduct(d, d);
  if (len2 < 1e-12) return {{area, gradientColorAt(g, 1.0)}};
  const QPointF n(-d.y(), d.x());
  qreal tMin = 1e300, tMax = -1e300, eMin = 1e300, eMax = -1e300;
  for (const QPointF& p : gradientSpaceBox(area, toGradient)) {
    const qreal t = QPointF::dotProduct(p - s, d) / len2;
    const qreal e = QPointF::dotProduct(p - s, n) / len2;
    tMin = std::min(tMin, t), tMax = std::max(tMax, t);
    eMin = std::min(eMin, e), eMax = std::max(eMax, e);
  }
  const qreal deviceLength = QLineF(toDevice.map(s), toDevice.map(g.finalStop())).length();
  const int bands = bandsFor(tMax - tMin, deviceLength);
  const qreal step = (tMax - tMin) / bands;
  const auto at = [&](qreal t, qreal e) { return s + d * t + n * e; };
  std::vector<ColorPiece> pieces;
  int first = 0;  // first band of the run of equal colours being collected
  for (int i = 0; i < bands; ++i) {
    const QColor color = gradientColorAt(g, tMin + (first + 0.5) * step);
    if (i + 1 < bands && gradientColorAt(g, tMin + (i + 1.5) * step) == color) continue;
    // Each run reaches half a band into the next, which paints over it from its own start:
    // no seams, and each colour shows where it belongs.
    const qreal t0 = first == 0 ? tMin - step : tMin + first * step;
    const qreal t1 = i + 1 == bands ? tMax + step : tMin + (i + 1.5) * step;
    QPainterPath strip;
    strip.addPolygon(
        toDevice.map(QPolygonF{at(t0, eMin), at(t1, eMin), at(t1, eMax), at(t0, eMax)}));
    strip.closeSubpath();
    pieces.push_back({first == 0 && i + 1 == bands ? area : area.intersected(strip), color});
    first = i + 1;
  }
  return pieces;
}

// Radial: rings around the centre painted outwards, each reaching half a ring into the next,
// which paints over it from its own start; the outermost covers the rest of the area.
std::vector<ColorPiece> radialBands(const QPainterPath& area, const QRadialGradient& g,
                                    const QTransform& toDevice, const QTransform& toGradient) {
  const QPointF c = g.center();
  const qreal r = g.radius();
  if (r <= 1e-9) return {{area, gradientColorAt(g, 1.0)}};
  qreal tMax = 0;
  for (const QPointF& p : gradientSpaceBox(area, toGradient))
    tMax = std::max(tMax, QLineF(c, p).length() / r);
  const qreal deviceRadius = QLineF(toDevice.map(c), toDevice.map(c + QPointF(r, 0))).length();
  const int bands = bandsFor(tMax, deviceRadius);
  const qreal step = tMax / bands;
  const auto disc = [&](qreal t) {
    QPainterPath path;
    path.addEllipse(c, t * r, t * r);
    return toDevice.map(path);
  };
  std::vector<ColorPiece> pieces;
  int first = 0;  // first band of the run of equal colours being collected
  for (int i = 0; i < bands; ++i) {
    const QColor color = gradientColorAt(g, (first + 0.5) * step);
    if (i + 1 < bands && gradientColorAt(g, (i + 1.5) * step) == color) continue;
    QPainterPath ring = i + 1 == bands ? area : area.intersected(disc((i + 1.5) * step));
    if (first > 0) ring = ring.subtracted(disc(first * step));
    pieces.push_back({ring, color});
    first = i + 1;
  }
  return pieces;
}

// Conical: wedges around the centre, counter-clockwise from the start angle.
std::vector<ColorPiece> conicalBands(const QPainterPath& area, const QConicalGradient& g,
                                     const QTransform& toDevice, const QTransform& toGradient) {
  const QPointF c = g.center();
  qreal reach = 1;
  for (const QPointF& p : gradientSpaceBox(area, toGradient))
    reach = std::max(reach, 2 * QLineF(c, p).length());
  constexpr int kWedges = 72;
  std::vector<ColorPiece> pieces;
  for (int i = 0; i < kWedges; ++i) {
    const qreal a0 = qDegreesToRadians(g.angle() + 360.0 * i / kWedges);
    const qreal a1 = qDegreesToRadians(g.angle() + 360.0 * (i + 1.5) / kWedges);
    QPolygonF wedge{c};
    for (int k = 0; k <= 4; ++k) {
      const qreal a = a0 + (a1 - a0) * k / 4;
      wedge << c + QPointF(std::cos(a), -std::sin(a)) * reach;
    }
    QPainterPath path;
    path.addPolygon(toDevice.map(wedge));
    path.closeSubpath();
    pieces.push_back({area.intersected(path), gradientColorAt(g, (i + 0.5) / kWedges)});
  }
  return pieces;
}

// `path` when it is one axis-aligned rectangle.
std::optional<QRectF> rectangleOf(const QPainterPath& path) {
  const QList<QPolygonF> polygons = path.toSubpathPolygons();
  if (polygons.size() != 1) return std::nullopt;
  const QRectF box = path.boundingRect();
  const auto near = [](qreal a, qreal b) { return std::abs(a - b) < 1e-9; };
  for (const QPointF& p : polygons.front())
    if ((!near(p.x(), box.left()) && !near(p.x(), box.right())) ||
        (!near(p.y(), box.top()) && !near(p.y(), box.bottom())))
      return std::nullopt;
  return box;
}

using Runs = std::vector<std::pair<int, int>>;  // [from, to) along a row

// The runs of `colour` in device row `y` from `left` to `right`, the tile repeating from 0.
Runs runsOf(const QImage& tile, QRgb colour, int y, int left, int right) {
  const int w = tile.width(), h = tile.height();
  const QRgb* line = reinterpret_cast<const QRgb*>(tile.constScanLine(((y % h) + h) % h));
  Runs runs;
  for (int x = left; x < right; ++x) {
    if (line[((x % w) + w) % w] != colour) continue;
    if (!runs.empty() && runs.back().second == x)
      ++runs.back().second;
    else
      runs.push_back({x, x + 1});
  }
  return runs;
}

// Adds the pixels of `colour` inside `box` to `out` as rectangles, rows with the same runs
// merged into one, each cut to `clip` when given. False once more than `budget` are spent.
bool addColourRects(const QImage& tile, QRgb colour, const QRect& box,
                    const std::optional<QRectF>& clip, int* budget, QPainterPath* out) {
  Runs band;
  int bandTop = box.top();
  const auto flush = [&](int bottom) {
    for (const auto& [from, to] : band) {
      QRectF r(from, bandTop, to - from, bottom - bandTop);
      if (clip) r = r.intersected(*clip);
      if (!r.isEmpty()) out->addRect(r);
    }
    *budget -= int(band.size());
  };
  for (int y = box.top(); y <= box.bottom(); ++y) {
    Runs runs = runsOf(tile, colour, y, box.left(), box.right() + 1);
    if (qsizetype(runs.size()) > *budget) return false;
    if (y > box.top() && runs == band) continue;
    flush(y);
    if (*budget < 0) return false;
    band = std::move(runs);
    bandTop = y;
  }
  flush(box.bottom() + 1);
  return *budget >= 0;
}

}  // namespace

std::optional<std::vector<ColorPiece>> patternPieces(const QPainterPath& deviceArea,
                                                     const QImage& tile,
                                                     const QRect& deviceBounds) {
  if (deviceArea.isEmpty() || tile.isNull()) return std::vector<ColorPiece>{};
  const QImage rgb = tile.convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) ++counts[rgb.pixel(x, y)];
  if (counts.size() > kMaxPatternColours) return std::nullopt;
  std::vector<std::pair<QRgb, int>> colours;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) colours.emplace_back(it.key(), *it);
  std::sort(colours.begin(), colours.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  std::vector<ColorPiece> pieces{{deviceArea, QColor(colours.front().first)}};
  const QRect box = deviceArea.boundingRect().toAlignedRect() & deviceBounds;
  if (qint64(box.width()) * box.height() > kMaxPatternPixels) return std::nullopt;
  const std::optional<QRectF> rect = rectangleOf(deviceArea);
  int budget = kMaxPatternRects;
  for (size_t i = 1; i < colours.size() && !box.isEmpty(); ++i) {
    QPainterPath pixels;
    pixels.setFillRule(Qt::WindingFill);
    if (!addColourRects(rgb, colours[i].first, box, rect, &budget, &pixels)) return std::nullopt;
    if (!pixels.isEmpty())
      pieces.push_back({rect ? pixels : deviceArea.intersected(pixels), QColor(colours[i].first)});
  }
  return pieces;
}

QPainterPath hatchArea(const QPainterPath& deviceArea, Qt::BrushStyle style) {
  const bool horizontal = style == Qt::HorPattern || style == Qt::CrossPattern;
  const bool vertical = style == Qt::VerPattern || style == Qt::CrossPattern;
  const bool rising = style == Qt::BDiagPattern || style == Qt::DiagCrossPattern;
  const bool falling = style == Qt::FDiagPattern || style == Qt::DiagCrossPattern;
  const QRectF box = deviceArea.boundingRect();
  const qreal l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
  constexpr qreal kPeriod = 8;
  constexpr int kMaxLines = 4000;  // per direction; beyond that the area is far off the picture
  const auto first = [](qreal from, qreal phase) {
    return std::floor((from - phase) / kPeriod) * kPeriod + phase;
  };
  QPainterPath lines;
  lines.setFillRule(Qt::WindingFill);
  // The raster's 8 x 8 tiles: rows 3 and columns 4 of each tile; diagonals through the corners.
  for (int i = 0; horizontal && i < kMaxLines && first(t, 3) + i * kPeriod < b; ++i)
    lines.addRect(QRectF(l, first(t, 3) + i * kPeriod, r - l, 1));
  for (int i = 0; vertical && i < kMaxLines && first(l, 4) + i * kPeriod < r; ++i)
    lines.addRect(QRectF(first(l, 4) + i * kPeriod, t, 1, b - t));
  for (int i = 0; rising && i < kMaxLines && first(l + t, 0) + i * kPeriod < r + b + 1; ++i) {
    const qreal c = first(l + t, 0) + i * kPeriod;  // x + y = c
    lines.addPolygon(QPolygonF({QPointF(c - t - 0.5, t), QPointF(c - t + 0.5, t),
                                QPointF(c - b + 0.5, b), QPointF(c - b - 0.5, b)}));
    lines.closeSubpath();
  }
  for (int i = 0; falling && i < kMaxLines && first(l - b, 0) + i * kPeriod < r - t + 1; ++i) {
    const qreal c = first(l - b, 0) + i * kPeriod;  // x - y = c
    lines.addPolygon(QPolygonF({QPointF(c + t - 0.5, t), QPointF(c + t + 0.5, t),
                                QPointF(c + b + 0.5, b), QPointF(c + b - 0.5, b)}));
    lines.closeSubpath();
  }
  return lines.isEmpty() ? lines : deviceArea.intersected(lines);
}

QColor gradientColorAt(const QGradient& gradient, qreal t) {
  const QGradientStops stops = gradient.stops();
  if (stops.isEmpty()) return QColor(Qt::black);
  t = applySpread(gradient.spread(), t);
  if (t <= stops.front().first) return stops.front().second;
  if (t >= stops.back().first) return stops.back().second;
  for (int i = 1; i < stops.size(); ++i) {
    if (t > stops[i].first) continue;
    const qreal span = stops[i].first - stops[i - 1].first;
    const qreal f = span > 0 ? (t - stops[i - 1].first) / span : 1.0;
    const QColor a = stops[i - 1].second;
    const QColor b = stops[i].second;
    const auto mix = [f](qreal x, qreal y) { return x + (y - x) * f; };
    return QColor::fromRgbF(float(mix(a.redF(), b.redF())), float(mix(a.greenF(), b.greenF())),
                            float(mix(a.blueF(), b.blueF())), float(mix(a.alphaF(), b.alphaF())));
  }
  return stops.back().second;
}

std::vector<ColorPiece> gradientBands(const QPainterPath& deviceArea, const QBrush& brush,
                                      const QTransform& gradientToDevice) {
  if (deviceArea.isEmpty()) return {};
  const QGradient* g = brush.gradient();
  bool invertible = false;
  const QTransform toGradient = gradientToDevice.inverted(&invertible);
  if (!g || !invertible) {
    const QColor c = g && !g->stops().isEmpty() ? g->stops().front().second : brush.color();
    return {{deviceArea, c}};
  }
  switch (g->type()) {
    case QGradient::LinearGradient:
      return linearBands(deviceArea, *static_cast<const QLinearGradient*>(g), gradientToDevice,
                         toGradient);
    case QGradient::RadialGradient:
      return radialBands(deviceArea, *static_cast<const QRadialGradient*>(g), gradientToDevice,
                         toGradient);
    case QGradient::ConicalGradient:
      return conicalBands(deviceArea, *static_cast<const QConicalGradient*>(g), gradientToDevice,
                          toGradient);
    default:
      return {{deviceArea, gradientColorAt(*g, 0.5)}};
  }
}

}  // namespace morvane::emf
