// Trendlines and error bars: computed from the series values, drawn in the axes' space.
#include "render/chart/layout_context.h"
#include "render/chart/trendline.h"

#include <cmath>

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;

namespace {

constexpr double kCap = 3;  // half the width of an error bar's end cap, points

struct Mapper {
  const AxisLayout* x = nullptr;   // categories or x values
  const AxisLayout* y = nullptr;
  bool categories = true;          // x counts categories (date slots) from 1
  // The x of point `i`: its category (slot) counted from 1, or its x value; nullopt when the
  // point has no place.
  std::optional<double> xOf(const ooxml::chart::Series& s, int i) const {
    if (!categories) return s.categories.number(i);
    const double slot = x->pointSlot(i);
    return std::isnan(slot) ? std::nullopt : std::optional<double>(slot + 1);
  }
  QPointF operator()(double xv, double yv) const {
    const double a = x->coordinate(categories ? xv - 1 : xv), b = y->coordinate(yv);
    return x->horizontal ? QPointF(a, b) : QPointF(b, a);
  }
};

void addTrendlines(const LayoutContext& ctx, const Mapper& map, const ooxml::chart::Series& s,
                   SeriesGeometry& sg) {
  std::vector<double> xs, ys;
  for (int i = 0; i < s.values.count(); ++i) {
    const auto y = s.values.number(i);
    const auto x = map.xOf(s, i);
    if (x && y) xs.push_back(*x), ys.push_back(*y);
  }
  if (xs.size() < 2) return;
  const double lo = *std::min_element(xs.begin(), xs.end());
  const double hi = *std::max_element(xs.begin(), xs.end());
  for (const ooxml::chart::Trendline& t : s.trendlines) {
    OverlayPath overlay;
    overlay.pen = penForLine(t.format.line, ctx.theme, QPen(ctx.theme.schemeColor("tx1"), 0.75));
    if (t.type == "movingAvg") {
      const std::vector<double> avg = movingAverage(ys, t.period);
      for (size_t k = 0; k < avg.size(); ++k) {
        const QPointF p = map(xs[k + size_t(t.period - 1)], avg[k]);
        k == 0 ? overlay.path.moveTo(p) : overlay.path.lineTo(p);
      }
    } else {
      const TrendlineFit fit = fitTrendline(t, xs, ys);
      if (!fit.valid) continue;
      const int steps = t.type == "linear" || t.type.isEmpty() ? 1 : 80;
      for (int k = 0; k <= steps; ++k) {
        const double x = lo + (hi - lo) * k / steps;
        const double y = fit.at(x);
        if (!std::isfinite(y)) continue;
        const QPointF p = map(x, y);
        overlay.path.elementCount() == 0 ? overlay.path.moveTo(p) : overlay.path.lineTo(p);
      }
    }
    sg.overlays.push_back(overlay);
  }
}

void addErrorBars(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const Mapper& map,
                  const ooxml::chart::Series& s, SeriesGeometry& sg) {
  for (const ooxml::chart::ErrorBars& bars : s.errorBars) {
    const bool xDir = bars.xDirection && (g.kind == ChartKind::Scatter || g.kind == ChartKind::Bubble);
    std::vector<std::optional<double>> values;
    for (int i = 0; i < s.values.count(); ++i)
      values.push_back(xDir ? s.categories.number(i) : s.values.number(i));
    OverlayPath overlay;
    overlay.pen = penForLine(bars.format.line, ctx.theme, QPen(ctx.theme.schemeColor("tx1"), 0.75));
    for (size_t i = 0; i < sg.points.size() && i < values.size(); ++i) {
      PointGeometry& p = sg.points[i];
      if (!p.valid || !values[i]) continue;
      const auto [plus, minus] = errorAmounts(bars, values, int(i));
      p.errorPlus = plus;
      p.errorMinus = minus;
      const double xv = map.xOf(s, int(i)).value_or(double(i + 1));
      const double yv = p.value;
      const QPointF hiEnd = xDir ? map(xv + plus, yv) : map(xv, yv + plus);
      const QPointF loEnd = xDir ? map(xv - minus, yv) : map(xv, yv - minus);
      overlay.path.moveTo(loEnd);
      overlay.path.lineTo(hiEnd);
      if (bars.noEndCap) continue;
      const bool vertical = std::abs(hiEnd.x() - loEnd.x()) < std::abs(hiEnd.y() - loEnd.y());
      const QPointF cap = vertical ? QPointF(kCap, 0) : QPointF(0, kCap);
      for (const QPointF& end : {hiEnd, loEnd}) {
        if (end == (xDir ? map(xv, yv) : map(xv, yv))) continue;
        overlay.path.moveTo(end - cap);
        overlay.path.lineTo(end + cap);
      }
    }
    sg.overlays.push_back(overlay);
  }
}

}  // namespace

void layoutOverlays(LayoutContext& ctx, int group, std::vector<SeriesGeometry>& series) {
  const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(group)];
  if (g.axisIds.size() < 2 || isPieLike(g) || g.kind == ChartKind::Radar) return;
  Mapper map;
  map.x = ctx.out.axisById(g.axisIds[0]);
  map.y = ctx.out.axisById(g.axisIds[1]);
  if (!map.x || !map.y) return;
  map.categories = !map.x->valueScale;
  const bool stacked = g.grouping != ooxml::chart::Grouping::Standard &&
                       g.grouping != ooxml::chart::Grouping::Clustered;
  for (SeriesGeometry& sg : series) {
    const ooxml::chart::Series& s = *sg.series;
    if (stacked) continue;  // the program offers neither on stacked groups
    addTrendlines(ctx, map, s, sg);
    addErrorBars(ctx, g, map, s, sg);
  }
}

}  // namespace morvane::render::chart::detail
