// Multi-level category labels: the innermost labels next to the axis, the outer group labels
// below them centred under their groups, and the dividers between categories and groups.
#include "fidelity_fixture.h"
#include "inline_chart.h"
#include "workbook_charts.h"

#include "ooxml/detail/xml.h"
#include "ooxml/package.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string_view>

using namespace morvane;

namespace {

using charttest::chartFromXml;
using charttest::layOut;
using charttest::multiLevelRef;
using charttest::numRef;
using charttest::series;

const std::vector<QStringList> kTypes{
    {"Sub Type A", "Sub Type B", "Sub Type C", "Sub Type D", "Sub Type E"},
    {"Type 1", "", "", "Type 2", ""}};

// Two series of `points` values (at most six) over the categories `cat`.
QString columnChart(const QString& cat, bool horizontal = false,
                    const QString& catAxisExtra = QString(), bool reversed = false,
                    int points = 5) {
  auto values = [points](std::vector<std::optional<double>> v) {
    v.resize(size_t(points));
    return numRef(v);
  };
  const QString seriesXml = series(0, "Value 1", cat, values({5000, 2000, 250, 6000, 500, 900})) +
                            series(1, "Value 2", cat, values({8000, 3000, 1000, 6000, 300, 700}));
  return QString("<c:plotArea><c:barChart><c:barDir val=\"%1\"/><c:grouping val=\"clustered\"/>")
             .arg(horizontal ? "bar" : "col") +
         seriesXml +
         "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:barChart><c:catAx><c:axId val=\"1\"/>"
         "<c:scaling><c:orientation val=\"" +
         QString(reversed ? "maxMin" : "minMax") +
         "\"/></c:scaling>"
         "<c:axPos val=\"" +
         QString(horizontal ? "l" : "b") +
         "\"/><c:tickLblPos val=\"nextTo\"/>"
         "<c:crossAx val=\"2\"/>" +
         catAxisExtra +
         "</c:catAx><c:valAx><c:axId val=\"2\"/>"
         "<c:scaling><c:orientation val=\"minMax\"/></c:scaling><c:axPos val=\"" +
         QString(horizontal ? "b" : "l") +
         "\"/><c:majorGridlines/><c:crossAx val=\"1\"/>"
         "<c:crossBetween val=\"between\"/></c:valAx></c:plotArea><c:legend><c:legendPos "
         "val=\"r\"/></c:legend>";
}

const render::chart::AxisLayout& categoryAxis(const render::chart::ChartLayout& l) {
  for (const render::chart::AxisLayout& a : l.axes)
    if (!a.valueScale) return a;
  ADD_FAILURE() << "no category axis";
  return l.axes.front();
}

// Where each divider runs to, by its position along the axis (x for horizontal axes).
std::map<long, double> dividerEnds(const render::chart::AxisLayout& a) {
  std::map<long, double> out;
  for (const QLineF& d : a.levelDividers)
    out[std::lround(a.horizontal ? d.x1() * 10 : d.y1() * 10)] = a.horizontal ? d.y2() : d.x2();
  return out;
}

TEST(CategoryLevels, OuterLabelsSitCentredUnderTheirGroups) {
  const auto chart = chartFromXml(columnChart(multiLevelRef(kTypes)));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  EXPECT_EQ(axis.labels, (std::vector<QString>(kTypes[0].begin(), kTypes[0].end())));
  ASSERT_EQ(axis.groupLevels.size(), 1u);
  const auto& groups = axis.groupLevels[0];
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].text, "Type 1");
  EXPECT_EQ(groups[0].first, 0);
  EXPECT_EQ(groups[0].last, 2);
  EXPECT_EQ(groups[1].text, "Type 2");
  EXPECT_EQ(groups[1].first, 3);
  EXPECT_EQ(groups[1].last, 4);
  // Centred under their inner labels, below them.
  EXPECT_NEAR(groups[0].center.x(), (axis.labelPositions[0] + axis.labelPositions[2]) / 2, 0.01);
  EXPECT_NEAR(groups[1].center.x(), (axis.labelPositions[3] + axis.labelPositions[4]) / 2, 0.01);
  const double innerBottom = axis.labelAnchor + axis.innerLabelDepth;
  const double textHeight = render::chart::measureText(axis.labelStyle, "Type 1").height();
  EXPECT_GT(groups[0].center.y() - textHeight / 2, innerBottom);
  EXPECT_NEAR(groups[0].center.y(), groups[1].center.y(), 1e-9);
  EXPECT_LT(groups[0].center.y() + textHeight / 2, l.chartArea.bottom())
      << "the row fits in the chart";
}

