// Pie of pie and bar of pie: the split of the points, the main pie with the combined slice
// facing the second plot, the second plot (a smaller pie or a stacked bar) to its right and
// the series lines joining them.
#include "render/chart/layout_context.h"

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

constexpr int kDefaultSecondPoints = 3;  // the program's split when the part gives none
constexpr double kPieShare = 0.8;        // a pie's diameter of its plot height, as for pies
constexpr double kWidthShare = 0.95;     // both plots of the plot width at most
constexpr double kBarWidth = 0.6;        // the bar's width, of the second plot's radius

}  // namespace

std::vector<bool> ofPieSecondPlot(const ooxml::chart::ChartGroup& group,
                                  const ooxml::chart::Series& series) {
  const int n = std::min(series.pointCount(), 100000);
  std::vector<bool> second(size_t(n), false);
  double total = 0;
  for (int i = 0; i < n; ++i) total += std::abs(series.values.number(i).value_or(0));
  const QString type = group.splitType;
  // A plain value and flag: gcc 12 misreads a copied optional<double> as maybe unset.
  const bool hasSplit = group.splitPos && std::isfinite(*group.splitPos);
  const double splitPos = hasSplit ? *group.splitPos : 0;
  if (type == "cust") {
    for (int idx : group.customSplit)
      if (idx >= 0 && idx < n) second[size_t(idx)] = true;
  } else if ((type == "val" || type == "percent") && hasSplit) {
    for (int i = 0; i < n; ++i) {
      const auto v = series.values.number(i);
      if (!v) continue;
      const double measure = type == "val" ? *v : (total > 0 ? std::abs(*v) / total * 100 : 0);
      second[size_t(i)] = measure < splitPos;
    }
  } else {
    // By position (also the automatic split): the last points.
    int count = kDefaultSecondPoints;
    if (hasSplit)
      count = int(std::clamp(std::round(splitPos), 0.0, double(n)));
    else
      count = std::min(count, std::max(n - 1, 0));
    for (int i = std::max(n - count, 0); i < n; ++i) second[size_t(i)] = true;
  }
  for (int i = 0; i < n; ++i)
    if (!series.values.number(i)) second[size_t(i)] = false;
  return second;
}

