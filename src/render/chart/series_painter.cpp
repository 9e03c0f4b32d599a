// Series shapes (bars, lines, areas, markers, slices, bubbles, stock lines) and data labels.
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "render/chart/chart_painter.h"
#include "render/chart/dense_series.h"
#include "render/chart/effects.h"

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;

namespace {

QPainterPath slicePath(const PointGeometry& p) {
  // Qt angles: degrees counter-clockwise from 3 o'clock; ours: clockwise from 12 o'clock.
  const double start = 90 - p.startAngle;
  const double sweep = -p.sweepAngle;
  const QRectF outer(p.center.x() - p.outerRadius, p.center.y() - p.outerRadius,
                     2 * p.outerRadius, 2 * p.outerRadius);
  QPainterPath path;
  if (p.innerRadius <= 0) {
    path.moveTo(p.center);
    path.arcTo(outer, start, sweep);
    path.closeSubpath();
    return path;
  }
  const QRectF inner(p.center.x() - p.innerRadius, p.center.y() - p.innerRadius,
                     2 * p.innerRadius, 2 * p.innerRadius);
  path.arcMoveTo(outer, start);
  path.arcTo(outer, start, sweep);
  path.arcTo(inner, start + sweep, -sweep);
  path.closeSubpath();
  return path;
}

QPainterPath rectPath(const QRectF& r) {
  QPainterPath path;
  path.addRect(r);
  return path;
}

void paintBar(QPainter& painter, const QRectF& bar, const SeriesLook& look,
              const QColor& background) {
  if (!look.effects.any()) {
    painter.setBrush(look.fill);
    painter.setPen(look.line);
    painter.drawRect(bar);
    return;
  }
  paintWithEffects(
      painter, rectPath(bar), [&](double d) { return rectPath(bar.adjusted(d, d, -d, -d)); },
      look.fill, look.line, look.effects, background, false);
}

void paintSlice(QPainter& painter, const PointGeometry& p, const QColor& background) {
  if (!p.bar.isEmpty()) {  // a segment of a bar of pie's bar
    paintBar(painter, p.bar, p.look, background);
    return;
  }
  if (p.sweepAngle <= 0) return;
  if (p.look.effects.any()) {
    const auto shrunk = [&](double d) {
      // Its radial edges move in by `d` where the slice is middling wide, its arcs by `d`.
      PointGeometry in = p;
      in.outerRadius = std::max(p.outerRadius - d, p.innerRadius);
      if (p.innerRadius > 0) in.innerRadius = std::min(p.innerRadius + d, in.outerRadius);
      if (p.sweepAngle < 359.99) {
        const double turn = std::min(
            d / std::max((p.innerRadius + p.outerRadius) / 2, 1.0) * 180 / M_PI, p.sweepAngle / 2);
        in.startAngle += turn;
        in.sweepAngle -= 2 * turn;
      }
      return slicePath(in);
    };
    paintWithEffects(painter, slicePath(p), shrunk, p.look.fill, p.look.line, p.look.effects,
                     background, false);
    return;
  }
  painter.setBrush(p.look.fill);
  painter.setPen(p.look.line);
  if (p.sweepAngle >= 359.999 && p.innerRadius <= 0) {
    painter.drawEllipse(p.center, p.outerRadius, p.outerRadius);
    return;
  }
  painter.drawPath(slicePath(p));
}

// A 3-D bubble: a sphere lit from the top left, as discs of solid colour from its shaded
// rim in to its highlight, each nearer the highlight. The program's spheres run from about half
// their colour's brightness at the lower right rim, through their colour a little past the
// middle, to half as bright again at the highlight, a fifth left and two fifths up.
void paintSphere(QPainter& painter, const QPointF& centre, double radius, const QColor& colour) {
  constexpr int kSteps = 20;
  const QPointF highlight = centre + QPointF(-0.2, -0.4) * radius;
  painter.setPen(Qt::NoPen);
  for (int k = 0; k <= kSteps; ++k) {
    const double t = double(k) / kSteps;  // 0: the rim, 1: the highlight
    const double r = radius * (1 - 0.9 * t);
    const double brightness = 0.55 + 0.9 * t;
    painter.setBrush(brightness < 1 ? colour.darker(int(std::lround(100 / brightness)))
                                    : colour.lighter(int(std::lround(100 * brightness))));
    painter.drawEllipse(centre + (highlight - centre) * t, r, r);
  }
}

// The shadows and glows of a series' shapes, under all of them.
void paintSeriesHalos(QPainter& painter, const SeriesGeometry& sg, const QColor& background) {
  for (const PointGeometry& p : sg.points) {
    if (!p.valid || !p.look.effects.any()) continue;
    const QPainterPath shape = !p.bar.isEmpty()        ? rectPath(p.bar)
                               : p.bubbleRadius > 0    ? [&] {
                                   QPainterPath d;
                                   d.addEllipse(p.position, p.bubbleRadius, p.bubbleRadius);
                                   return d;
                                 }()
                               : p.sweepAngle > 0      ? slicePath(p)
                                                       : QPainterPath();
    if (!shape.isEmpty()) paintHalos(painter, shape, p.look.fill, p.look.effects, background);
  }
}

void paintPie(QPainter& painter, const SeriesGeometry& sg, const QColor& background) {
  paintSeriesHalos(painter, sg, background);
  for (const PointGeometry& p : sg.points)
    if (p.valid) paintSlice(painter, p, background);
}

// A pie of pie's combined slice and the series lines to its second plot.
void paintOfPieExtras(QPainter& painter, const OfPieLayout& of, const QColor& background) {
  if (!of.present || !of.other.valid) return;
  paintSlice(painter, of.other, background);
  if (!of.seriesLines || of.linePen.style() == Qt::NoPen) return;
  painter.setPen(of.linePen);
  painter.drawLine(of.lines[0]);
  painter.drawLine(of.lines[1]);
}

void paintBars(QPainter& painter, const SeriesGeometry& sg, const QColor& background) {
  paintSeriesHalos(painter, sg, background);
  for (const PointGeometry& p : sg.points)
    if (p.valid && !p.bar.isEmpty()) paintBar(painter, p.bar, p.look, background);
}

void paintMarkers(QPainter& painter, const SeriesGeometry& sg) {
  std::vector<const PointGeometry*> marked;
  std::vector<QPointF> positions;
  for (const PointGeometry& p : sg.points) {
    if (!p.valid || p.look.markerSymbol == "none") continue;
    marked.push_back(&p);
    positions.push_back(p.position);
  }
  const std::vector<bool> shown = visibleMarkers(positions, painter.deviceTransform());
  for (size_t i = 0; i < marked.size(); ++i)
    if (shown[i]) paintMarker(painter, marked[i]->look, marked[i]->position);
}

void paintLines(QPainter& painter, const SeriesGeometry& sg) {
  if (sg.look.line.style() == Qt::NoPen || sg.line.isEmpty()) return;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(sg.look.line);
  painter.drawPath(thinnedLine(sg.line, painter.deviceTransform()));
}

void paintArea(QPainter& painter, const SeriesGeometry& sg) {
  if (sg.area.isEmpty()) return;
  painter.setBrush(sg.look.fill);
  painter.setPen(sg.look.line);
  painter.drawPolygon(sg.area);
}

void paintBubbles(QPainter& painter, const SeriesGeometry& sg, const QColor& background) {
  paintSeriesHalos(painter, sg, background);
  for (const PointGeometry& p : sg.points) {
    if (!p.valid || p.bubbleRadius <= 0) continue;
    const QPen line =
        p.look.line.style() == Qt::NoPen ? QPen(p.look.baseColor.darker(120), 0.75) : p.look.line;
    const auto disc = [&](double d) {
      QPainterPath path;
      const double r = std::max(p.bubbleRadius - d, 0.0);
      path.addEllipse(p.position, r, r);
      return path;
    };
    if (p.hollowBubble) {
      painter.setBrush(background);
      painter.setPen(QPen(p.look.baseColor, 0.75));
      painter.drawPath(disc(0));
    } else if (sg.series->bubble3D) {
      paintSphere(painter, p.position, p.bubbleRadius, p.look.baseColor);
    } else {
      paintWithEffects(painter, disc(0), disc, p.look.fill, line, p.look.effects, background,
                       false);
    }
  }
}

// High-low lines and up-down bars of a stock group, across its series at each category.
void paintStockExtras(PaintContext& pc, const ooxml::chart::ChartGroup& g, int groupIndex) {
  std::vector<const SeriesGeometry*> series;
  for (const SeriesGeometry& sg : pc.layout.series)
    if (sg.group == groupIndex) series.push_back(&sg);
  if (series.size() < 2) return;
  size_t n = 0;
  for (const SeriesGeometry* sg : series) n = std::max(n, sg->points.size());
  // One category's width (one base unit's on a date axis, where dates may leave gaps).
  const AxisLayout* cat = g.axisIds.empty() ? nullptr : pc.layout.axisById(g.axisIds.front());
  const double slot = cat && !cat->valueScale ? cat->categoryWidth()
                                              : pc.layout.plotArea.width() / std::max<size_t>(n, 1);
  QPainter& p = pc.painter;
  for (size_t i = 0; i < n; ++i) {
    double lo = 1e300, hi = -1e300, x = 0;
    bool any = false;
    for (const SeriesGeometry* sg : series) {
      if (i >= sg->points.size() || !sg->points[i].valid) continue;
      const QPointF& pt = sg->points[i].position;
      lo = std::min(lo, pt.y()), hi = std::max(hi, pt.y()), x = pt.x(), any = true;
    }
    if (!any) continue;
    if (g.hiLowLines) {
      p.setPen(penForLine(g.hiLowFormat.line, pc.theme, QPen(pc.theme.schemeColor("tx1"), 0.75)));
      p.drawLine(QPointF(x, lo), QPointF(x, hi));
    }
    const SeriesGeometry* first = series.front();
    const SeriesGeometry* last = series.back();
    if (g.upDownBars && series.size() >= 4 && i < first->points.size() && i < last->points.size() &&
        first->points[i].valid && last->points[i].valid) {
      const double open = first->points[i].position.y(), close = last->points[i].position.y();
      const bool up = close < open;
      const ooxml::chart::ShapeFormat& f = up ? g.upBarFormat : g.downBarFormat;
      const QBrush autoBrush(up ? pc.theme.schemeColor("lt1") : pc.theme.schemeColor("dk1"));
      const double w = slot * 0.4;
      p.setBrush(brushForFill(f.fill, pc.theme, autoBrush));
      p.setPen(penForLine(f.line, pc.theme, QPen(pc.theme.schemeColor("tx1"), 0.75)));
      p.drawRect(QRectF(QPointF(x - w / 2, open), QPointF(x + w / 2, close)).normalized());
    }
  }
}

}  // namespace

