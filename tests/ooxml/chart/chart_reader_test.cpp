// The chart part reader on small inline parts: what each element becomes in the model.
#include "ooxml/chart/chart_reader.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace morvane;

namespace {

const char kHead[] =
    "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\">";

ooxml::chart::ChartModel read(const QString& body, const QString& prefix = QString()) {
  const QByteArray xml = (kHead + prefix + "<c:chart>" + body + "</c:chart></c:chartSpace>").toUtf8();
  auto r = ooxml::chart::readChartXml(xml, "/xl/charts/chart1.xml");
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message.toStdString());
  return r.ok() ? r.value() : ooxml::chart::ChartModel();
}

QString plot(const QString& groups) { return "<c:plotArea>" + groups + "</c:plotArea>"; }

TEST(ChartReader, CachesKeepPointPositionsAndMissingPoints) {
  const auto m = read(plot(
      "<c:lineChart><c:ser><c:idx val=\"3\"/><c:order val=\"0\"/>"
      "<c:tx><c:v>Literal name</c:v></c:tx>"
      "<c:cat><c:strLit><c:ptCount val=\"4\"/><c:pt idx=\"0\"><c:v>a</c:v></c:pt>"
      "<c:pt idx=\"3\"><c:v>d</c:v></c:pt></c:strLit></c:cat>"
      "<c:val><c:numRef><c:f>S!$B$1:$B$4</c:f><c:numCache><c:formatCode>0.0%</c:formatCode>"
      "<c:ptCount val=\"4\"/><c:pt idx=\"0\"><c:v>1.5E-1</c:v></c:pt>"
      "<c:pt idx=\"2\"><c:v>oops</c:v></c:pt><c:pt idx=\"3\"><c:v>2</c:v></c:pt>"
      "</c:numCache></c:numRef></c:val></c:ser></c:lineChart>"));
  ASSERT_EQ(m.plotArea.groups.size(), 1u);
  const ooxml::chart::Series& s = m.plotArea.groups[0].series.at(0);
  EXPECT_EQ(s.index, 3);
  EXPECT_EQ(s.name, "Literal name");
  EXPECT_EQ(s.categories.count(), 4);
  EXPECT_EQ(s.categories.text(3), "d");
  EXPECT_TRUE(s.categories.text(1).isEmpty());
  EXPECT_EQ(s.values.formatCode, "0.0%");
  EXPECT_DOUBLE_EQ(*s.values.number(0), 0.15);
  EXPECT_FALSE(s.values.number(1).has_value());  // absent
  EXPECT_FALSE(s.values.number(2).has_value());  // not a number
  EXPECT_DOUBLE_EQ(*s.values.number(3), 2);
  EXPECT_FALSE(s.values.number(99).has_value());
}

TEST(ChartReader, GroupsAndTheirOptions) {
  const auto m = read(plot(
      "<c:bar3DChart><c:barDir val=\"bar\"/><c:grouping val=\"percentStacked\"/>"
      "<c:gapWidth val=\"70\"/><c:axId val=\"1\"/><c:axId val=\"2\"/></c:bar3DChart>"
      "<c:doughnutChart><c:varyColors val=\"1\"/><c:firstSliceAng val=\"28\"/>"
      "<c:holeSize val=\"33\"/></c:doughnutChart>"
      "<c:scatterChart><c:scatterStyle val=\"smoothMarker\"/></c:scatterChart>"
      "<c:stockChart><c:hiLowLines/><c:upDownBars><c:gapWidth val=\"150\"/></c:upDownBars></c:stockChart>"
      "<c:surfaceChart/>"));
  const auto& g = m.plotArea.groups;
  ASSERT_EQ(g.size(), 5u);
  EXPECT_EQ(g[0].kind, ooxml::chart::ChartKind::Bar);
  EXPECT_TRUE(g[0].is3D);
  EXPECT_TRUE(g[0].horizontal);
  EXPECT_EQ(g[0].grouping, ooxml::chart::Grouping::PercentStacked);
  EXPECT_EQ(g[0].overlap, 100) << "stacked bars overlap fully without an overlap element";
  EXPECT_EQ(g[0].gapWidth, 70);
  EXPECT_EQ(g[0].axisIds, (std::vector<int>{1, 2}));
  EXPECT_EQ(g[1].kind, ooxml::chart::ChartKind::Doughnut);
  EXPECT_TRUE(g[1].varyColors);
  EXPECT_EQ(g[1].firstSliceAngle, 28);
  EXPECT_EQ(g[1].holeSize, 33);
  EXPECT_EQ(g[2].scatterStyle, "smoothMarker");
  EXPECT_TRUE(g[3].hiLowLines);
  EXPECT_TRUE(g[3].upDownBars);
  EXPECT_EQ(g[4].kind, ooxml::chart::ChartKind::Surface);
}

