// Renders every chart of the shared corpus and fidelity workbooks to PNG for people to
// compare with the program's own pictures, and checks each picture is a real chart.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <cmath>
#include <optional>

#include "fidelity_fixture.h"
#include "inline_chart.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"
#include "workbook_charts.h"

using namespace morvane;

namespace {

// Every kind is drawn for real; only a chart without series may get the placeholder.
bool mustDraw(const ooxml::chart::ChartModel& chart) { return chart.seriesCount() > 0; }

int inkPixels(const QImage& image) {
  int ink = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2)
      if (qGray(image.pixel(x, y)) < 200) ++ink;
  return ink;
}

void renderFolder(const QString& dir, const QString& outDir, int& charts) {
  const QStringList files = QDir(dir).entryList({"*.xlsx", "*.xlsm"}, QDir::Files, QDir::Name);
  for (const QString& name : files) {
    auto package = ooxml::Package::open(QDir(dir).filePath(name));
    ASSERT_TRUE(package.ok()) << name.toStdString() << ": " << package.error().message.toStdString();
    const size_t count = charttest::findCharts(*package.value()).size();
    for (size_t n = 0; n < count; ++n) {
      SCOPED_TRACE((name + QString(" chart %1").arg(n + 1)).toStdString());
      QString error;
      // The 3-D set's workbooks have no caches: the cells fill them, as the host does.
      const auto chart = charttest::loadChart(QDir(dir).filePath(name), int(n), &error);
      ASSERT_TRUE(chart) << error.toStdString();
      if (mustDraw(chart->model)) {
        EXPECT_FALSE(chart->layout.placeholder) << chart->layout.placeholderReason.toStdString();
      }
      const QImage image = render::chart::chartToImage(chart->model, chart->theme, chart->sizePt);
      ASSERT_FALSE(image.isNull());
      EXPECT_GT(inkPixels(image), 50);
      const QString base =
          QFileInfo(name).completeBaseName() +
          (n > 0 || name.startsWith("chart_styles") ? QString("_%1").arg(n + 1) : QString());
      image.save(QDir(outDir).filePath(base + ".png"));
      ++charts;
    }
  }
}

TEST(ChartGallery, RendersEveryCorpusAndFidelityChart) {
  const QString corpus = testenv::corpusDir("xlsx");
  const QString fidelity = testenv::fidelityDir();
  const QString fidelity3d = testenv::fidelity3dDir();
  MORVANE_REQUIRE(!corpus.isEmpty() && !fidelity.isEmpty() && !fidelity3d.isEmpty(),
                  "shared corpus and fidelity sets");
  const QString out = testenv::outputDir("chart-gallery");
  int charts = 0;
  renderFolder(corpus, out, charts);
  renderFolder(fidelity, out, charts);
  renderFolder(fidelity3d, out, charts);
  renderFolder(QDir(fidelity3d).filePath("extra"), out, charts);
  EXPECT_GT(charts, 230);  // chart_styles alone holds 192, the 3-D set 32
}

}  // namespace

namespace {

// Where the doughnut's ring of a doughnut-with-pie chart lies: centre, inner and outer radius.
struct Ring {
  QPointF centre;
  double inner = 0, outer = 0;
};

std::optional<Ring> ringOf(const render::chart::ChartLayout& l, ooxml::chart::ChartKind kind,
                           const ooxml::chart::ChartModel& m) {
  for (const render::chart::SeriesGeometry& s : l.series)
    if (m.plotArea.groups[size_t(s.group)].kind == kind && !s.points.empty() &&
        s.points.front().valid)
      return Ring{s.points.front().center, s.points.front().innerRadius,
                  s.points.front().outerRadius};
  return std::nullopt;
}

QPointF onCircle(const Ring& r, double radius, double degreesFromNoon) {
  const double a = (degreesFromNoon - 90) * M_PI / 180;
  return r.centre + QPointF(std::cos(a), std::sin(a)) * radius;
}

}  // namespace

// A doughnut and a pie share one plot: the pie spans the ring's outer radius and lies over it,
// as the program's gauge picture shows (the ring through the pie's unfilled slices, the black
// needle slice over the ring up to its outer edge).
TEST(ChartGallery, PieOverDoughnutRing) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  QString error;
  const auto gauge = charttest::loadChart(
      QDir(testenv::fidelity3dDir()).filePath("openpyxl_gauge.xlsx"), 0, &error);
  ASSERT_TRUE(gauge) << error.toStdString();
  const auto ring = ringOf(gauge->layout, ooxml::chart::ChartKind::Doughnut, gauge->model);
  const auto pie = ringOf(gauge->layout, ooxml::chart::ChartKind::Pie, gauge->model);
  ASSERT_TRUE(ring && pie);
  EXPECT_NEAR(pie->outer, ring->outer, 0.01);
  EXPECT_GT(ring->inner, ring->outer * 0.4);
  const QImage image = render::chart::chartToImage(gauge->model, gauge->theme, gauge->sizePt);
  const double mid = (ring->inner + ring->outer) / 2;
  // The slices start at 270°: red 25, yellow 50, green 25 of 200; the needle 1 of 200 after 75.
  const struct {
    double angle, radius;
    QColor colour;
  } samples[] = {{292.5, mid, QColor(0xFF, 0x33, 0x00)},
                 {360, mid, QColor(0xFC, 0xF3, 0x05)},
                 {427.5, mid, QColor(0x1F, 0xB7, 0x14)},
                 {405.9, ring->outer - 1.5, Qt::black},
                 {180, mid, Qt::white}};
  for (const auto& s : samples) {
    SCOPED_TRACE(s.angle);
    EXPECT_TRUE(charttest::sameColour(charttest::pixelAt(image, onCircle(*ring, s.radius, s.angle)),
                                      s.colour, 40));
  }
}
