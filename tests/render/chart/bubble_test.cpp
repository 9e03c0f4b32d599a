// Bubbles: sized by area or by width as the group says, negative sizes left out or drawn
// hollow, and 3-D bubbles shaded from a lit top left to a dark rim.
#include <gtest/gtest.h>

#include "inline_chart.h"

using namespace morvane;

namespace {

ooxml::chart::ChartModel bubbles(const QString& groupExtra, const QString& seriesExtra,
                                 const QString& xAxis = "valAx",
                                 const QString& x = charttest::numRef({1, 2, 3}),
                                 const QString& y = charttest::numRef({2, 2, 2})) {
  return charttest::chartFromXml(
      QString("<c:plotArea><c:bubbleChart><c:ser><c:idx val=\"0\"/><c:order val=\"0\"/>"
              "<c:xVal>%1</c:xVal><c:yVal>%2</c:yVal><c:bubbleSize>%3</c:bubbleSize>%4</c:ser>%5"
              "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:bubbleChart><c:%6><c:axId val=\"1\"/>"
              "<c:axPos val=\"b\"/><c:crossAx val=\"2\"/></c:%6><c:valAx><c:axId val=\"2\"/>"
              "<c:axPos val=\"l\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea>")
          .arg(x, y, charttest::numRef({1, 4, -4}), seriesExtra, groupExtra, xAxis));
}

}  // namespace

TEST(Bubbles, SizedByAreaOrWidthNegativesHiddenOrHollow) {
  const struct {
    const char* groupExtra;
    double ratio;  // the radius of size 4 over that of size 1
    bool negativeShown;
  } cases[] = {
      {"", 2, false},
      {"<c:sizeRepresents val=\"area\"/>", 2, false},
      {"<c:sizeRepresents val=\"w\"/>", 4, false},
      {"<c:showNegBubbles val=\"1\"/>", 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.groupExtra);
    const auto l = charttest::layOut(bubbles(c.groupExtra, ""));
    const auto& points = l.series.at(0).points;
    ASSERT_EQ(points.size(), 3u);
    ASSERT_TRUE(points[0].valid && points[1].valid);
    EXPECT_NEAR(points[1].bubbleRadius / points[0].bubbleRadius, c.ratio, 1e-6);
    EXPECT_FALSE(points[0].hollowBubble || points[1].hollowBubble);
    EXPECT_EQ(points[2].valid, c.negativeShown);
    if (c.negativeShown) {
      EXPECT_TRUE(points[2].hollowBubble);
      EXPECT_DOUBLE_EQ(points[2].bubbleRadius, points[1].bubbleRadius);
    }
  }
}

TEST(Bubbles, ThreeDBubblesLitFromTheTopLeft) {
  for (const bool threeD : {false, true}) {
    const auto chart = bubbles("", threeD ? "<c:bubble3D val=\"1\"/>" : "");
    const auto l = charttest::layOut(chart);
    const QImage image = charttest::picture(chart);
    charttest::savePng(image, "chart-bubbles", threeD ? "bubble3D" : "flat");
    const auto& p = l.series.at(0).points.at(1);
    const double r = p.bubbleRadius;
    const QColor lit = charttest::pixelAt(image, p.position + QPointF(-0.2, -0.4) * r);
    const QColor rim = charttest::pixelAt(image, p.position + QPointF(0.6, 0.6) * r);
    if (threeD) {
      EXPECT_GT(lit.lightness(), rim.lightness() + 40);
    } else {
      EXPECT_TRUE(charttest::sameColour(lit, rim, 2));
    }
  }
}

// An x axis the file declares a category axis stands the bubbles at 1..n, evenly, and names
// those places after their x values (1..n without any); a value axis follows the x values.
TEST(Bubbles, CategoryXAxisStandsThemAtOneToN) {
  const QString uneven = charttest::numRef({10, 11, 40});
  for (const bool categories : {true, false}) {
    SCOPED_TRACE(categories);
    const auto l = charttest::layOut(
        bubbles("<c:showNegBubbles val=\"1\"/>", "", categories ? "catAx" : "valAx", uneven));
    const auto& p = l.series.at(0).points;
    ASSERT_EQ(p.size(), 3u);
    const double first = p[1].position.x() - p[0].position.x(),
                 second = p[2].position.x() - p[1].position.x();
    EXPECT_EQ(std::abs(first - second) < 0.01, categories) << first << " " << second;
    const auto x =
        std::find_if(l.axes.begin(), l.axes.end(), [](const auto& a) { return a.horizontal; });
    ASSERT_NE(x, l.axes.end());
    QStringList shown;
    for (const QString& t : x->labels)
      if (!t.isEmpty()) shown << t;
    if (categories)
      EXPECT_EQ(shown, QStringList({"10", "11", "40"}));
    else
      EXPECT_FALSE(shown.contains("11"));
  }
}

// The scales make room for the bubbles: the largest, at the data's corners, stays whole inside
// the plot.
TEST(Bubbles, ScalesHoldTheLargestBubble) {
  const auto l = charttest::layOut(bubbles("<c:showNegBubbles val=\"1\"/>", "", "valAx",
                                           charttest::numRef({1, 2, 30}),
                                           charttest::numRef({1000, 5000, 60000})));
  const QRectF plot = l.axes.front().plot.adjusted(-0.5, -0.5, 0.5, 0.5);
  for (const auto& p : l.series.at(0).points) {
    ASSERT_TRUE(p.valid);
    const QRectF disc(p.position - QPointF(p.bubbleRadius, p.bubbleRadius),
                      QSizeF(2 * p.bubbleRadius, 2 * p.bubbleRadius));
    EXPECT_TRUE(plot.contains(disc)) << p.position.x() << "," << p.position.y();
  }
}
