// The 3-D view of bar, line and area charts: a box of categories across, values up (across
// for horizontal bars) and series rows in depth, projected onto the plot rectangle; bars as
// boxes, pyramids, or cylinders and cones drawn round, lines as ribbons, areas as slabs.
#include <algorithm>
#include <cmath>
#include <map>

#include "render/chart/layout_context.h"

namespace morvane::render::chart {

QColor shadeFor(const QColor& color, Face3D::Kind kind) {
  // Measured on the program's pictures: the top about 0.77 of the front, the side 0.65.
  const double f = kind == Face3D::Kind::Top ? 0.77 : kind == Face3D::Kind::Side ? 0.65 : 1.0;
  if (f == 1.0) return color;
  return QColor::fromRgbF(float(color.redF() * f), float(color.greenF() * f),
                          float(color.blueF() * f), color.alphaF());
}

namespace detail {

Vec3 normalOf(const std::vector<Vec3>& corners) {
  Vec3 n;
  for (size_t i = 0; i < corners.size(); ++i) {
    const Vec3& p = corners[i];
    const Vec3& q = corners[(i + 1) % corners.size()];
    n.x += (p.y - q.y) * (p.z + q.z);
    n.y += (p.z - q.z) * (p.x + q.x);
    n.z += (p.x - q.x) * (p.y + q.y);
  }
  return n;
}

void addTicks3D(Scene3D& scene, const QPen& pen, ooxml::chart::TickMark mark,
                const std::vector<QPointF>& at, QPointF outward) {
  using ooxml::chart::TickMark;
  constexpr double kTick3D = 2;  // the program's 1x pictures: 1-2 px past a 1 px edge
  if (mark == TickMark::None || pen.style() == Qt::NoPen) return;
  const double out = mark == TickMark::Inside ? 0 : kTick3D;
  const double in = mark == TickMark::Outside ? 0 : kTick3D;
  for (const QPointF& p : at) {
    scene.axisLines.emplace_back(p - outward * in, p + outward * out);
    scene.axisPens.push_back(pen);
  }
}

namespace {

using ooxml::chart::ChartKind;
using ooxml::chart::Grouping;

constexpr double kLabelGap = 4;         // points between an edge and its labels
constexpr double kLabelGapUnder = 6;    // the box's front edge to the labels below it
// Short labels beside a box still keep this many of their ems of room where no legend stands
// beside them: the program's one-digit labels stand 8-9 pt further from the chart's edge than
// their width needs, two-digit ones 2-4 pt, wider ones not at all (its 3-D area, column and
// line pictures, 9 and 10 pt text); beside a legend its labels keep only their width.
constexpr double kLabelRoomEm = 1.35;
constexpr double kLabelGapBeside = 8;   // the box's upright front edge to the labels beside it
constexpr double kLabelGapUnder2D = 2;  // what the flat axis layout reserved under the plot
constexpr double kLabelGapBeside2D = 6;  // and beside it
constexpr double kTitleNear = 4;         // an axis title to its labels

// Where the group's pieces sit in the box, in category units.
struct Plan {
  const ooxml::chart::ChartGroup* group = nullptr;
  int groupIndex = 0;
  const AxisLayout* cat = nullptr;
  const AxisLayout* val = nullptr;
  const ooxml::chart::Axis* seriesAxis = nullptr;
  bool horizontal = false;  // categories up, values across
  int categories = 1;
  int rows = 1;           // series in depth (standard grouping), else 1
  int perCategory = 1;    // bars side by side in a category (clustered)
  double barWidth = 1;    // one bar's width across its category
  double pieceDepth = 1;  // one bar's, ribbon's or slab's depth
  double rowDepth = 1;
};

Plan planFor(const LayoutContext& ctx, int gi) {
  const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(gi)];
  Plan p;
  p.group = &g;
  p.groupIndex = gi;
  const int ids[2] = {g.axisIds.size() >= 2 ? g.axisIds[0] : -1000,
                      g.axisIds.size() >= 2 ? g.axisIds[1] : -1001};
  p.cat = ctx.out.axisById(ids[0]);
  p.val = ctx.out.axisById(ids[1]);
  if (g.axisIds.size() >= 3) p.seriesAxis = ctx.chart.plotArea.axis(g.axisIds[2]);
  p.horizontal = g.kind == ChartKind::Bar && g.horizontal;
  p.categories = p.cat ? std::max(1, p.cat->categoryCount) : 1;
  const int n = std::max<int>(1, int(g.series.size()));
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  // Bars stand in rows only when the grouping says so; lines and areas always do, except
  // stacked ones, which share one row.
  const bool inRows = g.kind == ChartKind::Bar ? g.grouping == Grouping::Standard : !stacked;
  p.rows = inRows ? n : 1;
  p.perCategory = g.kind == ChartKind::Bar && g.grouping == Grouping::Clustered ? n : 1;
  const double gap = std::clamp(g.gapWidth, 0, 500) / 100.0;
  p.barWidth = 1.0 / (p.perCategory + gap);
  p.pieceDepth = g.kind == ChartKind::Bar ? p.barWidth : 1.0 / (1 + gap);
  p.rowDepth = p.pieceDepth * (1 + std::clamp(g.gapDepth, 0, 500) / 100.0);
  if (g.kind == ChartKind::Line) {
    // The program's 3-D line picture (three rows, no view) shows its rows a tenth shallower
    // than an area's, and its ribbons a third thinner than an area's slabs within them.
    p.rowDepth *= 0.9;
    p.pieceDepth *= 0.9 * 0.7;
  }
  return p;
}

// Where category `slot`'s point stands across the box: amid its slot, or for areas on the
// slot's tick, the first at the box's start and the last at its end, as the program draws
// 3-D areas.
double categoryUnit(const Plan& plan, double slot) {
  const int n = plan.categories;
  if (plan.group->kind != ChartKind::Area) return slot + 0.5;
  return n > 1 ? slot * n / double(n - 1) : n / 2.0;
}

// Maps category units, values and depth into the box and onto the picture.
struct Space {
  const Plan& plan;
  const Projection3D& proj;
  double depthScale = 1;

