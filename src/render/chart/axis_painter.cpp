// Gridlines, axis lines, tick marks, tick labels and axis titles; the radar web.
#include "render/chart/chart_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace morvane::render::chart::detail {

namespace {

constexpr double kTick = 4;

bool isRadar(const PaintContext& pc) {
  for (const ooxml::chart::ChartGroup& g : pc.chart.plotArea.groups)
    if (g.kind == ooxml::chart::ChartKind::Radar) return true;
  return false;
}

// Filled radars show their spokes over the filled series, as the program draws them.
bool filledRadar(const PaintContext& pc) {
  for (const ooxml::chart::ChartGroup& g : pc.chart.plotArea.groups)
    if (g.kind == ooxml::chart::ChartKind::Radar && g.radarStyle == "filled") return true;
  return false;
}

QPen gridPen(const PaintContext& pc, const ooxml::chart::Gridlines& g, double width) {
  return penForLine(g.format.line, pc.theme, QPen(defaultGridColor(pc.theme, pc.chart.style), width));
}

void paintTickLabels(PaintContext& pc, const AxisLayout& a) {
  for (size_t i = 0; i < a.labels.size() && i < a.labelPositions.size(); ++i) {
    const QString& text = a.labels[i];
    if (text.isEmpty()) continue;
    const QSizeF s = measureRotated(a.labelStyle, text);
    const double at = a.labelPositions[i];
    QPointF c;
    if (a.horizontal) {
      const double dy = a.labelsFarSide ? -s.height() / 2 : s.height() / 2;
      c = QPointF(at, a.labelAnchor + dy);
      // Slanted labels end at their tick, the way the program slants them; upright ones
      // stand centred on it.
      const double slant = std::abs(a.labelStyle.rotationDeg);
      if (slant > 1 && slant < 89)
        c.rx() -= s.width() / 2 * (a.labelStyle.rotationDeg < 0 ? 1 : -1);
    } else {
      const double dx = a.labelsFarSide ? s.width() / 2 : -s.width() / 2;
      c = QPointF(a.labelAnchor + dx, at);
    }
    drawTextCentered(pc.painter, a.labelStyle, c, text);
  }
}

// The rows of an axis' outer category levels.
void paintGroupLabels(PaintContext& pc, const AxisLayout& a) {
  TextStyle style = a.labelStyle;
  style.rotationDeg = 0;
  for (const auto& row : a.groupLevels)
    for (const CategoryGroupLabel& g : row)
      if (!g.text.isEmpty()) drawTextCentered(pc.painter, style, g.center, g.text);
}

void paintTickMarks(PaintContext& pc, const AxisLayout& a, ooxml::chart::TickMark mark,
                    double length, const std::vector<double>& positions) {
  if (mark == ooxml::chart::TickMark::None) return;
  const double out = mark == ooxml::chart::TickMark::Inside ? 0 : length;
  const double in = mark == ooxml::chart::TickMark::Outside ? 0 : length;
  for (double t : positions) {
    if (a.horizontal) {
      const double y = a.line.y1();
      const double sign = a.labelsFarSide ? -1 : 1;
      pc.painter.drawLine(QPointF(t, y - sign * in), QPointF(t, y + sign * out));
    } else {
      const double x = a.line.x1();
      const double sign = a.labelsFarSide ? 1 : -1;
      pc.painter.drawLine(QPointF(x - sign * in, t), QPointF(x + sign * out, t));
    }
  }
}

// Major marks, then the minor ones between them (value axes), shorter as the program draws them.
void paintTicks(PaintContext& pc, const AxisLayout& a, const QPen& pen) {
  pc.painter.setPen(pen);
  paintTickMarks(pc, a, a.axis.majorTickMark, kTick, a.tickPositions);
  if (!a.valueScale || a.axis.minorTickMark == ooxml::chart::TickMark::None) return;
  std::vector<double> minor;
  for (double t : a.minorGridPositions) {
    const bool onMajor = std::any_of(a.tickPositions.begin(), a.tickPositions.end(),
                                     [t](double m) { return std::abs(m - t) < 0.01; });
    if (!onMajor) minor.push_back(t);
  }
  paintTickMarks(pc, a, a.axis.minorTickMark, kTick / 2, minor);
}

}  // namespace

