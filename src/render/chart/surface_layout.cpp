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

namespace {

// The texts round a surface: each axis' text format and its labels.
struct SurfaceTexts {
  std::array<TextStyle, 3> styles;  // categories, values, series
  QStringList ticks;                // the bands' bounds
  QStringList values;               // none on a contour or where the value axis shows none
  QStringList categories;           // one a mesh column
  QStringList series;               // one a mesh row
};

SurfaceTexts surfaceTexts(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g,
                          const std::vector<double>& ticks, bool valueLabels, int rows,
                          int columns) {
  SurfaceTexts t;
  for (int k = 0; k < 3; ++k) {
    const ooxml::chart::Axis* a =
        int(g.axisIds.size()) > k ? ctx.chart.plotArea.axis(g.axisIds[size_t(k)]) : nullptr;
    t.styles[size_t(k)] =
        textStyleFor(ctx, a ? a->text : ooxml::chart::TextBody(), ctx.baseSizePt, false);
  }
  for (double v : ticks) t.ticks << formatChartNumber(v, "General", ctx.chart.date1904);
  if (valueLabels) t.values = t.ticks;
  if (!g.series.empty()) {
    // The categories of the first series that has any.
    const ooxml::chart::Series* source = &g.series.front();
    for (const ooxml::chart::Series& s : g.series)
      if (!source->categories.present && s.categories.present) source = &s;
    const ooxml::chart::Series& first = *source;
    for (int i = 0; i < columns; ++i) {
      const auto v = first.categories.numeric ? first.categories.number(i) : std::nullopt;
      t.categories << (!first.categories.present ? QString::number(i + 1)
                       : v ? formatChartNumber(*v, first.categories.formatCode, ctx.chart.date1904)
                           : first.categories.text(i));
    }
  }
  for (int j = 0; j < rows; ++j) {
    const ooxml::chart::Series& s = g.series[size_t(j)];
    t.series << (s.name.isEmpty() ? QString("Series%1").arg(s.index + 1) : s.name);
  }
  return t;
}

// One surface group laid out into the scene: its box fitted into the plot less its labels'
// room, then its walls, its mesh cut into bands and drawn far to near, and its axes.
class SurfaceLayout {
 public:
  SurfaceLayout(LayoutContext& ctx, const ooxml::chart::ChartGroup& g);
  void build();

 private:
  struct Piece {
    double depth;
    Face3D face;
  };

  Projection3D fit() const;
  // Where value `v` stands in a box `top` high, and in the mesh's box.
  double heightAt(double v, double top) const {
    return std::clamp(m_bands.scale.fraction(v), 0.0, 1.0) * top;
  }
  double valueAt(double v) const { return heightAt(v, m_proj.box().y); }
  Vec3 inBox(const MeshPoint& p) const { return Vec3{p.x, valueAt(p.v), p.z * m_zStep}; }
  std::optional<MeshPoint> at(int i, int j) const;
  int bandOf(double v) const;
  double lightOf(const std::vector<MeshPoint>& cell) const;
  void add(Face3D f, const MeshPoint& middle) {
    m_pieces.push_back({m_proj.depth(inBox(middle)), std::move(f)});
  }
  void bandFaces(const std::vector<MeshPoint>& cell);
  void bandLines(const MeshPoint& a, const MeshPoint& b);
  void levelLines(const std::array<MeshPoint, 3>& cell);
  std::vector<std::array<MeshPoint, 3>> triangles(int i, int j) const;
  void mesh();
  void walls();
  void axes();
  QPen axisPen(const ooxml::chart::Axis& a) const;
  void label(const TextStyle& style, const QString& text, QPointF anchor, int side,
             double gap = kLabelGap);