  double valueLength() const { return plan.horizontal ? proj.box().x : proj.box().y; }
  double categoryLength() const { return plan.horizontal ? proj.box().y : proj.box().x; }
  double valueAt(double v) const {
    double f = std::clamp(plan.val->scale.fraction(v), 0.0, 1.0);
    if (plan.val->reversed) f = 1 - f;
    return f * valueLength();
  }
  // The box coordinate of category unit `u` (0 at the first category's start).
  double categoryAt(double u) const { return plan.cat->reversed ? plan.categories - u : u; }
  Vec3 at(double u, double value, double z) const {
    const double c = categoryAt(u), v = valueAt(value);
    return plan.horizontal ? Vec3{v, c, z} : Vec3{c, v, z};
  }
  QPointF map(const Vec3& p) const { return proj.map(p); }
};

QPolygonF quad(const Space& s, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
  return QPolygonF({s.map(a), s.map(b), s.map(c), s.map(d)});
}

QBrush shaded(const SeriesLook& look, Face3D::Kind kind) {
  if (kind == Face3D::Kind::Front && look.fill.style() != Qt::NoBrush) return look.fill;
  QColor base = look.fill.style() == Qt::SolidPattern ? look.fill.color() : look.baseColor;
  if (!base.isValid()) base = look.line.color();
  return QBrush(shadeFor(base, kind));
}

// A solid with its faces and how far it is, for drawing the far ones first.
struct Solid {
  double depth = 0;
  // The depth of its row's middle. Rows lie between parallel planes, so a farther row is
  // drawn whole before a nearer one: a long slab's middle may stand nearer than a segment of
  // the slab in front of it.
  double row = 0;
  std::vector<Face3D> faces;
};

Face3D face(Face3D::Kind kind, QPolygonF polygon, const SeriesLook& look, int series, int point) {
  Face3D f;
  f.kind = kind;
  f.polygon = std::move(polygon);
  f.brush = shaded(look, kind);
  f.pen = look.line;
  f.series = series;
  f.point = point;
  return f;
}

// The box from (x0, y0, z0) to (x1, y1, z1): the faces the viewer sees.
Solid box(const Space& s, Vec3 a, Vec3 b, const SeriesLook& look, int series, int point) {
  if (a.x > b.x) std::swap(a.x, b.x);
  if (a.y > b.y) std::swap(a.y, b.y);
  if (a.z > b.z) std::swap(a.z, b.z);
  Solid solid;
  solid.depth = s.proj.depth(Vec3{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2});
  const double sx = s.proj.seesLeft() ? a.x : b.x;
  const double ty = s.proj.seesBottom() ? a.y : b.y;
  solid.faces.push_back(face(
      Face3D::Kind::Side, quad(s, {sx, a.y, a.z}, {sx, b.y, a.z}, {sx, b.y, b.z}, {sx, a.y, b.z}),
      look, series, point));
  solid.faces.push_back(face(
      Face3D::Kind::Top, quad(s, {a.x, ty, a.z}, {b.x, ty, a.z}, {b.x, ty, b.z}, {a.x, ty, b.z}),
      look, series, point));
  solid.faces.push_back(
      face(Face3D::Kind::Front,
           quad(s, {a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z}), look,
           series, point));
  return solid;
}

// The sides of a round solid: enough that its outline shows no corner at twice the picture's
// size, and a multiple of four so that one strip faces the front and one each side.
constexpr int kRoundSides = 32;

// How a strip of a round side turned `turn` radians from the front (towards the high end
// across the bar) is shaded when the viewer stands `viewTurn` round the same way: the front's
// colour facing the front, the colour of the box's face across the bar (`across`) once turned a
// quarter, and between them lighter the more the strip faces both the front and the viewer, so
// that the light falls amid the two as on the program's cylinders.
QBrush shadedAt(const SeriesLook& look, Face3D::Kind across, double turn, double viewTurn) {
  const double c = std::cos(turn);
  if (c >= 1 - 1e-9) return shaded(look, Face3D::Kind::Front);
  if (c <= 1e-9) return shaded(look, across);
  QColor base = look.fill.style() == Qt::SolidPattern ? look.fill.color() : look.baseColor;
  if (!base.isValid()) base = look.line.color();
  const QColor side = shadeFor(base, across);
  const double w = c * std::max(0.0, std::cos(turn - viewTurn)) / std::cos(viewTurn);
  auto mix = [w](double front, double dark) {
    return float(std::clamp(front * w + dark * (1 - w), 0.0, 1.0));
  };
  return QBrush(QColor::fromRgbF(mix(base.redF(), side.redF()), mix(base.greenF(), side.greenF()),
                                 mix(base.blueF(), side.blueF()), base.alphaF()));
}

Vec3 minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A slice of an upright solid of `sides` flat sides standing on the bar from `a` to `b` (box
// coordinates): 4 for a pyramid, kRoundSides for cylinders and cones. Its cross-section, the
// bar's across and in depth, shrinks evenly from its full size at `foot` to a point at `apex`
// (both along the value axis), or keeps its size without an apex. The faces that turn towards
// the viewer are kept, far to near: the strips of the side and the ends that are not a point.
Solid frustum(const Space& s, const Vec3& a, const Vec3& b, double foot, std::optional<double> apex,
              int sides, const SeriesLook& look, int series, int point) {
  const bool columns = !s.plan.horizontal;
  auto make = [columns](double across, double value, double z) {
    return columns ? Vec3{across, value, z} : Vec3{value, across, z};
  };
  const double c0 = std::min(columns ? a.x : a.y, columns ? b.x : b.y);
  const double c1 = std::max(columns ? a.x : a.y, columns ? b.x : b.y);
  const double v0 = std::min(columns ? a.y : a.x, columns ? b.y : b.x);
  const double v1 = std::max(columns ? a.y : a.x, columns ? b.y : b.x);
  const double zm = (a.z + b.z) / 2, hz = std::abs(b.z - a.z) / 2;
  const double cm = (c0 + c1) / 2, hc = (c1 - c0) / 2;
  auto size = [&](double v) {
    if (!apex) return 1.0;
    return *apex != foot ? std::clamp((*apex - v) / (*apex - foot), 0.0, 1.0) : 0.0;
  };
  // The sides touch the bar's edges: their corners stand out on the circumscribing ellipse.
  const double step = 2 * M_PI / sides, reach = 1 / std::cos(step / 2);
  auto corner = [&](double v, double turn) {
    const double r = reach * size(v);
    return make(cm + hc * r * std::sin(turn), v, zm - hz * r * std::cos(turn));
  };
  const Face3D::Kind across = columns ? Face3D::Kind::Side : Face3D::Kind::Top;
  const Face3D::Kind end = columns ? Face3D::Kind::Top : Face3D::Kind::Side;
  // Where the viewer stands round the solid: turned to the right (columns) or up (bars).
  const double turned = (columns ? s.proj.view().rotY : s.proj.view().rotX) * M_PI / 180;
  const double viewTurn = std::clamp(std::atan2(std::sin(turned), std::cos(turned)), -1.3, 1.3);
  const bool round = sides > 4;
  std::vector<std::pair<double, Face3D>> shown;  // each with its depth
  auto keep = [&](const std::vector<Vec3>& corners, Vec3 normal, const Vec3& inside, Face3D f) {
    Vec3 mid;
    QPolygonF polygon;
    for (const Vec3& c : corners) {
      mid = {mid.x + c.x / corners.size(), mid.y + c.y / corners.size(),
             mid.z + c.z / corners.size()};
      polygon << s.map(c);
    }
    if (dot(normal, minus(mid, inside)) < 0) normal = {-normal.x, -normal.y, -normal.z};
    if (!s.proj.facesViewer(mid, normal)) return;
    f.polygon = std::move(polygon);
    shown.emplace_back(s.proj.depth(mid), std::move(f));
  };
  for (int k = 0; k < sides; ++k) {
    const double turn = k * step;
    const std::vector<Vec3> corners = {corner(v0, turn - step / 2), corner(v0, turn + step / 2),
                                       corner(v1, turn + step / 2), corner(v1, turn - step / 2)};
    Face3D f = face(std::cos(turn) > std::cos(M_PI / 4) + 1e-9 ? Face3D::Kind::Front : across, {},
                    look, series, point);
    f.brush = shadedAt(look, across, turn, viewTurn);
    if (round) {
      f.curved = true;
      f.pen = QPen(Qt::NoPen);
    }
    const Vec3 mid = corner((v0 + v1) / 2, turn);
    keep(corners, normalOf(corners), make(cm, columns ? mid.y : mid.x, zm), std::move(f));
  }
  for (const double v : {v0, v1}) {
    if (size(v) <= 1e-9) continue;
    std::vector<Vec3> corners;
    for (int k = 0; k < sides; ++k) corners.push_back(corner(v, k * step + step / 2));
    keep(corners, make(0, v == v0 ? -1 : 1, 0), make(cm, (v0 + v1) / 2, zm),
         face(end, {}, look, series, point));
  }
  std::stable_sort(shown.begin(), shown.end(),
                   [](const auto& x, const auto& y) { return x.first > y.first; });
  Solid solid;
  solid.depth = s.proj.depth(make(cm, (v0 + v1) / 2, zm));
  for (auto& [depth, f] : shown) solid.faces.push_back(std::move(f));
  return solid;
}

// Label anchors: [layout series][point] -> the picture point a data label stands off from,
// or is centred on.
struct Anchor {
  QPointF at;
  bool centred = false;
};
using Anchors = std::map<std::pair<int, int>, Anchor>;

// The light on a face with `corners`, its normal turned up.
double upperLight(const std::vector<Vec3>& corners) {
  const Vec3 n = normalOf(corners);
  const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z) * (n.y < 0 ? -1 : 1);
  if (std::abs(length) < 1e-12) return facetLight(Vec3{0, 1, 0});
  return facetLight(Vec3{n.x / length, n.y / length, n.z / length});
}

int layoutSeriesIndex(const ChartLayout& out, int group, int seriesInGroup) {
  for (size_t i = 0; i < out.series.size(); ++i)
    if (out.series[i].group == group && out.series[i].seriesInGroup == seriesInGroup) return int(i);
  return -1;
}

double rowFront(const Space& s, int row) {
  return (row * s.plan.rowDepth + (s.plan.rowDepth - s.plan.pieceDepth) / 2) * s.depthScale;
}

double rowDepthOf(const Space& s, int row) {
  const Vec3 b = s.proj.box();
  return s.proj.depth({b.x / 2, b.y / 2, rowFront(s, row) + s.plan.pieceDepth * s.depthScale / 2});
}

void barSolids(const LayoutContext& ctx, const Space& s, std::vector<Solid>& solids,
               Anchors& anchors) {
  const Plan& plan = s.plan;
  const auto stacks = stackValues(ctx, *plan.group);
  const bool stacked =
      plan.group->grouping == Grouping::Stacked || plan.group->grouping == Grouping::PercentStacked;
  const double base = plan.val->scale.logBase
                          ? plan.val->scale.min
                          : std::clamp(0.0, plan.val->scale.min, plan.val->scale.max);
  const double gap = 1 - plan.perCategory * plan.barWidth;
  // A stack of pyramid or cone slices ends in one apex, at the stack's total.
  auto stackEnd = [&](size_t i, bool up) {
    double end = base;
    for (const auto& series : stacks)
      if (i < series.size())
        end = up ? std::max(end, series[i].second) : std::min(end, series[i].second);
    return end;
  };
  for (size_t j = 0; j < plan.group->series.size(); ++j) {
    const int si = layoutSeriesIndex(ctx.out, plan.groupIndex, int(j));
    if (si < 0) continue;
    const SeriesGeometry& sg = ctx.out.series[size_t(si)];
    const int row = plan.rows > 1 ? int(j) : 0;
    const int slot = plan.perCategory > 1 ? int(j) : 0;
    const double z0 = rowFront(s, row), z1 = z0 + plan.pieceDepth * s.depthScale;
    const QString& shape =
        plan.group->series[j].shape.isEmpty() ? plan.group->shape : plan.group->series[j].shape;
    // Pyramids and cones narrow to an apex, cylinders keep their size; all three are
    // frustums: of four sides, or of enough to look round.
    const bool pyramid = shape.startsWith(QLatin1String("pyramid"));
    const bool pointed = pyramid || shape.startsWith(QLatin1String("cone"));
    const bool frustumShaped = pointed || shape == QLatin1String("cylinder");
    const bool toMax = shape.endsWith(QLatin1String("ToMax"));
    for (size_t i = 0; i < sg.points.size(); ++i) {
      const PointGeometry& p = sg.points[i];
      const double at = plan.cat->pointSlot(int(i));
      if (!p.valid || std::isnan(at)) continue;
      const auto [from, to] = stacks[j][i];
      const double u0 = at + gap / 2 + slot * plan.barWidth;
      const double v0 = stacked ? from : base, v1 = stacked ? to : p.value;
      const bool up = v1 >= v0;
      const double apex = toMax     ? (up ? plan.val->scale.max : plan.val->scale.min)
                          : stacked ? stackEnd(i, up)
                                    : v1;
      const Vec3 a = s.at(u0, v0, z0), b = s.at(u0 + plan.barWidth, v1, z1);
      solids.push_back(
          frustumShaped ? frustum(s, a, b, s.valueAt(base),
                                  pointed ? std::optional<double>(s.valueAt(apex)) : std::nullopt,
                                  pyramid ? 4 : kRoundSides, p.look, si, int(i))
                        : box(s, a, b, p.look, si, int(i)));
      solids.back().row = rowDepthOf(s, row);
      // Stacked segments carry their labels inside, on their fronts; others stand over the
      // front of their end, which narrows towards a pointed solid's apex (over the apex itself
      // where the solid ends in it).
      const double mid = u0 + plan.barWidth / 2;
      const double reach = s.valueAt(apex) - s.valueAt(base);
      const double narrow = pointed && reach != 0
                                ? std::clamp((s.valueAt(apex) - s.valueAt(v1)) / reach, 0.0, 1.0)
                                : 1.0;
      const double front = (z0 + z1) / 2 - (z1 - z0) / 2 * narrow;
      anchors[{si, int(i)}] = stacked ? Anchor{s.map(s.at(mid, (v0 + v1) / 2, z0)), true}
                                      : Anchor{s.map(s.at(mid, v1, front)), false};
    }
  }
}

// A line as a ribbon: each segment's upper face and its front edge; an area as a slab: its
// front, the upper faces and the closing side.
void ribbonSolids(const LayoutContext& ctx, const Space& s, std::vector<Solid>& solids,
                  Anchors& anchors) {
  const Plan& plan = s.plan;
  const bool area = plan.group->kind == ChartKind::Area;
  const auto stacks = stackValues(ctx, *plan.group);
  const bool stacked =
      plan.group->grouping == Grouping::Stacked || plan.group->grouping == Grouping::PercentStacked;
  const double base = std::clamp(0.0, plan.val->scale.min, plan.val->scale.max);
  const double thickness = (plan.val->scale.max - plan.val->scale.min) * 0.012;
  auto unitOf = [&](double slot) { return categoryUnit(plan, slot); };
  for (size_t j = 0; j < plan.group->series.size(); ++j) {
    const int si = layoutSeriesIndex(ctx.out, plan.groupIndex, int(j));
    if (si < 0) continue;
    const SeriesGeometry& sg = ctx.out.series[size_t(si)];
    const int row = plan.rows > 1 ? int(j) : 0;
    const double z0 = rowFront(s, row), z1 = z0 + plan.pieceDepth * s.depthScale;
    struct Pt {
      double u, lo, hi;
    };
    std::vector<Pt> pts;
    for (size_t i = 0; i < sg.points.size(); ++i) {
      const PointGeometry& p = sg.points[i];
      const double at = plan.cat->pointSlot(int(i));
      if (std::isnan(at) || (!p.valid && !area)) continue;
      const auto [from, to] = stacks[j][i];
      const double hi = stacked ? to : (p.valid ? p.value : 0);
      pts.push_back({unitOf(at), stacked ? from : (area ? base : hi - thickness), hi});
      // An area's label sits amid its band, half its slab's depth back (the program's 3-D
      // area pictures, in one row and in three); a line's above its point.
      if (p.valid)
        anchors[{si, int(i)}] =
            area ? Anchor{s.map(s.at(unitOf(at), (pts.back().lo + hi) / 2, (z0 + z1) / 2)), true}
                 : Anchor{s.map(s.at(unitOf(at), hi, z0)), false};
    }
    if (pts.size() < 2 && !area) continue;
    // A ribbon is the line's colour, not its stroke: the line's width would thicken it.
    SeriesLook look = sg.look;
    if (!area) look.line = QPen(Qt::NoPen);
    // In the outlined styles (9-16) each segment is outlined as a filled shape would be, in
    // white round the segment as a whole: a light seam where segments meet, nothing along the
    // ribbon (the program's 3-D line picture).
    const QPen seam =
        !area && styleInfo(ctx.chart.style).variant == 1
            ? QPen(ctx.theme.schemeColor("lt1"), 0.75, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin)
            : QPen(Qt::NoPen);
    Solid front;
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
      const Pt& a = pts[i];
      const Pt& b = pts[i + 1];
      Solid seg;
      seg.row = rowDepthOf(s, row);
      seg.depth = s.proj.depth(s.at((a.u + b.u) / 2, (a.hi + b.hi) / 2, (z0 + z1) / 2));
      const std::vector<Vec3> upper = {s.at(a.u, a.hi, z0), s.at(b.u, b.hi, z0),
                                       s.at(b.u, b.hi, z1), s.at(a.u, a.hi, z1)};
      seg.faces.push_back(
          face(Face3D::Kind::Top, quad(s, upper[0], upper[1], upper[2], upper[3]), look, si, -1));
      // A ribbon's upper face is lit as a surface's facet: 0.88 of its colour level, lighter
      // falling to the right, darker rising (the program's 3-D line picture: 0.85-0.92 across
      // its ribbons, ±7 % segment to segment). A slab's upper faces keep one shade.
      if (!area) {
        seg.faces.back().brush = litBrush(shaded(look, Face3D::Kind::Front), upperLight(upper));
        seg.faces.push_back(face(Face3D::Kind::Front,
                                 quad(s, s.at(a.u, a.lo, z0), s.at(b.u, b.lo, z0),
                                      s.at(b.u, b.hi, z0), s.at(a.u, a.hi, z0)),
                                 look, si, -1));
      }
      if (seam.style() != Qt::NoPen) {
        Face3D edge = seg.faces.back();
        edge.polygon = seg.faces.front().polygon.united(edge.polygon);
        edge.brush = Qt::NoBrush;
        edge.pen = seam;
        seg.faces.push_back(std::move(edge));
      }
      solids.push_back(std::move(seg));
    }
    if (!area || pts.empty()) continue;
    // The slab's front and the side towards the viewer, drawn after its upper faces.
    QPolygonF outline;
    for (const Pt& p : pts) outline << s.map(s.at(p.u, p.hi, z0));
    for (auto it = pts.rbegin(); it != pts.rend(); ++it) outline << s.map(s.at(it->u, it->lo, z0));
    const Pt& end = s.proj.seesLeft() == s.plan.cat->reversed ? pts.back() : pts.front();
    front.row = rowDepthOf(s, row);
    front.depth = s.proj.depth(s.at(end.u, (end.lo + end.hi) / 2, z0)) - 1e-6;
    front.faces.push_back(face(Face3D::Kind::Side,
                               quad(s, s.at(end.u, end.lo, z0), s.at(end.u, end.hi, z0),
                                    s.at(end.u, end.hi, z1), s.at(end.u, end.lo, z1)),
                               sg.look, si, -1));
    front.faces.push_back(face(Face3D::Kind::Front, outline, sg.look, si, -1));
    // Each slab's front covers its own upper faces: keep it just nearer than the nearest.
    double nearest = front.depth;
    for (const Solid& other : solids)
      if (!other.faces.empty() && other.faces.front().series == si)
        nearest = std::min(nearest, other.depth);
    front.depth = nearest - 1e-6;
    solids.push_back(std::move(front));
  }
}

Face3D wall(const Space& s, const ooxml::chart::Wall& w, const QPen& fallback, const Vec3& a,
            const Vec3& b, const Vec3& c, const Vec3& d, const ooxml::chart::Theme& theme) {
  Face3D f;
  f.kind = Face3D::Kind::Wall;
  f.polygon = quad(s, a, b, c, d);
  f.brush = brushForFill(w.format.fill, theme, Qt::NoBrush);
  f.pen = penForLine(w.format.line, theme, fallback);
  return f;
}

void addLabel(Scene3D& scene, const TextStyle& style, const QString& text, const QPointF& anchor,
              int side, double gap = kLabelGap) {
  if (text.isEmpty()) return;
  const QSizeF size = measureText(style, text);
  QRectF r(QPointF(0, 0), size);
  switch (side) {
    case 0:
      r.moveCenter(anchor - QPointF(gap + size.width() / 2, 0));
      break;  // left
    case 1:
      r.moveCenter(anchor + QPointF(gap + size.width() / 2, 0));
      break;  // right
    default:
      r.moveCenter(anchor + QPointF(0, kLabelGapUnder + size.height() / 2));
      break;  // below
  }
  scene.labels.push_back(Label3D{text, r, style});
}

// Where each axis' tick labels ended up round the box.
struct LabelExtents {
  QRectF value, category;
};

QRectF extentOf(const Scene3D& scene, size_t from) {
  QRectF r;
  for (size_t i = from; i < scene.labels.size(); ++i)
    r = r.isNull() ? scene.labels[i].rect : r.united(scene.labels[i].rect);
  return r;
}

// An axis title stands beside its labels, as the program sets it: the flat layout left it
// beyond the room the labels would take at the plot's edge, but on a box they follow its
// projected edge, further in. Titles only move towards the plot.
void pullTitleToLabels(AxisLayout& a, const QRectF& labels) {
  if (a.title.isEmpty() || labels.isNull()) return;
  const QSizeF size = measureRotated(a.titleStyle, a.title);
  QPointF& c = a.titleCenter;
  if (a.horizontal) {
    if (c.y() > labels.center().y())
      c.setY(std::min(c.y(), labels.bottom() + kTitleNear + size.height() / 2));
    else
      c.setY(std::max(c.y(), labels.top() - kTitleNear - size.height() / 2));
  } else if (c.x() < labels.center().x()) {
    c.setX(std::max(c.x(), labels.left() - kTitleNear - size.width() / 2));
  } else {
    c.setX(std::min(c.x(), labels.right() + kTitleNear + size.width() / 2));
  }
}

LabelExtents wallsAndAxes(const LayoutContext& ctx, const Space& s, Scene3D& scene) {
  LabelExtents extents;
  const Plan& plan = s.plan;
  const Vec3 b = s.proj.box();
  const double sideX = s.proj.seesLeft() ? b.x : 0, farX = b.x - sideX;
  const QColor grid = defaultGridColor(ctx.theme, ctx.chart.style);
  const QPen edge(grid, 0.75);
  // Walls show only their own line, whether the file writes them or not (the program's 3-D
  // line and area pictures of files without walls show none round them); what the bars stand
  // on shows its edges.
  const ooxml::chart::ChartModel& c = ctx.chart;
  scene.walls.push_back(wall(s, c.backWall, QPen(Qt::NoPen), {0, 0, b.z}, {b.x, 0, b.z},
                             {b.x, b.y, b.z}, {0, b.y, b.z}, ctx.theme));
  // Horizontal bars stand on the side wall: it is outlined as the floor is for columns.
  const bool sideOutlined = plan.horizontal;
  const bool floorOutlined = !c.floor.present || !plan.horizontal;
  scene.walls.push_back(wall(s, c.sideWall, sideOutlined ? edge : QPen(Qt::NoPen), {sideX, 0, 0},
                             {sideX, 0, b.z}, {sideX, b.y, b.z}, {sideX, b.y, 0}, ctx.theme));
  scene.walls.push_back(wall(s, c.floor, floorOutlined ? edge : QPen(Qt::NoPen), {0, 0, 0},
                             {b.x, 0, 0}, {b.x, 0, b.z}, {0, 0, b.z}, ctx.theme));
  const AxisLayout& val = *plan.val;
  const AxisLayout& cat = *plan.cat;
  if (val.axis.majorGridlines.present) {
    scene.gridPen = penForLine(val.axis.majorGridlines.format.line, ctx.theme, edge);
    for (double v : val.scale.majorTicks()) {
      const double t = s.valueAt(v);
      if (plan.horizontal) {
        scene.gridlines.emplace_back(s.map({t, 0, b.z}), s.map({t, b.y, b.z}));
        scene.gridlines.emplace_back(s.map({t, 0, 0}), s.map({t, 0, b.z}));
      } else {
        scene.gridlines.emplace_back(s.map({0, t, b.z}), s.map({b.x, t, b.z}));
        scene.gridlines.emplace_back(s.map({sideX, t, 0}), s.map({sideX, t, b.z}));
      }
    }
  }
  // The value axis on the front edge of the side wall (of the floor for horizontal bars),
  // the categories along the other front edge, the series along the floor's far side.
  auto axisPen = [&](const AxisLayout& a) {
    return penForLine(a.axis.format.line, ctx.theme,
                      QPen(defaultAxisLineColor(ctx.theme, ctx.chart.style), 0.75));
  };
  // The value axis crosses the categories at their start: on the far right when they run
  // reversed, at the back there so that the bars do not hide it.
  const bool valueRight = !plan.horizontal && plan.cat->reversed;
  const double valueX = valueRight ? b.x : sideX, valueZ = valueRight ? b.z : 0;
  const QLineF upEdge(s.map({valueX, 0, valueZ}), s.map({valueX, b.y, valueZ}));
  const QLineF acrossEdge(s.map({0, 0, 0}), s.map({b.x, 0, 0}));
  if (val.visible) {
    const size_t first = scene.labels.size();
    scene.axisLines.push_back(plan.horizontal ? acrossEdge : upEdge);
    scene.axisPens.push_back(axisPen(val));
    const std::vector<double> ticks = val.scale.majorTicks();
    std::vector<QPointF> at;
    for (double v : ticks)
      at.push_back(plan.horizontal ? s.map({s.valueAt(v), 0, 0})
                                   : s.map({valueX, s.valueAt(v), valueZ}));
    addTicks3D(scene, axisPen(val), val.axis.majorTickMark, at,
               plan.horizontal ? QPointF(0, 1) : QPointF(valueX == 0 ? -1 : 1, 0));
    for (size_t i = 0; i < ticks.size() && i < val.labels.size(); ++i) {
      const double t = s.valueAt(ticks[i]);
      if (plan.horizontal)
        addLabel(scene, val.labelStyle, val.labels[i], s.map({t, 0, 0}), 2);
      else
        addLabel(scene, val.labelStyle, val.labels[i], s.map({valueX, t, valueZ}),
                 valueX == 0 ? 0 : 1, kLabelGapBeside);
    }
    extents.value = extentOf(scene, first);
  }
  if (cat.visible) {
    const size_t first = scene.labels.size();
    scene.axisLines.push_back(plan.horizontal ? upEdge : acrossEdge);
    scene.axisPens.push_back(axisPen(cat));
    // Ticks part the categories' slots; an area's stand at its points, as its labels do.
    std::vector<QPointF> at;
    const bool area = plan.group->kind == ChartKind::Area;
    for (int i = 0; i <= plan.categories - (area ? 1 : 0); ++i) {
      const double u = s.categoryAt(area ? categoryUnit(plan, i) : i);
      at.push_back(plan.horizontal ? s.map({sideX, u, 0}) : s.map({u, 0, 0}));
    }
    addTicks3D(scene, axisPen(cat), cat.axis.majorTickMark, at,
               plan.horizontal ? QPointF(sideX == 0 ? -1 : 1, 0) : QPointF(0, 1));
    for (int i = 0; i < int(cat.labels.size()); ++i) {
      const double u = s.categoryAt(categoryUnit(plan, i));
      if (plan.horizontal)
        addLabel(scene, cat.labelStyle, cat.labels[size_t(i)], s.map({sideX, u, 0}),
                 sideX == 0 ? 0 : 1, kLabelGapBeside);
      else
        addLabel(scene, cat.labelStyle, cat.labels[size_t(i)], s.map({u, 0, 0}), 2);
    }
    extents.category = extentOf(scene, first);
  }
  if (plan.seriesAxis && !plan.seriesAxis->deleted && plan.rows > 1) {
    // Ticks part the rows, beside the floor's far side.
    std::vector<QPointF> edges;
    for (int r = 0; r <= plan.rows; ++r)
      edges.push_back(s.map({farX, 0, r * plan.rowDepth * s.depthScale}));
    addTicks3D(scene,
               penForLine(plan.seriesAxis->format.line, ctx.theme,
                          QPen(defaultAxisLineColor(ctx.theme, ctx.chart.style), 0.75)),
               plan.seriesAxis->majorTickMark, edges, QPointF(farX == 0 ? -1 : 1, 0));
  }
  if (plan.seriesAxis && !plan.seriesAxis->deleted && plan.rows > 1 &&
      plan.seriesAxis->tickLabelPosition != ooxml::chart::TickLabelPosition::None) {
    const TextStyle style = textStyleFor(ctx, plan.seriesAxis->text, ctx.baseSizePt, false);
    std::vector<QPointF> at;
    for (int r = 0; r < plan.rows; ++r)
      at.push_back(s.map({farX, 0, rowFront(s, r) + plan.pieceDepth * s.depthScale / 2}));
    // Labels less than a line apart are thinned, as on a surface's series axis.
    const int step = labelStepFor(at, measureText(style, "0").height());
    for (int r = 0; r < plan.rows; r += step) {
      const ooxml::chart::Series& ser = plan.group->series[size_t(r)];
      const QString name = ser.name.isEmpty() ? QString("Series%1").arg(ser.index + 1) : ser.name;
      addLabel(scene, style, name, at[size_t(r)], farX == 0 ? 0 : 1);
    }
  }
  return extents;
}

// The length of an axis' tick marks outside the plot.
double outsideTick(const AxisLayout& a) {
  using ooxml::chart::TickMark;
  return a.axis.majorTickMark == TickMark::Outside || a.axis.majorTickMark == TickMark::Cross ? 4
                                                                                              : 0;
}

// The room the series axis' labels need right of the box.
double seriesLabelRoom(const LayoutContext& ctx, const Plan& plan) {
  if (!plan.seriesAxis || plan.seriesAxis->deleted || plan.rows < 2) return 0;
  const TextStyle style = textStyleFor(ctx, plan.seriesAxis->text, ctx.baseSizePt, false);
  double widest = 0;
  for (const ooxml::chart::Series& ser : plan.group->series)
    widest = std::max(
        widest, measureText(style, ser.name.isEmpty() ? QString("Series99") : ser.name).width());
  return widest + kLabelGap;
}

QRectF boundsOf(const Scene3D& scene) {
  QRectF r;
  for (const auto* list : {&scene.walls, &scene.faces})
    for (const Face3D& f : *list)
      r = r.isNull() ? f.polygon.boundingRect() : r.united(f.polygon.boundingRect());
  return r;
}

// The 3-D bar, line or area group the scene shows, or -1.
int boxGroup(const LayoutContext& ctx) {
  const auto& groups = ctx.chart.plotArea.groups;
  for (const ooxml::chart::ChartGroup& g : groups)
    if ((g.is3D && g.kind == ChartKind::Pie) || g.kind == ChartKind::Surface) return -1;
  for (size_t i = 0; i < groups.size(); ++i)
    if (groups[i].is3D && (groups[i].kind == ChartKind::Bar || groups[i].kind == ChartKind::Line ||
                           groups[i].kind == ChartKind::Area))
      return int(i);
  return -1;
}

double widestLabel(const AxisLayout& a) {
  double widest = 0;
  for (const QString& t : a.labels) widest = std::max(widest, measureText(a.labelStyle, t).width());
  return widest;
}

// The box of `plan` projected into the flat layout's plot, less the room its labels need
// around it.
Projection3D boxProjection(const LayoutContext& ctx, const Plan& plan, const ViewAngles& view,
                           const QRectF& flatPlot) {
  QRectF plot = flatPlot;
  const AxisLayout& beside = plan.horizontal ? *plan.cat : *plan.val;
  const bool besideShown = beside.visible && !beside.labels.empty();
  // Reversed categories stand the value axis at the box's far end, where the flat layout
  // kept no room for its labels. The program keeps their room on the side wall's side, as
  // for any box (the plot whose proportions the box takes is narrower by it), and beside the
  // far end as well (18 pt each side of its reversed columns).
  const bool valueRight = !plan.horizontal && plan.cat->reversed;
  double farRoom = 0;
  if (besideShown && valueRight) {
    farRoom = widestLabel(beside) + kLabelGapBeside2D + outsideTick(beside);
    plot.setLeft(plot.left() + farRoom);
  }
  QRectF target = plot;
  // Measured on the program's pictures: the box keeps about 2 % of the chart's width off the
  // plot's right edge, more when the series axis is labelled there.
  target.setRight(target.right() - farRoom - 0.02 * ctx.out.chartArea.width() -
                  seriesLabelRoom(ctx, plan));
  // The labels under the box stand further off its edge than flat ones under a plot.
  const AxisLayout& under = plan.horizontal ? *plan.val : *plan.cat;
  if (under.visible && !under.labels.empty())
    target.setBottom(target.bottom() -
                     std::max(0.0, kLabelGapUnder - kLabelGapUnder2D - outsideTick(under)));
  // So do the labels beside it: the value axis' (the categories' for horizontal bars), on
  // the side the box shows, or on the right where the categories run reversed.
  if (besideShown) {
    double more = std::max(0.0, kLabelGapBeside - kLabelGapBeside2D - outsideTick(beside));
    const bool right = seesLeftSide(view) || valueRight;
    const auto legendAt = ctx.chart.legend.position;
    const bool legendThere = ctx.chart.legend.present && !ctx.chart.legend.overlay &&
                             legendAt == (right ? ooxml::chart::LegendPosition::Right
                                                : ooxml::chart::LegendPosition::Left);
    if (!legendThere)
      more +=
          std::max(0.0, kLabelRoomEm * beside.labelStyle.font.pointSizeF() - widestLabel(beside));
    if (right)
      target.setRight(target.right() - more);
    else
      target.setLeft(target.left() + more);
  }
  const double depthScale = view.depthPercent / 100.0;
  const double across = plan.categories;
  const double depth = std::max(plan.rows * plan.rowDepth * depthScale, 1e-3);
  // The categories keep their length. The value edge stands to the span the categories cover
  // (their slots, or for areas the intervals between their first and last) as the plot's
  // height stands to its width, whatever the depth: the program's areas in one row and in
  // three, and its columns in one row and in three, keep the same proportions.
  const double span = plan.cat->between ? across : std::max(1.0, across - 1);
  const double tall = plot.height() / std::max(plot.width(), 1.0);
  double valueLength = plan.horizontal ? span / std::max(tall, 1e-3) : span * tall;
  // Seen in perspective, series standing in rows rise half as high as their rows run deep
  // (the program's 3-D lines and areas without a view: two rows and three alike).
  if (!view.rightAngleAxes && view.perspective > 0 && !plan.horizontal && plan.rows > 1)
    valueLength = depth / 2;
  return Projection3D(view, Vec3{across, across, depth}, plan.horizontal ? 0 : 1, target,
                      valueLength);
}

}  // namespace

