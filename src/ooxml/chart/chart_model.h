// ChartModel: the content of one DrawingML chart part (c:chartSpace) as plain values, with
// the cached series data. Nothing here is resolved against the theme or the chart style;
// the renderer does that. Unknown or absent elements keep the defaults the file format gives.
#pragma once

#include "ooxml/chart/drawing_format.h"

#include <QString>

#include <optional>
#include <vector>

namespace morvane::ooxml::chart {

// Cached values of one data reference (c:strCache, c:numCache, c:strLit, c:numLit,
// c:multiLvlStrCache). Points absent from the cache are missing (nullopt / empty text).
struct DataCache {
  bool present = false;
  bool numeric = false;               // numCache / numLit
  QString formatCode;                 // numCache formatCode; empty when none
  QString formula;                    // c:f, for information
  std::vector<std::optional<double>> numbers;  // ptCount entries when numeric
  std::vector<QString> texts;         // ptCount entries (numbers keep their text form)
  // Multi-level categories: levels[0] is the innermost (next to the axis).
  std::vector<std::vector<QString>> levels;

  int count() const { return int(numeric ? numbers.size() : texts.size()); }
  std::optional<double> number(int i) const;
  QString text(int i) const;
};

struct Marker {
  QString symbol;                     // "none", "circle", "square", "diamond", "triangle",
                                      // "x", "star", "dot", "dash", "plus", "auto"; empty: unset
  std::optional<int> size;            // 2..72 points
  ShapeFormat format;
};

struct DataLabelSettings {
  std::optional<bool> showValue, showCategory, showSeries, showPercent, showLegendKey,
      showBubbleSize;
  std::optional<QString> numFmt;      // c:numFmt formatCode
  bool numFmtSourceLinked = false;
  QString position;                   // c:dLblPos: "outEnd", "inEnd", "ctr", "inBase", "t",
                                      // "b", "l", "r", "bestFit"; empty: the chart's default
  QString separator;
  TextBody text;                      // c:txPr
  ShapeFormat format;                 // c:spPr
  bool deleted = false;

  // True when some show flag is on.
  bool showsAnything() const;
  // Members set in `over` replace ours.
  void mergeFrom(const DataLabelSettings& over);
};

// c:dLbl: one point's label, with optional custom rich text (c:tx/c:rich) and the place the
// user dragged it to (c:layout: in factor mode an offset from its automatic place).
struct DataLabel {
  int index = 0;
  DataLabelSettings settings;
  TextBody customText;
  ManualLayout layout;
};

struct DataLabels {
  bool present = false;
  DataLabelSettings settings;
  std::optional<bool> showLeaderLines;  // c:showLeaderLines; unset: not written
  std::vector<DataLabel> points;
  // The label of point `i`: the series settings merged with the point's own.
  DataLabelSettings forPoint(int i) const;
  const DataLabel* pointLabel(int i) const;
};

// c:dPt.
struct DataPoint {
  int index = 0;
  ShapeFormat format;
  std::optional<Marker> marker;
  std::optional<int> explosion;
  std::optional<bool> invertIfNegative;
};

struct Trendline {
  QString type;                       // "linear", "poly", "exp", "log", "movingAvg", "power"
  int order = 2;
  int period = 2;
  QString name;
  ShapeFormat format;
};

// c:errBars: the program computes the amounts from the values for the statistical types.
struct ErrorBars {
  bool xDirection = false;            // errDir x (scatter and bubble only)
  QString barType = "both";           // "both", "plus", "minus"
  QString valueType = "fixedVal";     // "fixedVal", "percentage", "stdDev", "stdErr", "cust"
  double value = 1;
  bool noEndCap = false;
  DataCache plus, minus;              // cust
  ShapeFormat format;
};

struct Series {
  int index = 0;                      // c:idx: picks the automatic colour
  int order = 0;                      // c:order: drawing and legend order
  QString name;                       // from c:tx (cache or literal); empty when none
  bool hasName = false;
  DataCache categories;               // c:cat or c:xVal
  DataCache values;                   // c:val or c:yVal
  DataCache bubbleSizes;              // c:bubbleSize
  ShapeFormat format;
  std::optional<Marker> marker;
  std::vector<DataPoint> points;
  DataLabels labels;
  std::vector<Trendline> trendlines;
  std::vector<ErrorBars> errorBars;
  std::optional<bool> smooth;
  bool invertIfNegative = false;
  std::optional<int> explosion;
  QString shape;  // c:shape of a 3-D bar series; empty: the group's
  bool bubble3D = false;  // c:bubble3D: bubbles drawn as shaded spheres

