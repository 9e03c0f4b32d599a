// Our layout against the program's screenshots of the fidelity set: the plot rectangle, the
// title and the legend found by the same pixel analysis in both pictures, as fractions of the
// chart size. The screenshots show the chart at about 2.07 px per point (an 18 pt title's
// capitals are 24 px tall), so ours is drawn at that scale into the screenshot's chart size.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fidelity_fixture.h"
#include "inline_chart.h"
#include "picture_probe.h"
#include "render/chart/chart_renderer.h"
#include "render/chart/chart_text.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

constexpr double kPixelsPerPoint = 24.0 / (18 * 0.644);  // Calibri's capitals: 0.644 em

// The 38 screenshots cropped to the chart (the two window screenshots are left out).
const char* const kCrops[] = {
    "chart_area1",         "chart_area2",          "chart_area3",         "chart_bar1",
    "chart_bar2",          "chart_bar3",           "chart_clustered",     "chart_column1",
    "chart_column2",       "chart_column3",        "chart_combined1",     "chart_combined2",
    "chart_data_labels11", "chart_data_labels13",  "chart_data_labels23", "chart_data_table1",
    "chart_data_tools1",   "chart_data_tools3",    "chart_doughnut1",     "chart_doughnut2",
    "chart_gradient",      "chart_line1",          "chart_line2",         "chart_line3",
    "chart_pattern",       "chart_pie1",           "chart_pie2",          "chart_pie3",
    "chart_radar1",        "chart_radar2",         "chart_radar3",        "chart_scatter1",
    "chart_scatter2",      "chart_scatter3",       "chart_scatter4",      "chart_scatter5",
    "chart_secondary_axis1", "chart_stock1",
};

struct Comparison {
  QString name;
  charttest::PictureProbe ours, theirs;
  QImage oursImage, theirsImage;
  QRectF layoutPlot;  // our layout's plot rectangle, in our picture's pixels
  QImage side;        // ours | theirs
};

std::optional<Comparison> compare(const QString& name) {
  const QDir dir(testenv::fidelityDir());
  const QImage reference(dir.filePath(name + ".png"));
  if (reference.isNull()) return std::nullopt;
  const auto outline = charttest::findOutline(reference);
  auto chart = charttest::loadChart(dir.filePath(name + ".xlsx"), 0);
  if (!outline || !chart) return std::nullopt;
  Comparison c;
  c.name = name;
  QImage ours(outline->size(), QImage::Format_ARGB32_Premultiplied);
  ours.fill(Qt::white);
  const QSizeF sizePt(outline->width() / kPixelsPerPoint, outline->height() / kPixelsPerPoint);
  {
    QPainter p(&ours);
    p.scale(kPixelsPerPoint, kPixelsPerPoint);
    render::chart::drawChart(p, QRectF(QPointF(0, 0), sizePt), chart->model, chart->theme);
  }
  const render::chart::ChartLayout layout =
      render::chart::layoutChart(chart->model, chart->theme, QRectF(QPointF(0, 0), sizePt));
  const QRectF& r = layout.plotArea;
  c.layoutPlot = QRectF(r.topLeft() * kPixelsPerPoint, r.size() * kPixelsPerPoint);
  c.ours = charttest::probePicture(ours, ours.rect());
  c.oursImage = ours;
  c.theirsImage = reference;
  c.theirs = charttest::probePicture(reference, *outline);
  c.side = QImage(ours.width() * 2 + 10, ours.height(), QImage::Format_ARGB32_Premultiplied);
  c.side.fill(Qt::white);
  QPainter p(&c.side);
  p.drawImage(0, 0, ours);
  p.drawImage(QPoint(ours.width() + 10, 0), reference, *outline);
  return c;
}

// The largest difference of the four edges, in percent of the chart's width or height.
double worstEdge(const QRectF& a, const QRectF& b) {
  return 100 * std::max({std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
                         std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom())});
}

QString edges(const std::optional<QRect>& r, const QRect& chart) {
  if (!r) return "      -";
  const QRectF f = charttest::fractionOf(*r, chart);
  return QString::asprintf("%5.1f %5.1f %5.1f %5.1f", 100 * f.left(), 100 * f.top(),
                           100 * f.right(), 100 * f.bottom());
}

}  // namespace

// Charts whose plot rectangle cannot be compared, and why.
bool plotNotComparable(const QString& name) {
  // The file caches no category texts, so the program's two label rows are not drawn.
  return name == "chart_clustered";
}