namespace detail {

namespace {

QPointF onCircle(const QPointF& c, double r, double angleDeg) {
  const double a = (angleDeg - 90) * M_PI / 180.0;  // clockwise from 12 o'clock
  return c + QPointF(std::cos(a), std::sin(a)) * r;
}

// `explosion`: how far the slice moves out along its middle, in percent of the radius.
void setSlice(PointGeometry& p, const QPointF& c, double r, double start, double sweep, int explosion = 0) {
  p.startAngle = start;
  p.sweepAngle = sweep;
  p.innerRadius = 0;
  p.outerRadius = r;
  p.center = onCircle(c, r * explosion / 100.0, start + sweep / 2);
  p.position = onCircle(p.center, r / 2, start + sweep / 2);
}

// A point's explosion, its own or its series'; point `index` past the last is the combined
// slice, as the file numbers it.
int explosionOf(const ooxml::chart::Series& s, int index) {
  const ooxml::chart::DataPoint* dp = s.point(index);
  return std::clamp(dp && dp->explosion ? *dp->explosion : s.explosion.value_or(0), 0, 400);
}

}  // namespace

void ofPieGeometry(LayoutContext& ctx, const ooxml::chart::ChartGroup& g,
                   std::vector<SeriesGeometry>& series) {
  series.resize(std::min<size_t>(series.size(), 1));
  if (series.empty()) return;
  SeriesGeometry& sg = series.front();
  const ooxml::chart::Series& s = g.series.front();
  const std::vector<bool> second = ofPieSecondPlot(g, s);
  double mainTotal = 0, otherTotal = 0;
  for (size_t i = 0; i < sg.points.size() && i < second.size(); ++i)
    (second[i] ? otherTotal : mainTotal) += std::abs(s.values.number(int(i)).value_or(0));
  const double total = mainTotal + otherTotal;
  if (!(total > 0)) return;

  // Sizes: the main pie as high as an ordinary pie, unless both plots side by side (with the
  // gap between them, a share of the second plot's radius) need a smaller one.
  const QRectF area = ctx.out.plotArea;
  const bool bar = g.ofPieType == "bar";
  const double k = std::clamp(g.secondPieSize, 5, 200) / 100.0;
  const double gap = std::clamp(g.gapWidth, 0, 500) / 100.0 * k;
  const double secondWidth = bar ? kBarWidth * k : 2 * k;
  double r1 = std::min({kPieShare * area.height() / 2, kPieShare * area.height() / (2 * k),
                        kWidthShare * area.width() / (2 + gap + secondWidth)});
  r1 = std::max(r1, 1.0);
  // Exploded slices move out of the pies' room: the pies shrink so that they still fit.
  int maxExplosion = 0;
  for (int i = 0; i <= int(sg.points.size()); ++i) maxExplosion = std::max(maxExplosion, explosionOf(s, i));
  const double shrink = 1 + maxExplosion / 100.0;
  const double r2 = k * r1;
  const double width = r1 * (2 + gap + secondWidth);
  const double left = area.center().x() - width / 2;
  const QPointF c1(left + r1, area.center().y());
  const double secondLeft = left + r1 * (2 + gap);
  const QPointF c2(secondLeft + r2, c1.y());

  OfPieLayout& of = ctx.out.ofPie;
  of = OfPieLayout();
  of.present = true;
  of.bar = bar;
  of.secondPlot = bar ? QRectF(secondLeft, c1.y() - r2, kBarWidth * r2, 2 * r2)
                      : QRectF(c2.x() - r2, c2.y() - r2, 2 * r2, 2 * r2);

  // The combined slice faces the second plot (centred on 3 o'clock); the main points follow
  // it clockwise from its lower edge.
  const double otherSweep = otherTotal / total * 360.0;
  double angle = 90 + otherSweep / 2;
  double secondRun = 0;
  for (size_t i = 0; i < sg.points.size() && i < second.size(); ++i) {
    PointGeometry& p = sg.points[i];
    const auto v = s.values.number(int(i));
    if (!v) continue;
    p.valid = true;
    p.value = *v;
    const double share = std::abs(*v);
    if (!second[i]) {
      setSlice(p, c1, r1 / shrink, angle, share / total * 360.0, explosionOf(s, int(i)));
      angle += p.sweepAngle;
      continue;
    }
    p.plot = 1;
    of.secondPoints.push_back(int(i));
    if (bar) {
      // Stacked from the bottom in point order.
      const double h = otherTotal > 0 ? share / otherTotal * of.secondPlot.height() : 0;
      p.bar = QRectF(of.secondPlot.left(), of.secondPlot.bottom() - secondRun - h,
                     of.secondPlot.width(), h);
      p.position = p.bar.center();
      p.center = p.bar.center();
      secondRun += h;
    } else {
      setSlice(p, c2, r2 / shrink, secondRun, otherTotal > 0 ? share / otherTotal * 360.0 : 0,
               explosionOf(s, int(i)));
      secondRun += p.sweepAngle;
    }
  }
  if (of.secondPoints.empty()) return;

  const int n = int(sg.points.size());
  PointGeometry& other = of.other;
  other.valid = true;
  other.value = otherTotal;
  other.plot = 0;
  other.look = seriesLook(ctx.chart, ctx.theme, g, s, n, g.varyColors ? n : s.index,
                          g.varyColors ? n + 1 : ctx.seriesTotal);
  setSlice(other, c1, r1 / shrink, 90 - otherSweep / 2, otherSweep, explosionOf(s, n));

  // Series lines from the combined slice's corners (or the main pie's top and bottom when
  // the slice is wider than half the pie) to the second plot's top and bottom.
  of.seriesLines = g.seriesLines;
  of.linePen =
      penForLine(g.seriesLinesFormat.line, ctx.theme, QPen(ctx.theme.schemeColor("tx1"), 0.75));
  const double half = std::min(otherSweep / 2, 90.0);
  const QPointF topStart = onCircle(other.center, other.outerRadius, 90 - half);
  const QPointF bottomStart = onCircle(other.center, other.outerRadius, 90 + half);
  const double pieR2 = r2 / shrink;
  const QPointF topEnd = bar ? of.secondPlot.topLeft() : QPointF(c2.x(), c2.y() - pieR2);
  const QPointF bottomEnd = bar ? of.secondPlot.bottomLeft() : QPointF(c2.x(), c2.y() + pieR2);
  of.lines[0] = QLineF(topStart, topEnd);
  of.lines[1] = QLineF(bottomStart, bottomEnd);
}

}  // namespace detail

}  // namespace morvane::render::chart