  const DataPoint* point(int i) const;
  // The number of points: the values'. Categories beyond them label nothing and the program
  // leaves them off the axis; without values the categories count.
  int pointCount() const;
};

enum class ChartKind {
  Bar, Line, Area, Pie, Doughnut, OfPie, Scatter, Radar, Bubble, Stock, Surface, Unknown
};

enum class Grouping { Standard, Clustered, Stacked, PercentStacked };

// c:bandFmt of a surface group: the format of value band `index` (the value axis' major
// units from its minimum).
struct BandFormat {
  int index = 0;
  ShapeFormat format;
};

// One chart group of the plot area (c:barChart, c:lineChart ...).
struct ChartGroup {
  ChartKind kind = ChartKind::Unknown;
  QString elementName;                // "barChart", "line3DChart" ...
  bool is3D = false;
  bool horizontal = false;            // barDir bar
  Grouping grouping = Grouping::Standard;
  int gapWidth = 150;
  int overlap = 0;
  bool varyColors = false;
  bool showMarkers = true;            // lineChart c:marker (false: no markers by default)
  int firstSliceAngle = 0;
  int holeSize = 50;
  QString scatterStyle;               // "lineMarker", "line", "marker", "smooth", "smoothMarker"
  QString radarStyle;                 // "standard", "marker", "filled"
  bool hiLowLines = false;
  ShapeFormat hiLowFormat;
  bool upDownBars = false;
  ShapeFormat upBarFormat, downBarFormat;
  bool dropLines = false;
  int bubbleScale = 100;
  bool bubbleSizeIsWidth = false;    // c:sizeRepresents w (else the area shows the size)
  bool showNegativeBubbles = false;  // c:showNegBubbles
  // c:ofPieChart: the second plot takes the points the split picks.
  QString ofPieType = "pie";          // "pie" (pie of pie) or "bar" (bar of pie)
  QString splitType;                  // "auto", "cust", "percent", "pos", "val"; empty: auto
  std::optional<double> splitPos;     // pos: how many last points; val, percent: the threshold
  std::vector<int> customSplit;       // cust: the points (c:secondPiePt) in the second plot
  int secondPieSize = 75;             // 5..200, percent of the main pie
  bool seriesLines = false;           // c:serLines: the lines joining the two plots
  ShapeFormat seriesLinesFormat;
  // 3-D groups.
  int gapDepth = 150;     // c:gapDepth, 0..500 % of a bar's width
  QString shape = "box";  // c:shape: "box", "cylinder", "cone", "coneToMax",
                          // "pyramid", "pyramidToMax"
  // Surface groups.
  bool wireframe = false;
  std::vector<BandFormat> bandFormats;
  std::vector<Series> series;
  std::vector<int> axisIds;
  DataLabels labels;                  // group-level c:dLbls
};

enum class AxisKind { Category, Value, Date, Series };
enum class AxisPosition { Bottom, Left, Top, Right };
enum class Crosses { AutoZero, Min, Max, At };
enum class TickLabelPosition { NextTo, Low, High, None };
enum class TickMark { None, Inside, Outside, Cross };

struct Gridlines {
  bool present = false;
  ShapeFormat format;
};

struct Title {
  bool present = false;
  TextBody rich;                      // c:tx/c:rich
  QString referenceText;              // c:tx/c:strRef cache, joined
  TextBody text;                      // c:txPr
  ManualLayout layout;
  bool overlay = false;
  ShapeFormat format;
  // The text runs to show: rich runs, else the reference cache; empty for an automatic title.
  bool hasText() const;
};

struct Axis {
  AxisKind kind = AxisKind::Value;
  int id = 0;
  int crossAxis = 0;
  AxisPosition position = AxisPosition::Left;
  bool deleted = false;
  bool reversed = false;              // orientation maxMin
  std::optional<double> logBase;
  std::optional<double> min, max, majorUnit, minorUnit;
  Crosses crosses = Crosses::AutoZero;
  std::optional<double> crossesAt;
  std::optional<bool> crossBetween;   // valAx crossBetween: true "between", false "midCat"
  QString numFmt;
  bool numFmtSourceLinked = false;
  Gridlines majorGridlines, minorGridlines;
  TickLabelPosition tickLabelPosition = TickLabelPosition::NextTo;
  TickMark majorTickMark = TickMark::Outside;
  TickMark minorTickMark = TickMark::None;
  Title title;
  TextBody text;                      // c:txPr
  ShapeFormat format;
  int labelOffset = 100;
  std::optional<int> tickLabelSkip, tickMarkSkip;
  QString baseTimeUnit;               // dateAx: "days", "months", "years"; empty: automatic
  QString majorTimeUnit, minorTimeUnit;  // dateAx: units of majorUnit/minorUnit; empty: the base
  bool noMultiLevelLabels = false;

