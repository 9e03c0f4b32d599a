// Series geometry: bars, line and area points, scatter and bubble points, radar spokes and
// pie slices, computed from the axes' scales inside the plot rectangle.
#include "render/chart/layout_context.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;
using ooxml::chart::Grouping;

namespace {

int drawOrderOf(const ooxml::chart::ChartGroup& g) {
  switch (g.kind) {
    case ChartKind::Area: return 0;
    case ChartKind::Radar: return g.radarStyle == "filled" ? 0 : 3;
    case ChartKind::Bar:
    case ChartKind::Bubble:
    case ChartKind::Pie:
    case ChartKind::Doughnut:
    case ChartKind::OfPie: return 1;
    case ChartKind::Line:
    case ChartKind::Stock: return 3;
    case ChartKind::Scatter: return 4;
    default: return 5;
  }
}

bool variesByPoint(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g) {
  if (isPieLike(g)) return g.varyColors;
  return g.varyColors && ctx.seriesTotal == 1 && g.kind != ChartKind::Area &&
         g.kind != ChartKind::Line && g.kind != ChartKind::Stock;
}

struct GroupAxes {
  const AxisLayout* cat = nullptr;
  const AxisLayout* val = nullptr;
};

GroupAxes axesOf(const ChartLayout& out, const ooxml::chart::ChartGroup& g) {
  GroupAxes ax;
  if (g.axisIds.size() >= 2) {
    ax.cat = out.axisById(g.axisIds[0]);
    ax.val = out.axisById(g.axisIds[1]);
  } else {
    ax.cat = out.axisById(-1000);
    ax.val = out.axisById(-1001);
  }
  return ax;
}

// Value of point i as the group shows it: blanks per dispBlanksAs, percent of the total.
std::optional<double> shownValue(const LayoutContext& ctx, const ooxml::chart::Series& s, int i) {
  auto v = s.values.number(i);
  if (!v && ctx.chart.displayBlanksAs == "zero") return 0.0;
  return v;
}

double valueBase(const AxisLayout& val) {
  if (val.scale.logBase) return val.scale.min;
  return std::clamp(0.0, val.scale.min, val.scale.max);
}

double clampCoord(const AxisLayout& a, double c) {
  const double lo = std::min(a.edge(false), a.edge(true));
  const double hi = std::max(a.edge(false), a.edge(true));
  return std::clamp(c, lo, hi);
}

}  // namespace

std::vector<std::vector<std::pair<double, double>>> stackValues(const LayoutContext& ctx,
                                                                const ooxml::chart::ChartGroup& g) {
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  int n = 0;
  for (const ooxml::chart::Series& s : g.series) n = std::max(n, s.pointCount());
  std::vector<std::vector<std::pair<double, double>>> out(g.series.size());
  std::vector<double> pos(size_t(n), 0), neg(size_t(n), 0), run(size_t(n), 0), total(size_t(n), 0);
  for (const ooxml::chart::Series& s : g.series)
    for (int i = 0; i < n; ++i) total[size_t(i)] += std::abs(s.values.number(i).value_or(0));
  for (size_t k = 0; k < g.series.size(); ++k) {
    out[k].resize(size_t(n));
    for (int i = 0; i < n; ++i) {
      double v = shownValue(ctx, g.series[k], i).value_or(0);
      if (!stacked) {
        out[k][size_t(i)] = {0, v};
        continue;
      }
      if (g.grouping == Grouping::PercentStacked) v = total[size_t(i)] > 0 ? v / total[size_t(i)] : 0;
      if (g.kind == ChartKind::Bar) {
        double& acc = v >= 0 ? pos[size_t(i)] : neg[size_t(i)];
        out[k][size_t(i)] = {acc, acc + v};
        acc += v;
      } else {
        out[k][size_t(i)] = {run[size_t(i)], run[size_t(i)] + v};
        run[size_t(i)] += v;
      }
    }
  }
  return out;
}

double bubbleMaxRadius(const ooxml::chart::ChartGroup& g, const QRectF& plot) {
  return 0.125 * std::min(plot.width(), plot.height()) * g.bubbleScale / 100.0;
}