  LayoutContext& m_ctx;
  const ooxml::chart::ChartGroup& m_g;
  Scene3D& m_scene;
  const SurfaceBands m_bands;
  const std::vector<double> m_ticks;
  const bool m_contour;
  const ViewAngles m_view;
  // A mesh of more cells than a picture can show is cut at its first rows and columns.
  const int m_rows, m_columns;
  const ooxml::chart::Axis* const m_valueAxis;
  const ooxml::chart::Axis* const m_seriesAxis;
  const SurfaceTexts m_texts;
  // A 3-D surface's series axis shows its tick marks beside the floor's far side and its
  // labels beyond them, as the program draws it (a contour's stand inside its edge).
  const double m_seriesTick;
  // The floor keeps its proportions: a series as deep as a category is wide, times the depth
  // percentage.
  const double m_across, m_deep;
  const Projection3D m_proj;
  const double m_zStep;
  // The upright side the value axis stands on, and the far side the series' labels run along.
  const double m_sideX, m_farX;
  std::vector<Piece> m_pieces;
};

int meshColumns(const ooxml::chart::ChartGroup& g, int rows) {
  int columns = 1;
  for (const ooxml::chart::Series& s : g.series) columns = std::max(columns, s.pointCount());
  return std::clamp(columns, 1, std::max(2, kMaxMeshCells / rows));
}

bool showsTicks(const ooxml::chart::Axis* a) {
  return a && !a->deleted &&
         (a->majorTickMark == ooxml::chart::TickMark::Outside ||
          a->majorTickMark == ooxml::chart::TickMark::Cross);
}

SurfaceLayout::SurfaceLayout(LayoutContext& ctx, const ooxml::chart::ChartGroup& g)
    : m_ctx(ctx),
      m_g(g),
      m_scene(ctx.out.scene),
      m_bands(surfaceBands(ctx, g)),
      m_ticks(m_bands.scale.majorTicks()),
      m_contour(!g.is3D),
      m_view(m_contour ? ViewAngles{90, 0, false, 0, std::nullopt, 100}
                       : viewAngles(ctx.chart, false)),
      m_rows(std::clamp(int(g.series.size()), 1, kMaxMeshSide)),
      m_columns(meshColumns(g, m_rows)),
      m_valueAxis(valueAxisOf(ctx, g)),
      m_seriesAxis(g.axisIds.size() >= 3 ? ctx.chart.plotArea.axis(g.axisIds[2]) : nullptr),
      m_texts(surfaceTexts(
          ctx, g, m_ticks,
          !m_contour && (!m_valueAxis ||
                         (!m_valueAxis->deleted &&
                          m_valueAxis->tickLabelPosition != ooxml::chart::TickLabelPosition::None)),
          m_rows, m_columns)),
      m_seriesTick(!m_contour && showsTicks(m_seriesAxis) ? 4 : 0),
      m_across(std::max(1, m_columns - 1)),
      m_deep(m_across * m_rows / m_columns * m_view.depthPercent / 100.0),
      m_proj(fit()),
      m_zStep(m_rows > 1 ? m_deep / (m_rows - 1) : m_deep),
      m_sideX(m_proj.seesLeft() ? m_proj.box().x : 0),
      m_farX(m_proj.box().x - m_sideX) {}

// The mesh's box fills the plot less the room of the labels around it: values beside its
// front upright edge, series beside its far side, categories below its front. A contour keeps
// its value labels' room, beside it and half a label above, though it shows none, as both
// program versions' contour pictures do. A right-angled box keeps only the categories' height
// below it: its floor and labels stand the gap lower (Excel 2011's pictures).
Projection3D SurfaceLayout::fit() const {
  auto widest = [](const TextStyle& style, const QStringList& texts) {
    double w = 0;
    for (const QString& t : texts) w = std::max(w, measureText(style, t).width());
    return w > 0 ? w + kLabelGap : 0.0;
  };
  const bool seesLeft = seesLeftSide(m_view);
  const double valueRoom = widest(m_texts.styles[1], m_contour ? m_texts.ticks : m_texts.values),
               seriesRoom = widest(m_texts.styles[2], m_texts.series) + m_seriesTick;
  const double above = m_contour ? measureText(m_texts.styles[1], "0").height() / 2 : 0;
  const double below = m_texts.categories.isEmpty()
                           ? 0
                           : measureText(m_texts.styles[0], "0").height() +
                                 (m_view.rightAngleAxes ? 0 : kLabelGapUnder);
  QRectF target = m_ctx.out.plotArea.adjusted(seesLeft ? seriesRoom : valueRoom, above,
                                              -(seesLeft ? valueRoom : seriesRoom), -below);
  if (target.width() < 20 || target.height() < 20) target = m_ctx.out.plotArea;
  // With right-angled axes the mesh rises a little over half as high as its floor runs deep
  // (0.54: the program's right-angled surfaces, front face against floor); a turned view fills
  // the plot.
  return Projection3D(m_view, Vec3{m_across, m_across, m_deep}, 1, target,
                      m_view.rightAngleAxes ? std::optional<double>(m_deep * 0.54) : std::nullopt);
}

std::optional<MeshPoint> SurfaceLayout::at(int i, int j) const {
  if (j >= int(m_g.series.size())) return std::nullopt;
  const auto v = m_g.series[size_t(j)].values.number(i);
  if (!v) return std::nullopt;
  return MeshPoint{double(std::min(i, m_columns - 1)), double(j), *v};
}

int SurfaceLayout::bandOf(double v) const {
  int k = 0;
  while (k + 1 < int(m_bands.looks.size()) && v >= m_ticks[size_t(k) + 1]) ++k;
  return k;
}

// A facet's light, from its normal in the box as drawn; a contour's box, seen from above,
// rises half as high as its floor runs deep.
double SurfaceLayout::lightOf(const std::vector<MeshPoint>& cell) const {
  if (cell.size() < 3) return 1.0;
  const double lightHeight = m_contour ? m_deep / 2 : m_proj.box().y;
  std::vector<Vec3> corners;
  for (const MeshPoint& p : cell)
    corners.push_back(Vec3{p.x, heightAt(p.v, lightHeight), p.z * m_zStep});
  const Vec3 n = normalOf(corners);
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z) * (n.y < 0 ? -1 : 1);
  if (std::abs(length) < 1e-12) return 1.0;
  const Vec3 unit{n.x / length, n.y / length, n.z / length};
  return m_contour ? contourLight(unit) : facetLight(unit);
}

