// What the program's own pictures of the fidelity set show and the layout can compute:
// axis bounds and units, tick label texts, legend entries in order, series colours and
// data label texts.
#include "fidelity_fixture.h"

#include "support/test_env.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace morvane;

namespace {

using charttest::loadChart;

std::optional<charttest::LoadedChart> fidelityChart(const QString& name, int index = 0) {
  const QString dir = testenv::fidelityDir();
  if (dir.isEmpty()) return std::nullopt;
  QString error;
  auto c = loadChart(QDir(dir).filePath(name + ".xlsx"), index, &error);
  EXPECT_TRUE(c.has_value()) << name.toStdString() << ": " << error.toStdString();
  return c;
}

struct Bounds {
  const char* chart;
  int valueAxis;  // 0 primary, 1 secondary
  double min, max, unit;
};

class AxisBounds : public ::testing::TestWithParam<Bounds> {};

void checkBounds(const charttest::LoadedChart& c, const Bounds& b);

// The program chose these bounds for the box it drew the chart in, about 398 x 204 pt (see
// chart_proportions_test.cpp), not the anchor's 360 x 216 pt: the major unit depends on the
// plot's height, so they are checked at the picture's size.
TEST_P(AxisBounds, MatchThePicture) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const Bounds b = GetParam();
  auto c = fidelityChart(b.chart);
  ASSERT_TRUE(c);
  c->layout = render::chart::layoutChart(c->model, c->theme, QRectF(0, 0, 398, 204));
  checkBounds(*c, b);
}

void checkBounds(const charttest::LoadedChart& c, const Bounds& b) {
  const render::chart::AxisLayout* axis = charttest::valueAxis(c, b.valueAxis);
  ASSERT_NE(axis, nullptr);
  EXPECT_DOUBLE_EQ(axis->scale.min, b.min);
  EXPECT_DOUBLE_EQ(axis->scale.max, b.max);
  if (b.unit > 0) {
    EXPECT_DOUBLE_EQ(axis->scale.majorUnit, b.unit);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Fidelity, AxisBounds,
    ::testing::Values(Bounds{"chart_column1", 0, 0, 80, 10}, Bounds{"chart_column2", 0, 0, 140, 20},
                      Bounds{"chart_column3", 0, 0, 1, 0.2}, Bounds{"chart_bar1", 0, 0, 80, 10},
                      Bounds{"chart_bar2", 0, 0, 140, 20}, Bounds{"chart_bar3", 0, 0, 1, 0.2},
                      Bounds{"chart_line1", 0, 0, 80, 10}, Bounds{"chart_line2", 0, 0, 140, 20},
                      Bounds{"chart_area1", 0, 0, 60, 10}, Bounds{"chart_area2", 0, 0, 100, 20},
                      Bounds{"chart_scatter1", 0, 0, 80, 10}, Bounds{"chart_scatter5", 0, 0, 80, 10},
                      Bounds{"chart_stock1", 0, 0, 30, 5}, Bounds{"chart_combined2", 0, 0, 60, 10},
                      Bounds{"chart_combined2", 1, 0, 80, 10},
                      Bounds{"chart_secondary_axis1", 1, 0, 8, 1},
                      Bounds{"chart_data_labels11", 0, 0, 45, 5},
                      Bounds{"chart_data_labels23", 0, 0, 45, 5}),
    [](const auto& info) {
      return std::string(info.param.chart).substr(6) + "_axis" + std::to_string(info.param.valueAxis);
    });

TEST(ChartFidelity, ScatterXAxisRunsFromZeroToEight) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  for (const char* name : {"chart_scatter1", "chart_scatter2", "chart_scatter3", "chart_scatter4", "chart_scatter5"}) {
    auto c = fidelityChart(name);
    ASSERT_TRUE(c);
    const render::chart::AxisLayout* x = charttest::categoryAxis(*c);
    ASSERT_NE(x, nullptr);
    EXPECT_TRUE(x->valueScale) << name;
    EXPECT_DOUBLE_EQ(x->scale.min, 0) << name;
    EXPECT_DOUBLE_EQ(x->scale.max, 8) << name;
    EXPECT_DOUBLE_EQ(x->scale.majorUnit, 1) << name;
  }
}