namespace {

QPointF axisPoint(const AxisLayout& cat, const AxisLayout& val, double c, double v) {
  const double a = cat.coordinate(c), b = val.coordinate(v);
  return cat.horizontal ? QPointF(a, b) : QPointF(b, a);
}

void barGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const GroupAxes& ax,
                 std::vector<SeriesGeometry>& series) {
  const auto stacks = stackValues(ctx, g);
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  const int k = stacked ? 1 : int(g.series.size());
  const double o = stacked ? 1.0 : g.overlap / 100.0;
  const double gap = g.gapWidth / 100.0;
  const double b = 1.0 / std::max(0.01, k - (k - 1) * o + gap);
  const double base = valueBase(*ax.val);
  for (size_t j = 0; j < series.size(); ++j) {
    const int slot = stacked ? 0 : int(j);
    for (size_t i = 0; i < series[j].points.size(); ++i) {
      PointGeometry& p = series[j].points[i];
      const auto v = shownValue(ctx, g.series[j], int(i));
      const double at = ax.cat->pointSlot(int(i));
      if (!v || std::isnan(at)) continue;
      p.valid = true;
      p.value = *v;
      const double u0 = at - 0.5 + gap * b / 2 + slot * (1 - o) * b;
      const auto [from, to] = stacks[j][i];
      const double c0 = ax.cat->coordinate(u0), c1 = ax.cat->coordinate(u0 + b);
      const double v0 = clampCoord(*ax.val, ax.val->coordinate(stacked ? from : base));
      const double v1 = clampCoord(*ax.val, ax.val->coordinate(stacked ? to : *v));
      p.bar = ax.cat->horizontal ? QRectF(QPointF(c0, v0), QPointF(c1, v1)).normalized()
                                 : QRectF(QPointF(v0, c0), QPointF(v1, c1)).normalized();
      p.position = p.bar.center();
    }
  }
}

void lineAreaGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g,
                      const GroupAxes& ax, std::vector<SeriesGeometry>& series) {
  const auto stacks = stackValues(ctx, g);
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  const bool span = ctx.chart.displayBlanksAs == "span";
  const double base = valueBase(*ax.val);
  for (size_t j = 0; j < series.size(); ++j) {
    SeriesGeometry& sg = series[j];
    bool penDown = false;
    QPolygonF lower, upper;
    for (size_t i = 0; i < sg.points.size(); ++i) {
      PointGeometry& p = sg.points[i];
      const auto v = shownValue(ctx, g.series[j], int(i));
      const auto [from, to] = stacks[j][i];
      const double at = ax.cat->pointSlot(int(i));
      if (std::isnan(at)) continue;  // no date on a date axis: no place at all
      if (g.kind == ChartKind::Area) {
        upper << axisPoint(*ax.cat, *ax.val, at, stacked ? to : v.value_or(0));
        lower << axisPoint(*ax.cat, *ax.val, at, stacked ? from : base);
      }
      if (!v) {
        if (!span) penDown = false;
        continue;
      }
      p.valid = true;
      p.value = *v;
      p.position = axisPoint(*ax.cat, *ax.val, at, stacked ? to : *v);
      if (penDown) sg.line.lineTo(p.position);
      else sg.line.moveTo(p.position);
      penDown = true;
    }
    if (g.kind == ChartKind::Area && !upper.isEmpty()) {
      std::reverse(lower.begin(), lower.end());
      sg.area = upper + lower;
      sg.area << upper.front();
    }
  }
}

// A smooth path through `pts` (Catmull-Rom as cubic Béziers), as the program's smoothed
// lines overshoot between points.
QPainterPath smoothPath(const QPolygonF& pts) {
  QPainterPath path;
  if (pts.isEmpty()) return path;
  path.moveTo(pts.front());
  for (int i = 0; i + 1 < pts.size(); ++i) {
    const QPointF p0 = pts[std::max(i - 1, 0)], p1 = pts[i], p2 = pts[i + 1];
    const QPointF p3 = pts[std::min(i + 2, int(pts.size()) - 1)];
    path.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
  }
  return path;
}

void xyGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const GroupAxes& ax,
                std::vector<SeriesGeometry>& series) {
  double maxSize = 0;
  for (const ooxml::chart::Series& s : g.series)
    for (int i = 0; i < s.bubbleSizes.count(); ++i)
      maxSize = std::max(maxSize, std::abs(s.bubbleSizes.number(i).value_or(0)));
  const double bubbleMax = bubbleMaxRadius(g, ax.cat->plot);
  const bool smoothStyle = g.scatterStyle.startsWith("smooth");
  for (size_t j = 0; j < series.size(); ++j) {
    SeriesGeometry& sg = series[j];
    const ooxml::chart::Series& s = g.series[j];
    const bool numericX = !ax.cat->categoryPoints && s.categories.present && s.categories.numeric;
    QPolygonF run;
    std::vector<QPolygonF> runs;
    for (size_t i = 0; i < sg.points.size(); ++i) {
      PointGeometry& p = sg.points[i];
      const auto y = shownValue(ctx, s, int(i));
      const auto x = numericX ? s.categories.number(int(i)) : std::optional<double>(double(i + 1));
      if (!x || !y) {
        if (!run.isEmpty() && ctx.chart.displayBlanksAs != "span") runs.push_back(run), run.clear();
        continue;
      }
      p.valid = true;
      p.value = *y;
      p.position = QPointF(ax.cat->coordinate(*x), ax.val->coordinate(*y));
      if (g.kind == ChartKind::Bubble && maxSize > 0) {
        const double size = s.bubbleSizes.number(int(i)).value_or(0);
        // Negative sizes are left out unless the group shows them, hollow.
        if (size < 0 && !g.showNegativeBubbles) {
          p.valid = false;
          continue;
        }
        const double f = std::abs(size) / maxSize;
        p.bubbleRadius = bubbleMax * (g.bubbleSizeIsWidth ? f : std::sqrt(f));
        p.hollowBubble = size < 0;
      }
      run << p.position;
    }
    if (!run.isEmpty()) runs.push_back(run);
    const bool smooth = s.smooth.value_or(smoothStyle);
    for (const QPolygonF& r : runs) sg.line.addPath(smooth ? smoothPath(r) : [&] {
      QPainterPath p;
      p.addPolygon(r);
      return p;
    }());
  }
}

void radarGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const GroupAxes& ax,
                   std::vector<SeriesGeometry>& series) {
  const AxisLayout& val = *ax.val;
  const QPointF c(val.plot.center().x(), val.plot.bottom());
  const double r = val.plot.height();
  const int n = std::max(ax.cat->categoryCount, 1);
  for (size_t j = 0; j < series.size(); ++j) {
    SeriesGeometry& sg = series[j];
    QPolygonF poly;
    for (size_t i = 0; i < sg.points.size(); ++i) {
      PointGeometry& p = sg.points[i];
      const auto v = shownValue(ctx, g.series[j], int(i));
      if (!v) continue;
      const double f = std::clamp(val.scale.fraction(*v), 0.0, 1.0);
      const double angle = (-90.0 + 360.0 * double(i) / n) * M_PI / 180.0;
      p.valid = true;
      p.value = *v;
      p.position = c + QPointF(std::cos(angle), std::sin(angle)) * f * r;
      poly << p.position;
    }
    if (!poly.isEmpty()) {
      poly << poly.front();
      sg.line.addPolygon(poly);
      sg.area = poly;
    }
  }
}

void stockGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const GroupAxes& ax,
                   std::vector<SeriesGeometry>& series) {
  lineAreaGeometry(ctx, g, ax, series);
}