std::optional<std::pair<int, double>> boxValueAxisLength(const LayoutContext& ctx,
                                                         const QRectF& plot) {
  const int gi = boxGroup(ctx);
  if (gi < 0) return std::nullopt;
  const Plan plan = planFor(ctx, gi);
  if (!plan.cat || !plan.val) return std::nullopt;
  const Projection3D proj = boxProjection(ctx, plan, viewAngles(ctx.chart, false), plot);
  const Vec3 end = plan.horizontal ? Vec3{proj.box().x, 0, 0} : Vec3{0, proj.box().y, 0};
  return std::pair{plan.val->axis.id, QLineF(proj.map({0, 0, 0}), proj.map(end)).length()};
}

void layoutScene3D(LayoutContext& ctx) {
  const auto& groups = ctx.chart.plotArea.groups;
  for (size_t i = 0; i < groups.size(); ++i)
    if (groups[i].is3D && groups[i].kind == ChartKind::Pie) return layoutPie3D(ctx, int(i));
  for (size_t i = 0; i < groups.size(); ++i)
    if (groups[i].kind == ChartKind::Surface) return layoutSurface(ctx, int(i));
  const int gi = boxGroup(ctx);
  if (gi < 0) return;
  const Plan plan = planFor(ctx, gi);
  if (!plan.cat || !plan.val) return;
  Scene3D& scene = ctx.out.scene;
  scene.present = true;
  scene.view = viewAngles(ctx.chart, false);
  const Projection3D proj = boxProjection(ctx, plan, scene.view, ctx.out.plotArea);
  const double depthScale = scene.view.depthPercent / 100.0;
  const Space space{plan, proj, depthScale};
  const LabelExtents extents = wallsAndAxes(ctx, space, scene);
  for (AxisLayout& a : ctx.out.axes) {
    if (&a == plan.val) pullTitleToLabels(a, extents.value);
    if (&a == plan.cat) pullTitleToLabels(a, extents.category);
  }
  std::vector<Solid> solids;
  Anchors anchors;
  if (plan.group->kind == ChartKind::Bar)
    barSolids(ctx, space, solids, anchors);
  else
    ribbonSolids(ctx, space, solids, anchors);
  std::stable_sort(solids.begin(), solids.end(), [](const Solid& a, const Solid& b) {
    return a.row != b.row ? a.row > b.row : a.depth > b.depth;
  });
  for (Solid& solid : solids)
    for (Face3D& f : solid.faces) scene.faces.push_back(std::move(f));
  scene.bounds = boundsOf(scene);
  // Data labels stand off the projected points, above a column or point and right of a bar,
  // or sit amid a stacked segment or an area's band.
  for (DataLabelLayout& l : ctx.out.dataLabels) {
    const auto it = anchors.find({l.series, l.point});
    if (it == anchors.end()) continue;
    const Anchor& a = it->second;
    if (a.centred)
      l.center = a.at;
    else if (plan.horizontal)
      l.center = a.at + QPointF(kLabelGap + l.size.width() / 2, 0);
    else
      l.center = a.at - QPointF(0, kLabelGap + l.size.height() / 2);
    moveDraggedLabel(ctx, l);
  }
}

}  // namespace detail

}  // namespace morvane::render::chart