void SurfaceLayout::bandFaces(const std::vector<MeshPoint>& cell) {
  const double light = lightOf(cell);
  for (size_t k = 0; k < m_bands.looks.size(); ++k) {
    // Values beyond the scale belong to the first or last band.
    std::vector<MeshPoint> part = cell;
    if (k > 0) part = clipAt(part, m_ticks[k], true);
    if (k + 1 < m_bands.looks.size() && part.size() >= 3)
      part = clipAt(part, m_ticks[k + 1], false);
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
    for (const MeshPoint& p : part) f.polygon << m_proj.map(inBox(p));
    f.brush = litBrush(m_bands.looks[k].fill, light);
    f.point = int(k);
    double x = 0, z = 0, v = 0;
    for (const MeshPoint& p : part) x += p.x, z += p.z, v += p.v;
    const double n = double(part.size());
    add(std::move(f), MeshPoint{x / n, z / n, v / n});
  }
}

void SurfaceLayout::bandLines(const MeshPoint& a, const MeshPoint& b) {
  for (size_t k = 0; k < m_bands.looks.size(); ++k) {
    const double lo = k > 0 ? m_ticks[k] : -1e300,
                 hi = k + 1 < m_bands.looks.size() ? m_ticks[k + 1] : 1e300;
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
    f.polygon << m_proj.map(inBox(mix(a, b, t0))) << m_proj.map(inBox(mix(a, b, t1)));
    f.brush = Qt::NoBrush;
    f.pen = m_bands.looks[k].line;
    f.point = int(k);
    add(std::move(f), mix(a, b, (t0 + t1) / 2));
  }
}

// A wireframe also draws where each band meets the next, in the colour of the band below, as
// the program does.
void SurfaceLayout::levelLines(const std::array<MeshPoint, 3>& cell) {
  for (size_t k = 1; k < m_bands.looks.size(); ++k) {
    std::vector<MeshPoint> cut;
    for (size_t e = 0; e < 3; ++e) {
      const MeshPoint& a = cell[e];
      const MeshPoint& b = cell[(e + 1) % 3];
      if ((a.v < m_ticks[k]) != (b.v < m_ticks[k]))
        cut.push_back(mix(a, b, (m_ticks[k] - a.v) / (b.v - a.v)));
    }
    if (cut.size() != 2) continue;
    Face3D f;
    f.kind = Face3D::Kind::Top;
    f.polygon << m_proj.map(inBox(cut[0])) << m_proj.map(inBox(cut[1]));
    f.brush = Qt::NoBrush;
    f.pen = m_bands.looks[k - 1].line;
    f.point = int(k - 1);
    add(std::move(f), mix(cut[0], cut[1], 0.5));
  }
}

