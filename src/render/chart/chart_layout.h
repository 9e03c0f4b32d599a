// ChartLayout: where everything of a chart goes inside a target rectangle (in points), and
// the texts it shows: axis scales and tick labels, legend entries in the program's order,
// data label texts, and the geometry of every series. Drawing follows it; tests inspect it.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"
#include "render/chart/axis_scale.h"
#include "render/chart/chart_style.h"
#include "render/chart/chart_text.h"

#include <QLineF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <vector>

namespace render {

struct AxisLayout {
  ooxml::Axis axis;                   // the axis as read (or implied by a group)
  int crossing = -1;                  // index of the crossing axis in ChartLayout::axes
  bool valueScale = false;            // numeric scale (value axes, scatter x)
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
  double labelExtent = 0;             // the labels' depth across the axis

  // Coordinate (x for horizontal axes, y for vertical ones) of value `v`, or of category
  // index `v` (0-based; its centre when `between`).
  double coordinate(double v) const;
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
  double errorPlus = 0, errorMinus = 0;  // error bar amounts in value units
  SeriesLook look;                    // with the point's own overrides
};

// A line drawn over the series: trendlines and error bars.
struct OverlayPath {
  QPainterPath path;
  QPen pen;
};

struct SeriesGeometry {
  int group = 0;                      // index into plotArea.groups
  int seriesInGroup = 0;
  const ooxml::Series* series = nullptr;
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
  bool placeholder = false;           // nothing drawable: a placeholder picture is drawn
  QString placeholderReason;
  QString kindName;                   // "column", "pie", ... for placeholders and reports

  const AxisLayout* axisById(int id) const;
};

// Lays `chart` out in `target` (points). Never fails: charts it cannot draw give a layout
// with `placeholder` set and the reason.
ChartLayout layoutChart(const ooxml::ChartModel& chart, const ooxml::Theme& theme,
                        const QRectF& target);

// The text shown as the chart title: the title's own text, or the series name of a
// single-series chart with an automatic title; empty when none is shown.
QString chartTitleText(const ooxml::ChartModel& chart);

// "column", "stacked bar", "pie", "scatter" ... for a chart group.
QString chartKindName(const ooxml::ChartGroup& group);

}  // namespace render
