// Pie of pie and bar of pie: the split, the main pie's combined slice facing the second plot,
// the second plot holding exactly the split points, and the series lines between them.
#include "inline_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace morvane;

namespace {

using charttest::chartFromXml;
using charttest::layOut;
using charttest::numRef;
using charttest::strRef;

const QStringList kFruit{"Apple", "Cherry", "Pecan", "Lime", "Kiwi", "Fig"};
const std::vector<std::optional<double>> kValues{50, 30, 20, 5, 4, 3};

// An c:ofPieChart with `options` (ofPieType first, then the split elements, as the part
// orders them) and a legend.
QString ofPie(const QString& type, const QString& options, const QString& labels = QString()) {
  return "<c:plotArea><c:ofPieChart><c:ofPieType val=\"" + type + "\"/><c:varyColors val=\"1\"/>" +
         charttest::series(0, "Fruit", strRef(kFruit), numRef(kValues), labels) +
         "<c:gapWidth val=\"100\"/>" + options +
         "</c:ofPieChart></c:plotArea><c:legend><c:legendPos val=\"r\"/></c:legend>";
}

ooxml::chart::ChartGroup group(const QString& options) {
  return chartFromXml(ofPie("pie", options)).plotArea.groups.at(0);
}

std::vector<int> split(const QString& options) {
  const ooxml::chart::ChartGroup g = group(options);
  const std::vector<bool> second = render::chart::ofPieSecondPlot(g, g.series.at(0));
  std::vector<int> out;
  for (size_t i = 0; i < second.size(); ++i)
    if (second[i]) out.push_back(int(i));
  return out;
}

TEST(OfPie, ReaderKeepsTheOptions) {
  const ooxml::chart::ChartGroup g =
      chartFromXml(
          ofPie("bar",
                "<c:splitType val=\"cust\"/><c:custSplit><c:secondPiePt val=\"1\"/>"
                "<c:secondPiePt val=\"4\"/></c:custSplit><c:secondPieSize val=\"900\"/>"
                "<c:serLines><c:spPr><a:ln w=\"25400\"><a:solidFill><a:srgbClr val=\"FF0000\"/>"
                "</a:solidFill></a:ln></c:spPr></c:serLines>"))
          .plotArea.groups.at(0);
  EXPECT_EQ(g.kind, ooxml::chart::ChartKind::OfPie);
  EXPECT_EQ(g.ofPieType, "bar");
  EXPECT_EQ(g.splitType, "cust");
  EXPECT_EQ(g.customSplit, (std::vector<int>{1, 4}));
  EXPECT_EQ(g.secondPieSize, 200) << "clamped to what the program allows";
  EXPECT_EQ(g.gapWidth, 100);
  EXPECT_TRUE(g.seriesLines);
  EXPECT_DOUBLE_EQ(*g.seriesLinesFormat.line.widthPt, 2);
  const ooxml::chart::ChartGroup plain = group(QString());
  EXPECT_EQ(plain.ofPieType, "pie");
  EXPECT_TRUE(plain.splitType.isEmpty());
  EXPECT_FALSE(plain.splitPos.has_value());
  EXPECT_EQ(plain.secondPieSize, 75);
  EXPECT_FALSE(plain.seriesLines);
}

TEST(OfPie, SplitRules) {
  EXPECT_EQ(split(QString()), (std::vector<int>{3, 4, 5})) << "by default the last three points";
  EXPECT_EQ(split("<c:splitType val=\"auto\"/>"), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(split("<c:splitType val=\"pos\"/><c:splitPos val=\"2\"/>"), (std::vector<int>{4, 5}));
  EXPECT_EQ(split("<c:splitType val=\"val\"/><c:splitPos val=\"20\"/>"),
            (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(split("<c:splitType val=\"val\"/><c:splitPos val=\"21\"/>"),
            (std::vector<int>{2, 3, 4, 5}));
  // 5 of 112 is 4.46 %.
  EXPECT_EQ(split("<c:splitType val=\"percent\"/><c:splitPos val=\"4.4\"/>"),
            (std::vector<int>{4, 5}));
  EXPECT_EQ(split("<c:splitType val=\"cust\"/><c:custSplit><c:secondPiePt val=\"0\"/>"
                  "<c:secondPiePt val=\"2\"/><c:secondPiePt val=\"99\"/></c:custSplit>"),
            (std::vector<int>{0, 2}));
  EXPECT_EQ(split("<c:splitType val=\"pos\"/><c:splitPos val=\"40\"/>").size(), 6u);
}

TEST(OfPie, HandBuiltSplitsOutOfRangeAreIgnored) {
  ooxml::chart::ChartGroup g = group(QString());
  const ooxml::chart::Series s = g.series.at(0);
  g.splitType = "cust";
  g.customSplit = {-1, 2, 1000};
  EXPECT_EQ(render::chart::ofPieSecondPlot(g, s),
            (std::vector<bool>{false, false, true, false, false, false}));
  g.splitType = "pos";
  g.splitPos = std::nan("");
  EXPECT_EQ(render::chart::ofPieSecondPlot(g, s),
            (std::vector<bool>{false, false, false, true, true, true}))
      << "a NaN position falls back to the default split";
}

TEST(OfPie, SecondPieHoldsExactlyTheSplitPoints) {
  const auto chart = chartFromXml(ofPie("pie",
                                        "<c:splitType val=\"pos\"/><c:splitPos val=\"3\"/>"
                                        "<c:secondPieSize val=\"75\"/><c:serLines/>"));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(420, 240));
  const render::chart::OfPieLayout& of = l.ofPie;
  ASSERT_TRUE(of.present);
  EXPECT_FALSE(of.bar);
  EXPECT_EQ(of.secondPoints, (std::vector<int>{3, 4, 5}));
  const auto& points = l.series.at(of.series).points;
  ASSERT_EQ(points.size(), 6u);
  double mainSweep = 0, secondSweep = 0;
  const QPointF mainCentre = points[0].center, secondCentre = points[3].center;
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(points[i].valid) << i;
    const bool second = i >= 3;
    EXPECT_EQ(points[i].plot, second ? 1 : 0) << i;
    EXPECT_EQ(points[i].center, second ? secondCentre : mainCentre) << i;
    (second ? secondSweep : mainSweep) += points[i].sweepAngle;
  }
  // The main pie: three points and the combined slice of 12; the second pie: Lime, Kiwi, Fig.
  EXPECT_NEAR(of.other.value, 12, 1e-9);
  EXPECT_NEAR(mainSweep + of.other.sweepAngle, 360, 1e-9);
  EXPECT_NEAR(of.other.sweepAngle, 12.0 / 112 * 360, 1e-9);
  EXPECT_NEAR(secondSweep, 360, 1e-9);
  EXPECT_NEAR(points[3].sweepAngle, 5.0 / 12 * 360, 1e-9);
  // The combined slice faces the second pie: centred on 3 o'clock; the first point follows it.
  EXPECT_NEAR(of.other.startAngle + of.other.sweepAngle / 2, 90, 1e-9);
  EXPECT_NEAR(points[0].startAngle, of.other.startAngle + of.other.sweepAngle, 1e-9);
  // The second pie is 75 % of the main one, to its right, at the same height.
  EXPECT_NEAR(points[3].outerRadius / points[0].outerRadius, 0.75, 1e-9);
  EXPECT_GT(secondCentre.x() - points[3].outerRadius, mainCentre.x() + points[0].outerRadius);
  EXPECT_NEAR(secondCentre.y(), mainCentre.y(), 1e-9);
  EXPECT_TRUE(l.plotArea.contains(of.secondPlot));
  // Series lines from the combined slice's corners to the second pie's top and bottom.
  ASSERT_TRUE(of.seriesLines);
  for (const QLineF& line : of.lines) {
    EXPECT_NEAR(QLineF(mainCentre, line.p1()).length(), points[0].outerRadius, 1e-6);
    EXPECT_NEAR(line.p2().x(), secondCentre.x(), 1e-9);
    EXPECT_NEAR(std::abs(line.p2().y() - secondCentre.y()), points[3].outerRadius, 1e-9);
  }
  EXPECT_LT(of.lines[0].p1().y(), mainCentre.y());
  EXPECT_GT(of.lines[1].p1().y(), mainCentre.y());
  EXPECT_GT(of.lines[0].p1().x(), mainCentre.x());
  // Drawn: the second pie in the split points' colours, the combined slice in the next one.
  const QImage image = charttest::picture(chart, QSizeF(420, 240));
  for (int i : {3, 4, 5}) {
    const QPointF inside = points[i].center + (points[i].position - points[i].center) * 1.2;
    EXPECT_TRUE(
        charttest::sameColour(charttest::pixelAt(image, inside), points[i].look.fill.color()))
        << i;
  }
  const QPointF otherInside = mainCentre + QPointF(points[0].outerRadius * 0.8, 0);
  EXPECT_TRUE(
      charttest::sameColour(charttest::pixelAt(image, otherInside), of.other.look.fill.color()));
  EXPECT_NE(of.other.look.fill.color(), points[0].look.fill.color());
  charttest::savePng(image, "chart-of-pie", "pie_of_pie");
}

TEST(OfPie, ExplodedSlicesMoveOutAndThePiesShrinkToFit) {
  // Apple exploded by 25 %, the combined slice (point 6, past the last) by 10 %.
  const QString points =
      "<c:dPt><c:idx val=\"0\"/><c:bubble3D val=\"0\"/><c:explosion val=\"25\"/></c:dPt>"
      "<c:dPt><c:idx val=\"6\"/><c:bubble3D val=\"0\"/><c:explosion val=\"10\"/></c:dPt>";
  const QString xml = "<c:plotArea><c:ofPieChart><c:ofPieType val=\"pie\"/><c:varyColors val=\"1\"/>" +
                      charttest::series(0, "Fruit", strRef(kFruit), numRef(kValues), points) +
                      "<c:gapWidth val=\"100\"/><c:serLines/></c:ofPieChart></c:plotArea>";
  const render::chart::ChartLayout plain =
      layOut(chartFromXml(ofPie("pie", "<c:serLines/>")), QSizeF(420, 240));
  const render::chart::ChartLayout l = layOut(chartFromXml(xml), QSizeF(420, 240));
  ASSERT_TRUE(l.ofPie.present);
  const auto& p = l.series.at(l.ofPie.series).points;
  const double r = p[1].outerRadius;
  EXPECT_NEAR(r, plain.series.at(plain.ofPie.series).points[1].outerRadius / 1.25, 1e-6);
  const QPointF centre = p[1].center;
  EXPECT_EQ(p[2].center, centre);  // not exploded
  const double mid = (p[0].startAngle + p[0].sweepAngle / 2 - 90) * M_PI / 180.0;
  EXPECT_NEAR(p[0].center.x() - centre.x(), 0.25 * r * std::cos(mid), 1e-6);
  EXPECT_NEAR(p[0].center.y() - centre.y(), 0.25 * r * std::sin(mid), 1e-6);
  // The combined slice moves towards the second pie; its series lines start on its rim.
  EXPECT_NEAR(l.ofPie.other.center.x() - centre.x(), 0.1 * r, 1e-6);
  EXPECT_NEAR(l.ofPie.other.center.y(), centre.y(), 1e-6);
  for (const QLineF& line : l.ofPie.lines)
    EXPECT_NEAR(QLineF(l.ofPie.other.center, line.p1()).length(), r, 1e-6);
  EXPECT_TRUE(l.plotArea.contains(QRectF(p[0].center - QPointF(r, r), QSizeF(2 * r, 2 * r))));
  charttest::savePng(charttest::picture(chartFromXml(xml), QSizeF(420, 240)), "chart-of-pie", "exploded");
}

TEST(OfPie, BarOfPieStacksTheSplitPoints) {
  const auto chart =
      chartFromXml(ofPie("bar", "<c:splitType val=\"pos\"/><c:splitPos val=\"3\"/><c:serLines/>"));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(420, 240));
  const render::chart::OfPieLayout& of = l.ofPie;
  ASSERT_TRUE(of.present);
  ASSERT_TRUE(of.bar);
  const auto& points = l.series.at(of.series).points;
  // Lime at the bottom, then Kiwi, then Fig, heights in proportion, filling the bar.
  double bottom = of.secondPlot.bottom(), total = 0;
  for (int i : {3, 4, 5}) {
    const QRectF& r = points[size_t(i)].bar;
    EXPECT_NEAR(r.bottom(), bottom, 1e-9) << i;
    EXPECT_NEAR(r.height(), *kValues[size_t(i)] / 12 * of.secondPlot.height(), 1e-9) << i;
    EXPECT_EQ(r.left(), of.secondPlot.left());
    EXPECT_EQ(r.width(), of.secondPlot.width());
    bottom = r.top();
    total += r.height();
  }
  EXPECT_NEAR(total, of.secondPlot.height(), 1e-9);
  EXPECT_GT(of.secondPlot.left(), points[0].center.x() + points[0].outerRadius);
  EXPECT_EQ(of.lines[0].p2(), of.secondPlot.topLeft());
  EXPECT_EQ(of.lines[1].p2(), of.secondPlot.bottomLeft());
  const QImage image = charttest::picture(chart, QSizeF(420, 240));
  for (int i : {3, 4, 5})
    EXPECT_TRUE(charttest::sameColour(charttest::pixelAt(image, points[size_t(i)].bar.center()),
                                      points[size_t(i)].look.fill.color()))
        << i;
  charttest::savePng(image, "chart-of-pie", "bar_of_pie");
}

TEST(OfPie, LegendAndLabelsNameTheCombinedSliceOther) {
  const QString labels =
      "<c:dLbls><c:showLegendKey val=\"0\"/><c:showVal val=\"1\"/>"
      "<c:showCatName val=\"1\"/><c:showSerName val=\"0\"/>"
      "<c:showPercent val=\"0\"/></c:dLbls>";
  const auto chart = chartFromXml(ofPie("pie", "<c:serLines/>", labels));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(480, 260));
  QStringList legend;
  for (const render::chart::LegendEntry& e : l.legend) legend << e.text;
  EXPECT_EQ(legend, (QStringList{"Apple", "Cherry", "Pecan", "Lime", "Kiwi", "Fig", "Other"}));
  EXPECT_EQ(l.legend.back().look.fill.color(), l.ofPie.other.look.fill.color());
  QStringList texts;
  for (const render::chart::DataLabelLayout& d : l.dataLabels) texts << d.text;
  EXPECT_EQ(texts, (QStringList{"Apple, 50", "Cherry, 30", "Pecan, 20", "Lime, 5", "Kiwi, 4",
                                "Fig, 3", "Other, 12"}));
  // Second-plot labels sit on their slices in the second pie.
  const auto& points = l.series.at(0).points;
  EXPECT_LT(QLineF(l.dataLabels[3].center, points[3].center).length(), points[3].outerRadius);
  charttest::savePng(charttest::picture(chart, QSizeF(480, 260)), "chart-of-pie",
                     "pie_of_pie_labels");
}

