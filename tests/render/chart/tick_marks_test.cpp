// Tick marks on a value axis: major marks at every labelled value, minor marks between them,
// half as long, on the side the file asks for; none where the file says none.
#include "inline_chart.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace morvane;

namespace {

using charttest::chartFromXml;
using charttest::numRef;
using charttest::strRef;

QString columnChart(const QString& minorMark) {
  return "<c:plotArea><c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>" +
         charttest::series(0, "S", strRef({"a", "b", "c"}), numRef({10, 20, 30})) +
         "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart>"
         "<c:catAx><c:axId val=\"1\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
         "<c:delete val=\"0\"/><c:axPos val=\"b\"/><c:majorTickMark val=\"none\"/>"
         "<c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"2\"/></c:catAx>"
         "<c:valAx><c:axId val=\"2\"/><c:scaling><c:orientation val=\"minMax\"/><c:max val=\"30\"/>"
         "<c:min val=\"0\"/></c:scaling><c:delete val=\"0\"/><c:axPos val=\"l\"/>"
         "<c:majorTickMark val=\"out\"/><c:minorTickMark val=\"" +
         minorMark +
         "\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"1\"/><c:crossBetween val=\"between\"/>"
         "<c:majorUnit val=\"10\"/><c:minorUnit val=\"5\"/></c:valAx></c:plotArea>";
}

// A thin mark may fall between two pixel rows: the darkest of the rows around `p` counts.
bool dark(const QImage& image, QPointF p) {
  int lightest = 255;
  for (double dy : {-0.75, 0.0, 0.75})
    lightest = std::min(lightest, charttest::pixelAt(image, p + QPointF(0, dy)).lightness());
  return lightest < 200;
}

}  // namespace

TEST(TickMarks, MinorMarksSitBetweenTheMajorOnesHalfAsLong) {
  const QSizeF size(360, 216);
  for (const QString mark : {"out", "none"}) {
    const auto chart = chartFromXml(columnChart(mark));
    const render::chart::ChartLayout l = charttest::layOut(chart, size);
    const QImage image = charttest::picture(chart, size);
    const render::chart::AxisLayout* value = nullptr;
    for (const auto& a : l.axes)
      if (a.valueScale) value = &a;
    ASSERT_NE(value, nullptr);
    ASSERT_EQ(value->tickPositions.size(), 4u);  // 0, 10, 20, 30
    const double x = value->line.x1();
    const double major = value->tickPositions[1];
    const double minor = (value->tickPositions[1] + value->tickPositions[2]) / 2;  // 15
    EXPECT_TRUE(dark(image, QPointF(x - 3.5, major)));
    EXPECT_EQ(dark(image, QPointF(x - 1.2, minor)), mark == "out") << mark.toStdString();
    EXPECT_FALSE(dark(image, QPointF(x - 3.5, minor))) << mark.toStdString();
    charttest::savePng(image, "chart-ticks", "minor_" + mark);
  }
}