void paintMarker(QPainter& painter, const SeriesLook& look, const QPointF& c) {
  const double s = look.markerSize, h = s / 2;
  const QString& sym = look.markerSymbol;
  painter.setBrush(look.markerFill);
  painter.setPen(look.markerLine);
  if (sym == "square") {
    painter.drawRect(QRectF(c.x() - h, c.y() - h, s, s));
  } else if (sym == "diamond") {
    painter.drawPolygon(QPolygonF({c + QPointF(0, -h * 1.25), c + QPointF(h * 1.25, 0),
                                   c + QPointF(0, h * 1.25), c + QPointF(-h * 1.25, 0)}));
  } else if (sym == "triangle") {
    painter.drawPolygon(QPolygonF({c + QPointF(0, -h * 1.2), c + QPointF(h * 1.2, h),
                                   c + QPointF(-h * 1.2, h)}));
  } else if (sym == "circle") {
    painter.drawEllipse(c, h, h);
  } else if (sym == "dot" || sym == "dash") {
    // The program draws both as a short horizontal bar; stock closes sit right of the line.
    // A dot is the shorter and thinner: about 2 x 1 pt at size 3 in its pictures.
    const bool dot = sym == "dot";
    const double len = dot ? std::max(s * 0.67, 1.5) : std::max(s, 3.0);
    QPen pen = look.markerLine.style() == Qt::NoPen ? QPen(look.markerFill.color(), 1.5) : look.markerLine;
    pen.setWidthF(dot ? 1.0 : std::max(pen.widthF(), 1.5));
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(c.x(), c.y()), QPointF(c.x() + len, c.y()));
  } else if (sym == "x" || sym == "star" || sym == "plus") {
    QPen pen = look.markerLine.style() == Qt::NoPen ? QPen(look.markerFill.color(), 0.75) : look.markerLine;
    painter.setPen(pen);
    if (sym != "plus") {
      painter.drawLine(c + QPointF(-h, -h), c + QPointF(h, h));
      painter.drawLine(c + QPointF(-h, h), c + QPointF(h, -h));
    }
    if (sym != "x") {
      painter.drawLine(c + QPointF(0, -h), c + QPointF(0, h));
      if (sym == "plus") painter.drawLine(c + QPointF(-h, 0), c + QPointF(h, 0));
    }
  } else if (sym != "none") {
    painter.drawRect(QRectF(c.x() - h, c.y() - h, s, s));
  }
}