TEST(CategoryLevels, DividersSeparateCategoriesAndReachThroughTheirGroups) {
  const auto chart = chartFromXml(columnChart(multiLevelRef(kTypes)));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  const std::map<long, double> ends = dividerEnds(axis);
  ASSERT_EQ(ends.size(), 6u) << "one divider per category edge";
  const double outerBottom = axis.groupLevels[0][0].center.y();
  for (int edge = 0; edge <= 5; ++edge) {
    const long key = std::lround(axis.coordinate(edge - 0.5) * 10);
    ASSERT_TRUE(ends.count(key)) << edge;
    const bool groupEdge = edge == 0 || edge == 3 || edge == 5;
    if (groupEdge)
      EXPECT_GT(ends.at(key), outerBottom) << "edge " << edge << " separates groups";
    else
      EXPECT_LT(ends.at(key), outerBottom) << "edge " << edge << " stops above the group row";
  }
  // Drawn: ink on the group edge between Type 1 and Type 2 inside the outer row, none on the
  // edge between Sub Type A and B there.
  const QImage image = charttest::picture(chart);
  const double rowTop =
      outerBottom - render::chart::measureText(axis.labelStyle, "Type 1").height() / 2;
  auto column = [&](int edge) {
    const double x = axis.coordinate(edge - 0.5);
    return QRectF(x - 0.8, rowTop, 1.6, outerBottom - rowTop);
  };
  EXPECT_GT(charttest::inkIn(image, column(3)), 3);
  EXPECT_EQ(charttest::inkIn(image, column(1)), 0);
  charttest::savePng(image, "chart-category-levels", "two_levels");
}

TEST(CategoryLevels, ANewOuterGroupStartsANewMiddleGroup) {
  // Three levels: the middle level names "H1" once per year, the outer one the years.
  const std::vector<QStringList> levels{{"Q1", "Q2", "Q3", "Q4", "Q1", "Q2"},
                                        {"H1", "", "H2", "", "H1", ""},
                                        {"2023", "", "", "", "2024", ""}};
  const auto chart = chartFromXml(columnChart(multiLevelRef(levels), false, {}, false, 6));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(480, 260));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_EQ(axis.groupLevels.size(), 2u);
  std::vector<std::pair<int, int>> middle, outer;
  for (const auto& g : axis.groupLevels[0]) middle.emplace_back(g.first, g.last);
  for (const auto& g : axis.groupLevels[1]) outer.emplace_back(g.first, g.last);
  EXPECT_EQ(middle, (std::vector<std::pair<int, int>>{{0, 1}, {2, 3}, {4, 5}}));
  EXPECT_EQ(outer, (std::vector<std::pair<int, int>>{{0, 3}, {4, 5}}));
  EXPECT_GT(axis.groupLevels[1][0].center.y(), axis.groupLevels[0][0].center.y());
  charttest::savePng(charttest::picture(chart, QSizeF(480, 260)), "chart-category-levels",
                     "three_levels");
}

TEST(CategoryLevels, NoMultiLevelLabelsJoinTheLevelsOnOneRow) {
  const auto chart =
      chartFromXml(columnChart(multiLevelRef(kTypes), false, "<c:noMultiLvlLbl val=\"1\"/>"));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(600, 260));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  EXPECT_TRUE(axis.groupLevels.empty());
  EXPECT_TRUE(axis.levelDividers.empty());
  EXPECT_EQ(axis.labels, (std::vector<QString>{"Type 1 Sub Type A", "Sub Type B", "Sub Type C",
                                               "Type 2 Sub Type D", "Sub Type E"}));
}