// The view, walls and the 3-D and surface options, with values outside their ranges clamped.
TEST(ChartReader, ThirdDimensionAndSurfaces) {
  const auto m = read(
      "<c:view3D><c:rotX val=\"-120\"/><c:rotY val=\"-30\"/><c:depthPercent val=\"5000\"/>"
      "<c:rAngAx val=\"0\"/><c:perspective val=\"45\"/></c:view3D>"
      "<c:floor><c:thickness val=\"3\"/><c:spPr><a:noFill/></c:spPr></c:floor>"
      "<c:backWall/>" +
      plot("<c:bar3DChart><c:gapDepth val=\"900\"/><c:shape val=\"pyramid\"/>"
           "<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:shape val=\"cone\"/></c:ser>"
           "</c:bar3DChart><c:surface3DChart><c:wireframe/><c:bandFmts><c:bandFmt>"
           "<c:idx val=\"2\"/><c:spPr><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill>"
           "</c:spPr></c:bandFmt></c:bandFmts></c:surface3DChart>"));
  const ooxml::chart::View3D& v = m.view3D;
  EXPECT_TRUE(v.present);
  EXPECT_EQ(v.rotX, -90);
  EXPECT_EQ(v.rotY, 330);
  EXPECT_EQ(v.depthPercent, 2000);
  EXPECT_FALSE(v.heightPercent.has_value()) << "no hPercent: the height is fitted";
  EXPECT_EQ(v.rightAngleAxes, false);
  EXPECT_EQ(v.perspective, 45);
  EXPECT_TRUE(m.floor.present);
  EXPECT_EQ(m.floor.thickness, 3);
  EXPECT_EQ(m.floor.format.fill.kind, ooxml::chart::Fill::Kind::None);
  EXPECT_TRUE(m.backWall.present);
  EXPECT_FALSE(m.sideWall.present);
  const auto& g = m.plotArea.groups;
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0].gapDepth, 500);
  EXPECT_EQ(g[0].shape, "pyramid");
  EXPECT_EQ(g[0].series.at(0).shape, "cone");
  EXPECT_TRUE(g[1].wireframe);
  ASSERT_EQ(g[1].bandFormats.size(), 1u);
  EXPECT_EQ(g[1].bandFormats[0].index, 2);
  EXPECT_EQ(g[1].bandFormats[0].format.fill.color.rgb, QColor(Qt::red));
}

TEST(ChartReader, SeriesFollowTheirOrderNotTheFileOrder) {
  const auto m = read(plot(
      "<c:barChart><c:ser><c:idx val=\"0\"/><c:order val=\"1\"/></c:ser>"
      "<c:ser><c:idx val=\"1\"/><c:order val=\"0\"/></c:ser></c:barChart>"));
  const auto& series = m.plotArea.groups.at(0).series;
  EXPECT_EQ(series.at(0).index, 1);
  EXPECT_EQ(series.at(1).index, 0);
}