QColor backgroundOf(const PaintContext& pc) {
  for (const QBrush& b : {brushForFill(pc.chart.plotArea.format.fill, pc.theme,
                                       defaultPlotAreaFill(pc.theme, pc.chart.style)),
                          brushForFill(pc.chart.format.fill, pc.theme,
                                       defaultChartAreaFill(pc.theme, pc.chart.style))})
    if (b.style() == Qt::SolidPattern) return b.color();
  return Qt::white;
}

void paintSeries(PaintContext& pc) {
  QPainter& p = pc.painter;
  const QColor background = backgroundOf(pc);
  const auto& groups = pc.chart.plotArea.groups;
  int lastStock = -1;
  for (const SeriesGeometry& sg : pc.layout.series) {
    const ooxml::chart::ChartGroup& g = groups[size_t(sg.group)];
    if (g.kind == ChartKind::Stock && sg.group != lastStock) {
      paintStockExtras(pc, g, sg.group);
      lastStock = sg.group;
    }
    switch (g.kind) {
      case ChartKind::Bar:
        paintBars(p, sg, background);
        break;
      case ChartKind::Pie:
      case ChartKind::Doughnut:
        paintPie(p, sg, background);
        break;
      case ChartKind::OfPie:
        paintPie(p, sg, background);
        paintOfPieExtras(p, pc.layout.ofPie, background);
        break;
      case ChartKind::Area: paintArea(p, sg); break;
      case ChartKind::Radar:
        if (g.radarStyle == "filled") paintArea(p, sg);
        else paintLines(p, sg);
        paintMarkers(p, sg);
        break;
      case ChartKind::Bubble:
        paintBubbles(p, sg, background);
        break;
      default:
        paintLines(p, sg);
        paintMarkers(p, sg);
        break;
    }
  }
  p.setBrush(Qt::NoBrush);
  for (const SeriesGeometry& sg : pc.layout.series) {
    for (const OverlayPath& o : sg.overlays) {
      p.setPen(o.pen);
      p.drawPath(o.path);
    }
  }
}