// Prints, for every screenshot, the plot rectangle, the title's and the legend's ink (left
// top right bottom, % of the chart), ours then theirs, and keeps side-by-side pictures.
TEST(ChartProportions, LayoutNearThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const QString out = testenv::outputDir("chart-fidelity");
  double sum = 0;
  int measured = 0;
  for (const char* name : kCrops) {
    const auto c = compare(name);
    ASSERT_TRUE(c) << name;
    c->side.save(QDir(out).filePath(QString(name) + ".png"));
    std::printf("%-22s plot ours %s | theirs %s  title %s | %s  legend %s | %s\n", name,
                qPrintable(edges(c->ours.plot, c->ours.chart)),
                qPrintable(edges(c->theirs.plot, c->theirs.chart)),
                qPrintable(edges(c->ours.title, c->ours.chart)),
                qPrintable(edges(c->theirs.title, c->theirs.chart)),
                qPrintable(edges(c->ours.legend, c->ours.chart)),
                qPrintable(edges(c->theirs.legend, c->theirs.chart)));
    EXPECT_EQ(c->ours.plot.has_value(), c->theirs.plot.has_value()) << name;
    if (c->ours.plot && c->theirs.plot && !plotNotComparable(name)) {
      const double worst = worstEdge(charttest::fractionOf(*c->ours.plot, c->ours.chart),
                                     charttest::fractionOf(*c->theirs.plot, c->theirs.chart));
      EXPECT_LT(worst, 1.2) << name << ": plot edge off by " << worst << "% of the chart";
      sum += worst;
      ++measured;
    }
    EXPECT_EQ(c->ours.title.has_value(), c->theirs.title.has_value()) << name;
    if (c->ours.title && c->theirs.title && !plotNotComparable(name)) {
      const QRectF a = charttest::fractionOf(*c->ours.title, c->ours.chart);
      const QRectF b = charttest::fractionOf(*c->theirs.title, c->theirs.chart);
      EXPECT_NEAR(a.top(), b.top(), 0.006) << name << ": title";
      EXPECT_NEAR(a.center().x(), b.center().x(), 0.006) << name << ": title";
    }
    EXPECT_EQ(c->ours.legend.has_value(), c->theirs.legend.has_value()) << name;
    // Right of the plot a secondary axis' labels and title mix with the legend's ink.
    const bool axisOnRight = QString(name) == "chart_combined2" || QString(name) == "chart_secondary_axis1";
    if (c->ours.legend && c->theirs.legend && !axisOnRight) {
      const QRectF a = charttest::fractionOf(*c->ours.legend, c->ours.chart);
      const QRectF b = charttest::fractionOf(*c->theirs.legend, c->theirs.chart);
      EXPECT_NEAR(a.right(), b.right(), 0.006) << name << ": legend";
      EXPECT_NEAR(a.left(), b.left(), 0.015) << name << ": legend";
      EXPECT_NEAR(a.center().y(), b.center().y(), 0.015) << name << ": legend";
    }
  }
  ASSERT_GT(measured, 31);
  std::printf("mean worst plot edge %.2f%% over %d charts\n", sum / measured, measured);
  EXPECT_LT(sum / measured, 0.6);
}

// The probe itself: on our pictures it finds the plot rectangle the layout reports.
TEST(ChartProportions, ProbeFindsOurPlotRectangle) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  int checked = 0;
  for (const char* name : kCrops) {
    const QString n(name);
    if (n.contains("radar") || n.contains("pie") || n.contains("doughnut")) continue;
    const auto c = compare(name);
    ASSERT_TRUE(c) << name;
    ASSERT_TRUE(c->ours.plot) << name;
    const QRectF found = charttest::fractionOf(*c->ours.plot, c->ours.chart);
    const QRectF& l = c->layoutPlot;
    const double w = c->ours.chart.width(), h = c->ours.chart.height();
    const QRectF truth(QPointF(l.left() / w, l.top() / h), QPointF(l.right() / w, l.bottom() / h));
    // The data table's lines continue the plot downwards and its name column to the left.
    if (n == "chart_data_table1") continue;
    EXPECT_LT(worstEdge(found, truth), 0.5) << name;
    ++checked;
  }
  EXPECT_GT(checked, 25);
}

