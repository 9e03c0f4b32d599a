// Malformed and hostile chart parts: each either reads with a clear error or reads and draws
// something (a chart or a placeholder), never crashes and never paints an empty picture.
#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "render/chart/chart_renderer.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace morvane;

namespace {

const char kHead[] =
    "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"><c:chart>";
const char kTail[] = "</c:chart></c:chartSpace>";

bool hasInk(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 230) return true;
  return false;
}

// Reads `body`, then draws it at two sizes; returns the layout at the first.
render::chart::ChartLayout readAndDraw(const QString& body) {
  auto chart = ooxml::chart::readChartXml((kHead + body + kTail).toUtf8(), "/xl/charts/chart1.xml");
  EXPECT_TRUE(chart.ok()) << (chart.ok() ? "" : chart.error().message.toStdString());
  if (!chart.ok()) return {};
  const ooxml::chart::Theme theme = ooxml::chart::defaultTheme();
  for (QSizeF size : {QSizeF(360, 216), QSizeF(40, 12)}) {
    const QImage image = render::chart::chartToImage(chart.value(), theme, size);
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(hasInk(image)) << "an empty picture at " << size.width();
  }
  return render::chart::layoutChart(chart.value(), theme, QRectF(0, 0, 360, 216));
}

QString series(const QString& values, const QString& extra = QString()) {
  return "<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>" + extra +
         "<c:val><c:numLit>" + values + "</c:numLit></c:val></c:ser>";
}

TEST(ChartHostile, BrokenXmlGivesAClearError) {
  const char* const cases[] = {
      "", "not xml at all", "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">",
      "<!DOCTYPE x [<!ENTITY a \"aaaaaaaa\">]><c:chartSpace "
      "xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\">&a;</c:chartSpace>",
  };
  for (const char* xml : cases) {
    auto r = ooxml::chart::readChartXml(xml, "/xl/charts/chart7.xml");
    ASSERT_FALSE(r.ok()) << xml;
    EXPECT_TRUE(r.error().message.contains("chart7.xml")) << r.error().message.toStdString();
  }
}

TEST(ChartHostile, DeepNestingIsRefused) {
  QByteArray xml = kHead;
  for (int i = 0; i < 5000; ++i) xml += "<c:x>";
  for (int i = 0; i < 5000; ++i) xml += "</c:x>";
  xml += kTail;
  auto r = ooxml::chart::readChartXml(xml, "/xl/charts/chart1.xml");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().code, ooxml::Error::Code::Unsafe);
}

TEST(ChartHostile, AbsurdPointCountsAndIndexes) {
  const auto layout = readAndDraw(
      "<c:plotArea><c:barChart>" +
      series("<c:ptCount val=\"2000000000\"/><c:pt idx=\"-5\"><c:v>1</c:v></c:pt>"
             "<c:pt idx=\"999999999999\"><c:v>2</c:v></c:pt><c:pt idx=\"3\"><c:v>4</c:v></c:pt>") +
      "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart></c:plotArea>");
  ASSERT_FALSE(layout.series.empty());
  EXPECT_LE(layout.series[0].points.size(), 100000u);
}

TEST(ChartHostile, NonFiniteAndHugeValues) {
  const auto layout = readAndDraw(
      "<c:plotArea><c:lineChart>" +
      series("<c:ptCount val=\"5\"/><c:pt idx=\"0\"><c:v>NaN</c:v></c:pt><c:pt idx=\"1\"><c:v>INF</c:v></c:pt>"
             "<c:pt idx=\"2\"><c:v>1e308</c:v></c:pt><c:pt idx=\"3\"><c:v>-1e308</c:v></c:pt>"
             "<c:pt idx=\"4\"><c:v>1</c:v></c:pt>") +
      "</c:lineChart></c:plotArea><c:legend/>");
  EXPECT_FALSE(layout.placeholder);
  for (const render::chart::AxisLayout& a : layout.axes) {
    EXPECT_TRUE(std::isfinite(a.scale.min) && std::isfinite(a.scale.max));
    EXPECT_LE(a.labels.size(), 1001u);
  }
}

TEST(ChartHostile, MissingAndDanglingAxes) {
  // Axis ids that name nothing, an axis crossing itself, a pie without series data.
  readAndDraw("<c:plotArea><c:scatterChart>" + series("<c:pt idx=\"0\"><c:v>3</c:v></c:pt>") +
              "<c:axId val=\"7\"/><c:axId val=\"8\"/></c:scatterChart>"
              "<c:valAx><c:axId val=\"9\"/><c:crossAx val=\"9\"/><c:scaling><c:logBase val=\"1\"/>"
              "<c:min val=\"5\"/><c:max val=\"1\"/></c:scaling><c:majorUnit val=\"0\"/></c:valAx>"
              "</c:plotArea>");
  const auto pie = readAndDraw("<c:title/><c:plotArea><c:pieChart><c:ser><c:idx val=\"0\"/></c:ser>"
                               "</c:pieChart></c:plotArea>");
  EXPECT_TRUE(pie.placeholder);
}

