// A 3-D pie: the 2-D slices laid on a tilted disc of some thickness, the rim and the cut
// faces drawn far to near under the slices' tops.
#include <algorithm>
#include <cmath>

#include "render/chart/layout_context.h"
#include "render/chart/projection3d.h"

namespace morvane::render::chart::detail {

namespace {

constexpr double kDegree = M_PI / 180.0;
constexpr int kArcSteps = 90;  // rim points per full turn
constexpr double kRimStep = 0.035;  // a rim's shades, in steps of its colour's brightness

using Disc = PieDisc;

// How bright the rim shows at angle `a` (clockwise from 12 o'clock, 180 nearest the viewer):
// lit from 49 degrees left of the viewer, 0.99 of the top's colour there, 0.44 where the light
// does not reach. Fitted on the program's 3-D pie along its rim, within 2 levels of 255.
double rimBrightness(double a) {
  return 0.44 + 0.55 * std::max(0.0, std::cos((a - 229) * kDegree));
}

// Angles from `a0` to `a1` in steps, ends included.
std::vector<double> arc(double a0, double a1) {
  const int n = std::max(2, int(std::ceil(std::abs(a1 - a0) / 360.0 * kArcSteps)) + 1);
  std::vector<double> out;
  for (int i = 0; i < n; ++i) out.push_back(a0 + (a1 - a0) * i / (n - 1));
  return out;
}

struct Piece {
  double depth = 0;  // larger is farther
  Face3D face;
};

Face3D faceOf(Face3D::Kind kind, QPolygonF polygon, QBrush brush, const PointGeometry& p,
              int series, int point) {
  Face3D f;
  f.kind = kind;
  f.polygon = std::move(polygon);
  f.brush = std::move(brush);
  // The slices' outline separates their tops only; the rim shows none.
  f.pen = kind == Face3D::Kind::Top ? p.look.line : QPen(Qt::NoPen);
  f.series = series;
  f.point = point;
  return f;
}

QColor colourOf(const PointGeometry& p) {
  return p.look.fill.style() == Qt::SolidPattern ? p.look.fill.color() : p.look.baseColor;
}

}  // namespace

void layoutPie3D(LayoutContext& ctx, int groupIndex) {
  int si = -1;
  for (size_t i = 0; i < ctx.out.series.size() && si < 0; ++i)
    if (ctx.out.series[i].group == groupIndex) si = int(i);
  if (si < 0) return;
  SeriesGeometry& sg = ctx.out.series[size_t(si)];
  Scene3D& scene = ctx.out.scene;
  scene.present = true;
  scene.view = viewAngles(ctx.chart, true);
  const QRectF plot = ctx.out.plotArea;
  // The program tilts the disc less than the view says: its default 30° shows the disc a
  // fifth as high as wide, as a tilt of 11.5° would (the sine 0.4 times the view's), with a rim
  // 0.24 of the radius deep (fitted on its picture, perspective included). Steeper views open
  // the disc as the sine of the tilt does and show the rim shallower.
  Disc disc;
  const double tilt = scene.view.rotX * kDegree;
  disc.squash = std::clamp(std::sin(tilt) * 0.4, 0.05, 1.0);
  const double cosTilt = std::sqrt(1 - disc.squash * disc.squash);
  const double rim = 0.277 * std::cos(tilt) * scene.view.heightPercent.value_or(100) / 100;
  disc.camera = scene.view.perspective > 0
                    ? cameraDistance(scene.view.perspective, std::hypot(2.0, 2.0, rim) / 2)
                    : 0;
  double maxExplosion = 0;
  for (const PointGeometry& p : sg.points)
    if (p.valid && p.outerRadius > 0)
      maxExplosion =
          std::max(maxExplosion, QLineF(p.center, plot.center()).length() / p.outerRadius);
  // The disc's picture at unit radius about the origin, exploded slices' reach included,
  // fitted into the plot: 0.93 of it, standing 3 % of its height above its centre (the
  // program's one 3-D pie picture, which is otherwise drawn as this disc to a pixel).
  disc.radius = 1;
  disc.thickness = rim * cosTilt;
  const QRectF unit = disc.bounds(1 + maxExplosion);
  disc.radius =
      std::max(1.0, 0.93 * ctx.pieScale *
                        std::min(plot.width() / unit.width(), plot.height() / unit.height()));
  disc.thickness = rim * cosTilt * disc.radius;
  disc.center = plot.center() - unit.center() * disc.radius - QPointF(0, 0.03 * plot.height());
  // A rim point faces the camera (at distance D, above the disc by the tilt) where
  // cos(angle) < -1 / (D cos(tilt)).
  const double seen = disc.camera > 0 ? disc.camera * cosTilt : 0;
  const double rimHalf = seen > 1 ? std::acos(1 / seen) / kDegree : 90;
  std::vector<Piece> sides, tops;
  const double turn = scene.view.rotY;
  for (size_t i = 0; i < sg.points.size(); ++i) {
    const PointGeometry& p = sg.points[i];
    if (!p.valid || p.sweepAngle <= 0 || p.outerRadius <= 0) continue;
    const QPointF offset = (p.center - plot.center()) / p.outerRadius;
    const double a0 = p.startAngle + turn, a1 = a0 + p.sweepAngle;
    const QColor base = colourOf(p);
    // The top.
    QPolygonF top;
    if (p.sweepAngle < 359.99) top << disc.at(0, 0, 0, offset);
    for (double a : arc(a0, a1)) top << disc.at(a, 1, 0, offset);
    tops.push_back({0, faceOf(Face3D::Kind::Top, top, p.look.fill, p, si, int(i))});
    // The rim where it faces the viewer: the lower half of the disc, 90° to 270°, less under
    // perspective, where the camera sees round less of it.
    for (int turnAt = -360; turnAt <= 360; turnAt += 360) {
      const double lo = std::max(a0, 180 - rimHalf + turnAt),
                   hi = std::min(a1, 180 + rimHalf + turnAt);
      if (hi <= lo) continue;
      // The rim darkens round the pie in bands of solid colour a few levels apart: cheaper to
      // fill than a gradient, too fine to see apart, and what a metafile can hold.
      const double nearness = std::cos((lo + hi) / 2 * kDegree);
      auto bandAt = [&](double a) { return int(std::lround(rimBrightness(a) / kRimStep)); };
      const std::vector<double> steps = arc(lo, hi);
      for (size_t k = 0; k + 1 < steps.size();) {
        const int band = bandAt((steps[k] + steps[k + 1]) / 2);
        size_t end = k + 1;
        while (end + 1 < steps.size() && bandAt((steps[end] + steps[end + 1]) / 2) == band) ++end;
        // Each band reaches a step under the next, so that no seam of background shows between.
        const size_t reach = std::min(end + 1, steps.size() - 1);
        QPolygonF strip;
        for (size_t m = k; m <= reach; ++m) strip << disc.at(steps[m], 1, 0, offset);
        for (size_t m = reach + 1; m-- > k;) strip << disc.at(steps[m], 1, 1, offset);
        const float f = float(rimBrightness((steps[k] + steps[end]) / 2));
        const QColor shade =
            QColor::fromRgbF(base.redF() * f, base.greenF() * f, base.blueF() * f, base.alphaF());
        // Nearer rims (lower on the picture) are drawn later; a rim's bands keep their order.
        sides.push_back(
            {nearness, faceOf(Face3D::Kind::Side, strip, QBrush(shade), p, si, int(i))});
        k = end;
      }
    }
    // The cut faces, seen where a slice stands apart or the pie is not whole.
    for (double a : {a0, a1}) {
      if (p.sweepAngle >= 359.99) break;
      const QPolygonF cut({disc.at(a, 0, 0, offset), disc.at(a, 1, 0, offset),
                           disc.at(a, 1, 1, offset), disc.at(a, 0, 1, offset)});
      sides.push_back({std::cos(a * kDegree) * 0.5 + 0.01,
                       faceOf(Face3D::Kind::Side, cut, QBrush(shadeFor(base, Face3D::Kind::Side)),
                              p, si, int(i))});
    }
  }
  std::stable_sort(sides.begin(), sides.end(),
                   [](const Piece& a, const Piece& b) { return a.depth > b.depth; });
  for (Piece& piece : sides) scene.faces.push_back(std::move(piece.face));
  for (Piece& piece : tops) scene.faces.push_back(std::move(piece.face));
  QRectF bounds;
  for (const Face3D& f : scene.faces)
    bounds = bounds.isNull() ? f.polygon.boundingRect() : bounds.united(f.polygon.boundingRect());
  scene.bounds = bounds;
  disc.turn = turn;
  ctx.pieDisc = disc;
}
}  // namespace morvane::render::chart::detail
