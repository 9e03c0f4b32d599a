// Pie and doughnut labels meet the rules a reader relies on, flat and 3-D, placed by best fit,
// outside, or where the user dragged them: no two overlap, each lies inside the chart area,
// one standing away from its slice has a leader line from the slice to it, and the pie keeps
// a diameter of at least half the plot's smaller side however much room the labels take.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainterPath>
#include <cmath>

#include "fidelity_fixture.h"
#include "inline_chart.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

struct LabelCase {
  const char* name;
  const char* corpusFile;  // a corpus workbook, or null for `xml`
  int chart;
  QString xml;  // the c:chart body of an inline chart
  QSizeF size;
  int minLeaders;  // labels the case must send outside with a leader line
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

QString slices(int n, bool longNames) {
  QStringList names;
  std::vector<std::optional<double>> values;
  for (int i = 0; i < n; ++i) {
    names << (longNames ? QString("Category with a long name %1").arg(i + 1)
                        : QString("C%1").arg(i + 1));
    values.push_back(i < 3 ? 30.0 - 5 * i : 1.0 + i % 3);  // a few wide slices, many thin ones
  }
  return charttest::series(0, "s", charttest::strRef(names), charttest::numRef(values), "%LABELS%");
}

QString pie(const QString& element, int n, bool longNames, const QString& labels,
            const QString& groupExtra = QString()) {
  return QString("<c:plotArea><c:%1><c:varyColors val=\"1\"/>%2%3</c:%1></c:plotArea>")
      .arg(element, QString(slices(n, longNames)).replace("%LABELS%", labels), groupExtra);
}

const QString kBestFit =
    "<c:dLbls><c:dLblPos val=\"bestFit\"/><c:showCatName val=\"1\"/><c:showPercent "
    "val=\"1\"/><c:showLeaderLines val=\"1\"/></c:dLbls>";
const QString kOutEnd =
    "<c:dLbls><c:dLblPos val=\"outEnd\"/><c:showVal val=\"1\"/><c:showCatName val=\"1\"/>"
    "</c:dLbls>";
const QString kLegend = "<c:legend><c:legendPos val=\"%1\"/></c:legend>";
// Point 0 dragged far right and down (beyond the chart), point 1 onto point 2's place.
const QString kDragged =
    "<c:dLbls><c:dLbl><c:idx val=\"0\"/><c:layout><c:manualLayout><c:x val=\"0.9\"/><c:y "
    "val=\"0.6\"/></c:manualLayout></c:layout><c:showCatName val=\"1\"/><c:showPercent "
    "val=\"1\"/></c:dLbl><c:dLbl><c:idx val=\"1\"/><c:layout><c:manualLayout><c:x "
    "val=\"-0.25\"/><c:y val=\"0.3\"/></c:manualLayout></c:layout><c:showCatName val=\"1\"/>"
    "<c:showPercent val=\"1\"/></c:dLbl><c:showCatName val=\"1\"/><c:showPercent val=\"1\"/>"
    "</c:dLbls>";

// The region of the picture the label's slice covers: its wedge, or its 3-D faces.
QPainterPath sliceShape(const render::chart::ChartLayout& l,
                        const render::chart::DataLabelLayout& d) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  if (l.scene.present) {
    for (const render::chart::Face3D& f : l.scene.faces)
      if (f.series == d.series && f.point == d.point) path.addPolygon(f.polygon);
    return path;
  }
  const render::chart::PointGeometry& p = l.series[size_t(d.series)].points[size_t(d.point)];
  const QRectF outer(p.center.x() - p.outerRadius, p.center.y() - p.outerRadius, 2 * p.outerRadius,
                     2 * p.outerRadius);
  path.moveTo(p.center);
  path.arcTo(outer, 90 - p.startAngle, -p.sweepAngle);
  path.closeSubpath();
  return path;
}

double distance(const QPainterPath& shape, const QRectF& r) {
  if (shape.intersects(r)) return 0;
  double best = 1e9;
  for (int i = 0; i <= 400; ++i) {
    const QPointF q = shape.pointAtPercent(i / 400.0);
    const double dx = std::max({r.left() - q.x(), 0.0, q.x() - r.right()});
    const double dy = std::max({r.top() - q.y(), 0.0, q.y() - r.bottom()});
    best = std::min(best, std::hypot(dx, dy));
  }
  return best;
}

double onBoundary(const QPointF& q, const QRectF& r) {
  const bool inX = q.x() >= r.left() - 0.5 && q.x() <= r.right() + 0.5;
  const bool inY = q.y() >= r.top() - 0.5 && q.y() <= r.bottom() + 0.5;
  return inX && inY &&
         (std::abs(q.x() - r.left()) < 0.5 || std::abs(q.x() - r.right()) < 0.5 ||
          std::abs(q.y() - r.top()) < 0.5 || std::abs(q.y() - r.bottom()) < 0.5);
}

