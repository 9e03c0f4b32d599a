// ChartLayout: where everything of a chart goes inside a target rectangle (in points), and
// the texts it shows: axis scales and tick labels, legend entries in the program's order,
// data label texts, and the geometry of every series. Drawing follows it; tests inspect it.
#pragma once

#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <vector>

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"
#include "render/chart/axis_scale.h"
#include "render/chart/chart_style.h"
#include "render/chart/chart_text.h"
#include "render/chart/scene3d.h"

namespace morvane::render::chart {

// A label of an outer category level (multi-level categories): the categories it spans and
// where its text is drawn.
struct CategoryGroupLabel {
  int level = 1;                      // 1: the level next to the innermost labels
  int first = 0, last = 0;            // the categories it spans
  QString text;                       // wrapped to the group's width
  QPointF center;
};

struct AxisLayout {
  ooxml::chart::Axis axis;            // the axis as read (or implied by a group)
  int crossing = -1;                  // index of the crossing axis in ChartLayout::axes
  bool valueScale = false;            // numeric scale (value axes, scatter x)
  bool categoryPoints = false;        // an XY chart's x axis declared a category axis: points
                                      // at 1..n, named as categories
  bool horizontal = false;            // runs along x
  bool visible = true;                // not deleted
  bool reversed = false;
  bool secondary = false;             // belongs to a secondary axis pair
  AxisScale scale;                    // value scales
  int categoryCount = 0;              // category and date axes
  bool between = true;                // categories sit between tick marks
  std::vector<QString> labels;        // tick label texts, in axis order
  std::vector<double> labelPositions; // coordinate along the axis of each label
  std::vector<double> tickPositions;  // coordinates of the major tick marks
  std::vector<double> gridPositions;  // major gridline coordinates
  std::vector<double> minorGridPositions;
  QString numberFormat;               // the code the labels were formatted with
  TextStyle labelStyle;
  QLineF line;                        // the axis line
  QRectF plot;                        // the plot rectangle the axis spans
  QString title;
  TextStyle titleStyle;
  QPointF titleCenter;
  bool labelsFarSide = false;         // labels on the right / top of the line
  double labelAnchor = 0;             // x (vertical axes) or y (horizontal) where labels start
  double labelExtent = 0;             // the labels' depth across the axis (all label rows)

  // Date axes (c:dateAx over numbers): one slot per base time unit from the first date to
  // the last; categoryCount counts slots, and each point sits in the slot of its date.
  bool dateAxis = false;
  QString baseTimeUnit;               // "days", "months" or "years", as used
  double firstDate = 0;               // serial of the first slot's date (the axis minimum)
  double majorStep = 1;               // the major unit, in majorTimeUnit
  QString majorTimeUnit;
  std::vector<double> pointSlots;     // slot of each point; NaN: no date or off the axis
  std::vector<double> majorSlots;     // slots of the major tick marks and labels

  // Multi-level categories: the rows of group labels beyond the innermost labels (the row
  // next to them first), and the lines separating categories and groups across the rows.
  std::vector<std::vector<CategoryGroupLabel>> groupLevels;
  std::vector<QLineF> levelDividers;
  double innerLabelDepth = 0;         // depth of the innermost label row

  // Coordinate (x for horizontal axes, y for vertical ones) of value `v`, or of category
  // index `v` (0-based; its centre when `between`).
  double coordinate(double v) const;
  // The category (slot on date axes) of point `i`; NaN when the point has no place.
  double pointSlot(int i) const;
  // The width of one category slot along the axis.
  double categoryWidth() const;
  // The coordinate of the axis' minimum end (`maxEnd` false) or maximum end.
  double edge(bool maxEnd) const;
  double length() const { return horizontal ? plot.width() : plot.height(); }
};

// One legend entry. `series` is the index of its chart group (-1 for trendlines); `point` is
// the point of a by-point legend, -1 for a series entry.
struct LegendEntry {
  QString text;
  int series = -1;
  int point = -1;
  SeriesLook look;
  QRectF keyRect;
  QRectF textRect;
  bool lineKey = false;               // a line (with marker) rather than a filled box
  bool roundKey = false;              // a bubble series' disc rather than a box
  bool sphereKey = false;             // the disc lit as a sphere: a 3-D bubble series'
};

struct DataLabelLayout {
  QString text;
  int series = -1;
  int point = -1;
  QPointF center;
  QSizeF size;
  TextStyle style;
  QBrush fill = Qt::NoBrush;
  QPen border = QPen(Qt::NoPen);
  QPolygonF leader;  // from the slice's edge to the label; empty: none
  QPen leaderPen = QPen(Qt::NoPen);