TEST(ChartFidelity, TickLabelTexts) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto column3 = fidelityChart("chart_column3");
  ASSERT_TRUE(column3);
  EXPECT_EQ(charttest::valueAxis(*column3)->labels,
            (std::vector<QString>{"0%", "20%", "40%", "60%", "80%", "100%"}));
  auto stock = fidelityChart("chart_stock1");
  ASSERT_TRUE(stock);
  const render::chart::AxisLayout* dates = charttest::categoryAxis(*stock);
  ASSERT_NE(dates, nullptr);
  EXPECT_EQ(dates->labels, (std::vector<QString>{"01/01/2007", "02/01/2007", "03/01/2007",
                                                 "04/01/2007", "05/01/2007"}));
  EXPECT_NEAR(std::abs(dates->labelStyle.rotationDeg), 45, 1e-9);
  auto secondary = fidelityChart("chart_secondary_axis1");
  ASSERT_TRUE(secondary);
  EXPECT_EQ(charttest::categoryAxis(*secondary)->labels,
            (std::vector<QString>{"1", "2", "3", "4", "5", "6"}));
  auto column1 = fidelityChart("chart_column1");
  ASSERT_TRUE(column1);
  EXPECT_EQ(charttest::categoryAxis(*column1)->labels,
            (std::vector<QString>{"2", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(charttest::valueAxis(*column1)->labels.back(), "80");
}

TEST(ChartFidelity, LegendEntriesInThePicturesOrder) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const QStringList normal{"Batch 1", "Batch 2"};
  const QStringList reversed{"Batch 2", "Batch 1"};
  const std::pair<const char*, QStringList> cases[] = {
      {"chart_column1", normal},   {"chart_column2", reversed}, {"chart_column3", reversed},
      {"chart_bar1", reversed},    {"chart_bar2", normal},      {"chart_line1", normal},
      {"chart_line2", reversed},   {"chart_line3", reversed},   {"chart_area1", normal},
      {"chart_area2", reversed},   {"chart_area3", reversed},
      {"chart_secondary_axis1", {"Humans", "Aliens"}},
      {"chart_stock1", {"Series1", "Series2", "Series3"}},
      {"chart_pie1", {"Apple", "Cherry", "Pecan"}},
      {"chart_doughnut1", {"Glazed", "Chocolate", "Cream"}},
      {"chart_data_labels11", {}},
  };
  for (const auto& [name, expected] : cases) {
    auto c = fidelityChart(name);
    ASSERT_TRUE(c);
    EXPECT_EQ(charttest::legendTexts(c->layout), expected) << name;
  }
}

// Colours sampled from the pictures; the program's monochrome styles shade and tint the
// accent across the series.
TEST(ChartFidelity, SeriesColoursFromStyles) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const std::pair<const char*, std::vector<QColor>> cases[] = {
      {"chart_column1", {QColor("#4572A7"), QColor("#93A9CF")}},
      {"chart_column2", {QColor("#AA4643"), QColor("#D19392")}},
      {"chart_column3", {QColor("#89A54E"), QColor("#B9CD96")}},
      // Three series of style 37: a shade, the accent itself, a tint.
      {"chart_clustered", {QColor("#7F9A48"), QColor("#9BBB59"), QColor("#C6D6AC")}},
      {"chart_pie1", {QColor("#4F81BD"), QColor("#C0504D"), QColor("#9BBB59")}},
      {"chart_pie2", {QColor("#5ABA10"), QColor("#FE110E"), QColor("#CA5C05")}},
  };
  for (const auto& [name, colours] : cases) {
    auto c = fidelityChart(name);
    ASSERT_TRUE(c);
    // Series in order, or the slices of a pie.
    std::vector<QColor> got;
    for (const render::chart::SeriesGeometry& s : c->layout.series)
      got.push_back(s.look.fill.color());
    if (got.size() == 1) {
      got.clear();
      for (const render::chart::PointGeometry& p : c->layout.series[0].points)
        got.push_back(p.look.fill.color());
    }
    ASSERT_EQ(got.size(), colours.size()) << name;
    for (size_t i = 0; i < colours.size(); ++i) {
      const QColor& want = colours[i];
      EXPECT_NEAR(got[i].red(), want.red(), 6) << name << " entry " << i;
      EXPECT_NEAR(got[i].green(), want.green(), 6) << name << " entry " << i;
      EXPECT_NEAR(got[i].blue(), want.blue(), 6) << name << " entry " << i;
    }
  }
}

