// Shared state of one layoutChart run. Internal to the chart renderer.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "render/chart/chart_layout.h"

namespace morvane::render::chart::detail {

// A 3-D pie's disc as the picture shows it: centre, radius across and squash of the vertical
// radius (the sine of the disc's tilt towards the viewer), the rim's height seen without
// perspective, and the camera's distance from the centre.
struct PieDisc {
  QPointF center;
  double radius = 0;
  double squash = 0.5;   // vertical radius / radius, without perspective
  double thickness = 0;  // the rim's height on the picture, without perspective
  double turn = 0;       // the view's turn, degrees added to every slice angle
  double camera = 0;     // in radii; 0 draws without perspective

  // The point at `angle` (degrees clockwise from 12 o'clock, before the turn) and `r` from
  // the axis, on the top (depth 0) or the bottom (depth 1) face, moved by `offset` (in radii).
  QPointF at(double angle, double r, double depth, QPointF offset = QPointF()) const {
    const double a = (angle + turn) * M_PI / 180.0;
    const double sinTilt = squash, cosTilt = std::sqrt(std::max(1e-6, 1 - squash * squash));
    // On the disc: x across, z away from the viewer, y up, in radii.
    const double x = offset.x() + r * std::sin(a), z = r * std::cos(a) - offset.y();
    const double y = radius > 0 ? -depth * thickness / (radius * cosTilt) : 0;
    const double up = y * cosTilt + z * sinTilt, away = z * cosTilt - y * sinTilt;
    const double f = camera > 0 ? camera / std::max(camera + away, 1e-3) : 1;
    return center + QPointF(x * f, -up * f) * radius;
  }
  // The picture of the disc of `r` radii, its rim included.
  QRectF bounds(double r = 1) const {
    QRectF out;
    for (int i = 0; i < 72; ++i)
      for (const double depth : {0.0, 1.0}) {
        const QRectF q(at(5.0 * i, r, depth), QSizeF(1e-9, 1e-9));
        out = out.isNull() ? q : out.united(q);
      }
    return out;
  }
};

struct LayoutContext {
  const ooxml::chart::ChartModel& chart;
  const ooxml::chart::Theme& theme;
  ChartLayout& out;
  double baseSizePt = 10;
  QColor textColor;
  int seriesTotal = 0;               // all series of all groups
  double pieScale = 1;               // pies shrunk to leave room for their outside labels
  std::optional<PieDisc> pieDisc;    // the 3-D pie laid out, for its labels
  bool modernLook = false;           // made in the program's 2013 look (see madeInModernLook)
};

// Whether the chart wears the frame the program's 2013 look gives every chart it makes (a
// hairline of text colour at 15 %). Those versions set titles and legends tighter than the
// 2007 look: the title higher, the legend's entries nearer the edge and each other.
bool madeInModernLook(const ooxml::chart::ChartModel& chart);

// Every how many labels of a receding axis, at `anchors` in order, are shown: 1, or more where
// neighbours stand less than a line apart up the picture (the nearest pair decides), at most
// all of them. The program thins them from the first so, though they recede sideways too.
inline int labelStepFor(const std::vector<QPointF>& anchors, double lineHeight) {
  const double most = std::max<double>(1, anchors.size());
  double rise = std::numeric_limits<double>::infinity();
  for (size_t i = 1; i < anchors.size(); ++i)
    rise = std::min(rise, std::abs(anchors[i].y() - anchors[i - 1].y()));
  return int(rise > 0 ? std::clamp(std::ceil(lineHeight / rise - 1e-9), 1.0, most) : most);
}

// Tick marks `mark` of a 3-D chart's axis at `at`, standing off their edge towards `outward`
// (a unit vector in the picture: down from a front edge, sideways from an upright one). The
// program draws them flat in the picture, not along the box, and shorter than a flat chart's.
void addTicks3D(Scene3D& scene, const QPen& pen, ooxml::chart::TickMark mark,
                const std::vector<QPointF>& at, QPointF outward);

// How bright the program draws a 3-D facet with unit normal `n` (box axes, the normal turned
// up): lighter as it turns right and towards the front, darker turned left.
double facetLight(const Vec3& n);
// `brush` lit by `light`; only solid colours, which a facet almost always has, change.
QBrush litBrush(const QBrush& brush, double light);

// The normal of a plane polygon (Newell's sum: repeated corners, as at an apex, add nothing).
Vec3 normalOf(const std::vector<Vec3>& corners);
bool isPieLike(const ooxml::chart::ChartGroup& group);
bool usesAxes(const ooxml::chart::ChartGroup& group);
// A title's style: its c:txPr, else its rich text's first paragraph, over `sizePt` bold.
TextStyle titleStyleFor(const LayoutContext& ctx, const ooxml::chart::TextBody& txPr,
                        const ooxml::chart::TextBody& rich, double sizePt);
// The TextStyle of chart text with `body`'s defaults over the chart space's.
TextStyle textStyleFor(const LayoutContext& ctx, const ooxml::chart::TextBody& body, double sizePt,
                       bool bold);

// Axes: scales, labels and the inner plot rectangle within `outer`.
void layoutAxes(LayoutContext& ctx, const QRectF& outer, bool outerIsInner);
// The data table's rows and size, before the axes are laid out (nothing when absent).
DataTableLayout planDataTable(const LayoutContext& ctx);
// Positions the planned table under the laid-out plot.
void placeDataTable(LayoutContext& ctx, DataTableLayout table);
// The label format of a category or date axis: the cache's, or the axis' own where the
// cache has none or the axis is not linked to it.
QString categoryFormat(const ooxml::chart::Axis& axis, const ooxml::chart::DataCache& cache);

// Date axes. Makes `a` a date axis when it is a c:dateAx whose categories (in `source`) are
// all numbers: sets its slots (categoryCount) and the slot of each of `pointCount` points.
// Returns false, leaving `a` a category axis, otherwise.
bool planDateAxis(const LayoutContext& ctx, AxisLayout& a, const ooxml::chart::Series* source,
                  int pointCount);
// The major ticks (majorSlots) of a planned date axis for its current length, and their
// label texts. Requires: planDateAxis succeeded, labelStyle set.
std::vector<QString> dateAxisLabels(const LayoutContext& ctx, AxisLayout& a,
                                    const ooxml::chart::DataCache& source);
// Label, tick and gridline positions of a date axis.
void placeDateTicks(AxisLayout& a);

// Multi-level categories. Groups the outer levels of `source` into groupLevels; with
// noMultiLevelLabels, joins each category's levels into its one label instead.
// Requires: a.labels holds the innermost labels.
void planCategoryLevels(AxisLayout& a, const ooxml::chart::DataCache& source);
// The depth the rows of group labels add beyond the innermost labels (0 without levels).
double levelRowsDepth(const AxisLayout& a);
// Places the group labels and the dividers. Requires: the axis positioned, innerLabelDepth.
void placeCategoryLevels(AxisLayout& a);

// Cumulative stacks per category of a stacked group: [series][point] -> (from, to); for
// other groupings (0, value). Blanks count per dispBlanksAs.
std::vector<std::vector<std::pair<double, double>>> stackValues(const LayoutContext& ctx,
                                                                const ooxml::chart::ChartGroup& g);
// The 3-D view of a 3-D bar, line or area chart into ctx.out.scene (needs the axes, series
// and data labels; moves the labels onto the projected points). Nothing for other charts.
// The radius of a bubble group's largest bubble on `plot`.
double bubbleMaxRadius(const ooxml::chart::ChartGroup& g, const QRectF& plot);
void layoutScene3D(LayoutContext& ctx);
// Moves a data label the user dragged (c:dLbl/c:layout) from its automatic place.
void moveDraggedLabel(const LayoutContext& ctx, DataLabelLayout& l);
// The id of the 3-D box's value axis and its drawn length when the box is fitted to `plot`;
// nullopt for charts without a box.
std::optional<std::pair<int, double>> boxValueAxisLength(const LayoutContext& ctx,
                                                         const QRectF& plot);
// The value bands of a surface group: the scale whose major unit is the band width, and each
// band's look and legend text ("0-2"), lowest first.
struct SurfaceBands {
  AxisScale scale;
  std::vector<SeriesLook> looks;
  std::vector<QString> names;
};
SurfaceBands surfaceBands(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g);
// The surface or contour of surface group `groupIndex` into ctx.out.scene.
void layoutSurface(LayoutContext& ctx, int groupIndex);
// The 3-D pie of pie group `groupIndex` into ctx.out.scene (needs its 2-D slices and labels).
void layoutPie3D(LayoutContext& ctx, int groupIndex);
// Series geometry inside ctx.out.plotArea (needs the axes).
void layoutSeries(LayoutContext& ctx);
// The two plots of a pie-of-pie or bar-of-pie group (its first series), into ctx.out.ofPie.
void ofPieGeometry(LayoutContext& ctx, const ooxml::chart::ChartGroup& g,
                   std::vector<SeriesGeometry>& series);
// Trendlines and error bars of the series of group `group` (needs their geometry).
void layoutOverlays(LayoutContext& ctx, int group, std::vector<SeriesGeometry>& series);
// Data label texts and positions (needs the series geometry).
void layoutDataLabels(LayoutContext& ctx);
// The settings of point `i`'s label: the group's, the series' and the point's own merged.
ooxml::chart::DataLabelSettings labelSettings(const ooxml::chart::ChartGroup& g,
                                              const ooxml::chart::Series& s, int i);
// Where a label with settings `st` sits: its own position or the group's default.
QString labelPosition(const ooxml::chart::ChartGroup& g, const ooxml::chart::DataLabelSettings& st);
// The labels of pies and doughnuts (flat or 3-D, needs their scene) at their places: inside
// their slice where best fit finds room, else outside with the others kept apart, at the
// place the user dragged them to, with leader lines to the slices they stand away from.
// Returns the factor by which the pies should shrink for their outside labels to fit the
// chart (1: they fit) and, in `diameter`, the pies' diameter on the picture.
double placePieLabels(LayoutContext& ctx, double* diameter);
// How far `r` must move to lie inside `bounds` (centred on it where it is larger).
QPointF shiftInside(const QRectF& r, const QRectF& bounds);
// Moves every label inside the chart area.
void keepLabelsInChart(LayoutContext& ctx);
// Legend entries in display order, without positions.
std::vector<LegendEntry> legendEntries(const LayoutContext& ctx);
// Positions the legend inside `available`, shrinking it unless the legend overlays.
void placeLegend(LayoutContext& ctx, QRectF& available);

}  // namespace morvane::render::chart::detail