void paintDataLabels(PaintContext& pc) {
  for (const DataLabelLayout& l : pc.layout.dataLabels) {
    if (l.leader.isEmpty()) continue;
    pc.painter.setPen(l.leaderPen);
    pc.painter.setBrush(Qt::NoBrush);
    pc.painter.drawPolyline(l.leader);
  }
  for (const DataLabelLayout& l : pc.layout.dataLabels) {
    if (l.fill.style() != Qt::NoBrush || l.border.style() != Qt::NoPen) {
      pc.painter.setBrush(l.fill);
      pc.painter.setPen(l.border);
      pc.painter.drawRect(QRectF(l.center.x() - l.size.width() / 2, l.center.y() - l.size.height() / 2,
                                 l.size.width(), l.size.height()));
    }
    drawTextCentered(pc.painter, l.style, l.center, l.text);
  }
}

void paintDataTable(PaintContext& pc) {
  const DataTableLayout& t = pc.layout.dataTable;
  if (!t.present || t.columns.empty()) return;
  QPainter& p = pc.painter;
  const ooxml::chart::DataTable& options = pc.chart.plotArea.dataTable;
  p.setPen(QPen(defaultAxisLineColor(pc.theme, pc.chart.style), 0.75));
  p.setBrush(Qt::NoBrush);
  const double left = t.rect.left(), right = t.rect.right(), top = t.rect.top();
  const double rows = double(t.names.size() + 1);
  if (options.outline) p.drawRect(QRectF(QPointF(left, top + t.rowHeight), QPointF(right, t.rect.bottom())));
  for (int r = 1; r <= int(rows); ++r)
    if (options.horizontalBorder || r == 1) p.drawLine(QPointF(left, top + r * t.rowHeight), QPointF(right, top + r * t.rowHeight));
  if (options.verticalBorder)
    for (double x : t.columns) p.drawLine(QPointF(x, top), QPointF(x, t.rect.bottom()));
  for (size_t c = 0; c + 1 < t.columns.size() && c < t.header.size(); ++c) {
    const QRectF cell(t.columns[c], top, t.columns[c + 1] - t.columns[c], t.rowHeight);
    drawTextInRect(p, t.style, cell, Qt::AlignCenter, t.header[c]);
    for (size_t r = 0; r < t.values.size(); ++r)
      if (c < t.values[r].size())
        drawTextInRect(p, t.style, cell.translated(0, (double(r) + 1) * t.rowHeight), Qt::AlignCenter, t.values[r][c]);
  }
  for (size_t r = 0; r < t.names.size(); ++r) {
    const double y = top + (double(r) + 1) * t.rowHeight;
    double x = left + 4;
    if (options.showKeys && r < t.keys.size()) {
      p.setBrush(t.keys[r].fill.style() != Qt::NoBrush ? t.keys[r].fill : QBrush(t.keys[r].baseColor));
      p.setPen(Qt::NoPen);
      p.drawRect(QRectF(x, y + t.rowHeight / 2 - 3.5, 7, 7));
      x += 11;
    }
    drawTextInRect(p, t.style, QRectF(x, y, t.nameWidth, t.rowHeight), Qt::AlignLeft | Qt::AlignVCenter, t.names[r]);
  }
}

