// Malformed and hostile chart parts: each either reads with a clear error or reads and draws
// something (a chart or a placeholder), never crashes and never paints an empty picture.
#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "render/chart/chart_renderer.h"

#include <QImage>

#include <gtest/gtest.h>

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
render::ChartLayout readAndDraw(const QString& body) {
  auto chart = ooxml::readChartXml((kHead + body + kTail).toUtf8(), "/xl/charts/chart1.xml");
  EXPECT_TRUE(chart.ok()) << (chart.ok() ? "" : chart.error().message.toStdString());
  if (!chart.ok()) return {};
  const ooxml::Theme theme = ooxml::defaultTheme();
  for (QSizeF size : {QSizeF(360, 216), QSizeF(40, 12)}) {
    const QImage image = render::chartToImage(chart.value(), theme, size);
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(hasInk(image)) << "an empty picture at " << size.width();
  }
  return render::layoutChart(chart.value(), theme, QRectF(0, 0, 360, 216));
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
    auto r = ooxml::readChartXml(xml, "/xl/charts/chart7.xml");
    ASSERT_FALSE(r.ok()) << xml;
    EXPECT_TRUE(r.error().message.contains("chart7.xml")) << r.error().message.toStdString();
  }
}

TEST(ChartHostile, DeepNestingIsRefused) {
  QByteArray xml = kHead;
  for (int i = 0; i < 5000; ++i) xml += "<c:x>";
  for (int i = 0; i < 5000; ++i) xml += "</c:x>";
  xml += kTail;
  auto r = ooxml::readChartXml(xml, "/xl/charts/chart1.xml");
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
  for (const render::AxisLayout& a : layout.axes) {
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
  const auto surface = readAndDraw(
      "<c:title><c:tx><c:rich><a:p><a:r><a:t>Terrain</a:t></a:r></a:p></c:rich></c:tx></c:title>"
      "<c:plotArea><c:surfaceChart>" + series("<c:pt idx=\"0\"><c:v>3</c:v></c:pt>") +
      "</c:surfaceChart></c:plotArea>");
  EXPECT_TRUE(surface.placeholder);
  EXPECT_EQ(surface.title, "Terrain");
  EXPECT_TRUE(surface.placeholderReason.contains("surface"));
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