TEST(ChartHostile, NothingDrawableGivesAPlaceholder) {
  EXPECT_TRUE(readAndDraw("").placeholder);
  EXPECT_TRUE(readAndDraw("<c:plotArea/>").placeholder);
  const QString title =
      "<c:title><c:tx><c:rich><a:p><a:r><a:t>Terrain</a:t></a:r></a:p></c:rich></c:tx></c:title>";
  const auto surface = readAndDraw(title + "<c:plotArea><c:surfaceChart>" + series("") +
                                   "</c:surfaceChart></c:plotArea>");
  EXPECT_TRUE(surface.placeholder);
  EXPECT_EQ(surface.title, "Terrain");
  EXPECT_TRUE(surface.placeholderReason.contains("no cached data"));
  // A surface of one point is a mesh without a cell: walls and labels, no placeholder.
  const auto point = readAndDraw(title + "<c:plotArea><c:surface3DChart>" +
                                 series("<c:pt idx=\"0\"><c:v>3</c:v></c:pt>") +
                                 "</c:surface3DChart></c:plotArea>");
  EXPECT_FALSE(point.placeholder);
  EXPECT_TRUE(point.scene.present);
}

QString catAndVal(const QString& catPoints, const QString& valPoints) {
  return "<c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:cat><c:numLit>" + catPoints +
         "</c:numLit></c:cat><c:val><c:numLit>" + valPoints + "</c:numLit></c:val></c:ser>";
}

QString dateAxes(const QString& dateAxisExtra) {
  return "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:lineChart><c:dateAx><c:axId val=\"1\"/>"
         "<c:axPos val=\"b\"/><c:crossAx val=\"2\"/>" + dateAxisExtra + "</c:dateAx><c:valAx>"
         "<c:axId val=\"2\"/><c:axPos val=\"l\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea>";
}

// Points <c:pt> with the given texts at indexes 0, 1, 2 ... (empty texts: no point), after a
// c:ptCount unless `count` is false.
QString pts(const QStringList& values, bool count = true) {
  QString out = count ? QString("<c:ptCount val=\"%1\"/>").arg(values.size()) : QString();
  for (int i = 0; i < values.size(); ++i)
    if (!values[i].isEmpty()) out += QString("<c:pt idx=\"%1\"><c:v>%2</c:v></c:pt>").arg(i).arg(values[i]);
  return out;
}

TEST(ChartHostile, DateAxesWithAbsurdDatesAndUnits) {
  // The calendar's first and last days, dates before it and past it, NaN; a one-day major unit.
  const QString cats = pts({"1", "2958465", "-5", "NaN", "1e300", "60"});
  const QString vals = pts({"1", "2", "", "", "", "3"});
  const QStringList options{
      "<c:baseTimeUnit val=\"days\"/><c:majorUnit val=\"1\"/><c:majorTimeUnit val=\"days\"/>",
      "<c:majorUnit val=\"1e300\"/><c:majorTimeUnit val=\"years\"/>",
      "<c:baseTimeUnit val=\"months\"/><c:majorUnit val=\"0.001\"/>",
      "<c:scaling><c:min val=\"-1e9\"/><c:max val=\"1e12\"/></c:scaling>",
      "<c:scaling><c:min val=\"400000\"/></c:scaling><c:baseTimeUnit val=\"years\"/>"};
  for (const QString& extra : options) {
    SCOPED_TRACE(extra.toStdString());
    const QString body = "<c:plotArea><c:lineChart>" + catAndVal(cats, vals) + dateAxes(extra);
    const auto layout = readAndDraw(body);
    for (const render::chart::AxisLayout& a : layout.axes) {
      EXPECT_LE(a.labels.size(), 1001u);
      EXPECT_LE(a.tickPositions.size(), 1002u);
      for (double t : a.tickPositions) EXPECT_TRUE(std::isfinite(t));
    }
    for (const render::chart::SeriesGeometry& s : layout.series)
      for (const render::chart::PointGeometry& p : s.points)
        if (p.valid) {
          EXPECT_TRUE(std::isfinite(p.position.x()) && std::isfinite(p.position.y()));
        }
  }
}

TEST(ChartHostile, OfPieWithOddSplits) {
  const QString vals = pts({"-3", "0", "5", "1e308"});
  const QStringList options{
      "<c:splitType val=\"pos\"/><c:splitPos val=\"-5\"/>",
      "<c:splitType val=\"pos\"/><c:splitPos val=\"1e300\"/>",
      "<c:splitType val=\"val\"/><c:splitPos val=\"NaN\"/>",
      "<c:splitType val=\"percent\"/><c:splitPos val=\"-1e300\"/>",
      "<c:splitType val=\"cust\"/><c:custSplit><c:secondPiePt val=\"2147483647\"/>"
      "<c:secondPiePt val=\"-1\"/><c:secondPiePt val=\"3\"/></c:custSplit>",
      "<c:ofPieType val=\"bar\"/><c:secondPieSize val=\"-7\"/><c:gapWidth val=\"99999\"/>"
      "<c:serLines/>"};
  for (const QString& option : options) {
    SCOPED_TRACE(option.toStdString());
    readAndDraw("<c:plotArea><c:ofPieChart><c:varyColors val=\"1\"/>" + series(vals) + option +
                "</c:ofPieChart></c:plotArea><c:legend/>");
  }
  const auto zeros = readAndDraw("<c:plotArea><c:ofPieChart>" + series(pts({"0", "0"})) +
                                 "</c:ofPieChart></c:plotArea>");
  EXPECT_FALSE(zeros.ofPie.other.valid);
}