TEST(CategoryLevels, RowsTakeRoomFromThePlot) {
  const auto flat = chartFromXml(columnChart(charttest::strRef(kTypes[0])));
  const auto levelled = chartFromXml(columnChart(multiLevelRef(kTypes)));
  const render::chart::ChartLayout a = layOut(flat), b = layOut(levelled);
  const double rowDepth = render::chart::measureText(categoryAxis(b).labelStyle, "Type 1").height();
  EXPECT_GT(a.plotArea.bottom() - b.plotArea.bottom(), rowDepth);
}

TEST(CategoryLevels, VerticalAxisPutsGroupsLeftOfTheInnerLabels) {
  const auto chart = chartFromXml(columnChart(multiLevelRef(kTypes), true));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(420, 260));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_FALSE(axis.horizontal);
  ASSERT_EQ(axis.groupLevels.size(), 1u);
  const auto& groups = axis.groupLevels[0];
  EXPECT_NEAR(groups[0].center.y(), (axis.labelPositions[0] + axis.labelPositions[2]) / 2, 0.01);
  const double widest = render::chart::measureText(axis.labelStyle, "Type 1").width();
  EXPECT_LT(groups[0].center.x() + widest / 2, axis.labelAnchor - axis.innerLabelDepth);
  EXPECT_GT(groups[0].center.x() - widest / 2, l.chartArea.left());
  charttest::savePng(charttest::picture(chart, QSizeF(420, 260)), "chart-category-levels",
                     "bar_two_levels");
}

TEST(CategoryLevels, ReversedAxisMirrorsTheGroups) {
  const auto chart = chartFromXml(columnChart(multiLevelRef(kTypes), false, QString(), true));
  const render::chart::ChartLayout l = layOut(chart);
  const render::chart::AxisLayout& axis = categoryAxis(l);
  const auto& groups = axis.groupLevels.at(0);
  EXPECT_GT(groups[0].center.x(), groups[1].center.x()) << "Type 1 on the right";
  EXPECT_NEAR(groups[0].center.x(), (axis.labelPositions[0] + axis.labelPositions[2]) / 2, 0.01);
}

TEST(CategoryLevels, LongGroupNamesWrapWithinTheirGroup) {
  const std::vector<QStringList> levels{{"a", "b", "c", "d"},
                                        {"A rather long name for a group", "", "Short", ""}};
  const auto chart = chartFromXml(columnChart(multiLevelRef(levels)));
  const render::chart::ChartLayout l = layOut(chart, QSizeF(300, 200));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  const auto& g = axis.groupLevels.at(0).at(0);
  EXPECT_TRUE(g.text.contains('\n'));
  const double span = std::abs(axis.coordinate(1.5) - axis.coordinate(-0.5));
  render::chart::TextStyle style = axis.labelStyle;
  style.rotationDeg = 0;
  for (const QString& line : g.text.split('\n'))
    EXPECT_LE(render::chart::measureText(style, line).width(), span);
  EXPECT_EQ(g.text.split('\n').join(' '), "A rather long name for a group");
}

