// Date axes: points sit by their dates (gaps in the dates stay gaps), columns take one slot
// per base unit, and tick labels come at the major unit through the number formats.
#include "fidelity_fixture.h"
#include "inline_chart.h"

#include "support/test_env.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace morvane;

namespace {

using charttest::chartFromXml;
using charttest::layOut;
using charttest::numRef;
using charttest::series;

// Serials (1900 system) of the first of some months of 2024.
constexpr double kJan = 45292, kFeb = 45323, kMar = 45352, kApr = 45383, kMay = 45413;

// One group of `kind` ("lineChart", "barChart") over a c:dateAx holding `axisExtra`.
QString dateChart(const QString& kind, const QString& seriesXml,
                  const QString& axisExtra = QString(), const QString& numFmt = QString()) {
  const QString barDir = kind == "barChart"
                             ? "<c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>"
                             : "<c:grouping val=\"standard\"/>";
  return "<c:plotArea><c:" + kind + ">" + barDir + seriesXml +
         "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:" + kind +
         ">"
         "<c:dateAx><c:axId val=\"1\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
         "<c:delete val=\"0\"/><c:axPos val=\"b\"/>" +
         numFmt +
         "<c:majorTickMark val=\"out\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"2\"/>"
         "<c:auto val=\"1\"/>" +
         axisExtra +
         "</c:dateAx>"
         "<c:valAx><c:axId val=\"2\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
         "<c:delete val=\"0\"/><c:axPos val=\"l\"/><c:majorGridlines/><c:crossAx val=\"1\"/>"
         "<c:crossBetween val=\"between\"/></c:valAx></c:plotArea>";
}

const render::chart::AxisLayout& categoryAxis(const render::chart::ChartLayout& l) {
  for (const render::chart::AxisLayout& a : l.axes)
    if (!a.valueScale) return a;
  ADD_FAILURE() << "no category axis";
  return l.axes.front();
}

std::vector<double> xs(const render::chart::SeriesGeometry& s) {
  std::vector<double> out;
  for (const render::chart::PointGeometry& p : s.points)
    out.push_back(p.valid ? p.position.x() : NAN);
  return out;
}

TEST(DateAxis, PointsSitByTheirDates) {
  // Jan, Feb, Apr, May: March is missing, so Feb to Apr is twice Jan to Feb.
  const auto chart = chartFromXml(dateChart(
      "lineChart",
      series(0, "Sales", numRef({kJan, kFeb, kApr, kMay}, "mmm-yy"), numRef({10, 12, 15, 11}))));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_TRUE(axis.dateAxis);
  EXPECT_EQ(axis.baseTimeUnit, "months") << "monthly dates give a monthly base unit";
  EXPECT_EQ(axis.categoryCount, 5) << "January to May";
  const std::vector<double> x = xs(l.series.at(0));
  ASSERT_EQ(x.size(), 4u);
  const double month = x[1] - x[0];
  EXPECT_GT(month, 10);
  EXPECT_NEAR(x[2] - x[1], 2 * month, 0.01);
  EXPECT_NEAR(x[3] - x[2], month, 0.01);
  EXPECT_NEAR(month, axis.categoryWidth(), 0.01);
  // The labels are every month, March included, through the cache's format.
  EXPECT_EQ(axis.labels, (std::vector<QString>{"Jan-24", "Feb-24", "Mar-24", "Apr-24", "May-24"}));
  charttest::savePng(charttest::picture(chart), "chart-date-axis", "line_by_month");
}

TEST(DateAxis, ColumnsTakeOneSlotPerBaseUnitAndGapsStayEmpty) {
  // Daily dates 1, 2, 3, 6 and 7 January: 4 and 5 January are empty slots.
  const std::vector<std::optional<double>> days{kJan, kJan + 1, kJan + 2, kJan + 5, kJan + 6};
  const auto chart = chartFromXml(
      dateChart("barChart", series(0, "Visits", numRef(days, "d-mmm"), numRef({5, 7, 6, 9, 8}))));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_TRUE(axis.dateAxis);
  EXPECT_EQ(axis.baseTimeUnit, "days");
  EXPECT_EQ(axis.categoryCount, 7);
  const auto& bars = l.series.at(0).points;
  const double slot = axis.categoryWidth();
  for (const render::chart::PointGeometry& p : bars) {
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.bar.width(), slot / 2.5, 0.01) << "one slot per day, gap width 150";
  }
  EXPECT_NEAR(bars[1].bar.center().x() - bars[0].bar.center().x(), slot, 0.01);
  EXPECT_NEAR(bars[3].bar.center().x() - bars[2].bar.center().x(), 3 * slot, 0.01);
  // Nothing is drawn in the slots of 4 and 5 January.
  const QImage image = charttest::picture(chart);
  const QRectF empty(axis.coordinate(3) - slot / 2 + 1, l.plotArea.top() + 1, 2 * slot - 2,
                     l.plotArea.height() - 2);
  const QColor fill = bars[0].look.fill.color();
  int barPixels = 0;
  for (double x = empty.left(); x < empty.right(); x += 0.75)
    for (double y = empty.top(); y < empty.bottom(); y += 0.75)
      if (charttest::sameColour(charttest::pixelAt(image, QPointF(x, y)), fill)) ++barPixels;
  EXPECT_EQ(barPixels, 0);
  EXPECT_TRUE(charttest::sameColour(charttest::pixelAt(image, bars[3].bar.center()), fill));
  charttest::savePng(image, "chart-date-axis", "columns_by_day");
}

