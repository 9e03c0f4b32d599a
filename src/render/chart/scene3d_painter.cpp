// Draws a laid-out 3-D scene: walls and floor, gridlines, the series' faces in their order,
// then the axes and their labels over them.
#include <QPainter>

#include "render/chart/chart_painter.h"

namespace morvane::render::chart::detail {

void paintScene3D(PaintContext& pc) {
  const Scene3D& scene = pc.layout.scene;
  QPainter& p = pc.painter;
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
  for (const Face3D& f : scene.faces) {
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
  for (size_t i = 0; i < scene.axisLines.size(); ++i) {
    p.setPen(scene.axisPens[i]);
    p.drawLine(scene.axisLines[i]);
  }
  for (const Label3D& l : scene.labels) drawTextInRect(p, l.style, l.rect, Qt::AlignCenter, l.text);
  for (const AxisLayout& a : pc.layout.axes)
    if (a.visible && !a.title.isEmpty()) drawTextCentered(p, a.titleStyle, a.titleCenter, a.title);
}

}  // namespace morvane::render::chart::detail