TEST(ChartReader, FormattingPointsMarkersAndLabels) {
  const auto m = read(plot(
      "<c:lineChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
      "<c:spPr><a:ln w=\"28575\"><a:solidFill><a:schemeClr val=\"accent2\"><a:lumMod val=\"75000\"/>"
      "</a:schemeClr></a:solidFill><a:prstDash val=\"sysDot\"/></a:ln></c:spPr>"
      "<c:marker><c:symbol val=\"triangle\"/><c:size val=\"99\"/></c:marker>"
      "<c:dPt><c:idx val=\"2\"/><c:spPr><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill></c:spPr></c:dPt>"
      "<c:dLbls><c:dLbl><c:idx val=\"1\"/><c:tx><c:rich><a:bodyPr/><a:p><a:r><a:t>Peak</a:t></a:r></a:p>"
      "</c:rich></c:tx><c:showVal val=\"1\"/></c:dLbl>"
      "<c:numFmt formatCode=\"0.00\" sourceLinked=\"0\"/><c:dLblPos val=\"t\"/>"
      "<c:txPr><a:bodyPr rot=\"-1800000\"/><a:p><a:pPr><a:defRPr sz=\"900\" b=\"1\"/></a:pPr></a:p></c:txPr>"
      "<c:showVal val=\"1\"/><c:showCatName val=\"0\"/></c:dLbls>"
      "</c:ser></c:lineChart>"));
  const ooxml::chart::Series& s = m.plotArea.groups.at(0).series.at(0);
  EXPECT_DOUBLE_EQ(*s.format.line.widthPt, 2.25);
  EXPECT_EQ(s.format.line.dash, "sysDot");
  EXPECT_EQ(s.format.line.fill.color.scheme, "accent2");
  ASSERT_EQ(s.format.line.fill.color.modifiers.size(), 1u);
  EXPECT_EQ(s.format.line.fill.color.modifiers[0], std::make_pair(QString("lumMod"), 75000));
  ASSERT_TRUE(s.marker);
  EXPECT_EQ(s.marker->symbol, "triangle");
  EXPECT_EQ(*s.marker->size, 72) << "sizes are clamped to what the program allows";
  ASSERT_NE(s.point(2), nullptr);
  EXPECT_EQ(s.point(2)->format.fill.color.rgb, QColor(Qt::red));
  EXPECT_EQ(s.point(1), nullptr);
  const ooxml::chart::DataLabelSettings all = s.labels.forPoint(0);
  EXPECT_TRUE(*all.showValue);
  EXPECT_FALSE(*all.showCategory);
  EXPECT_EQ(*all.numFmt, "0.00");
  EXPECT_EQ(all.position, "t");
  EXPECT_DOUBLE_EQ(*all.text.rotationDeg, -30);
  EXPECT_DOUBLE_EQ(*all.text.defaultFormat().sizePt, 9);
  ASSERT_NE(s.labels.pointLabel(1), nullptr);
  EXPECT_EQ(s.labels.pointLabel(1)->customText.plainText(), "Peak");
}

TEST(ChartReader, AxesTitlesAndScaling) {
  const auto m = read(plot(
      "<c:catAx><c:axId val=\"10\"/><c:scaling><c:orientation val=\"maxMin\"/></c:scaling>"
      "<c:delete val=\"1\"/><c:axPos val=\"l\"/><c:crossAx val=\"20\"/><c:tickLblSkip val=\"2\"/></c:catAx>"
      "<c:valAx><c:axId val=\"20\"/><c:scaling><c:logBase val=\"10\"/><c:orientation val=\"minMax\"/>"
      "<c:max val=\"1000\"/><c:min val=\"1\"/></c:scaling><c:axPos val=\"b\"/>"
      "<c:majorGridlines><c:spPr><a:ln><a:noFill/></a:ln></c:spPr></c:majorGridlines>"
      "<c:title><c:tx><c:rich><a:bodyPr rot=\"-5400000\"/><a:p><a:r><a:t>Length</a:t></a:r>"
      "<a:r><a:t> (mm)</a:t></a:r></a:p></c:rich></c:tx></c:title>"
      "<c:numFmt formatCode=\"0.0\" sourceLinked=\"0\"/><c:majorTickMark val=\"cross\"/>"
      "<c:tickLblPos val=\"low\"/><c:crossAx val=\"10\"/><c:crossesAt val=\"5\"/>"
      "<c:crossBetween val=\"midCat\"/><c:majorUnit val=\"-3\"/></c:valAx>"
      "<c:dateAx><c:axId val=\"30\"/><c:baseTimeUnit val=\"months\"/></c:dateAx>"));
  const auto& axes = m.plotArea.axes;
  ASSERT_EQ(axes.size(), 3u);
  EXPECT_EQ(axes[0].kind, ooxml::chart::AxisKind::Category);
  EXPECT_TRUE(axes[0].reversed);
  EXPECT_TRUE(axes[0].deleted);
  EXPECT_EQ(axes[0].position, ooxml::chart::AxisPosition::Left);
  EXPECT_EQ(*axes[0].tickLabelSkip, 2);
  const ooxml::chart::Axis& v = axes[1];
  EXPECT_DOUBLE_EQ(*v.logBase, 10);
  EXPECT_DOUBLE_EQ(*v.min, 1);
  EXPECT_DOUBLE_EQ(*v.max, 1000);
  EXPECT_FALSE(v.majorUnit.has_value()) << "a negative unit is ignored";
  EXPECT_TRUE(v.majorGridlines.present);
  EXPECT_EQ(v.majorGridlines.format.line.fill.kind, ooxml::chart::Fill::Kind::None);
  EXPECT_EQ(v.title.rich.plainText(), "Length (mm)");
  EXPECT_DOUBLE_EQ(*v.title.rich.rotationDeg, -90);
  EXPECT_EQ(v.numFmt, "0.0");
  EXPECT_FALSE(v.numFmtSourceLinked);
  EXPECT_EQ(v.majorTickMark, ooxml::chart::TickMark::Cross);
  EXPECT_EQ(v.tickLabelPosition, ooxml::chart::TickLabelPosition::Low);
  EXPECT_EQ(v.crosses, ooxml::chart::Crosses::At);
  EXPECT_DOUBLE_EQ(*v.crossesAt, 5);
  EXPECT_FALSE(*v.crossBetween);
  EXPECT_EQ(axes[2].kind, ooxml::chart::AxisKind::Date);
  EXPECT_EQ(axes[2].baseTimeUnit, "months");
}

