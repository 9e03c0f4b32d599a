#include "ooxml/chart/chart_reader.h"

#include "ooxml/chart/detail/format_reader.h"
#include "ooxml/chart/detail/series_reader.h"
#include "ooxml/detail/xml.h"
#include "ooxml/package.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace morvane::ooxml::chart {

namespace {

using namespace detail;

struct GroupType {
  const char* element;
  ChartKind kind;
  bool is3D;
};

constexpr GroupType kGroupTypes[] = {
    {"c:barChart", ChartKind::Bar, false},         {"c:bar3DChart", ChartKind::Bar, true},
    {"c:lineChart", ChartKind::Line, false},       {"c:line3DChart", ChartKind::Line, true},
    {"c:areaChart", ChartKind::Area, false},       {"c:area3DChart", ChartKind::Area, true},
    {"c:pieChart", ChartKind::Pie, false},         {"c:pie3DChart", ChartKind::Pie, true},
    {"c:doughnutChart", ChartKind::Doughnut, false}, {"c:ofPieChart", ChartKind::OfPie, false},
    {"c:scatterChart", ChartKind::Scatter, false}, {"c:radarChart", ChartKind::Radar, false},
    {"c:bubbleChart", ChartKind::Bubble, false},   {"c:stockChart", ChartKind::Stock, false},
    {"c:surfaceChart", ChartKind::Surface, false}, {"c:surface3DChart", ChartKind::Surface, true},
};

Grouping groupingOf(const QString& v, Grouping fallback) {
  if (v == "clustered") return Grouping::Clustered;
  if (v == "stacked") return Grouping::Stacked;
  if (v == "percentStacked") return Grouping::PercentStacked;
  if (v == "standard") return Grouping::Standard;
  return fallback;
}

bool isBarShape(const QString& v) {
  return v == "box" || v == "cylinder" || v == "cone" || v == "coneToMax" || v == "pyramid" ||
         v == "pyramidToMax";
}

Title readTitle(const pugi::xml_node& node) {
  Title t;
  if (!node) return t;
  t.present = true;
  const pugi::xml_node tx = node.child("c:tx");
  t.rich = readTextBody(tx.child("c:rich"));
  if (const pugi::xml_node ref = tx.child("c:strRef")) {
    const DataCache cache = readDataSource(tx);
    QStringList parts;
    for (const QString& s : cache.texts) parts << s;
    t.referenceText = parts.join(' ');
    (void)ref;
  }
  t.text = readTextBody(node.child("c:txPr"));
  t.layout = readLayout(node.child("c:layout"));
  t.overlay = childBool(node, "c:overlay").value_or(false);
  t.format = readShapeFormat(node.child("c:spPr"));
  return t;
}

// The options of c:ofPieChart.
void readOfPie(const pugi::xml_node& node, ChartGroup& g) {
  if (childString(node, "c:ofPieType") == "bar") g.ofPieType = "bar";
  const QString split = childString(node, "c:splitType");
  if (split == "auto" || split == "cust" || split == "percent" || split == "pos" || split == "val")
    g.splitType = split;
  if (const auto pos = childDouble(node, "c:splitPos"); pos && std::isfinite(*pos))
    g.splitPos = pos;
  for (const pugi::xml_node& pt : node.child("c:custSplit").children("c:secondPiePt")) {
    const int idx = pt.attribute("val").as_int(-1);
    if (idx >= 0 && idx < detail::kMaxPoints) g.customSplit.push_back(idx);
  }
  g.secondPieSize = std::clamp(childInt(node, "c:secondPieSize").value_or(75), 5, 200);
  if (const pugi::xml_node lines = node.child("c:serLines")) {
    g.seriesLines = true;
    g.seriesLinesFormat = readShapeFormat(lines.child("c:spPr"));
  }
}

View3D readView3D(const pugi::xml_node& node) {
  View3D v;
  if (!node) return v;
  v.present = true;
  auto clamped = [&](const char* name, int lo, int hi) -> std::optional<int> {
    const auto value = childInt(node, name);
    return value ? std::optional<int>(std::clamp(*value, lo, hi)) : std::nullopt;
  };
  v.rotX = clamped("c:rotX", -90, 90);
  if (const auto y = childInt(node, "c:rotY")) v.rotY = ((*y % 360) + 360) % 360;
  v.depthPercent = clamped("c:depthPercent", 20, 2000);
  v.heightPercent = clamped("c:hPercent", 5, 500);
  v.rightAngleAxes = childBool(node, "c:rAngAx");
  v.perspective = clamped("c:perspective", 0, 240);
  return v;
}

Wall readWall(const pugi::xml_node& node) {
  Wall w;
  if (!node) return w;
  w.present = true;
  w.thickness = std::clamp(childInt(node, "c:thickness").value_or(0), 0, 100);
  w.format = readShapeFormat(node.child("c:spPr"));
  return w;
}

ChartGroup readGroup(const pugi::xml_node& node, const GroupType& type) {
  ChartGroup g;
  g.kind = type.kind;
  g.is3D = type.is3D;
  g.elementName = qstr(node.name()).mid(2);
  g.horizontal = childString(node, "c:barDir") == "bar";
  const Grouping fallback = type.kind == ChartKind::Bar ? Grouping::Clustered : Grouping::Standard;
  g.grouping = groupingOf(childString(node, "c:grouping"), fallback);
  g.gapWidth = std::clamp(childInt(node, "c:gapWidth").value_or(150), 0, 500);
  g.overlap = std::clamp(childInt(node, "c:overlap").value_or(0), -100, 100);
  // Stacked bars without an overlap element still stack on one another.
  if (type.kind == ChartKind::Bar && !node.child("c:overlap") &&
      (g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked))
    g.overlap = 100;
  g.varyColors = childBool(node, "c:varyColors").value_or(false);
  g.showMarkers = childBool(node, "c:marker").value_or(true);
  g.firstSliceAngle = std::clamp(childInt(node, "c:firstSliceAng").value_or(0), 0, 360);
  g.holeSize = std::clamp(childInt(node, "c:holeSize").value_or(50), 1, 90);
  g.scatterStyle = childString(node, "c:scatterStyle");
  g.radarStyle = childString(node, "c:radarStyle");
  if (const pugi::xml_node hl = node.child("c:hiLowLines")) {
    g.hiLowLines = true;
    g.hiLowFormat = readShapeFormat(hl.child("c:spPr"));
  }
  if (const pugi::xml_node ud = node.child("c:upDownBars")) {
    g.upDownBars = true;
    g.upBarFormat = readShapeFormat(ud.child("c:upBars").child("c:spPr"));
    g.downBarFormat = readShapeFormat(ud.child("c:downBars").child("c:spPr"));
  }
  g.dropLines = bool(node.child("c:dropLines"));
  g.bubbleScale = std::clamp(childInt(node, "c:bubbleScale").value_or(100), 0, 300);
  g.bubbleSizeIsWidth = childString(node, "c:sizeRepresents") == "w";
  g.showNegativeBubbles = childBool(node, "c:showNegBubbles").value_or(false);
  if (type.kind == ChartKind::OfPie) readOfPie(node, g);
  g.gapDepth = std::clamp(childInt(node, "c:gapDepth").value_or(150), 0, 500);
  if (const QString shape = childString(node, "c:shape"); isBarShape(shape)) g.shape = shape;
  g.wireframe = childBool(node, "c:wireframe").value_or(false);
  for (const pugi::xml_node& band : node.child("c:bandFmts").children("c:bandFmt")) {
    const int idx = childInt(band, "c:idx").value_or(-1);
    if (idx >= 0 && idx < detail::kMaxPoints)
      g.bandFormats.push_back(BandFormat{idx, readShapeFormat(band.child("c:spPr"))});
  }
  for (const pugi::xml_node& ser : node.children("c:ser")) g.series.push_back(readSeries(ser));
  std::stable_sort(g.series.begin(), g.series.end(),
                   [](const Series& a, const Series& b) { return a.order < b.order; });
  for (const pugi::xml_node& id : node.children("c:axId"))
    g.axisIds.push_back(id.attribute("val").as_int());
  g.labels = readDataLabels(node.child("c:dLbls"));
  return g;
}

TickMark tickMarkOf(const QString& v, TickMark fallback) {
  if (v == "none") return TickMark::None;
  if (v == "in") return TickMark::Inside;
  if (v == "out") return TickMark::Outside;
  if (v == "cross") return TickMark::Cross;
  return fallback;
}

void readScaling(const pugi::xml_node& scaling, Axis& a) {
  a.reversed = childString(scaling, "c:orientation") == "maxMin";
  if (const auto base = childDouble(scaling, "c:logBase"); base && *base >= 2 && *base <= 1000)
    a.logBase = base;
  a.min = childDouble(scaling, "c:min");
  a.max = childDouble(scaling, "c:max");
  if (a.min && a.max && *a.min >= *a.max) a.max.reset();  // the program ignores such a max
}

Axis readAxis(const pugi::xml_node& node, AxisKind kind) {
  Axis a;
  a.kind = kind;
  a.id = childInt(node, "c:axId").value_or(0);
  a.crossAxis = childInt(node, "c:crossAx").value_or(0);
  const QString pos = childString(node, "c:axPos");
  a.position = pos == "b"   ? AxisPosition::Bottom
               : pos == "t" ? AxisPosition::Top
               : pos == "r" ? AxisPosition::Right
                            : AxisPosition::Left;
  a.deleted = childBool(node, "c:delete").value_or(false);
  readScaling(node.child("c:scaling"), a);
  auto positive = [](std::optional<double> v) { return v && *v > 0 ? v : std::nullopt; };
  a.majorUnit = positive(childDouble(node, "c:majorUnit"));
  a.minorUnit = positive(childDouble(node, "c:minorUnit"));
  const QString crosses = childString(node, "c:crosses");
  a.crosses = crosses == "min" ? Crosses::Min : crosses == "max" ? Crosses::Max : Crosses::AutoZero;
  if (const auto at = childDouble(node, "c:crossesAt")) {
    a.crosses = Crosses::At;
    a.crossesAt = at;
  }
  if (node.child("c:crossBetween")) a.crossBetween = childString(node, "c:crossBetween") != "midCat";
  if (const pugi::xml_node fmt = node.child("c:numFmt")) {
    a.numFmt = qstr(fmt.attribute("formatCode").value());
    a.numFmtSourceLinked = fmt.attribute("sourceLinked").as_bool();
  }
  if (const pugi::xml_node g = node.child("c:majorGridlines")) {
    a.majorGridlines.present = true;
    a.majorGridlines.format = readShapeFormat(g.child("c:spPr"));
  }
  if (const pugi::xml_node g = node.child("c:minorGridlines")) {
    a.minorGridlines.present = true;
    a.minorGridlines.format = readShapeFormat(g.child("c:spPr"));
  }
  const QString lblPos = childString(node, "c:tickLblPos");
  a.tickLabelPosition = lblPos == "none"   ? TickLabelPosition::None
                        : lblPos == "low"  ? TickLabelPosition::Low
                        : lblPos == "high" ? TickLabelPosition::High
                                           : TickLabelPosition::NextTo;
  a.majorTickMark = tickMarkOf(childString(node, "c:majorTickMark"), TickMark::Outside);
  a.minorTickMark = tickMarkOf(childString(node, "c:minorTickMark"), TickMark::None);
  a.title = readTitle(node.child("c:title"));
  a.text = readTextBody(node.child("c:txPr"));
  a.format = readShapeFormat(node.child("c:spPr"));
  a.labelOffset = std::clamp(childInt(node, "c:lblOffset").value_or(100), 0, 1000);
  if (const auto skip = childInt(node, "c:tickLblSkip"); skip && *skip >= 1) a.tickLabelSkip = skip;
  if (const auto skip = childInt(node, "c:tickMarkSkip"); skip && *skip >= 1) a.tickMarkSkip = skip;
  auto timeUnit = [&](const char* name) {
    const QString unit = childString(node, name);
    return unit == "days" || unit == "months" || unit == "years" ? unit : QString();
  };
  a.baseTimeUnit = timeUnit("c:baseTimeUnit");
  a.majorTimeUnit = timeUnit("c:majorTimeUnit");
  a.minorTimeUnit = timeUnit("c:minorTimeUnit");
  a.noMultiLevelLabels = childBool(node, "c:noMultiLvlLbl").value_or(false);
  return a;
}

PlotArea readPlotArea(const pugi::xml_node& node) {
  PlotArea p;
  p.layout = readLayout(node.child("c:layout"));
  p.format = readShapeFormat(node.child("c:spPr"));
  for (const pugi::xml_node& child : node.children()) {
    const std::string_view name = child.name();
    for (const GroupType& type : kGroupTypes)
      if (name == type.element) p.groups.push_back(readGroup(child, type));
    if (name == "c:catAx") p.axes.push_back(readAxis(child, AxisKind::Category));
    else if (name == "c:valAx") p.axes.push_back(readAxis(child, AxisKind::Value));
    else if (name == "c:dateAx") p.axes.push_back(readAxis(child, AxisKind::Date));
    else if (name == "c:serAx") p.axes.push_back(readAxis(child, AxisKind::Series));
  }
  if (const pugi::xml_node table = node.child("c:dTable")) {
    p.dataTable.present = true;
    p.dataTable.horizontalBorder = childBool(table, "c:showHorzBorder").value_or(false);
    p.dataTable.verticalBorder = childBool(table, "c:showVertBorder").value_or(false);
    p.dataTable.outline = childBool(table, "c:showOutline").value_or(false);
    p.dataTable.showKeys = childBool(table, "c:showKeys").value_or(false);
  }
  return p;
}

Legend readLegend(const pugi::xml_node& node) {
  Legend l;
  if (!node) return l;
  l.present = true;
  const QString pos = childString(node, "c:legendPos");
  l.position = pos == "l"    ? LegendPosition::Left
               : pos == "t"  ? LegendPosition::Top
               : pos == "b"  ? LegendPosition::Bottom
               : pos == "tr" ? LegendPosition::TopRight
                             : LegendPosition::Right;
  for (const pugi::xml_node& e : node.children("c:legendEntry")) {
    const auto idx = childInt(e, "c:idx");
    if (idx && *idx >= 0 && childBool(e, "c:delete").value_or(false))
      l.deletedEntries.push_back(*idx);
  }
  l.layout = readLayout(node.child("c:layout"));
  l.overlay = childBool(node, "c:overlay").value_or(false);
  l.text = readTextBody(node.child("c:txPr"));
  l.format = readShapeFormat(node.child("c:spPr"));
  return l;
}

// c:style, or the c14:style choice the 2010 programs write (100 + style).
std::optional<int> readStyle(const pugi::xml_node& space) {
  for (const pugi::xml_node& child : space.children()) {
    const std::string_view name = child.name();
    if (name == "c:style") return childInt(space, "c:style");
    if (name == "mc:AlternateContent") {
      for (const pugi::xml_node& branch : child.children()) {
        for (const pugi::xml_node& s : branch.children()) {
          const std::string_view n = s.name();
          if (n.size() >= 6 && n.substr(n.size() - 6) == ":style") {
            int v = s.attribute("val").as_int();
            if (n != "c:style" && v > 100) v -= 100;
            return v;
          }
        }
      }
    }
  }
  return std::nullopt;
}

Result<ChartModel> readChartSpace(const pugi::xml_node& space, const QString& partName) {
  if (std::string_view(space.name()) != "c:chartSpace")
    return Error{Error::Code::BadXml,
                 QString("%1: the root element is not a chart (c:chartSpace)").arg(partName)};
  const pugi::xml_node chart = space.child("c:chart");
  if (!chart)
    return Error{Error::Code::Missing, QString("%1: the chart has no c:chart element").arg(partName)};
  ChartModel m;
  if (const auto style = readStyle(space); style && *style >= 1 && *style <= 48) m.style = *style;
  m.roundedCorners = childBool(space, "c:roundedCorners").value_or(false);
  m.date1904 = childBool(space, "c:date1904").value_or(false);
  m.format = readShapeFormat(space.child("c:spPr"));
  m.text = readTextBody(space.child("c:txPr"));
  m.title = readTitle(chart.child("c:title"));
  m.autoTitleDeleted = childBool(chart, "c:autoTitleDeleted").value_or(false);
  m.plotArea = readPlotArea(chart.child("c:plotArea"));
  m.legend = readLegend(chart.child("c:legend"));
  m.view3D = readView3D(chart.child("c:view3D"));
  m.floor = readWall(chart.child("c:floor"));
  m.sideWall = readWall(chart.child("c:sideWall"));
  m.backWall = readWall(chart.child("c:backWall"));
  m.plotVisibleOnly = childBool(chart, "c:plotVisOnly").value_or(true);
  const QString blanks = childString(chart, "c:dispBlanksAs");
  if (blanks == "zero" || blanks == "span" || blanks == "gap") m.displayBlanksAs = blanks;
  return m;
}

}  // namespace

Result<ChartModel> readChartXml(const QByteArray& xml, const QString& partName, int maxXmlDepth) {
  auto parsed = parseXml(xml, partName, maxXmlDepth);
  if (!parsed) return parsed.error();
  return readChartSpace(parsed.value()->doc.document_element(), partName);
}

Result<ChartModel> readChart(const Package& package, const QString& chartPartName) {
  auto bytes = package.read(chartPartName);
  if (!bytes) return bytes.error();
  return readChartXml(bytes.value(), chartPartName, package.limits().maxXmlDepth);
}

}  // namespace morvane::ooxml::chart