double pieDiameter(const render::chart::ChartLayout& l) {
  if (l.scene.present) {
    QRectF tops;
    for (const render::chart::Face3D& f : l.scene.faces)
      if (f.kind == render::chart::Face3D::Kind::Top) tops |= f.polygon.boundingRect();
    return tops.width();
  }
  double r = 0;
  for (const render::chart::PointGeometry& p : l.series.front().points)
    r = std::max(r, p.outerRadius);
  return 2 * r;
}

class PieLabelRules : public ::testing::TestWithParam<LabelCase> {};

}  // namespace

TEST_P(PieLabelRules, ApartInsideLedAndPieKeepsItsSize) {
  const LabelCase& c = GetParam();
  std::optional<charttest::LoadedChart> loaded;
  if (c.corpusFile) {
    const QString dir = testenv::corpusDir("xlsx");
    MORVANE_REQUIRE(!dir.isEmpty(), "shared corpus");
    QString error;
    loaded = charttest::loadChart(QDir(dir).filePath(c.corpusFile), c.chart, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
  } else {
    loaded.emplace();
    loaded->model = charttest::chartFromXml(c.xml);
    loaded->theme = ooxml::chart::defaultTheme();
    loaded->sizePt = c.size;
    loaded->layout = charttest::layOut(loaded->model, c.size);
  }
  const render::chart::ChartLayout& l = loaded->layout;
  charttest::savePng(render::chart::chartToImage(loaded->model, loaded->theme, loaded->sizePt),
                     "chart-pie-labels", c.name);
  ASSERT_FALSE(l.placeholder);
  ASSERT_GE(l.dataLabels.size(), 3u);
  int leaders = 0;
  for (size_t i = 0; i < l.dataLabels.size(); ++i) {
    const render::chart::DataLabelLayout& d = l.dataLabels[i];
    SCOPED_TRACE(d.text.toStdString());
    const QRectF r = d.rect();
    EXPECT_TRUE(l.chartArea.adjusted(-0.5, -0.5, 0.5, 0.5).contains(r));
    EXPECT_FALSE(l.legendRect.intersects(r)) << "over the legend";
    for (size_t j = i + 1; j < l.dataLabels.size(); ++j) {
      const QRectF both = r.intersected(l.dataLabels[j].rect());
      EXPECT_FALSE(both.width() > 0.5 && both.height() > 0.5)
          << "over " << l.dataLabels[j].text.toStdString();
    }
    const QPainterPath slice = sliceShape(l, d);
    ASSERT_FALSE(slice.isEmpty());
    if (distance(slice, r) > 8) {
      ASSERT_EQ(d.leader.size(), 2) << "a label away from its slice without a leader line";
    }
    if (d.leader.isEmpty()) continue;
    ++leaders;
    EXPECT_LT(distance(slice, QRectF(d.leader.front(), QSizeF(0, 0)).adjusted(-2, -2, 2, 2)), 0.01);
    EXPECT_TRUE(onBoundary(d.leader.back(), r));
  }
  EXPECT_GE(leaders, c.minLeaders);
  // The legend's entries stay in its box, however long their names.
  for (const render::chart::LegendEntry& e : l.legend)
    EXPECT_LE(render::chart::measureText(l.legendStyle, e.text).width(), e.textRect.width() + 0.5)
        << e.text.toStdString();
  EXPECT_GE(pieDiameter(l), 0.5 * std::min(l.plotArea.width(), l.plotArea.height()));
}

INSTANTIATE_TEST_SUITE_P(
    Pies, PieLabelRules,
    ::testing::Values(
        LabelCase{"poi3DDragged", "poi_pie3d_sheets_with_spaces.xlsx", 0, {}, {}, 3},
        LabelCase{"poi3DDraggedSecond", "poi_pie3d_sheets_with_spaces.xlsx", 1, {}, {}, 3},
        LabelCase{
            "bestFitThinSlices", nullptr, 0, pie("pieChart", 12, true, kBestFit), {360, 216}, 4},
        LabelCase{"outEndCrowded", nullptr, 0, pie("pieChart", 16, false, kOutEnd), {360, 216}, 0},
        LabelCase{
            "bestFitSmallChart", nullptr, 0, pie("pieChart", 6, true, kBestFit), {260, 170}, 2},
        LabelCase{"bestFit3D", nullptr, 0, pie("pie3DChart", 12, true, kBestFit), {360, 216}, 4},
        LabelCase{"bestFitLegendRight",
                  nullptr,
                  0,
                  pie("pieChart", 12, true, kBestFit) + kLegend.arg("r"),
                  {360, 216},
                  4},
        LabelCase{"outEndLegendTop",
                  nullptr,
                  0,
                  pie("pie3DChart", 16, false, kOutEnd) + kLegend.arg("t"),
                  {360, 216},
                  0},
        LabelCase{"outEndLegendLeft",
                  nullptr,
                  0,
                  pie("pieChart", 8, true, kOutEnd) + kLegend.arg("l"),
                  {300, 200},
                  0},
        LabelCase{"draggedBeyondTheChart",
                  nullptr,
                  0,
                  pie("pieChart", 5, false, kDragged),
                  {360, 216},
                  1},
        LabelCase{"doughnutDragged",
                  nullptr,
                  0,
                  pie("doughnutChart", 5, false, kDragged, "<c:holeSize val=\"50\"/>"),
                  {360, 216},
                  1}),
    [](const auto& info) { return std::string(info.param.name); });

// Dragged labels of other kinds move from their automatic place by fractions of the chart,
// or stand at the chart position edge mode gives.
TEST(DraggedLabels, MoveByTheirLayout) {
  const QSizeF size(360, 216);
  const struct {
    const char* group;
    const char* layout;
    QPointF expected;  // a shift in fractions of the chart, or edge mode's top left corner
    bool edge;
  } cases[] = {
      {"barChart><c:barDir val=\"col\"/",
       "<c:x val=\"0.1\"/><c:y val=\"-0.05\"/>",
       {0.1, -0.05},
       false},
      {"lineChart", "<c:x val=\"-0.2\"/><c:y val=\"0.1\"/>", {-0.2, 0.1}, false},
      {"lineChart",
       "<c:xMode val=\"edge\"/><c:yMode val=\"edge\"/><c:x val=\"0.5\"/><c:y val=\"0.25\"/>",
       {0.5, 0.25},
       true},
      // In 3-D scenes, from where the label stands on the projected bar, cone or ribbon.
      {"bar3DChart><c:barDir val=\"col\"/",
       "<c:x val=\"0.1\"/><c:y val=\"0.05\"/>",
       {0.1, 0.05},
       false},
      {"bar3DChart><c:barDir val=\"bar\"/><c:shape val=\"cone\"/",
       "<c:x val=\"-0.1\"/><c:y val=\"0.05\"/>",
       {-0.1, 0.05},
       false},
      {"line3DChart",
       "<c:xMode val=\"edge\"/><c:yMode val=\"edge\"/><c:x val=\"0.5\"/><c:y val=\"0.25\"/>",
       {0.5, 0.25},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layout);
    const QString group = c.group, close = group.left(group.indexOf('>'));
    auto chart = [&](const QString& dLbl) {
      return charttest::chartFromXml(
          QString(
              "<c:plotArea><c:%1>%2<c:axId val=\"1\"/><c:axId val=\"2\"/></c:%3><c:catAx><c:axId "
              "val=\"1\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId val=\"2\"/><c:crossAx "
              "val=\"1\"/></c:valAx></c:plotArea>")
              .arg(group,
                   charttest::series(0, "s", charttest::strRef({"a", "b", "c"}),
                                     charttest::numRef({3, 5, 4}),
                                     "<c:dLbls>" + dLbl + "<c:showVal val=\"1\"/></c:dLbls>"),
                   close));
    };
    const auto plain = charttest::layOut(chart(""), size);
    const auto dragged = charttest::layOut(
        chart(QString("<c:dLbl><c:idx val=\"1\"/><c:layout><c:manualLayout>%1</c:manualLayout>"
                      "</c:layout><c:showVal val=\"1\"/></c:dLbl>")
                  .arg(c.layout)),
        size);
    ASSERT_EQ(dragged.dataLabels.size(), 3u);
    const QPointF at = c.edge ? dragged.dataLabels[1].rect().topLeft()
                              : dragged.dataLabels[1].center - plain.dataLabels[1].center;
    EXPECT_NEAR(at.x(), c.expected.x() * size.width(), 0.01);
    EXPECT_NEAR(at.y(), c.expected.y() * size.height(), 0.01);
    EXPECT_EQ(dragged.dataLabels[0].center, plain.dataLabels[0].center);
  }
}

// A pie's whole-percent labels add up to 100: the largest shares, the first of equal ones
// first, give or take the odd percent; a finer format shows the shares as they are.
TEST(PieLabels, WholePercentsAddUpToAHundred) {
  struct Case {
    std::vector<std::optional<double>> values;
    QString format;
    QStringList shown;
  };
  const Case cases[] = {
      {{2, 3, 3}, "", {"25%", "37%", "38%"}},
      {{1, 1, 1}, "", {"34%", "33%", "33%"}},
      {{255, 255, 490}, "", {"26%", "26%", "48%"}},
      {{1, 1, 1},
       "<c:numFmt formatCode=\"0.0%\" sourceLinked=\"0\"/>",
       {"33.3%", "33.3%", "33.3%"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.join(' ').toStdString());
    const render::chart::ChartLayout l = charttest::layOut(charttest::chartFromXml(
        "<c:plotArea><c:pieChart><c:varyColors val=\"1\"/>" +
        charttest::series(
            0, "s", charttest::strRef({"a", "b", "c"}), charttest::numRef(c.values),
            "<c:dLbls>" + c.format + "<c:showVal val=\"0\"/><c:showPercent val=\"1\"/></c:dLbls>") +
        "</c:pieChart></c:plotArea>"));
    QStringList texts;
    for (const render::chart::DataLabelLayout& d : l.dataLabels) texts << d.text;
    EXPECT_EQ(texts, c.shown);
  }
}