TEST(OfPie, NoSeriesLinesWithoutTheElement) {
  const auto chart = chartFromXml(ofPie("pie", QString()));
  const render::chart::ChartLayout l = layOut(chart);
  ASSERT_TRUE(l.ofPie.present);
  EXPECT_FALSE(l.ofPie.seriesLines);
}

TEST(OfPie, EverythingSplitLeavesTheMainPieOneSlice) {
  const auto chart =
      chartFromXml(ofPie("pie", "<c:splitType val=\"val\"/><c:splitPos val=\"1000\"/>"));
  const render::chart::ChartLayout l = layOut(chart);
  EXPECT_EQ(l.ofPie.secondPoints.size(), 6u);
  EXPECT_NEAR(l.ofPie.other.sweepAngle, 360, 1e-9);
  EXPECT_TRUE(charttest::sameColour(
      charttest::pixelAt(charttest::picture(chart), l.ofPie.other.center + QPointF(-10, 0)),
      l.ofPie.other.look.fill.color()));
}

TEST(OfPie, NothingSplitDrawsAPlainPie) {
  const auto chart =
      chartFromXml(ofPie("pie", "<c:splitType val=\"val\"/><c:splitPos val=\"1\"/><c:serLines/>"));
  const render::chart::ChartLayout l = layOut(chart);
  EXPECT_TRUE(l.ofPie.secondPoints.empty());
  EXPECT_FALSE(l.ofPie.other.valid);
  double sweep = 0;
  for (const render::chart::PointGeometry& p : l.series.at(0).points) sweep += p.sweepAngle;
  EXPECT_NEAR(sweep, 360, 1e-9);
}

TEST(OfPie, KindNamesSayWhichPlot) {
  EXPECT_EQ(render::chart::chartKindName(group(QString())), "pie of pie");
  EXPECT_EQ(
      render::chart::chartKindName(chartFromXml(ofPie("bar", QString())).plotArea.groups.at(0)),
      "bar of pie");
}

}  // namespace
