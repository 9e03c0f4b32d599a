// Surface charts: the values of series (rows) by categories (columns) as a mesh, cut into
// bands of the value axis' major unit, each band in its own colour. Contours look straight
// down on the mesh; 3-D surfaces turn and tilt it inside walls; wireframes draw only its
// lines.
#include <algorithm>
#include <array>
#include <cmath>

#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

namespace morvane::render::chart::detail {

// Fitted on the facets of the program's 3-D surface pictures; a level facet comes out at 0.88.
double facetLight(const Vec3& n) { return std::clamp(0.884 + 0.307 * n.x - 0.12 * n.z, 0.6, 1.15); }

QBrush litBrush(const QBrush& brush, double light) {
  if (brush.style() != Qt::SolidPattern || std::abs(light - 1) < 1e-9) return brush;
  const QColor c = brush.color();
  auto f = [light](double v) { return float(std::clamp(v * light, 0.0, 1.0)); };
  return QBrush(QColor::fromRgbF(f(c.redF()), f(c.greenF()), f(c.blueF()), c.alphaF()));
}

namespace {

constexpr double kLabelGap = 4;
constexpr double kLabelGapUnder = 6;  // the front edge to the category labels below it
constexpr int kMaxMeshSide = 1000;
constexpr int kMaxMeshCells = 20000;

const ooxml::chart::Axis* valueAxisOf(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g) {
  return g.axisIds.size() >= 2 ? ctx.chart.plotArea.axis(g.axisIds[1]) : nullptr;
}

// A mesh vertex: category x, series z, value v.
struct MeshPoint {
  double x = 0, z = 0, v = 0;
};

// The same for a contour, seen from above: lighter as the facet turns right and towards the
// back (up the picture), a level facet at 0.87. Fitted on the facets of both program versions'
// contour pictures (the spread of colour against them falls from 0.35 flat to 0.05).
double contourLight(const Vec3& n) {
  return std::clamp(0.427 + 0.466 * n.x + 0.421 * n.z + 0.446 * n.y, 0.4, 1.15);
}

MeshPoint mix(const MeshPoint& a, const MeshPoint& b, double t) {
  return {a.x + (b.x - a.x) * t, a.z + (b.z - a.z) * t, a.v + (b.v - a.v) * t};
}

// The part of `poly` whose values lie at or above `level` (`above`) or at or below it.
std::vector<MeshPoint> clipAt(const std::vector<MeshPoint>& poly, double level, bool above) {
  std::vector<MeshPoint> out;
  auto inside = [&](const MeshPoint& p) { return above ? p.v >= level : p.v <= level; };
  for (size_t i = 0; i < poly.size(); ++i) {
    const MeshPoint& a = poly[i];
    const MeshPoint& b = poly[(i + 1) % poly.size()];
    if (inside(a)) out.push_back(a);
    if (inside(a) != inside(b)) out.push_back(mix(a, b, (level - a.v) / (b.v - a.v)));
  }
  return out;
}

}  // namespace

SurfaceBands surfaceBands(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g) {
  SurfaceBands bands;
  ScaleRequest req;
  for (const ooxml::chart::Series& s : g.series)
    for (int i = 0; i < s.values.count(); ++i)
      if (const auto v = s.values.number(i)) {
        req.dataMin = req.hasData ? std::min(req.dataMin, *v) : *v;
        req.dataMax = req.hasData ? std::max(req.dataMax, *v) : *v;
        req.hasData = true;
      }
  const ooxml::chart::Axis* axis = valueAxisOf(ctx, g);
  if (axis) {
    req.fixedMin = axis->min;
    req.fixedMax = axis->max;
    req.fixedMajor = axis->majorUnit;
  }
  // The program's surfaces show about four or five bands and end at the data's unit.
  req.headroom = false;
  req.maxIntervals = 5;
  bands.scale = autoScale(req);
  QString format = "General";
  if (axis && !axis->numFmt.isEmpty() && !axis->numFmtSourceLinked) format = axis->numFmt;
  const std::vector<double> ticks = bands.scale.majorTicks();
  const int count = std::max<int>(1, int(ticks.size()) - 1);
  for (int k = 0; k < count && k + 1 < int(ticks.size()); ++k) {
    SeriesLook look;
    look.baseColor = autoSeriesColor(ctx.theme, ctx.chart.style, k, count);
    look.fill = QBrush(look.baseColor);
    for (const ooxml::chart::BandFormat& b : g.bandFormats)
      if (b.index == k) {
        look.fill = brushForFill(b.format.fill, ctx.theme, look.fill);
        if (look.fill.style() == Qt::SolidPattern) look.baseColor = look.fill.color();
      }
    // The program draws a wireframe's lines hairline thin: 0.75 pt in its pictures.
    look.line = g.wireframe ? QPen(look.baseColor, 0.75) : QPen(Qt::NoPen);
    if (g.wireframe) look.fill = Qt::NoBrush;
    bands.looks.push_back(look);
    bands.names.push_back(formatChartNumber(ticks[size_t(k)], format, ctx.chart.date1904) + "-" +
                          formatChartNumber(ticks[size_t(k) + 1], format, ctx.chart.date1904));
  }
  return bands;
}

void layoutSurface(LayoutContext& ctx, int groupIndex) {
  const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(groupIndex)];
  const SurfaceBands bands = surfaceBands(ctx, g);
  Scene3D& scene = ctx.out.scene;
  scene.present = true;
  const bool contour = !g.is3D;
  scene.view = viewAngles(ctx.chart, false);
  if (contour) scene.view = ViewAngles{90, 0, false, 0, std::nullopt, 100};
  // A mesh of more cells than a picture can show is cut at its first rows and columns.
  const int rows = std::clamp(int(g.series.size()), 1, kMaxMeshSide);
  int columns = 1;
  for (const ooxml::chart::Series& s : g.series) columns = std::max(columns, s.pointCount());
  columns = std::clamp(columns, 1, std::max(2, kMaxMeshCells / rows));
  // Each axis' labels in its own text format: categories, values, series.
  TextStyle styles[3];
  for (int k = 0; k < 3; ++k) {
    const ooxml::chart::Axis* a =
        int(g.axisIds.size()) > k ? ctx.chart.plotArea.axis(g.axisIds[size_t(k)]) : nullptr;
    styles[k] = textStyleFor(ctx, a ? a->text : ooxml::chart::TextBody(), ctx.baseSizePt, false);
  }
  // A 3-D surface's series axis shows its tick marks beside the floor's far side and its
  // labels beyond them, as the program draws it (a contour's stand inside its edge).
  const ooxml::chart::Axis* seriesAxis =
      g.axisIds.size() >= 3 ? ctx.chart.plotArea.axis(g.axisIds[2]) : nullptr;
  const double seriesTick = !contour && seriesAxis && !seriesAxis->deleted &&
                                    (seriesAxis->majorTickMark == ooxml::chart::TickMark::Outside ||
                                     seriesAxis->majorTickMark == ooxml::chart::TickMark::Cross)
                                ? 4
                                : 0;
  const ooxml::chart::Axis* valueAxis = valueAxisOf(ctx, g);
  const bool valueLabels =
      !contour &&
      (!valueAxis || (!valueAxis->deleted &&
                      valueAxis->tickLabelPosition != ooxml::chart::TickLabelPosition::None));
  const std::vector<double> ticks = bands.scale.majorTicks();
  QStringList tickTexts, valueTexts, categoryTexts, seriesTexts;
  for (double v : ticks) tickTexts << formatChartNumber(v, "General", ctx.chart.date1904);
  if (valueLabels) valueTexts = tickTexts;
  if (!g.series.empty()) {
    // The categories of the first series that has any.
    const ooxml::chart::Series* source = &g.series.front();
    for (const ooxml::chart::Series& s : g.series)
      if (!source->categories.present && s.categories.present) source = &s;
    const ooxml::chart::Series& first = *source;
    for (int i = 0; i < columns; ++i) {
      const auto v = first.categories.numeric ? first.categories.number(i) : std::nullopt;
      categoryTexts << (!first.categories.present ? QString::number(i + 1)
                        : v ? formatChartNumber(*v, first.categories.formatCode, ctx.chart.date1904)
                            : first.categories.text(i));
    }
  }
  for (int j = 0; j < rows; ++j) {
    const ooxml::chart::Series& s = g.series[size_t(j)];
    seriesTexts << (s.name.isEmpty() ? QString("Series%1").arg(s.index + 1) : s.name);
  }
  auto widest = [](const TextStyle& style, const QStringList& texts) {
    double w = 0;
    for (const QString& t : texts) w = std::max(w, measureText(style, t).width());
    return w > 0 ? w + kLabelGap : 0.0;
  };
  // The mesh's box fills the plot less the room of the labels around it: values beside its
  // front upright edge, series beside its far side, categories below its front. A contour
  // keeps its value labels' room, beside it and half a label above, though it shows none, as
  // both program versions' contour pictures do. A right-angled box keeps only the categories'
  // height below it: its floor and labels stand the gap lower (Excel 2011's pictures).
  const bool seesLeft = seesLeftSide(scene.view);
  const double valueRoom = widest(styles[1], contour ? tickTexts : valueTexts),
               seriesRoom = widest(styles[2], seriesTexts) + seriesTick;
  const double above = contour ? measureText(styles[1], "0").height() / 2 : 0;
  const double below =
      categoryTexts.isEmpty()
          ? 0
          : measureText(styles[0], "0").height() + (scene.view.rightAngleAxes ? 0 : kLabelGapUnder);
  QRectF target = ctx.out.plotArea.adjusted(seesLeft ? seriesRoom : valueRoom, above,
                                            -(seesLeft ? valueRoom : seriesRoom), -below);
  if (target.width() < 20 || target.height() < 20) target = ctx.out.plotArea;
  // The floor keeps its proportions: a series as deep as a category is wide, times the depth
  // percentage.
  const double across = std::max(1, columns - 1);
  const double deep = across * rows / columns * scene.view.depthPercent / 100.0;
  // With right-angled axes the mesh rises a little over half as high as its floor runs deep
  // (0.54: the program's right-angled surfaces, front face against floor); a turned view fills
  // the plot.
  const Projection3D proj(
      scene.view, Vec3{across, across, deep}, 1, target,
      scene.view.rightAngleAxes ? std::optional<double>(deep * 0.54) : std::nullopt);
  const Vec3 box = proj.box();
  const double zStep = rows > 1 ? deep / (rows - 1) : deep;
  // Where value `v` stands in a box `top` high.
  auto heightAt = [&](double v, double top) {
    return std::clamp(bands.scale.fraction(v), 0.0, 1.0) * top;
  };
  auto valueAt = [&](double v) { return heightAt(v, box.y); };
  auto place = [&](const MeshPoint& p) { return proj.map(Vec3{p.x, valueAt(p.v), p.z * zStep}); };
  auto at = [&](int i, int j) -> std::optional<MeshPoint> {
    if (j >= int(g.series.size())) return std::nullopt;
    const auto v = g.series[size_t(j)].values.number(i);
    if (!v) return std::nullopt;
    return MeshPoint{double(std::min(i, columns - 1)), double(j), *v};
  };
  struct Piece {
    double depth;
    Face3D face;
  };
  std::vector<Piece> pieces;
  // A facet's light, from its normal in the box as drawn; a contour's box, seen from above,
  // rises half as high as its floor runs deep.
  const double lightHeight = contour ? deep / 2 : box.y;
  auto lightOf = [&](const std::vector<MeshPoint>& cell) {
    if (cell.size() < 3) return 1.0;
    std::vector<Vec3> corners;
    for (const MeshPoint& p : cell)
      corners.push_back(Vec3{p.x, heightAt(p.v, lightHeight), p.z * zStep});
    const Vec3 n = normalOf(corners);
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z) * (n.y < 0 ? -1 : 1);
    if (std::abs(length) < 1e-12) return 1.0;
    const Vec3 unit{n.x / length, n.y / length, n.z / length};
    return contour ? contourLight(unit) : facetLight(unit);
  };
  auto bandFaces = [&](const std::vector<MeshPoint>& cell) {
    const double light = lightOf(cell);
    for (size_t k = 0; k < bands.looks.size(); ++k) {
      // Values beyond the scale belong to the first or last band.
      std::vector<MeshPoint> part = cell;
      if (k > 0) part = clipAt(part, ticks[k], true);
      if (k + 1 < bands.looks.size() && part.size() >= 3) part = clipAt(part, ticks[k + 1], false);
      // Cells that only touch the band (a vertex or an edge on its boundary) add nothing.
      double area = 0;
      for (size_t i = 0; i < part.size(); ++i) {
        const MeshPoint& a = part[i];
        const MeshPoint& b = part[(i + 1) % part.size()];
        area += a.x * b.z - b.x * a.z;
      }
      if (part.size() < 3 || std::abs(area) < 1e-9) continue;
      Face3D f;
      f.kind = Face3D::Kind::Top;
      for (const MeshPoint& p : part) f.polygon << place(p);
      f.brush = litBrush(bands.looks[k].fill, light);
      f.point = int(k);
      double x = 0, z = 0, v = 0;
      for (const MeshPoint& p : part) x += p.x, z += p.z, v += p.v;
      const double n = double(part.size());
      pieces.push_back({proj.depth(Vec3{x / n, valueAt(v / n), z / n * zStep}), f});
    }
  };
  auto bandLines = [&](const MeshPoint& a, const MeshPoint& b) {
    for (size_t k = 0; k < bands.looks.size(); ++k) {
      const double lo = k > 0 ? ticks[k] : -1e300,
                   hi = k + 1 < bands.looks.size() ? ticks[k + 1] : 1e300;
      double t0 = 0, t1 = 1;
      if (a.v != b.v) {
        const double ta = (lo - a.v) / (b.v - a.v), tb = (hi - a.v) / (b.v - a.v);
        t0 = std::max(0.0, std::min(ta, tb));
        t1 = std::min(1.0, std::max(ta, tb));
      } else if (a.v < lo || a.v > hi) {
        continue;
      }
      if (t1 - t0 < 1e-9) continue;
      Face3D f;
      f.kind = Face3D::Kind::Top;
      f.polygon << place(mix(a, b, t0)) << place(mix(a, b, t1));
      f.brush = Qt::NoBrush;
      f.pen = bands.looks[k].line;
      f.point = int(k);
      const MeshPoint m = mix(a, b, (t0 + t1) / 2);
      pieces.push_back({proj.depth(Vec3{m.x, valueAt(m.v), m.z * zStep}), f});
    }
  };
  // A wireframe also draws where each band meets the next, in the colour of the band below,
  // as the program does.
  auto levelLines = [&](const std::array<MeshPoint, 3>& cell) {
    for (size_t k = 1; k < bands.looks.size(); ++k) {
      std::vector<MeshPoint> cut;
      for (size_t e = 0; e < 3; ++e) {
        const MeshPoint& a = cell[e];
        const MeshPoint& b = cell[(e + 1) % 3];
        if ((a.v < ticks[k]) != (b.v < ticks[k]))
          cut.push_back(mix(a, b, (ticks[k] - a.v) / (b.v - a.v)));
      }
      if (cut.size() != 2) continue;
      Face3D f;
      f.kind = Face3D::Kind::Top;
      f.polygon << place(cut[0]) << place(cut[1]);
      f.brush = Qt::NoBrush;
      f.pen = bands.looks[k - 1].line;
      f.point = int(k - 1);
      const MeshPoint m = mix(cut[0], cut[1], 0.5);
      pieces.push_back({proj.depth(Vec3{m.x, valueAt(m.v), m.z * zStep}), f});
    }
  };
  auto bandOf = [&](double v) {
    int k = 0;
    while (k + 1 < int(bands.looks.size()) && v >= ticks[size_t(k) + 1]) ++k;
    return k;
  };
  // In the 2013 look a cell is cut in two along its diagonal from (i, j), unless three of its
  // corners lie in one band and the odd one is off that diagonal: then along the other, through
  // the odd corner, as both of the program's excelize surface pictures show. Before it, the
  // program cut a cell into four through its centre, at its corners' mean: the Excel 2011
  // contours come out as symmetric as their values, and lit in four facets a cell.
  auto crossCut = [&](const MeshPoint& p, const MeshPoint& right, const MeshPoint& up,
                      const MeshPoint& diag) {
    const int a = bandOf(p.v), b = bandOf(right.v), c = bandOf(up.v), d = bandOf(diag.v);
    return (a == b && b == d && c != a) || (a == c && c == d && b != a);
  };
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < columns; ++i) {
      const auto p = at(i, j), right = at(i + 1, j), up = at(i, j + 1), diag = at(i + 1, j + 1);
      if (g.wireframe) {
        if (p && right) bandLines(*p, *right);
        if (p && up) bandLines(*p, *up);
      }
      std::vector<std::array<MeshPoint, 3>> triangles;
      if (p && right && up && diag && !ctx.modernLook) {
        const MeshPoint c{(p->x + diag->x) / 2, (p->z + diag->z) / 2,
                          (p->v + right->v + up->v + diag->v) / 4};
        triangles = {{*p, *right, c}, {*right, *diag, c}, {*diag, *up, c}, {*up, *p, c}};
      } else if (p && right && up && diag && crossCut(*p, *right, *up, *diag)) {
        triangles = {{*p, *right, *up}, {*right, *diag, *up}};
      } else {
        if (p && right && diag) triangles.push_back({*p, *right, *diag});
        if (p && diag && up) triangles.push_back({*p, *diag, *up});
      }
      for (const std::array<MeshPoint, 3>& triangle : triangles)
        g.wireframe ? levelLines(triangle) : bandFaces({triangle.begin(), triangle.end()});
    }
  std::stable_sort(pieces.begin(), pieces.end(),
                   [](const Piece& a, const Piece& b) { return a.depth > b.depth; });
  // The floor and walls of a 3-D surface; a contour's plot is its mesh alone.
  const QPen edge(defaultGridColor(ctx.theme, ctx.chart.style), 0.75);
  // Walls show only their own line, as for bars; the floor is always outlined.
  auto outline = [&](const ooxml::chart::Wall& w, bool always, Vec3 a, Vec3 b, Vec3 c, Vec3 d) {
    Face3D f;
    f.kind = Face3D::Kind::Wall;
    f.polygon = QPolygonF({proj.map(a), proj.map(b), proj.map(c), proj.map(d)});
    f.brush = brushForFill(w.format.fill, ctx.theme, Qt::NoBrush);
    f.pen = penForLine(w.format.line, ctx.theme, always ? edge : QPen(Qt::NoPen));
    scene.walls.push_back(f);
  };
  const double sideX = proj.seesLeft() ? box.x : 0, farX = box.x - sideX;
  if (!contour) {
    const ooxml::chart::ChartModel& c = ctx.chart;
    outline(c.backWall, false, {0, 0, box.z}, {box.x, 0, box.z}, {box.x, box.y, box.z},
            {0, box.y, box.z});
    outline(c.sideWall, false, {sideX, 0, 0}, {sideX, 0, box.z}, {sideX, box.y, box.z},
            {sideX, box.y, 0});
    outline(c.floor, true, {0, 0, 0}, {box.x, 0, 0}, {box.x, 0, box.z}, {0, 0, box.z});
    // The value axis' gridlines run round the back and side walls, as on a box.
    if (valueAxis && valueAxis->majorGridlines.present) {
      scene.gridPen = penForLine(valueAxis->majorGridlines.format.line, ctx.theme, edge);
      for (double v : ticks) {
        const double y = valueAt(v);
        scene.gridlines.emplace_back(proj.map({0, y, box.z}), proj.map({box.x, y, box.z}));
        scene.gridlines.emplace_back(proj.map({sideX, y, 0}), proj.map({sideX, y, box.z}));
      }
    }
  }
  for (Piece& piece : pieces) scene.faces.push_back(std::move(piece.face));
  // Labels: values up the side wall's front edge (none on a contour), categories along the
  // front, series along the far side.
  auto label = [&](const TextStyle& style, const QString& text, QPointF anchor, int side,
                   double gap = kLabelGap) {
    if (text.isEmpty()) return;
    const QSizeF size = measureText(style, text);
    QRectF r(QPointF(0, 0), size);
    if (side == 0)
      r.moveCenter(anchor - QPointF(gap + size.width() / 2, 0));
    else if (side == 1)
      r.moveCenter(anchor + QPointF(gap + size.width() / 2, 0));
    else
      r.moveCenter(anchor + QPointF(0, kLabelGapUnder + size.height() / 2));
    scene.labels.push_back(Label3D{text, r, style});
  };
  for (int k = 0; k < int(valueTexts.size()); ++k)
    label(styles[1], valueTexts[k], proj.map(Vec3{sideX, valueAt(ticks[size_t(k)]), 0}),
          sideX == 0 ? 0 : 1);
  auto axisPen = [&](const ooxml::chart::Axis& a) {
    return penForLine(a.format.line, ctx.theme,
                      QPen(defaultAxisLineColor(ctx.theme, ctx.chart.style), 0.75));
  };
  // The value axis' own line up the side wall's front edge, as on a box, and its ticks.
  if (!contour && valueAxis && !valueAxis->deleted) {
    scene.axisLines.emplace_back(proj.map(Vec3{sideX, 0, 0}), proj.map(Vec3{sideX, box.y, 0}));
    scene.axisPens.push_back(axisPen(*valueAxis));
    std::vector<QPointF> at;
    for (double v : ticks) at.push_back(proj.map(Vec3{sideX, valueAt(v), 0}));
    addTicks3D(scene, axisPen(*valueAxis), valueAxis->majorTickMark, at,
               QPointF(sideX == 0 ? -1 : 1, 0));
  }
  // The categories' ticks stand at the mesh's columns, down from the floor's front edge.
  const ooxml::chart::Axis* categoryAxis =
      g.axisIds.empty() ? nullptr : ctx.chart.plotArea.axis(g.axisIds[0]);
  if (!contour && categoryAxis && !categoryAxis->deleted) {
    std::vector<QPointF> at;
    for (int i = 0; i < columns; ++i) at.push_back(proj.map(Vec3{double(i), 0, 0}));
    addTicks3D(scene, axisPen(*categoryAxis), categoryAxis->majorTickMark, at, QPointF(0, 1));
  }
  for (int i = 0; i < int(categoryTexts.size()); ++i)
    label(styles[0], categoryTexts[i], proj.map(Vec3{double(i), 0, 0}), 2);
  // The series axis' ticks stand at its labels and half-way between them, as the program
  // draws them. Where its labels stand less than a line apart it shows every second (third...)
  // one from the first, as the program does.
  std::vector<QPointF> seriesAnchors;
  for (int j = 0; j < int(seriesTexts.size()); ++j)
    seriesAnchors.push_back(proj.map(Vec3{farX, 0, j * zStep}));
  const int labelStep = labelStepFor(seriesAnchors, measureText(styles[2], "0").height());
  for (int j = 0; j < int(seriesTexts.size()); ++j) {
    const QPointF at = seriesAnchors[size_t(j)];
    if (j % labelStep == 0)
      label(styles[2], seriesTexts[j], at, farX == 0 ? 0 : 1, kLabelGap + seriesTick);
    if (seriesTick <= 0) continue;
    for (const double z : {j * zStep, (j - 0.5) * zStep}) {
      if (z < 0) continue;
      const QPointF from = proj.map(Vec3{farX, 0, z});
      scene.axisLines.emplace_back(from, from + QPointF(farX == 0 ? -seriesTick : seriesTick, 0));
      scene.axisPens.push_back(axisPen(*seriesAxis));
    }
  }
  QRectF bounds;
  for (const auto* list : {&scene.walls, &scene.faces})
    for (const Face3D& f : *list)
      bounds = bounds.isNull() ? f.polygon.boundingRect() : bounds.united(f.polygon.boundingRect());
  scene.bounds = bounds;
}

}  // namespace morvane::render::chart::detail
