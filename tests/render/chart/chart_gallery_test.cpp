// Renders every chart of the shared corpus and fidelity workbooks to PNG for people to
// compare with the program's own pictures, and checks each picture is a real chart.
#include "workbook_charts.h"

#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace morvane;

namespace {

// Kinds the renderer must draw for real (everything but surface charts).
bool mustDraw(const ooxml::chart::ChartModel& chart) {
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
    if (g.kind == ooxml::chart::ChartKind::Surface) return false;
  return chart.seriesCount() > 0;
}

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
    const ooxml::chart::Theme theme =
        ooxml::chart::readTheme(*package.value(), charttest::themePart(*package.value()));
    int n = 0;
    for (const charttest::ChartRef& ref : charttest::findCharts(*package.value())) {
      ++n;
      SCOPED_TRACE((name + " " + ref.chartPart).toStdString());
      auto chart = ooxml::chart::readChart(*package.value(), ref.chartPart);
      ASSERT_TRUE(chart.ok()) << chart.error().message.toStdString();
      const render::chart::ChartLayout layout =
          render::chart::layoutChart(chart.value(), theme, QRectF(QPointF(0, 0), ref.sizePt));
      if (mustDraw(chart.value())) {
        EXPECT_FALSE(layout.placeholder) << layout.placeholderReason.toStdString();
      }
      const QImage image = render::chart::chartToImage(chart.value(), theme, ref.sizePt);
      ASSERT_FALSE(image.isNull());
      EXPECT_GT(inkPixels(image), 50);
      const QString base = QFileInfo(name).completeBaseName() +
                           (n > 1 || name.startsWith("chart_styles") ? QString("_%1").arg(n) : QString());
      image.save(QDir(outDir).filePath(base + ".png"));
      ++charts;
    }
  }
}

TEST(ChartGallery, RendersEveryCorpusAndFidelityChart) {
  const QString corpus = testenv::corpusDir("xlsx");
  const QString fidelity = testenv::fidelityDir();
  MORVANE_REQUIRE(!corpus.isEmpty() && !fidelity.isEmpty(), "shared corpus and fidelity set");
  const QString out = testenv::outputDir("chart-gallery");
  int charts = 0;
  renderFolder(corpus, out, charts);
  renderFolder(fidelity, out, charts);
  EXPECT_GT(charts, 200);  // chart_styles alone holds 192
}

}  // namespace