TEST(ChartHostile, MultiLevelCategoriesOfUnevenShape) {
  // Levels longer and shorter than the count, empty levels, and far too many of them.
  QString levels;
  for (int k = 0; k < 200; ++k)
    levels += k % 3 == 0 ? QString("<c:lvl/>")
                         : "<c:lvl>" + pts({QString("L%1").arg(k), "", "", "", "far"}, false) +
                               "</c:lvl>";
  const QString body =
      "<c:plotArea><c:barChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/><c:cat>"
      "<c:multiLvlStrRef><c:multiLvlStrCache><c:ptCount val=\"3\"/>" + levels +
      "</c:multiLvlStrCache></c:multiLvlStrRef></c:cat><c:val><c:numLit>" + pts({"1", "", "2"}) +
      "</c:numLit></c:val></c:ser><c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart>"
      "<c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx>"
      "<c:valAx><c:axId val=\"2\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea>";
  auto chart = ooxml::chart::readChartXml((kHead + body + kTail).toUtf8(), "/xl/charts/chart1.xml");
  ASSERT_TRUE(chart.ok());
  const auto& cat = chart.value().plotArea.groups.at(0).series.at(0).categories;
  EXPECT_EQ(cat.levels.size(), 32u) << "outer levels past the limit are dropped";
  for (const auto& level : cat.levels) EXPECT_EQ(level.size(), 3u);
  readAndDraw(body);
}

TEST(ChartHostile, OddFormattingValues) {
  readAndDraw(
      "<c:plotArea><c:layout><c:manualLayout><c:x val=\"-50\"/><c:y val=\"NaN\"/><c:w val=\"1e9\"/>"
      "<c:h val=\"0\"/></c:manualLayout></c:layout><c:doughnutChart><c:varyColors/>"
      "<c:holeSize val=\"500\"/><c:firstSliceAng val=\"-90\"/>" +
      series("<c:pt idx=\"0\"><c:v>-3</c:v></c:pt><c:pt idx=\"1\"><c:v>0</c:v></c:pt>",
             "<c:explosion val=\"100000\"/><c:spPr><a:ln w=\"-12700\"><a:prstDash val=\"bogus\"/></a:ln>"
             "<a:gradFill><a:gsLst/></a:gradFill></c:spPr>"
             "<c:dLbls><c:showPercent/><c:showVal/><c:numFmt formatCode=\"[Red\" sourceLinked=\"0\"/>"
             "<c:txPr><a:bodyPr rot=\"99999999999\"/><a:p><a:pPr><a:defRPr sz=\"-4\"/></a:pPr></a:p></c:txPr>"
             "</c:dLbls>") +
      "</c:doughnutChart></c:plotArea><c:legend><c:legendPos val=\"zz\"/>"
      "<c:layout><c:manualLayout><c:x val=\"3\"/><c:y val=\"3\"/></c:manualLayout></c:layout></c:legend>");
  readAndDraw("<c:plotArea><c:barChart><c:gapWidth val=\"-100\"/><c:overlap val=\"9999\"/>"
              "<c:grouping val=\"percentStacked\"/>" +
              series("<c:pt idx=\"0\"><c:v>0</c:v></c:pt><c:pt idx=\"1\"><c:v>-0</c:v></c:pt>") +
              series("<c:pt idx=\"0\"><c:v>0</c:v></c:pt>") +
              "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart>"
              "<c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/><c:tickLblSkip val=\"0\"/></c:catAx>"
              "<c:valAx><c:axId val=\"2\"/><c:crossAx val=\"1\"/><c:crossesAt val=\"1e300\"/></c:valAx>"
              "</c:plotArea>");
}

}  // namespace

// A surface of far more cells than a picture shows draws its first part only.
TEST(ChartHostile, HugeSurfaceMeshIsCut) {
  QString points;
  for (int i = 0; i < 2000; ++i)
    points += QString("<c:pt idx=\"%1\"><c:v>%2</c:v></c:pt>").arg(i).arg(i % 7);
  QString rows;
  for (int j = 0; j < 40; ++j)
    rows += "<c:ser><c:idx val=\"" + QString::number(j) + "\"/><c:order val=\"" +
            QString::number(j) + "\"/><c:val><c:numLit>" + points + "</c:numLit></c:val></c:ser>";
  const auto layout =
      readAndDraw("<c:plotArea><c:surface3DChart>" + rows + "</c:surface3DChart></c:plotArea>");
  EXPECT_FALSE(layout.placeholder);
  EXPECT_LE(layout.scene.faces.size(), 20000u * 2u * 4u);  // cells, triangles, bands each crosses
}