// The cell at (i, j) in triangles. In the 2013 look a cell is cut in two along its diagonal
// from (i, j), unless three of its corners lie in one band and the odd one is off that
// diagonal: then along the other, through the odd corner, as both of the program's excelize
// surface pictures show. Before it, the program cut a cell into four through its centre, at
// its corners' mean: the Excel 2011 contours come out as symmetric as their values, and lit in
// four facets a cell.
std::vector<std::array<MeshPoint, 3>> SurfaceLayout::triangles(int i, int j) const {
  const auto p = at(i, j), right = at(i + 1, j), up = at(i, j + 1), diag = at(i + 1, j + 1);
  if (p && right && up && diag) {
    if (!m_ctx.modernLook) {
      const MeshPoint c{(p->x + diag->x) / 2, (p->z + diag->z) / 2,
                        (p->v + right->v + up->v + diag->v) / 4};
      return {{*p, *right, c}, {*right, *diag, c}, {*diag, *up, c}, {*up, *p, c}};
    }
    const int a = bandOf(p->v), b = bandOf(right->v), c = bandOf(up->v), d = bandOf(diag->v);
    if ((a == b && b == d && c != a) || (a == c && c == d && b != a))
      return {{*p, *right, *up}, {*right, *diag, *up}};
  }
  std::vector<std::array<MeshPoint, 3>> out;
  if (p && right && diag) out.push_back({*p, *right, *diag});
  if (p && diag && up) out.push_back({*p, *diag, *up});
  return out;
}

// Every cell's pieces, far to near: its bands' faces, or a wireframe's lines.
void SurfaceLayout::mesh() {
  for (int j = 0; j < m_rows; ++j)
    for (int i = 0; i < m_columns; ++i) {
      if (m_g.wireframe) {
        const auto p = at(i, j), right = at(i + 1, j), up = at(i, j + 1);
        if (p && right) bandLines(*p, *right);
        if (p && up) bandLines(*p, *up);
      }
      for (const std::array<MeshPoint, 3>& triangle : triangles(i, j))
        m_g.wireframe ? levelLines(triangle) : bandFaces({triangle.begin(), triangle.end()});
    }
  std::stable_sort(m_pieces.begin(), m_pieces.end(),
                   [](const Piece& a, const Piece& b) { return a.depth > b.depth; });
  for (Piece& piece : m_pieces) m_scene.faces.push_back(std::move(piece.face));
}

// The floor and walls of a 3-D surface; a contour's plot is its mesh alone.
void SurfaceLayout::walls() {
  if (m_contour) return;
  const QPen edge(defaultGridColor(m_ctx.theme, m_ctx.chart.style), 0.75);
  // Walls show only their own line, as for bars; the floor is always outlined.
  auto outline = [&](const ooxml::chart::Wall& w, bool always, Vec3 a, Vec3 b, Vec3 c, Vec3 d) {
    Face3D f;
    f.kind = Face3D::Kind::Wall;
    f.polygon = QPolygonF({m_proj.map(a), m_proj.map(b), m_proj.map(c), m_proj.map(d)});
    f.brush = brushForFill(w.format.fill, m_ctx.theme, Qt::NoBrush);
    f.pen = penForLine(w.format.line, m_ctx.theme, always ? edge : QPen(Qt::NoPen));
    m_scene.walls.push_back(f);
  };
  const Vec3 box = m_proj.box();
  const ooxml::chart::ChartModel& c = m_ctx.chart;
  outline(c.backWall, false, {0, 0, box.z}, {box.x, 0, box.z}, {box.x, box.y, box.z},
          {0, box.y, box.z});
  outline(c.sideWall, false, {m_sideX, 0, 0}, {m_sideX, 0, box.z}, {m_sideX, box.y, box.z},
          {m_sideX, box.y, 0});
  outline(c.floor, true, {0, 0, 0}, {box.x, 0, 0}, {box.x, 0, box.z}, {0, 0, box.z});
  // The value axis' gridlines run round the back and side walls, as on a box.
  if (m_valueAxis && m_valueAxis->majorGridlines.present) {
    m_scene.gridPen = penForLine(m_valueAxis->majorGridlines.format.line, m_ctx.theme, edge);
    for (double v : m_ticks) {
      const double y = valueAt(v);
      m_scene.gridlines.emplace_back(m_proj.map({0, y, box.z}), m_proj.map({box.x, y, box.z}));
      m_scene.gridlines.emplace_back(m_proj.map({m_sideX, y, 0}), m_proj.map({m_sideX, y, box.z}));
    }
  }
}

QPen SurfaceLayout::axisPen(const ooxml::chart::Axis& a) const {
  return penForLine(a.format.line, m_ctx.theme,
                    QPen(defaultAxisLineColor(m_ctx.theme, m_ctx.chart.style), 0.75));
}