TEST(DateAxis, LabelsAtTheMajorUnitThroughTheAxisFormat) {
  // Every day from 1 Jan to 30 Apr with a major unit of one month and the axis' own format.
  std::vector<std::optional<double>> days, values;
  for (double d = kJan; d < kMay; ++d)
    days.push_back(d), values.push_back(50 + 20 * std::sin(d / 9));
  const auto chart = chartFromXml(dateChart(
      "lineChart", series(0, "Load", numRef(days, "m/d/yyyy"), numRef(values)),
      "<c:baseTimeUnit val=\"days\"/><c:majorUnit val=\"1\"/><c:majorTimeUnit val=\"months\"/>",
      "<c:numFmt formatCode=\"mmm yyyy\" sourceLinked=\"0\"/>"));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(480, 240));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_TRUE(axis.dateAxis);
  EXPECT_EQ(axis.categoryCount, 121);
  EXPECT_EQ(axis.labels, (std::vector<QString>{"Jan 2024", "Feb 2024", "Mar 2024", "Apr 2024"}));
  ASSERT_EQ(axis.labelPositions.size(), 4u);
  // Each label sits over the first day of its month.
  const std::vector<double> firsts{kJan, kFeb, kMar, kApr};
  for (size_t i = 0; i < firsts.size(); ++i)
    EXPECT_NEAR(axis.labelPositions[i], axis.coordinate(firsts[i] - kJan), 0.01) << i;
  // 31 days of January, 29 of February (2024 is a leap year).
  EXPECT_NEAR((axis.labelPositions[1] - axis.labelPositions[0]) /
                  (axis.labelPositions[2] - axis.labelPositions[1]),
              31.0 / 29.0, 1e-6);
  charttest::savePng(charttest::picture(chart, QSizeF(480, 240)), "chart-date-axis",
                     "daily_monthly_labels");
}

TEST(DateAxis, AutomaticMajorUnitKeepsLabelsApart) {
  std::vector<std::optional<double>> days, values;
  for (double d = kJan; d < kJan + 366; ++d)
    days.push_back(d), values.push_back(20 + 8 * std::sin(d / 20));
  const auto chart = chartFromXml(
      dateChart("lineChart", series(0, "Daily", numRef(days, "d/m/yyyy"), numRef(values),
                                    "<c:marker><c:symbol val=\"none\"/></c:marker>")));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_TRUE(axis.dateAxis);
  EXPECT_EQ(axis.baseTimeUnit, "days");
  ASSERT_GE(axis.labels.size(), 4u);
  EXPECT_LE(axis.labels.size(), 13u);
  const double lineHeight = render::chart::measureText(axis.labelStyle, "0").height();
  for (size_t i = 1; i < axis.labelPositions.size(); ++i)
    EXPECT_GE(axis.labelPositions[i] - axis.labelPositions[i - 1], lineHeight) << i;
  EXPECT_EQ(axis.labels.front(), "1/1/2024");
  // A day is under a point wide here: the first step whose labels keep apart is a month.
  EXPECT_EQ(axis.majorTimeUnit, "months");
  EXPECT_EQ(axis.majorStep, 1);
  EXPECT_EQ(axis.labels.at(1), "1/2/2024");
  // The labels slant, ending at their ticks; the first one still fits in the chart.
  ASSERT_NE(axis.labelStyle.rotationDeg, 0);
  const double firstWidth =
      render::chart::measureRotated(axis.labelStyle, axis.labels.front()).width();
  EXPECT_GE(axis.labelPositions.front() - firstWidth, l.chartArea.left());
  charttest::savePng(charttest::picture(chart), "chart-date-axis", "daily_year");
}

TEST(DateAxis, ExplicitBaseUnitOfDaysSpacesMonthsByTheirLength) {
  const auto chart = chartFromXml(
      dateChart("lineChart", series(0, "S", numRef({kJan, kFeb, kMar}, "mmm"), numRef({1, 2, 3})),
                "<c:baseTimeUnit val=\"days\"/>"));
  const render::chart::ChartLayout l = layOut(chart);
  EXPECT_EQ(categoryAxis(l).categoryCount, 61);
  const std::vector<double> x = xs(l.series.at(0));
  EXPECT_NEAR((x[1] - x[0]) / (x[2] - x[1]), 31.0 / 29.0, 1e-6);
}