// Series lines as thick as the program draws them, judged on the legend's line keys: the
// outlined styles (line1, scatter3, radar1) against the default style (combined1's line).
TEST(ChartProportions, LineKeysAsThickAsThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  for (const char* name : {"chart_line1", "chart_line2", "chart_scatter3", "chart_scatter5",
                           "chart_radar1", "chart_combined1"}) {
    const auto c = compare(name);
    ASSERT_TRUE(c && c->ours.legend && c->theirs.legend) << name;
    // A few pixels into the key: the line, clear of any marker in the key's middle.
    const int ours = charttest::legendLineThickness(c->oursImage, *c->ours.legend, 3);
    const int theirs = charttest::legendLineThickness(c->theirsImage, *c->theirs.legend, 3);
    EXPECT_GT(theirs, 3) << name;
    EXPECT_NEAR(ours, theirs, 1) << name;
  }
}

// Pies and doughnuts: the slices' bounding box (left of the legend) as the program sizes it.
TEST(ChartProportions, PieSizeNearThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  for (const char* name :
       {"chart_pie1", "chart_pie2", "chart_pie3", "chart_doughnut1", "chart_doughnut2"}) {
    const auto c = compare(name);
    ASSERT_TRUE(c) << name;
    auto slices = [](const QImage& image, const QRect& chart) {
      const QRect area(chart.topLeft() + QPoint(4, 4), QSize(chart.width() * 3 / 4, chart.height() - 8));
      return charttest::colouredBox(image, area);
    };
    const auto ours = slices(c->oursImage, c->ours.chart);
    const auto theirs = slices(c->theirsImage, c->theirs.chart);
    ASSERT_TRUE(ours && theirs) << name;
    const double worst = worstEdge(charttest::fractionOf(*ours, c->ours.chart),
                                   charttest::fractionOf(*theirs, c->theirs.chart));
    std::printf("%-16s slices %s | %s\n", name, qPrintable(edges(ours, c->ours.chart)),
                qPrintable(edges(theirs, c->theirs.chart)));
    EXPECT_LT(worst, 0.6) << name;
  }
}

// The widest horizontal run of green pixels inside `area`.
int widestGreenRun(const QImage& image, const QRect& area) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  int widest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int run = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = img.pixel(x, y);
      run = qGreen(p) - qRed(p) > 30 && qGreen(p) - qBlue(p) > 30 ? run + 1 : 0;
      widest = std::max(widest, run);
    }
  }
  return widest;
}

// The stock chart's closes are size-3 dots: short green marks, not dashes.
TEST(ChartProportions, StockClosesAsShortAsThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const auto c = compare("chart_stock1");
  ASSERT_TRUE(c && c->ours.plot && c->theirs.plot);
  const int ours = widestGreenRun(c->oursImage, *c->ours.plot);
  const int theirs = widestGreenRun(c->theirsImage, *c->theirs.plot);
  EXPECT_GT(theirs, 1);
  EXPECT_NEAR(ours, theirs, 1);
}

// A column chart with no title or legend; `layout` goes into the plot area.
QString plainColumns(const QString& layout,
                     const std::vector<std::optional<double>>& values = {1, 2, 3}) {
  const QString cat = charttest::strRef({"a", "b", "c"});
  return "<c:plotArea>" + layout +
         "<c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>" +
         charttest::series(0, "S", cat, charttest::numRef(values)) +
         "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart>"
         "<c:catAx><c:axId val=\"1\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
         "<c:axPos val=\"b\"/><c:tickLblPos val=\"nextTo\"/><c:crossAx val=\"2\"/></c:catAx>"
         "<c:valAx><c:axId val=\"2\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
         "<c:axPos val=\"l\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea>";
}

// The program keeps an automatic plot 6 pt inside the chart's margin at the top and on the
// right; a manual outer layout puts the plot's edges where it says.
TEST(ChartProportions, PlotInsetOnlyWithoutManualLayout) {
  const QRectF area(0, 0, 400, 200);
  const render::chart::ChartLayout automatic =
      charttest::layOut(charttest::chartFromXml(plainColumns(QString())), area.size());
  EXPECT_NEAR(automatic.plotArea.top(), 7 + 6, 1e-6);
  EXPECT_NEAR(automatic.plotArea.right(), area.right() - 7 - 6, 1e-6);
  const QString manual =
      "<c:layout><c:manualLayout><c:xMode val=\"edge\"/><c:yMode val=\"edge\"/>"
      "<c:x val=\"0.1\"/><c:y val=\"0.1\"/><c:w val=\"0.8\"/><c:h val=\"0.8\"/>"
      "</c:manualLayout></c:layout>";
  const render::chart::ChartLayout placed =
      charttest::layOut(charttest::chartFromXml(plainColumns(manual)), area.size());
  EXPECT_NEAR(placed.plotArea.top(), 20, 1e-6);
  EXPECT_NEAR(placed.plotArea.right(), 360, 1e-6);
  EXPECT_GT(placed.plotArea.left(), 40) << "the value labels stay inside the manual box";
}