// A label left of (side 0), right of (1) or below (2) its anchor.
void SurfaceLayout::label(const TextStyle& style, const QString& text, QPointF anchor, int side,
                          double gap) {
  if (text.isEmpty()) return;
  const QSizeF size = measureText(style, text);
  QRectF r(QPointF(0, 0), size);
  if (side == 0)
    r.moveCenter(anchor - QPointF(gap + size.width() / 2, 0));
  else if (side == 1)
    r.moveCenter(anchor + QPointF(gap + size.width() / 2, 0));
  else
    r.moveCenter(anchor + QPointF(0, kLabelGapUnder + size.height() / 2));
  m_scene.labels.push_back(Label3D{text, r, style});
}

// Values up the side wall's front edge (none on a contour), categories along the front, series
// along the far side, each with its ticks.
void SurfaceLayout::axes() {
  const Vec3 box = m_proj.box();
  for (int k = 0; k < int(m_texts.values.size()); ++k)
    label(m_texts.styles[1], m_texts.values[k],
          m_proj.map(Vec3{m_sideX, valueAt(m_ticks[size_t(k)]), 0}), m_sideX == 0 ? 0 : 1);
  // The value axis' own line up the side wall's front edge, as on a box, and its ticks.
  if (!m_contour && m_valueAxis && !m_valueAxis->deleted) {
    m_scene.axisLines.emplace_back(m_proj.map(Vec3{m_sideX, 0, 0}),
                                   m_proj.map(Vec3{m_sideX, box.y, 0}));
    m_scene.axisPens.push_back(axisPen(*m_valueAxis));
    std::vector<QPointF> ticks;
    for (double v : m_ticks) ticks.push_back(m_proj.map(Vec3{m_sideX, valueAt(v), 0}));
    addTicks3D(m_scene, axisPen(*m_valueAxis), m_valueAxis->majorTickMark, ticks,
               QPointF(m_sideX == 0 ? -1 : 1, 0));
  }
  // The categories' ticks stand at the mesh's columns, down from the floor's front edge.
  const ooxml::chart::Axis* categoryAxis =
      m_g.axisIds.empty() ? nullptr : m_ctx.chart.plotArea.axis(m_g.axisIds[0]);
  if (!m_contour && categoryAxis && !categoryAxis->deleted) {
    std::vector<QPointF> ticks;
    for (int i = 0; i < m_columns; ++i) ticks.push_back(m_proj.map(Vec3{double(i), 0, 0}));
    addTicks3D(m_scene, axisPen(*categoryAxis), categoryAxis->majorTickMark, ticks, QPointF(0, 1));
  }
  for (int i = 0; i < int(m_texts.categories.size()); ++i)
    label(m_texts.styles[0], m_texts.categories[i], m_proj.map(Vec3{double(i), 0, 0}), 2);
  // The series axis' ticks stand at its labels and half-way between them, as the program
  // draws them. Where its labels stand less than a line apart it shows every second (third...)
  // one from the first, as the program does.
  std::vector<QPointF> anchors;
  for (int j = 0; j < int(m_texts.series.size()); ++j)
    anchors.push_back(m_proj.map(Vec3{m_farX, 0, j * m_zStep}));
  const int labelStep = labelStepFor(anchors, measureText(m_texts.styles[2], "0").height());
  for (int j = 0; j < int(m_texts.series.size()); ++j) {
    if (j % labelStep == 0)
      label(m_texts.styles[2], m_texts.series[j], anchors[size_t(j)], m_farX == 0 ? 0 : 1,
            kLabelGap + m_seriesTick);
    if (m_seriesTick <= 0) continue;
    for (const double z : {j * m_zStep, (j - 0.5) * m_zStep}) {
      if (z < 0) continue;
      const QPointF from = m_proj.map(Vec3{m_farX, 0, z});
      m_scene.axisLines.emplace_back(from,
                                     from + QPointF(m_farX == 0 ? -m_seriesTick : m_seriesTick, 0));
      m_scene.axisPens.push_back(axisPen(*m_seriesAxis));
    }
  }
}

void SurfaceLayout::build() {
  m_scene.present = true;
  m_scene.view = m_view;
  mesh();
  walls();
  axes();
  QRectF bounds;
  for (const auto* list : {&m_scene.walls, &m_scene.faces})
    for (const Face3D& f : *list)
      bounds = bounds.isNull() ? f.polygon.boundingRect() : bounds.united(f.polygon.boundingRect());
  m_scene.bounds = bounds;
}

}  // namespace

void layoutSurface(LayoutContext& ctx, int groupIndex) {
  SurfaceLayout(ctx, ctx.chart.plotArea.groups[size_t(groupIndex)]).build();
}

}  // namespace morvane::render::chart::detail
