// Charts drawn into the EMF device stay vectors and text: the records carry the title,
// labels and legend as text, the shapes as polygons, lines and rectangles, and no bitmap.
#include "fidelity_fixture.h"

#include "emf/emf_device.h"
#include "emf/emf_player.h"
#include "emf/emf_format.h"
#include "emf/emf_records.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

using namespace morvane;

namespace {

struct Drawn {
  std::vector<emf::EmfRecord> records;
  QStringList texts;
  int count(quint32 type) const {
    int n = 0;
    for (const emf::EmfRecord& r : records) n += r.type == type ? 1 : 0;
    return n;
  }
  int shapes() const {
    using namespace emf::record;
    int n = 0;
    for (quint32 t : {Polygon, Polygon16, PolyPolygon, PolyPolygon16, Rectangle, Ellipse, Polyline,
                      Polyline16, PolyPolyline, PolyPolyline16, PolyBezier, LineTo})
      n += count(t);
    return n;
  }
};

std::optional<Drawn> drawToEmf(const QString& name) {
  auto chart = charttest::loadChart(QDir(testenv::fidelityDir()).filePath(name + ".xlsx"), 0);
  if (!chart) return std::nullopt;
  emf::EmfDevice device(chart->sizePt);
  {
    QPainter painter(&device);
    painter.scale(96.0 / 72.0, 96.0 / 72.0);
    render::chart::drawChart(painter, QRectF(QPointF(0, 0), chart->sizePt), chart->model,
                             chart->theme);
  }
  const QByteArray bytes = device.finish();
  // Kept next to the gallery's PNGs for people to compare.
  emf::rasterizeEmf(bytes, QSize(640, 384)).save(QDir(testenv::outputDir("chart-emf")).filePath(name + ".png"));
  auto records = emf::parseEmfRecords(bytes);
  if (!records) return std::nullopt;
  Drawn d;
  d.records = *records;
  for (const emf::EmfRecord& r : d.records)
    if (!r.text.isEmpty()) d.texts << r.text;
  return d;
}

TEST(ChartEmf, ColumnChartIsTextAndVectors) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  auto d = drawToEmf("chart_column1");
  ASSERT_TRUE(d) << "the metafile must parse";
  const QString all = d->texts.join('|');
  for (const char* text : {"Results of sample analysis", "Sample length (mm)", "Test number",
                           "Batch 1", "Batch 2", "80", "7"})
    EXPECT_TRUE(all.contains(text)) << text << " in " << all.toStdString();
  EXPECT_GE(d->shapes(), 12 + 9) << "twelve columns and nine gridlines at least";
  EXPECT_EQ(d->count(emf::record::StretchDiBits), 0);
}

TEST(ChartEmf, PieAndLineChartsStayVectors) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  for (const char* name : {"chart_pie1", "chart_line1", "chart_scatter4", "chart_radar3"}) {
    auto d = drawToEmf(name);
    ASSERT_TRUE(d) << name;
    EXPECT_GE(d->shapes(), 3) << name;
    EXPECT_EQ(d->count(emf::record::StretchDiBits), 0) << name;
    EXPECT_FALSE(d->texts.isEmpty()) << name;
  }
  auto pie = drawToEmf("chart_pie1");
  ASSERT_TRUE(pie);
  EXPECT_TRUE(pie->texts.contains("Popular Pie Types"));
  EXPECT_TRUE(pie->texts.contains("Cherry"));
}

}  // namespace
