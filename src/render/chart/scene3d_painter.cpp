// Draws a laid-out 3-D scene: walls and floor, gridlines, the series' faces in their order,
// then the axes and their labels over them.
#include <QPainter>
#include <QPainterPath>
#include <map>

#include "render/chart/chart_painter.h"
#include "render/chart/effects.h"

namespace morvane::render::chart::detail {

namespace {

// The look of the series point a face belongs to; null for walls and surface bands.
const SeriesLook* lookOf(const ChartLayout& l, int series, int point) {
  if (series < 0 || size_t(series) >= l.series.size()) return nullptr;
  const SeriesGeometry& sg = l.series[size_t(series)];
  if (point >= 0 && size_t(point) < sg.points.size()) return &sg.points[size_t(point)].look;
  return &sg.look;
}

// A convex polygon with each edge moved `d` inwards; the polygon itself when it is not convex
// or too small for that.
QPolygonF insetConvex(const QPolygonF& poly, double d) {
  const int n = int(poly.size());
  if (n < 3) return poly;
  double area = 0;
  for (int i = 0; i < n; ++i)
    area += poly[i].x() * poly[(i + 1) % n].y() - poly[(i + 1) % n].x() * poly[i].y();
  const double turn = area > 0 ? 1 : -1;
  std::vector<QLineF> edges;
  for (int i = 0; i < n; ++i) {
    const QLineF e(poly[i], poly[(i + 1) % n]);
    if (e.length() < 1e-9) continue;
    const QPointF normal = QPointF(-e.dy(), e.dx()) / e.length() * (turn * d);
    edges.push_back(e.translated(normal));
  }
  QPolygonF out;
  for (size_t i = 0; i < edges.size(); ++i) {
    QPointF q;
    if (edges[i].intersects(edges[(i + 1) % edges.size()], &q) == QLineF::NoIntersection)
      return poly;
    out << q;
  }
  return out;
}

QPainterPath pathOf(const QPolygonF& poly) {
  QPainterPath path;
  path.addPolygon(poly);
  path.closeSubpath();
  return path;
}

}  // namespace

void paintScene3D(PaintContext& pc) {
  const Scene3D& scene = pc.layout.scene;
  QPainter& p = pc.painter;
  const QColor background = backgroundOf(pc);
  for (const Face3D& f : scene.walls) {
    p.setPen(Qt::NoPen);
    p.setBrush(f.brush);
    p.drawPolygon(f.polygon);
  }
  p.setPen(scene.gridPen);
  for (const QLineF& l : scene.gridlines) p.drawLine(l);
  p.setBrush(Qt::NoBrush);
  for (const Face3D& f : scene.walls) {
    p.setPen(f.pen);
    p.drawPolygon(f.polygon);
  }
  // Shadows and glows lie under every solid: each solid's faces together cast one.
  std::map<std::pair<int, int>, QPainterPath> solids;
  for (const Face3D& f : scene.faces)
    if (const SeriesLook* look = lookOf(pc.layout, f.series, f.point);
        look && look->effects.any() && f.polygon.size() > 2)
      solids[{f.series, f.point}].addPath(pathOf(f.polygon));
  for (const auto& [key, shape] : solids) {
    const SeriesLook& look = *lookOf(pc.layout, key.first, key.second);
    paintHalos(p, shape.simplified(), look.fill, look.effects, background);
  }
  // A round solid's strips are outlined together, round the solid, once its last strip is
  // drawn; its ends carry their own outline.
  QPainterPath round;
  const SeriesLook* roundLook = nullptr;
  auto outlineRound = [&] {
    if (roundLook && roundLook->line.style() != Qt::NoPen) {
      p.setPen(roundLook->line);
      p.setBrush(Qt::NoBrush);
      p.drawPath(round.simplified());
    }
    round = QPainterPath();
    roundLook = nullptr;
  };
  for (size_t i = 0; i < scene.faces.size(); ++i) {
    const Face3D& f = scene.faces[i];
    const SeriesLook* look = lookOf(pc.layout, f.series, f.point);
    if (f.curved) {
      round.addPath(pathOf(f.polygon));
      roundLook = look;
    }
    if (look && look->effects.bevelPt > 0 && f.polygon.size() > 2 && !f.curved) {
      // A bevel lights each face's edges as it does a flat bar's.
      ShapeEffects bevel;
      bevel.bevelPt = look->effects.bevelPt;
      bevel.softEdgePt = look->effects.softEdgePt;
      QPen pen = f.pen;
      if (pen.style() == Qt::NoPen && f.brush.style() == Qt::SolidPattern)
        pen = QPen(f.brush.color(), 0.5);
      paintWithEffects(
          p, pathOf(f.polygon), [&](double d) { return pathOf(insetConvex(f.polygon, d)); },
          f.brush, pen, bevel, background, false);
    } else {
      // Faces without their own outline get a hairline of their fill so that neighbours meet
      // without a seam of background between them.
      QPen pen = f.pen;
      if (pen.style() == Qt::NoPen && f.brush.style() == Qt::SolidPattern)
        pen = QPen(f.brush.color(), 0.5);
      p.setPen(pen);
      p.setBrush(f.brush);
      if (f.polygon.size() == 2)
        p.drawLine(f.polygon[0], f.polygon[1]);  // a wireframe's line
      else
        p.drawPolygon(f.polygon);
    }
    const Face3D* next = i + 1 < scene.faces.size() ? &scene.faces[i + 1] : nullptr;
    if (roundLook && (!next || next->series != f.series || next->point != f.point)) outlineRound();
  }
  for (size_t i = 0; i < scene.axisLines.size(); ++i) {
    p.setPen(scene.axisPens[i]);
    p.drawLine(scene.axisLines[i]);
  }
  for (const Label3D& l : scene.labels) drawTextInRect(p, l.style, l.rect, Qt::AlignCenter, l.text);
  for (const AxisLayout& a : pc.layout.axes)
    if (a.visible && !a.title.isEmpty()) drawTextCentered(p, a.titleStyle, a.titleCenter, a.title);
}

}  // namespace morvane::render::chart::detail