TEST(DateAxis, TheWorkbooksDateSystemDecidesTheDates) {
  const QString body =
      dateChart("lineChart", series(0, "S", numRef({kJan, kFeb}), numRef({1, 2})), QString(),
                "<c:numFmt formatCode=\"yyyy-mm-dd\" sourceLinked=\"0\"/>");
  const auto in1900 = chartFromXml(body);
  const auto in1904 = chartFromXml(body, "<c:date1904 val=\"1\"/>");
  ASSERT_TRUE(in1904.date1904);
  EXPECT_EQ(categoryAxis(layOut(in1900)).labels.front(), "2024-01-01");
  EXPECT_EQ(categoryAxis(layOut(in1904)).labels.front(), "2028-01-02");
}

TEST(DateAxis, GeneralNumbersShowAsDates) {
  const auto chart = chartFromXml(
      dateChart("lineChart", series(0, "S", numRef({kJan, kJan + 1}), numRef({1, 2}))));
  EXPECT_EQ(categoryAxis(layOut(chart)).labels, (std::vector<QString>{"1/1/2024", "1/2/2024"}));
}

TEST(DateAxis, FixedBoundsCutTheRange) {
  const auto chart = chartFromXml(
      "<c:plotArea><c:lineChart><c:grouping val=\"standard\"/>" +
      series(0, "S", numRef({kJan, kFeb, kMar, kApr}, "mmm"), numRef({1, 2, 3, 4})) +
      "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:lineChart><c:dateAx><c:axId val=\"1\"/>"
      "<c:scaling><c:orientation val=\"minMax\"/><c:max val=\"" +
      QString::number(kMar) +
      "\"/>"
      "<c:min val=\"" +
      QString::number(kFeb) +
      "\"/></c:scaling><c:axPos val=\"b\"/>"
      "<c:crossAx val=\"2\"/><c:baseTimeUnit val=\"months\"/></c:dateAx><c:valAx><c:axId "
      "val=\"2\"/>"
      "<c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:axPos val=\"l\"/>"
      "<c:crossAx val=\"1\"/></c:valAx></c:plotArea>");
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  EXPECT_EQ(axis.categoryCount, 2);
  EXPECT_EQ(axis.labels, (std::vector<QString>{"Feb", "Mar"}));
  const auto& points = l.series.at(0).points;
  EXPECT_FALSE(points[0].valid) << "January lies before the axis minimum";
  EXPECT_TRUE(points[1].valid);
  EXPECT_FALSE(points[3].valid) << "April lies after the axis maximum";
}

TEST(DateAxis, TextCategoriesStayCategories) {
  const auto chart = chartFromXml(
      dateChart("lineChart",
                series(0, "S", charttest::strRef({"North", "South", "West"}), numRef({1, 2, 3}))));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  EXPECT_FALSE(axis.dateAxis);
  EXPECT_EQ(axis.labels, (std::vector<QString>{"North", "South", "West"}));
  const std::vector<double> x = xs(l.series.at(0));
  EXPECT_NEAR(x[1] - x[0], x[2] - x[1], 1e-9);
}

TEST(DateAxis, WeeklyMajorUnitInDays) {
  std::vector<std::optional<double>> days, values;
  for (int d = 0; d < 28; ++d) days.push_back(kJan + d), values.push_back(d % 5);
  const auto chart =
      chartFromXml(dateChart("barChart", series(0, "S", numRef(days, "d mmm"), numRef(values)),
                             "<c:majorUnit val=\"7\"/><c:majorTimeUnit val=\"days\"/>"));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(480, 260));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  EXPECT_EQ(axis.labels, (std::vector<QString>{"1 Jan", "8 Jan", "15 Jan", "22 Jan"}));
  // Tick marks close each week: at the start of each labelled day and at the axis end.
  ASSERT_EQ(axis.tickPositions.size(), 5u);
  EXPECT_NEAR(axis.tickPositions[1] - axis.tickPositions[0], 7 * axis.categoryWidth(), 0.01);
  EXPECT_NEAR(axis.tickPositions.back(), axis.plot.right(), 0.01);
}