// The program's picture of chart_clustered: "Type 1" under Sub Types A-C (centred 30 % along
// the axis), "Type 2" under D-E (80 %), in a row below the inner labels. The workbook caches
// no categories, so the test takes them from the sheet's cells A2:B6.
TEST(CategoryLevels, FidelityClusteredChartMatchesThePicture) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const QString path = QDir(testenv::fidelityDir()).filePath("chart_clustered.xlsx");
  auto c = charttest::loadChart(path, 0);
  ASSERT_TRUE(c);
  auto package = ooxml::Package::open(path);
  ASSERT_TRUE(package.ok());
  auto strings = ooxml::parseXml(package.value()->read("/xl/sharedStrings.xml").value(), "sst");
  auto sheet = ooxml::parseXml(package.value()->read("/xl/worksheets/sheet1.xml").value(), "sheet");
  ASSERT_TRUE(strings.ok() && sheet.ok());
  QStringList shared;
  for (const pugi::xml_node& si : strings.value()->doc.document_element().children("x:si"))
    shared << ooxml::qstr(si.child("x:t").text().get());
  std::vector<QStringList> levels{QStringList(5, QString()), QStringList(5, QString())};
  for (const pugi::xml_node& row :
       sheet.value()->doc.document_element().child("x:sheetData").children("x:row")) {
    const int r = row.attribute("r").as_int();
    for (const pugi::xml_node& cell : row.children("x:c")) {
      const QString ref = ooxml::qstr(cell.attribute("r").value());
      if (r < 2 || r > 6 || std::string_view(cell.attribute("t").value()) != "s") continue;
      const QString text = shared.value(cell.child("x:v").text().as_int());
      if (ref.startsWith('A')) levels[1][r - 2] = text;
      if (ref.startsWith('B')) levels[0][r - 2] = text;
    }
  }
  ASSERT_EQ(levels[0], kTypes[0]);
  ASSERT_EQ(levels[1], kTypes[1]);
  for (ooxml::chart::ChartGroup& g : c->model.plotArea.groups)
    for (ooxml::chart::Series& s : g.series) {
      s.categories.present = true;
      s.categories.numeric = false;  // a multi-level string cache
      s.categories.levels = {std::vector<QString>(levels[0].begin(), levels[0].end()),
                             std::vector<QString>(levels[1].begin(), levels[1].end())};
      s.categories.texts = s.categories.levels.front();
    }
  const render::chart::ChartLayout l =
      render::chart::layoutChart(c->model, c->theme, QRectF(QPointF(0, 0), c->sizePt));
  const render::chart::AxisLayout& axis = categoryAxis(l);
  ASSERT_EQ(axis.groupLevels.size(), 1u);
  const auto& groups = axis.groupLevels[0];
  ASSERT_EQ(groups.size(), 2u);
  auto along = [&](double x) { return (x - l.plotArea.left()) / l.plotArea.width(); };
  // Measured on the picture: plot from x = 127 to 846, Type 1 at 342, Type 2 at 702.
  EXPECT_NEAR(along(groups[0].center.x()), (342.0 - 127) / (846 - 127), 0.01);
  EXPECT_NEAR(along(groups[1].center.x()), (702.0 - 127) / (846 - 127), 0.01);
  EXPECT_EQ(dividerEnds(axis).size(), 6u);
  charttest::savePng(render::chart::chartToImage(c->model, c->theme, c->sizePt),
                     "chart-category-levels", "fidelity_chart_clustered");
}

}  // namespace

// However many categories share the axis, the labels shown stand apart: every k-th is kept,
// k growing with the count.
TEST(CategoryLabels, ThousandsOfCategoriesKeepOnlyLabelsThatFit) {
  for (int count : {300, 30000}) {
    SCOPED_TRACE(count);
    std::vector<std::optional<double>> values(size_t(count), 1.0);
    const auto layout = layOut(chartFromXml(
        "<c:plotArea><c:lineChart><c:grouping val=\"standard\"/>" +
        series(0, "S", QString(), numRef(values)) +
        "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:lineChart><c:catAx><c:axId val=\"1\"/>"
        "<c:scaling/><c:axPos val=\"b\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId "
        "val=\"2\"/><c:scaling/><c:axPos val=\"l\"/><c:crossAx "
        "val=\"1\"/></c:valAx></c:plotArea>"));
    const render::chart::AxisLayout& axis = categoryAxis(layout);
    const auto shown = std::count_if(axis.labels.begin(), axis.labels.end(),
                                     [](const QString& l) { return !l.isEmpty(); });
    EXPECT_GT(shown, 3);
    EXPECT_LT(shown, 40);  // a 360-point chart has room for a few dozen at most
  }
}

// The values decide how many categories the axis shows: categories beyond them label nothing
// and the program leaves them off, and values beyond the categories still get their slots.
TEST(CategoryLevels, TheValuesCountTheCategories) {
  const struct {
    QStringList categories;
    int points, shown;
  } cases[] = {{{"Number", "2", "3", "4", "5", "6", "7"}, 5, 5},
               {{"a", "b"}, 5, 5},
               {{"a", "b", "c", "d", "e"}, 5, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.categories.join(',').toStdString());
    const auto chart =
        chartFromXml(columnChart(charttest::strRef(c.categories), false, {}, false, c.points));
    const render::chart::ChartLayout l = layOut(chart);
    const render::chart::AxisLayout& axis = categoryAxis(l);
    EXPECT_EQ(axis.categoryCount, c.shown);
    EXPECT_LE(axis.labels.size(), size_t(c.shown));
  }
}