// Shrinks exploded slices about the pie's `center` until what they cover stays within `area`:
// the program keeps the pie its whole size and place, the slices reaching into the margin it
// keeps round a pie, and shrinks it only as far as they would leave the plot.
void fitExplodedPie(std::vector<SeriesGeometry>& series, QPointF center, const QRectF& area) {
  QRectF reach;
  for (const SeriesGeometry& sg : series)
    for (const PointGeometry& p : sg.points) {
      if (!p.valid || p.sweepAngle <= 0) continue;
      const int steps = std::max(2, int(std::ceil(p.sweepAngle / 3)));
      for (int k = 0; k <= steps; ++k) {
        const double a = (p.startAngle + p.sweepAngle * k / steps - 90) * M_PI / 180.0;
        for (const double r : {p.innerRadius, p.outerRadius}) {
          const QRectF dot(p.center + QPointF(std::cos(a), std::sin(a)) * r, QSizeF(1e-9, 1e-9));
          reach = reach.isNull() ? dot : reach.united(dot);
        }
      }
    }
  if (reach.isEmpty()) return;
  double scale = 1;
  auto limit = [&](double room, double out) {
    if (out > 1e-9) scale = std::min(scale, std::max(room, 0.0) / out);
  };
  limit(center.x() - area.left(), center.x() - reach.left());
  limit(area.right() - center.x(), reach.right() - center.x());
  limit(center.y() - area.top(), center.y() - reach.top());
  limit(area.bottom() - center.y(), reach.bottom() - center.y());
  if (scale >= 1) return;
  for (SeriesGeometry& sg : series)
    for (PointGeometry& p : sg.points) {
      auto place = [&](QPointF q) { return center + (q - center) * scale; };
      p.center = place(p.center);
      p.position = place(p.position);
      p.innerRadius *= scale;
      p.outerRadius *= scale;
    }
}

void pieGeometry(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, int groupIndex,
                 std::vector<SeriesGeometry>& series) {
  const QRectF area = ctx.out.plotArea;
  const bool doughnut = g.kind == ChartKind::Doughnut;
  const size_t rings = doughnut ? series.size() : std::min<size_t>(series.size(), 1);
  int maxExplosion = 0;
  for (size_t j = 0; j < rings; ++j) {
    maxExplosion = std::max(maxExplosion, g.series[j].explosion.value_or(0));
    for (const ooxml::chart::DataPoint& p : g.series[j].points)
      maxExplosion = std::max(maxExplosion, p.explosion.value_or(0));
  }
  maxExplosion = std::clamp(maxExplosion, 0, 400);
  // The program keeps a pie about 6 pt inside its plot area, and leaves a wider margin for
  // labels that may sit outside the slices.
  bool labelsOutside = false;
  for (size_t j = 0; j < rings; ++j) {
    ooxml::chart::DataLabelSettings l = g.labels.settings;
    l.mergeFrom(g.series[j].labels.settings);
    const bool shown = (g.labels.present || g.series[j].labels.present) && l.showsAnything() && !l.deleted;
    labelsOutside = labelsOutside || (shown && (l.position.isEmpty() || l.position == "outEnd" ||
                                                l.position == "bestFit"));
  }
  // A pie drawn over a doughnut (the gauge picture) keeps that wider margin too, labels or not.
  const auto& groups = ctx.chart.plotArea.groups;
  const bool combined = std::count_if(groups.begin(), groups.end(), isPieLike) > 1;
  const double room = std::min(area.width(), area.height());
  const double diameter = labelsOutside || combined ? 0.8 * room : std::max(room - 12, 0.8 * room);
  // A 3-D pie fits its exploded reach itself; a flat one is fitted below, as drawn.
  const double radius = ctx.pieScale * diameter / 2 / (g.is3D ? 1 + maxExplosion / 100.0 : 1.0);
  const double hole = doughnut ? radius * g.holeSize / 100.0 : 0;
  const double ringWidth = rings > 0 ? (radius - hole) / double(rings) : radius;
  for (size_t j = 0; j < rings; ++j) {
    SeriesGeometry& sg = series[j];
    const ooxml::chart::Series& s = g.series[j];
    double total = 0;
    for (size_t i = 0; i < sg.points.size(); ++i) total += std::abs(s.values.number(int(i)).value_or(0));
    double angle = g.firstSliceAngle;
    for (size_t i = 0; i < sg.points.size(); ++i) {
      PointGeometry& p = sg.points[i];
      const auto v = s.values.number(int(i));
      if (!v || total <= 0) continue;
      p.valid = true;
      p.value = *v;
      p.startAngle = angle;
      p.sweepAngle = std::abs(*v) / total * 360.0;
      angle += p.sweepAngle;
      p.innerRadius = hole + ringWidth * double(j);
      p.outerRadius = p.innerRadius + ringWidth;
      const ooxml::chart::DataPoint* dp = s.point(int(i));
      const int expl = std::clamp(dp && dp->explosion ? *dp->explosion : s.explosion.value_or(0), 0, 400);
      const double mid = (p.startAngle + p.sweepAngle / 2 - 90) * M_PI / 180.0;
      p.center = area.center() + QPointF(std::cos(mid), std::sin(mid)) * radius * expl / 100.0;
      p.position = p.center + QPointF(std::cos(mid), std::sin(mid)) * (p.innerRadius + p.outerRadius) / 2;
    }
  }
  series.resize(rings);
  if (!g.is3D && maxExplosion > 0) fitExplodedPie(series, area.center(), area);
  (void)groupIndex;
}