TEST(DateAxis, StockWeekdaysLeaveTheWeekendEmpty) {
  // Wednesday 3 to Tuesday 9 January 2024 without the weekend; Monday falls (a down bar).
  const std::vector<std::optional<double>> days{kJan + 2, kJan + 3, kJan + 4, kJan + 7, kJan + 8};
  const QString cat = numRef(days, "ddd d");
  QString seriesXml;
  const std::vector<std::vector<std::optional<double>>> ohlc{
      {10, 11, 12, 14, 12}, {12, 13, 14, 15, 14}, {9, 10, 11, 11, 11}, {11, 12, 13, 11, 13}};
  for (int k = 0; k < 4; ++k)
    seriesXml += series(k, QString("S%1").arg(k), cat, numRef(ohlc[size_t(k)]),
                        "<c:spPr><a:ln><a:noFill/></a:ln></c:spPr><c:marker><c:symbol val=\"none\"/>"
                        "</c:marker>");
  QString body = dateChart("lineChart", seriesXml);
  body.replace("<c:lineChart><c:grouping val=\"standard\"/>", "<c:stockChart>");
  body.replace("</c:lineChart>", "</c:stockChart>");
  body.replace("<c:axId val=\"1\"/><c:axId val=\"2\"/></c:stockChart>",
               "<c:hiLowLines/><c:upDownBars><c:gapWidth val=\"150\"/><c:upBars/><c:downBars/>"
               "</c:upDownBars><c:axId val=\"1\"/><c:axId val=\"2\"/></c:stockChart>");
  const auto chart = chartFromXml(body);
  ASSERT_EQ(chart.plotArea.groups.at(0).kind, ooxml::chart::ChartKind::Stock);
  const render::chart::ChartLayout l = layOut(chart, QSizeF(420, 240));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_TRUE(axis.dateAxis);
  EXPECT_EQ(axis.categoryCount, 7);
  const std::vector<double> x = xs(l.series.at(0));
  const double slot = axis.categoryWidth();
  EXPECT_NEAR(x[3] - x[2], 3 * slot, 0.01) << "Friday to Monday spans the weekend";
  // Monday's down bar is 40 % of one day wide, not of a fifth of the plot.
  const QImage image = charttest::picture(chart, QSizeF(420, 240));
  const double y = (l.series[0].points[3].position.y() + l.series[3].points[3].position.y()) / 2;
  int dark = 0;
  for (double px = x[3] - slot; px < x[3] + slot; px += 0.75)
    dark += qGray(charttest::pixelAt(image, QPointF(px, y)).rgb()) < 80 ? 1 : 0;
  EXPECT_NEAR(dark * 0.75, 0.4 * slot, 1.5);
  charttest::savePng(image, "chart-date-axis", "stock_weekdays");
}

// The program's stock chart picture: five consecutive days, one label each, slanted.
TEST(DateAxis, FidelityStockChartIsADayAxis) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto c = charttest::loadChart(QDir(testenv::fidelityDir()).filePath("chart_stock1.xlsx"), 0);
  ASSERT_TRUE(c);
  const render::chart::AxisLayout* dates = charttest::categoryAxis(*c);
  ASSERT_NE(dates, nullptr);
  EXPECT_TRUE(dates->dateAxis);
  EXPECT_EQ(dates->baseTimeUnit, "days");
  EXPECT_EQ(dates->categoryCount, 5);
  EXPECT_EQ(dates->labels.size(), 5u);
}

}  // namespace

namespace {

// A data table under a date axis lists each point once: its columns follow the points, not
// the axis' slots (which here run from January to May with March empty).
TEST(DateAxis, DataTableHasAColumnPerPoint) {
  QString xml = dateChart(
      "barChart",
      series(0, "Sales", numRef({kJan, kFeb, kApr, kMay}, "mmm-yy"), numRef({10, 12, 15, 11})));
  xml.replace("</c:plotArea>", "<c:dTable><c:showHorzBorder val=\"1\"/></c:dTable></c:plotArea>");
  const render::chart::ChartLayout l = layOut(charttest::chartFromXml(xml), QSizeF(480, 260));
  const render::chart::DataTableLayout& t = l.dataTable;
  ASSERT_TRUE(t.present);
  ASSERT_EQ(t.header.size(), 4u);
  EXPECT_EQ(t.values.at(0), (std::vector<QString>{"10", "12", "15", "11"}));
  ASSERT_EQ(t.columns.size(), 5u);
  EXPECT_NEAR(t.columns.front(), l.plotArea.left(), 1e-9);
  EXPECT_NEAR(t.columns.back(), l.plotArea.right(), 1e-9);
  // Each column holds its own point, April's too (past the empty March slot).
  const auto& points = l.series.at(0).points;
  for (size_t i = 0; i < points.size(); ++i) {
    EXPECT_GT(points[i].bar.center().x(), t.columns[i]) << i;
    EXPECT_LT(points[i].bar.center().x(), t.columns[i + 1]) << i;
  }
  charttest::savePng(charttest::picture(charttest::chartFromXml(xml), QSizeF(480, 260)),
                     "chart-date-axis", "data_table");
}

}  // namespace