TEST(ChartFidelity, DataLabelTexts) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto values = fidelityChart("chart_data_labels11");
  ASSERT_TRUE(values);
  QStringList texts;
  for (const render::chart::DataLabelLayout& l : values->layout.dataLabels) texts << l.text;
  EXPECT_EQ(texts, (QStringList{"20", "10", "20", "30", "40", "30"}));
  for (const render::chart::DataLabelLayout& l : values->layout.dataLabels) {
    const QRectF bar = values->layout.series[0].points[size_t(l.point)].bar;
    EXPECT_LT(l.center.y(), bar.top()) << "value labels sit above their columns";
  }

  auto rotated = fidelityChart("chart_data_labels13");
  ASSERT_TRUE(rotated);
  ASSERT_FALSE(rotated->layout.dataLabels.empty());
  const render::chart::DataLabelLayout& first = rotated->layout.dataLabels.front();
  EXPECT_DOUBLE_EQ(first.style.rotationDeg, -30);
  EXPECT_TRUE(first.style.font.bold());
  EXPECT_EQ(first.style.color, QColor(Qt::red));

  auto custom = fidelityChart("chart_data_labels23");
  ASSERT_TRUE(custom);
  texts.clear();
  for (const render::chart::DataLabelLayout& l : custom->layout.dataLabels) texts << l.text;
  EXPECT_EQ(texts, (QStringList{"Amy", "Bea", "Eva", "Fay", "Liv", "Una"}));
  const auto& labels = custom->layout.dataLabels;
  // "Amy" keeps only its blue border, "Una" only its green fill, the rest the series' box.
  EXPECT_EQ(labels[0].fill.style(), Qt::NoBrush);
  EXPECT_EQ(labels[0].border.color(), QColor(Qt::blue));
  EXPECT_EQ(labels[5].fill.color(), QColor("#008000"));
  EXPECT_EQ(labels[5].border.style(), Qt::NoPen);
  EXPECT_EQ(labels[2].fill.color(), QColor(Qt::yellow));
  EXPECT_EQ(labels[2].border.color(), QColor(Qt::red));
}

// The program computes these: a cubic through Series1, a line through Series2 and standard
// errors of about 7.75 on every point of Series1.
TEST(ChartFidelity, TrendlinesAndErrorBars) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto tools1 = fidelityChart("chart_data_tools1");
  ASSERT_TRUE(tools1);
  EXPECT_EQ(charttest::legendTexts(tools1->layout),
            (QStringList{"Series1", "Series2", "Poly. (Series1)", "Linear (Series2)"}));
  ASSERT_EQ(tools1->layout.series.size(), 2u);
  EXPECT_EQ(tools1->layout.series[0].overlays.size(), 1u);
  EXPECT_EQ(tools1->layout.series[1].overlays.size(), 1u);
  auto tools3 = fidelityChart("chart_data_tools3");
  ASSERT_TRUE(tools3);
  for (const render::chart::PointGeometry& p : tools3->layout.series.at(0).points) {
    EXPECT_NEAR(p.errorPlus, 7.746, 0.001);
    EXPECT_NEAR(p.errorMinus, 7.746, 0.001);
  }
  EXPECT_TRUE(tools3->layout.series.at(1).overlays.empty());
}

// The table's header row replaces the category labels; the legend stays.
TEST(ChartFidelity, DataTableUnderThePlot) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto c = fidelityChart("chart_data_table1");
  ASSERT_TRUE(c);
  const render::chart::DataTableLayout& t = c->layout.dataTable;
  ASSERT_TRUE(t.present);
  EXPECT_EQ(t.header, (std::vector<QString>{"2", "3", "4", "5", "6", "7"}));
  EXPECT_EQ(t.names, (std::vector<QString>{"Batch 1", "Batch 2"}));
  ASSERT_EQ(t.values.size(), 2u);
  EXPECT_EQ(t.values[0], (std::vector<QString>{"10", "40", "50", "20", "10", "50"}));
  EXPECT_NEAR(t.rect.top(), c->layout.plotArea.bottom(), 1e-9);
  EXPECT_LE(t.rect.left(), c->layout.plotArea.left() - t.nameWidth + 1e-9);
  for (const QString& label : charttest::categoryAxis(*c)->labels) EXPECT_TRUE(label.isEmpty());
  EXPECT_EQ(charttest::legendTexts(c->layout), (QStringList{"Batch 1", "Batch 2"}));
}

TEST(ChartFidelity, PieSlicesRunClockwiseFromTheirFirstAngle) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto pie1 = fidelityChart("chart_pie1");
  ASSERT_TRUE(pie1);
  const auto& points = pie1->layout.series.at(0).points;
  ASSERT_EQ(points.size(), 3u);
  EXPECT_DOUBLE_EQ(points[0].startAngle, 0);
  EXPECT_DOUBLE_EQ(points[0].sweepAngle, 216);  // Apple 60 of 100
  EXPECT_DOUBLE_EQ(points[1].startAngle, 216);
  // Apple fills the right-hand side: its label anchor lies right of the centre.
  EXPECT_GT(points[0].position.x(), points[0].center.x());
  auto pie3 = fidelityChart("chart_pie3");
  ASSERT_TRUE(pie3);
  EXPECT_DOUBLE_EQ(pie3->layout.series.at(0).points[0].startAngle, 90);
  auto doughnut = fidelityChart("chart_doughnut2");
  ASSERT_TRUE(doughnut);
  const auto& ring = doughnut->layout.series.at(0).points[0];
  EXPECT_DOUBLE_EQ(ring.startAngle, 28);
  EXPECT_NEAR(ring.innerRadius / ring.outerRadius, 0.33, 1e-9);
}

}  // namespace