  bool isHorizontal() const {
    return position == AxisPosition::Bottom || position == AxisPosition::Top;
  }
};

enum class LegendPosition { Right, Left, Top, Bottom, TopRight };

struct Legend {
  bool present = false;
  LegendPosition position = LegendPosition::Right;
  bool overlay = false;
  ManualLayout layout;
  std::vector<int> deletedEntries;    // c:legendEntry idx with c:delete
  TextBody text;
  ShapeFormat format;
};

// c:view3D: how a 3-D chart is turned and seen. Members the file leaves out stay unset; the
// renderer knows the program's defaults for each chart kind.
struct View3D {
  bool present = false;
  std::optional<int> rotX;             // -90..90 degrees: the tilt towards the viewer
  std::optional<int> rotY;             // 0..360 degrees: the turn about the vertical axis
  std::optional<int> depthPercent;     // 20..2000
  std::optional<int> heightPercent;    // c:hPercent, 5..500; unset: height fitted to the plot
  std::optional<bool> rightAngleAxes;  // c:rAngAx
  std::optional<int> perspective;      // 0..240: field of view in half degrees
};

// c:floor, c:sideWall, c:backWall.
struct Wall {
  bool present = false;
  int thickness = 0;
  ShapeFormat format;
};

struct DataTable {
  bool present = false;
  bool horizontalBorder = true, verticalBorder = true, outline = true, showKeys = true;
};

struct PlotArea {
  ManualLayout layout;
  std::vector<ChartGroup> groups;
  std::vector<Axis> axes;
  ShapeFormat format;
  DataTable dataTable;

  const Axis* axis(int id) const;
};

struct ChartModel {
  int style = 2;                      // c:style / c14:style (1..48)
  bool roundedCorners = false;
  QString displayBlanksAs = "gap";    // "gap", "zero", "span"
  bool date1904 = false;
  Title title;
  bool autoTitleDeleted = false;
  PlotArea plotArea;
  Legend legend;
  View3D view3D;
  Wall floor, sideWall, backWall;
  ShapeFormat format;                 // chart space spPr
  TextBody text;                      // chart space txPr
  bool plotVisibleOnly = true;

  // All series of all groups.
  int seriesCount() const;
};

}  // namespace morvane::ooxml::chart
