#include "render/chart/projection3d.h"

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

constexpr double kDegree = M_PI / 180.0;

}  // namespace

ViewAngles viewAngles(const ooxml::chart::ChartModel& chart, bool pie) {
  const ooxml::chart::View3D& v = chart.view3D;
  ViewAngles a;
  // Without a view the program turns bar, line and area charts 15° down and 20° round with
  // perspective, and tilts pies 30° with no turn.
  a.rotX = v.rotX.value_or(pie ? 30 : 15);
  a.rotY = v.rotY.value_or(pie ? 0 : 20);
  a.rightAngleAxes = v.rightAngleAxes.value_or(false);
  a.perspective = a.rightAngleAxes ? 0 : v.perspective.value_or(30);
  if (v.heightPercent) a.heightPercent = std::clamp(*v.heightPercent, 5, 500);
  a.depthPercent = std::clamp(v.depthPercent.value_or(100), 20, 2000);
  if (pie) a.rotX = std::clamp(a.rotX, 10.0, 90.0);
  return a;
}

Projection3D::Projection3D(const ViewAngles& view, Vec3 box, int freeAxis, const QRectF& target,
                           std::optional<double> freeLength)
    : m_view(view), m_box(box) {
  m_view.rotX = std::clamp(m_view.rotX, -90.0, 90.0);
  const double aim = target.height() > 0 ? target.width() / target.height() : 1;
  double& free = freeAxis == 0 ? m_box.x : m_box.y;
  const double other = freeAxis == 0 ? m_box.y : m_box.x;
  if (m_view.heightPercent && freeAxis == 1) {
    free = std::max(other * *m_view.heightPercent / 100, 1e-3);
  } else if (freeLength) {
    free = std::max(*freeLength, 1e-3);
  } else {
    // The projected box widens (free = x) or heightens (free = y) steadily with the free
    // dimension: halve the interval until its proportions meet the target's.
    double lo = other * 0.05, hi = other * 40;
    for (int i = 0; i < 50; ++i) {
      free = (lo + hi) / 2;
      placeCamera();
      const QRectF r = rawBounds();
      const double aspect = r.height() > 0 ? r.width() / r.height() : aim;
      if ((aspect > aim) == (freeAxis == 0))
        hi = free;
      else
        lo = free;
    }
  }
  placeCamera();
  const QRectF r = rawBounds();
  m_scale = std::min(r.width() > 0 ? target.width() / r.width() : 1,
                     r.height() > 0 ? target.height() / r.height() : 1);
  m_offset = target.center() - r.center() * m_scale;
}

// Fitted on the program's pictures of the default perspective, 30: the nearer end of a 3-D
// area's front edge shows its categories half as wide again as the farther end, and a 3-D
// pie's near half stands two thirds again as deep as its far half.
double cameraDistance(double perspective, double radius) {
  const double half = std::clamp(perspective, 1.0, 80.0) * kDegree;
  return radius / std::tan(half) + radius;
}

void Projection3D::placeCamera() {
  m_cameraDistance = 0;
  if (m_view.perspective <= 0) return;
  m_cameraDistance = cameraDistance(m_view.perspective, std::hypot(m_box.x, m_box.y, m_box.z) / 2);
}

QPointF Projection3D::raw(const Vec3& p) const {
  const double ry = m_view.rotY * kDegree, rx = m_view.rotX * kDegree;
  if (m_view.rightAngleAxes) {
    // The front stays a true rectangle; depth recedes along one slanted direction.
    return QPointF(p.x + p.z * std::sin(ry) * std::cos(rx),
                   -(p.y + p.z * std::sin(rx) * std::cos(ry)));
  }
  const double x = p.x - m_box.x / 2, y = p.y - m_box.y / 2, z = p.z - m_box.z / 2;
  const double x1 = x * std::cos(ry) + z * std::sin(ry);
  const double z1 = -x * std::sin(ry) + z * std::cos(ry);
  const double y1 = y * std::cos(rx) + z1 * std::sin(rx);
  const double z2 = z1 * std::cos(rx) - y * std::sin(rx);
  double f = 1;
  if (m_cameraDistance > 0) f = m_cameraDistance / std::max(m_cameraDistance + z2, 1e-6);
  return QPointF(x1 * f, -y1 * f);
}

double Projection3D::depth(const Vec3& p) const {
  const double ry = m_view.rotY * kDegree, rx = m_view.rotX * kDegree;
  const double x = p.x - m_box.x / 2, y = p.y - m_box.y / 2, z = p.z - m_box.z / 2;
  const double z1 = -x * std::sin(ry) + z * std::cos(ry);
  return z1 * std::cos(rx) - y * std::sin(rx);
}

bool Projection3D::facesViewer(const Vec3& at, const Vec3& normal) const {
  const double ry = m_view.rotY * kDegree, rx = m_view.rotX * kDegree;
  if (m_view.rightAngleAxes) {
    // The direction every point of a line of sight shares in raw(): into the picture.
    const Vec3 d{-std::sin(ry) * std::cos(rx), -std::sin(rx) * std::cos(ry), 1};
    return normal.x * d.x + normal.y * d.y + normal.z * d.z < 0;
  }
  // The line of sight, along which depth() grows.
  const Vec3 g{-std::sin(ry) * std::cos(rx), -std::sin(rx), std::cos(ry) * std::cos(rx)};
  if (m_cameraDistance <= 0) return normal.x * g.x + normal.y * g.y + normal.z * g.z < 0;
  const Vec3 eye{m_box.x / 2 - m_cameraDistance * g.x, m_box.y / 2 - m_cameraDistance * g.y,
                 m_box.z / 2 - m_cameraDistance * g.z};
  return normal.x * (eye.x - at.x) + normal.y * (eye.y - at.y) + normal.z * (eye.z - at.z) > 0;
}

bool seesLeftSide(const ViewAngles& view) { return std::sin(view.rotY * kDegree) < 0; }

bool Projection3D::seesLeft() const { return seesLeftSide(m_view); }

bool Projection3D::seesBottom() const { return m_view.rotX < 0; }

QRectF Projection3D::rawBounds() const {
  QRectF r;
  bool first = true;
  for (int i = 0; i < 8; ++i) {
    const QPointF q =
        raw(Vec3{(i & 1) ? m_box.x : 0, (i & 2) ? m_box.y : 0, (i & 4) ? m_box.z : 0});
    if (first)
      r = QRectF(q, QSizeF(0, 0));
    else
      r = r.united(QRectF(q, QSizeF(1e-9, 1e-9)));
    first = false;
  }
  return r;
}

QPointF Projection3D::map(const Vec3& p) const { return raw(p) * m_scale + m_offset; }

}  // namespace morvane::render::chart