void paintGridlines(PaintContext& pc) {
  if (isRadar(pc)) return;
  QPainter& p = pc.painter;
  const QRectF& plot = pc.layout.plotArea;
  for (const AxisLayout& a : pc.layout.axes) {
    for (int pass = 0; pass < 2; ++pass) {
      const ooxml::chart::Gridlines& g = pass == 0 ? a.axis.minorGridlines : a.axis.majorGridlines;
      if (!g.present) continue;
      p.setPen(gridPen(pc, g, 0.75));
      const auto& positions = pass == 0 ? a.minorGridPositions : a.gridPositions;
      for (double t : positions) {
        if (a.horizontal) p.drawLine(QPointF(t, plot.top()), QPointF(t, plot.bottom()));
        else p.drawLine(QPointF(plot.left(), t), QPointF(plot.right(), t));
      }
    }
  }
}

void paintAxes(PaintContext& pc) {
  if (isRadar(pc)) {
    for (const AxisLayout& a : pc.layout.axes)
      if (a.valueScale && a.visible) paintTickLabels(pc, a);
    return;
  }
  for (const AxisLayout& a : pc.layout.axes) {
    if (!a.visible) continue;
    const QPen pen = penForLine(a.axis.format.line, pc.theme,
                                QPen(defaultAxisLineColor(pc.theme, pc.chart.style), 0.75));
    if (pen.style() != Qt::NoPen) {
      pc.painter.setPen(pen);
      pc.painter.drawLine(a.line);
      paintTicks(pc, a, pen);
      for (const QLineF& divider : a.levelDividers) pc.painter.drawLine(divider);
    }
    paintTickLabels(pc, a);
    paintGroupLabels(pc, a);
    if (!a.title.isEmpty()) drawTextCentered(pc.painter, a.titleStyle, a.titleCenter, a.title);
  }
}

namespace {

// The unit vector of spoke `i` of `n`, clockwise from 12 o'clock.
QPointF radarSpoke(int i, int n) {
  const double a = (-90.0 + 360.0 * i / n) * M_PI / 180.0;
  return QPointF(std::cos(a), std::sin(a));
}

void drawSpokes(PaintContext& pc, const AxisLayout& val, int n) {
  const QPointF c(val.plot.center().x(), val.plot.bottom());
  pc.painter.setPen(QPen(defaultAxisLineColor(pc.theme, pc.chart.style), 0.75));
  for (int i = 0; i < n; ++i) pc.painter.drawLine(c, c + radarSpoke(i, n) * val.plot.height());
}

}  // namespace

void paintRadarSpokesOver(PaintContext& pc) {
  if (!isRadar(pc) || !filledRadar(pc)) return;
  const AxisLayout* val = nullptr;
  const AxisLayout* cat = nullptr;
  for (const AxisLayout& a : pc.layout.axes) (a.valueScale ? val : cat) = &a;
  if (val && cat) drawSpokes(pc, *val, std::max(cat->categoryCount, 1));
}

void paintRadarGrid(PaintContext& pc) {
  if (!isRadar(pc)) return;
  const AxisLayout* val = nullptr;
  const AxisLayout* cat = nullptr;
  for (const AxisLayout& a : pc.layout.axes) (a.valueScale ? val : cat) = &a;
  if (!val || !cat) return;
  QPainter& p = pc.painter;
  const QPointF c(val->plot.center().x(), val->plot.bottom());
  const double r = val->plot.height();
  const int n = std::max(cat->categoryCount, 1);
  auto spoke = [&](int i) { return radarSpoke(i, n); };
  p.setBrush(Qt::NoBrush);
  p.setPen(gridPen(pc, val->axis.majorGridlines, 0.75));
  for (double v : val->scale.majorTicks()) {
    const double f = val->scale.fraction(v);
    QPolygonF ring;
    for (int i = 0; i <= n; ++i) ring << c + spoke(i % n) * f * r;
    if (val->axis.majorGridlines.present || f >= 0.999) p.drawPolyline(ring);
  }
  if (!filledRadar(pc)) drawSpokes(pc, *val, n);
  if (!cat->visible) return;
  for (int i = 0; i < n && i < int(cat->labels.size()); ++i) {
    const QString& t = cat->labels[size_t(i)];
    if (t.isEmpty()) continue;
    const QSizeF s = measureText(cat->labelStyle, t);
    const QPointF d = spoke(i);
    const QPointF at = c + d * (r + 4) + QPointF(d.x() * s.width() / 2, d.y() * s.height() / 2);
    drawTextCentered(p, cat->labelStyle, at, t);
  }
}

}  // namespace morvane::render::chart::detail