  QRectF rect() const {
    return QRectF(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(),
                  size.height());
  }
};

struct PointGeometry {
  bool valid = false;
  double value = 0;
  QPointF position;                   // line, scatter, radar and bubble points
  QRectF bar;                         // bars
  double startAngle = 0, sweepAngle = 0;  // pie/doughnut, degrees clockwise from 12 o'clock
  double innerRadius = 0, outerRadius = 0;
  QPointF center;                     // pie centre (with explosion)
  double bubbleRadius = 0;
  bool hollowBubble = false;             // a negative size shown: the outline only
  double errorPlus = 0, errorMinus = 0;  // error bar amounts in value units
  SeriesLook look;                    // with the point's own overrides
  int plot = 0;                       // pie of pie, bar of pie: 0 main pie, 1 second plot
};

// The two plots of a pie-of-pie or bar-of-pie group: the main pie's combined slice for the
// points split off, the second plot and the series lines joining them.
struct OfPieLayout {
  bool present = false;
  bool bar = false;                   // bar of pie
  int series = -1;                    // index into ChartLayout::series
  PointGeometry other;                // the combined ("Other") slice of the main pie
  std::vector<int> secondPoints;      // the points in the second plot, in drawing order
  QRectF secondPlot;                  // the second pie's bounding square, or the bar
  bool seriesLines = false;
  QLineF lines[2];                    // top line, bottom line
  QPen linePen;
};

// A line drawn over the series: trendlines and error bars.
struct OverlayPath {
  QPainterPath path;
  QPen pen;
};

struct SeriesGeometry {
  int group = 0;                      // index into plotArea.groups
  int seriesInGroup = 0;
  const ooxml::chart::Series* series = nullptr;
  SeriesLook look;
  int autoIndex = 0;
  std::vector<PointGeometry> points;
  QPainterPath line;                  // line / scatter / radar path (with gaps)
  QPolygonF area;                     // area / filled radar polygon
  bool drawsLine = false;
  std::vector<OverlayPath> overlays;  // trendlines and error bars
};

// A data table under the plot: a header row of categories (in place of the axis labels) and
// one row per series, its name (with a legend key) left of the plot.
struct DataTableLayout {
  bool present = false;
  QRectF rect;
  double nameWidth = 0;
  double rowHeight = 0;
  std::vector<double> columns;        // x of each category column's edges (count + 1)
  std::vector<QString> header;
  std::vector<QString> names;
  std::vector<SeriesLook> keys;
  std::vector<std::vector<QString>> values;
  TextStyle style;
};

struct ChartLayout {
  QRectF chartArea;
  QRectF plotArea;                    // inner plot rectangle (inside axes)
  QRectF plotOuter;                   // plot area with axis labels and titles
  QString title;                      // empty when no title is shown
  TextStyle titleStyle;
  QPointF titleCenter;
  std::vector<AxisLayout> axes;
  std::vector<SeriesGeometry> series; // in drawing order
  std::vector<LegendEntry> legend;    // in display order (empty without a legend)
  QRectF legendRect;
  TextStyle legendStyle;
  std::vector<DataLabelLayout> dataLabels;
  DataTableLayout dataTable;
  OfPieLayout ofPie;
  Scene3D scene;                      // 3-D charts: what is drawn in place of the 2-D plot
  bool placeholder = false;           // nothing drawable: a placeholder picture is drawn
  QString placeholderReason;
  QString kindName;                   // "column", "pie", ... for placeholders and reports

  const AxisLayout* axisById(int id) const;
};

// Lays `chart` out in `target` (points). Never fails: charts it cannot draw give a layout
// with `placeholder` set and the reason.
ChartLayout layoutChart(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                        const QRectF& target);

// The text shown as the chart title: the title's own text, or the series name of a
// single-series chart with an automatic title; empty when none is shown.
QString chartTitleText(const ooxml::chart::ChartModel& chart);

// "column", "stacked bar", "pie", "scatter" ... for a chart group.
QString chartKindName(const ooxml::chart::ChartGroup& group);

// The points of `series` that a pie-of-pie or bar-of-pie `group` moves to its second plot
// (true at their indexes), by the group's split: the last splitPos points (by position, the
// default, three unless told), values below splitPos, percentages below splitPos, or the
// custom list. Points without a value stay out of both plots.
std::vector<bool> ofPieSecondPlot(const ooxml::chart::ChartGroup& group,
                                  const ooxml::chart::Series& series);

}  // namespace morvane::render::chart