TEST(ChartReader, DateAxisTimeUnits) {
  const auto m = read(plot(
      "<c:dateAx><c:axId val=\"1\"/><c:baseTimeUnit val=\"days\"/><c:majorUnit val=\"2\"/>"
      "<c:majorTimeUnit val=\"months\"/><c:minorUnit val=\"1\"/><c:minorTimeUnit val=\"weeks\"/></c:dateAx>"
      "<c:dateAx><c:axId val=\"2\"/></c:dateAx>"));
  const auto& axes = m.plotArea.axes;
  ASSERT_EQ(axes.size(), 2u);
  EXPECT_EQ(axes[0].baseTimeUnit, "days");
  EXPECT_DOUBLE_EQ(*axes[0].majorUnit, 2);
  EXPECT_EQ(axes[0].majorTimeUnit, "months");
  EXPECT_TRUE(axes[0].minorTimeUnit.isEmpty()) << "not a unit the format knows";
  EXPECT_TRUE(axes[1].baseTimeUnit.isEmpty()) << "automatic";
  EXPECT_TRUE(axes[1].majorTimeUnit.isEmpty());
}

TEST(ChartReader, MultiLevelCategoriesKeepEachLevel) {
  const auto m = read(plot(
      "<c:barChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:cat><c:multiLvlStrRef>"
      "<c:f>S!$A$1:$B$3</c:f><c:multiLvlStrCache><c:ptCount val=\"3\"/>"
      "<c:lvl><c:pt idx=\"0\"><c:v>a</c:v></c:pt><c:pt idx=\"1\"><c:v>b</c:v></c:pt>"
      "<c:pt idx=\"2\"><c:v>c</c:v></c:pt></c:lvl>"
      "<c:lvl><c:pt idx=\"0\"><c:v>X</c:v></c:pt><c:pt idx=\"2\"><c:v>Y</c:v></c:pt></c:lvl>"
      "</c:multiLvlStrCache></c:multiLvlStrRef></c:cat></c:ser></c:barChart>"));
  const ooxml::chart::DataCache& cat = m.plotArea.groups.at(0).series.at(0).categories;
  ASSERT_EQ(cat.levels.size(), 2u);
  EXPECT_EQ(cat.levels[0], (std::vector<QString>{"a", "b", "c"}));
  EXPECT_EQ(cat.levels[1], (std::vector<QString>{"X", "", "Y"}));
  EXPECT_EQ(cat.text(1), "b") << "the innermost level is the category text";
}

