// A 3-D chart as flat, shaded polygons in drawing order: the walls and floor, their
// gridlines, the series' faces from the farthest to the nearest, and the axes on the
// projected edges. Laid out with the chart; drawn with plain QPainter operations.
#pragma once

#include <QBrush>
#include <QLineF>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <vector>

#include "render/chart/chart_text.h"
#include "render/chart/projection3d.h"

namespace morvane::render::chart {

struct Face3D {
  enum class Kind { Wall, Front, Top, Side };
  Kind kind = Kind::Front;
  QPolygonF polygon;
  QBrush brush;
  QPen pen = QPen(Qt::NoPen);
  int series = -1;  // index into ChartLayout::series; -1 for walls and the floor
  int point = -1;
  // A strip of a round solid's side: drawn without an outline or bevel of its own, the
  // solid's outline going round all its strips together.
  bool curved = false;
};

struct Label3D {
  QString text;
  QRectF rect;  // the text's box, the text centred in it
  TextStyle style;
};

struct Scene3D {
  bool present = false;
  ViewAngles view;
  std::vector<Face3D> walls;  // back wall, side wall, floor
  std::vector<QLineF> gridlines;
  QPen gridPen;
  std::vector<Face3D> faces;  // the series, far to near
  std::vector<QLineF> axisLines;
  std::vector<QPen> axisPens;   // one per axis line
  std::vector<Label3D> labels;  // tick labels of the value, category and series axes
  QRectF bounds;                // the projected walls, floor and series
};

// `color` as the program shades a face turned `kind` of a solid of that colour: the top a
// little darker than the front, the side darker still.
QColor shadeFor(const QColor& color, Face3D::Kind kind);

}  // namespace morvane::render::chart
