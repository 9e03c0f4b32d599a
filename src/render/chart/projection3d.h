// The view of a 3-D chart: the file's c:view3D with the program's defaults, and the
// projection of the chart's box (x across, y up, z into the picture) onto the plot rectangle.
#pragma once

#include <QPointF>
#include <QRectF>
#include <optional>

#include "ooxml/chart/chart_model.h"

namespace morvane::render::chart {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// The view with every member settled.
struct ViewAngles {
  double rotX = 15;  // degrees; positive looks down onto the floor
  double rotY = 20;  // degrees; positive turns the depth to the right
  bool rightAngleAxes = true;
  double perspective = 30;  // field of view in half degrees; 0 draws without perspective
  std::optional<double> heightPercent;  // the height as a percentage of the width
  double depthPercent = 100;
};

// The view `chart` asks for; for `pie` the program's pie tilt is the default.
ViewAngles viewAngles(const ooxml::chart::ChartModel& chart, bool pie);

// How far from its middle the camera stands for a scene within a sphere of `radius`: where
// the sphere fills a half angle of `perspective` degrees, kept short of a right angle.
double cameraDistance(double perspective, double radius);

// Whether `view` shows the box's side x = 0 rather than x = width (it is turned left).
bool seesLeftSide(const ViewAngles& view);

// Maps points of a box of size `box` (all non-negative) to picture coordinates. The box's
// free dimension (y for columns, x for horizontal bars) is chosen so that the projected box
// fills the target's proportions, unless the view fixes the height.
class Projection3D {
 public:
  // Fits the box into `target`. `freeAxis` is 0 (x) or 1 (y): the dimension the fit may
  // change; the other two stay as given. The fitted box is box(). With `freeLength` the free
  // dimension takes that length (unless the view fixes the height) and the box is only
  // scaled and centred into the target.
  Projection3D(const ViewAngles& view, Vec3 box, int freeAxis, const QRectF& target,
               std::optional<double> freeLength = std::nullopt);

  Vec3 box() const { return m_box; }
  const ViewAngles& view() const { return m_view; }
  QPointF map(const Vec3& p) const;
  // Distance from the viewer along the line of sight (larger is farther), for drawing the
  // far faces first.
  double depth(const Vec3& p) const;
  // Whether the viewer sees the side x = 0 (rather than x = box().x) of a box, the bottom
  // y = 0, the front z = 0.
  bool seesLeft() const;
  bool seesBottom() const;
  // Whether a plane face through `at` whose outward normal is `normal` turns towards the
  // viewer (from the camera itself under perspective, where a solid far off the middle
  // shows more of its side).
  bool facesViewer(const Vec3& at, const Vec3& normal) const;

 private:
  void placeCamera();                // for the box as it stands
  QPointF raw(const Vec3& p) const;  // before fitting: x right, y down, arbitrary scale
  QRectF rawBounds() const;

  ViewAngles m_view;
  Vec3 m_box;
  double m_cameraDistance = 0;  // 0: parallel projection
  double m_scale = 1;
  QPointF m_offset;
};

}  // namespace morvane::render::chart