TEST(ChartReader, ChartSpaceTitleLegendAndLayouts) {
  const auto m = read(
      "<c:title><c:tx><c:strRef><c:f>S!$A$1</c:f><c:strCache><c:ptCount val=\"1\"/>"
      "<c:pt idx=\"0\"><c:v>From a cell</c:v></c:pt></c:strCache></c:strRef></c:tx>"
      "<c:overlay val=\"1\"/></c:title><c:autoTitleDeleted val=\"1\"/>"
      "<c:plotArea><c:layout><c:manualLayout><c:layoutTarget val=\"inner\"/><c:xMode val=\"edge\"/>"
      "<c:yMode val=\"edge\"/><c:x val=\"0.1\"/><c:y val=\"0.2\"/><c:w val=\"0.5\"/><c:h val=\"-1\"/>"
      "</c:manualLayout></c:layout></c:plotArea>"
      "<c:legend><c:legendPos val=\"b\"/><c:legendEntry><c:idx val=\"1\"/><c:delete val=\"1\"/>"
      "</c:legendEntry><c:legendEntry><c:idx val=\"2\"/></c:legendEntry></c:legend>"
      "<c:dispBlanksAs val=\"span\"/>",
      "<c:roundedCorners val=\"1\"/><mc:AlternateContent><mc:Choice Requires=\"c14\" "
      "xmlns:c14=\"http://schemas.microsoft.com/office/drawing/2007/8/2/chart\">"
      "<c14:style val=\"118\"/></mc:Choice><mc:Fallback><c:style val=\"18\"/></mc:Fallback>"
      "</mc:AlternateContent><c:spPr><a:noFill/></c:spPr>");
  EXPECT_EQ(m.style, 18);
  EXPECT_TRUE(m.roundedCorners);
  EXPECT_EQ(m.format.fill.kind, ooxml::chart::Fill::Kind::None);
  EXPECT_EQ(m.title.referenceText, "From a cell");
  EXPECT_TRUE(m.title.overlay);
  EXPECT_TRUE(m.autoTitleDeleted);
  const ooxml::chart::ManualLayout& l = m.plotArea.layout;
  EXPECT_TRUE(l.innerTarget);
  EXPECT_TRUE(l.xEdge);
  EXPECT_DOUBLE_EQ(*l.x, 0.1);
  EXPECT_DOUBLE_EQ(*l.w, 0.5);
  EXPECT_FALSE(l.h.has_value()) << "a negative height is dropped";
  EXPECT_EQ(m.legend.position, ooxml::chart::LegendPosition::Bottom);
  EXPECT_EQ(m.legend.deletedEntries, std::vector<int>{1});
  EXPECT_EQ(m.displayBlanksAs, "span");
}

TEST(ChartReader, RefusesPartsThatAreNotCharts) {
  auto notXml = ooxml::chart::readChartXml("<c:chartSpace", "/xl/charts/chart9.xml");
  ASSERT_FALSE(notXml.ok());
  EXPECT_EQ(notXml.error().code, ooxml::Error::Code::BadXml);
  EXPECT_TRUE(notXml.error().message.contains("chart9.xml"));
  auto wrongRoot = ooxml::chart::readChartXml(
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"/>", "/x.xml");
  ASSERT_FALSE(wrongRoot.ok());
  EXPECT_EQ(wrongRoot.error().code, ooxml::Error::Code::BadXml);
  auto noChart = ooxml::chart::readChartXml(QByteArray(kHead) + "</c:chartSpace>", "/x.xml");
  ASSERT_FALSE(noChart.ok());
  EXPECT_EQ(noChart.error().code, ooxml::Error::Code::Missing);
}

}  // namespace

// A series as long as a sheet's column is read whole; a hostile count declares no more blanks
// than before.
TEST(ChartReader, LongSeriesAreReadWholeUpToASheetsColumn) {
  for (const auto& [declared, last, expected] :
       {std::tuple{200000, 199999, 200000}, std::tuple{2000000000, 1999999999, 150001}}) {
    QString points;
    for (int i : {0, 150000, last})
      points += QStringLiteral("<c:pt idx=\"%1\"><c:v>%1</c:v></c:pt>").arg(i);
    const auto m =
        read(plot(QStringLiteral("<c:lineChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
                                 "<c:val><c:numLit><c:ptCount val=\"%1\"/>%2</c:numLit></c:val>"
                                 "</c:ser></c:lineChart>")
                      .arg(declared)
                      .arg(points)));
    const ooxml::chart::Series& s = m.plotArea.groups.at(0).series.at(0);
    EXPECT_EQ(s.pointCount(), expected);
    EXPECT_EQ(s.values.number(150000), 150000);
  }
}