// The lowest value label, centred on the plot's bottom edge, stays inside the chart's margin
// also where negative values lift the category labels into the plot.
TEST(ChartProportions, LowestValueLabelInsideTheMargin) {
  for (const auto& values : {std::vector<std::optional<double>>{1, 2, 3}, {-3, 2, 5}}) {
    SCOPED_TRACE(*values.front());
    const render::chart::ChartLayout l = charttest::layOut(
        charttest::chartFromXml(plainColumns(QString(), values)), QSizeF(400, 200));
    const auto value =
        std::find_if(l.axes.begin(), l.axes.end(),
                     [](const render::chart::AxisLayout& a) { return a.valueScale; });
    ASSERT_NE(value, l.axes.end());
    ASSERT_FALSE(value->labels.empty());
    const double half =
        render::chart::measureText(value->labelStyle, value->labels.front()).height() / 2;
    EXPECT_LE(l.plotArea.bottom() + half, 200 - 7 + 1e-6);
  }
}

// A side legend of more entries than the chart's height holds shows the first ones, all
// inside the chart, instead of running off its bottom.
TEST(ChartProportions, CrowdedSideLegendKeepsTheEntriesThatFit) {
  const QString cat = charttest::strRef({"a", "b"});
  QString series;
  for (int i = 0; i < 40; ++i)
    series += charttest::series(i, QString("S%1").arg(i + 1), cat, charttest::numRef({1, 2}));
  const ooxml::chart::ChartModel chart = charttest::chartFromXml(
      "<c:plotArea><c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>" + series +
      "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart><c:catAx><c:axId val=\"1\"/>"
      "<c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId val=\"2\"/><c:crossAx val=\"1\"/>"
      "</c:valAx></c:plotArea><c:legend><c:legendPos val=\"r\"/></c:legend>");
  const render::chart::ChartLayout l = charttest::layOut(chart);
  charttest::savePng(charttest::picture(chart), "chart-legend", "crowded-side-legend");
  ASSERT_GT(l.legend.size(), 5u);
  EXPECT_LT(l.legend.size(), 40u);
  EXPECT_EQ(l.legend.front().text, "S1");
  EXPECT_TRUE(l.chartArea.contains(l.legendRect));
  for (const render::chart::LegendEntry& e : l.legend)
    EXPECT_TRUE(l.legendRect.contains(e.textRect.adjusted(0, 1, 0, -1))) << e.text.toStdString();
}

// A chart in the program's 2013 look (its light grey frame) sets its title higher and its
// legend's entries nearer the chart's edge and each other than the 2007 look; the plot stays.
// Only that frame tells the looks apart: a black frame keeps the 2007 layout.
TEST(ChartProportions, TheModernLookSetsTitleAndLegendTighter) {
  const QString title =
      "<c:title><c:tx><c:rich><a:bodyPr/><a:p><a:pPr><a:defRPr sz=\"1400\"/></a:pPr><a:r>"
      "<a:t>Sales</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title>";
  const QString legend = "<c:legend><c:legendPos val=\"l\"/><c:overlay val=\"0\"/></c:legend>";
  auto frame = [](const QString& colour) {
    return "<c:spPr><a:ln w=\"9525\"><a:solidFill>" + colour + "</a:solidFill></a:ln></c:spPr>";
  };
  const QString modern =
      "<a:schemeClr val=\"tx1\"><a:lumMod val=\"15000\"/><a:lumOff val=\"85000\"/></a:schemeClr>";
  const QString body = title + plainColumns(QString()) + legend;
  const auto classic =
      charttest::layOut(charttest::chartFromXml(body, frame("<a:srgbClr val=\"000000\"/>")));
  const auto tight = charttest::layOut(charttest::chartFromXml(body, frame(modern)));
  ASSERT_EQ(classic.legend.size(), 1u);
  ASSERT_EQ(tight.legend.size(), 1u);
  EXPECT_NEAR(classic.titleCenter.y() - tight.titleCenter.y(), 4.5, 1e-6);
  EXPECT_NEAR(classic.legend[0].keyRect.left() - tight.legend[0].keyRect.left(), 2.7, 1e-6);
  EXPECT_NEAR(classic.legend[0].textRect.left() - tight.legend[0].textRect.left(), 2.7 + 1.7, 1e-6);
  EXPECT_EQ(classic.plotArea, tight.plotArea);
  // A pie takes the room the higher title leaves; a right-hand legend's entries keep as near
  // the chart's edge as a left-hand one's.
  const QString pie =
      title + "<c:plotArea><c:pieChart><c:varyColors val=\"1\"/>" +
      charttest::series(0, "s", charttest::strRef({"a", "b"}), charttest::numRef({1, 2})) +
      "</c:pieChart></c:plotArea><c:legend><c:legendPos val=\"r\"/></c:legend>";
  const auto classicPie =
      charttest::layOut(charttest::chartFromXml(pie, frame("<a:srgbClr val=\"000000\"/>")));
  const auto tightPie = charttest::layOut(charttest::chartFromXml(pie, frame(modern)));
  ASSERT_EQ(classicPie.legend.size(), tightPie.legend.size());
  EXPECT_NEAR(classicPie.plotArea.top() - tightPie.plotArea.top(), 4.5, 1e-6);
  EXPECT_NEAR(tightPie.legend[0].keyRect.left() - classicPie.legend[0].keyRect.left(), 2.7, 1e-6);
}