void addGroupGeometry(LayoutContext& ctx, int groupIndex) {
  const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(groupIndex)];
  std::vector<SeriesGeometry> series;
  const bool byPoint = variesByPoint(ctx, g);
  for (size_t j = 0; j < g.series.size(); ++j) {
    const ooxml::chart::Series& s = g.series[j];
    SeriesGeometry sg;
    sg.group = groupIndex;
    sg.seriesInGroup = int(j);
    sg.series = &s;
    sg.autoIndex = s.index;
    sg.look = seriesLook(ctx.chart, ctx.theme, g, s, -1, s.index, ctx.seriesTotal);
    sg.points.resize(size_t(s.pointCount()));  // bounded by the chart reader
    // A pie of pie's combined slice takes the colour after its points'.
    const int colours = int(sg.points.size()) + (g.kind == ChartKind::OfPie ? 1 : 0);
    for (size_t i = 0; i < sg.points.size(); ++i)
      sg.points[i].look = byPoint ? seriesLook(ctx.chart, ctx.theme, g, s, int(i), int(i), colours)
                         : s.point(int(i)) ? seriesLook(ctx.chart, ctx.theme, g, s, int(i), s.index, ctx.seriesTotal)
                                           : sg.look;
    sg.drawsLine = sg.look.line.style() != Qt::NoPen;
    series.push_back(std::move(sg));
  }
  if (g.kind == ChartKind::OfPie) {
    ofPieGeometry(ctx, g, series);
  } else if (isPieLike(g)) {
    pieGeometry(ctx, g, groupIndex, series);
  } else {
    const GroupAxes ax = axesOf(ctx.out, g);
    if (!ax.cat || !ax.val) return;
    switch (g.kind) {
      case ChartKind::Bar: barGeometry(ctx, g, ax, series); break;
      case ChartKind::Line:
      case ChartKind::Area: lineAreaGeometry(ctx, g, ax, series); break;
      case ChartKind::Scatter:
      case ChartKind::Bubble: xyGeometry(ctx, g, ax, series); break;
      case ChartKind::Radar: radarGeometry(ctx, g, ax, series); break;
      case ChartKind::Stock: stockGeometry(ctx, g, ax, series); break;
      default: return;
    }
    layoutOverlays(ctx, groupIndex, series);
  }
  // Series order is drawing order: later series sit in front, as in the program.
  if (g.kind == ChartKind::OfPie && ctx.out.ofPie.present)
    ctx.out.ofPie.series = int(ctx.out.series.size());
  for (SeriesGeometry& sg : series) ctx.out.series.push_back(std::move(sg));
}

}  // namespace

void layoutSeries(LayoutContext& ctx) {
  const auto& groups = ctx.chart.plotArea.groups;
  std::vector<int> order(groups.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return drawOrderOf(groups[size_t(a)]) < drawOrderOf(groups[size_t(b)]);
  });
  for (int g : order) addGroupGeometry(ctx, g);
}

}  // namespace morvane::render::chart::detail