void paintLegend(PaintContext& pc) {
  const ChartLayout& l = pc.layout;
  if (l.legend.empty()) return;
  QPainter& p = pc.painter;
  const ooxml::chart::Legend& legend = pc.chart.legend;
  const QBrush fill = brushForFill(legend.format.fill, pc.theme, Qt::NoBrush);
  const QPen border = penForLine(legend.format.line, pc.theme, QPen(Qt::NoPen));
  if (fill.style() != Qt::NoBrush || border.style() != Qt::NoPen) {
    p.setBrush(fill);
    p.setPen(border);
    p.drawRect(l.legendRect);
  }
  for (const LegendEntry& e : l.legend) {
    if (e.lineKey) {
      const double y = e.keyRect.center().y();
      if (e.look.line.style() != Qt::NoPen) {
        QPen pen = e.look.line;
        pen.setWidthF(std::min(pen.widthF(), 4.0));
        p.setPen(pen);
        p.drawLine(QPointF(e.keyRect.left(), y), QPointF(e.keyRect.right(), y));
      }
      if (e.look.markerSymbol != "none") {
        SeriesLook small = e.look;
        small.markerSize = std::min(small.markerSize, 7.0);
        paintMarker(p, small, e.keyRect.center() - (small.markerSymbol == "dot" ? QPointF(small.markerSize * 0.75, 0) : QPointF()));
      }
    } else if (e.roundKey) {
      // The program keys bubbles with a disc the height of a box key.
      const double r = e.keyRect.height() / 2;
      if (e.sphereKey) {
        paintSphere(p, e.keyRect.center(), r, e.look.baseColor);
      } else {
        p.setBrush(e.look.fill);
        p.setPen(Qt::NoPen);
        p.drawEllipse(e.keyRect.center(), r, r);
      }
    } else if (e.look.fill.style() != Qt::NoBrush || e.look.line.style() != Qt::NoPen) {
      SeriesLook key = e.look;
      if (key.line.style() != Qt::NoPen) key.line.setWidthF(std::min(key.line.widthF(), 0.75));
      // The key shows its series' bevel, narrowed to its size, without shadow or glow.
      ShapeEffects bevel;
      bevel.bevelPt = std::min(e.look.effects.bevelPt, e.keyRect.width() / 4);
      key.effects = bevel;
      paintBar(p, e.keyRect, key, backgroundOf(pc));
    }
    drawTextInRect(p, l.legendStyle, e.textRect, Qt::AlignLeft | Qt::AlignVCenter, e.text);
  }
}

}  // namespace morvane::render::chart::detail