// A pie drawn over a doughnut keeps the margin outside labels would take, 0.8 of the room,
// as the program's gauge picture shows; either alone fills the room but 12 pt.
TEST(ChartProportions, PieOverDoughnutKeepsTheLabelMargin) {
  const QString cat = charttest::strRef({"a", "b"});
  const QString ring = "<c:doughnutChart>" +
                       charttest::series(0, "r", cat, charttest::numRef({1, 1})) +
                       "<c:holeSize val=\"50\"/></c:doughnutChart>";
  const QString pie =
      "<c:pieChart>" + charttest::series(1, "p", cat, charttest::numRef({1, 3})) + "</c:pieChart>";
  for (const QString& groups : {ring, pie, ring + pie}) {
    const render::chart::ChartLayout l =
        charttest::layOut(charttest::chartFromXml("<c:plotArea>" + groups + "</c:plotArea>"));
    ASSERT_FALSE(l.series.empty());
    const double room = std::min(l.plotArea.width(), l.plotArea.height());
    EXPECT_NEAR(2 * l.series[0].points[0].outerRadius,
                groups == ring + pie ? 0.8 * room : room - 12, 0.01)
        << groups.toStdString();
  }
}

// An exploded pie keeps its size and place, its slices reaching into the margin kept round a
// pie; it shrinks about its centre only as far as they would leave the plot (every slice
// exploded a quarter), not for one slice exploded a tenth.
TEST(ChartProportions, ExplodedPieShrinksOnlyAsFarAsItsSlicesLeaveThePlot) {
  const QString cat = charttest::strRef({"a", "b", "c", "d"});
  struct Case {
    QString explosion;
    bool shrinks;
  };
  for (const Case& c :
       {Case{"<c:explosion val=\"25\"/>", true},
        Case{"<c:dPt><c:idx val=\"0\"/><c:explosion val=\"10\"/></c:dPt>", false}}) {
    SCOPED_TRACE(c.explosion.toStdString());
    const render::chart::ChartLayout l = charttest::layOut(charttest::chartFromXml(
        "<c:plotArea><c:pieChart><c:varyColors val=\"1\"/>" +
        charttest::series(0, "s", cat, charttest::numRef({4, 3, 2, 1}), c.explosion) +
        "</c:pieChart></c:plotArea>"));
    ASSERT_EQ(l.series.size(), 1u);
    QPainterPath covered;
    for (const render::chart::PointGeometry& p : l.series[0].points) {
      const QRectF box(p.center.x() - p.outerRadius, p.center.y() - p.outerRadius,
                       2 * p.outerRadius, 2 * p.outerRadius);
      QPainterPath slice(p.center);
      slice.arcTo(box, 90 - p.startAngle, -p.sweepAngle);
      covered.addPath(slice);
    }
    const QRectF reach = covered.boundingRect(), plot = l.plotArea;
    EXPECT_TRUE(plot.adjusted(-0.5, -0.5, 0.5, 0.5).contains(reach));
    const double whole = (std::min(plot.width(), plot.height()) - 12) / 2;
    const double radius = l.series[0].points[1].outerRadius;
    if (c.shrinks) {
      EXPECT_LT(radius, whole - 1);
      EXPECT_NEAR(std::min({reach.top() - plot.top(), plot.bottom() - reach.bottom(),
                            reach.left() - plot.left(), plot.right() - reach.right()}),
                  0, 0.5);
    } else {
      EXPECT_NEAR(radius, whole, 0.01);
      EXPECT_NEAR(QLineF(l.series[0].points[1].center, plot.center()).length(), 0, 0.01);
    }
  }
}
