// Our 3-D and surface charts against the program's pictures of ../shared/fidelity-3d: the plot
// (walls, floor and series), the title and the legend found by the same pixel probe in both,
// as fractions of the chart size; and a contact sheet of ours
// beside theirs for people to look at (test-output/chart-fidelity-3d/contact-sheet.png).
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <tuple>

#include "fidelity_fixture.h"
#include "picture_probe.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using charttest::ChartInPicture;
using charttest::LegendSide;

struct Pair {
  ChartInPicture where;
  charttest::LoadedChart chart;
  QImage theirs;  // the reference picture cropped to the chart
  QImage ours;    // drawn at the picture's scale into the same size
};

bool isThreeD(const ooxml::chart::ChartModel& m) {
  for (const ooxml::chart::ChartGroup& g : m.plotArea.groups)
    if (g.is3D || g.kind == ooxml::chart::ChartKind::Surface) return true;
  return false;
}

LegendSide legendSide(const ooxml::chart::ChartModel& m) {
  if (!m.legend.present) return LegendSide::None;
  switch (m.legend.position) {
    case ooxml::chart::LegendPosition::Left:
      return LegendSide::Left;
    case ooxml::chart::LegendPosition::Top:
      return LegendSide::Top;
    case ooxml::chart::LegendPosition::Bottom:
      return LegendSide::Bottom;
    default:
      return LegendSide::Right;
  }
}

QImage drawOurs(const charttest::LoadedChart& c, QSize pixels, double scale) {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.scale(scale, scale);
  render::chart::drawChart(p, QRectF(0, 0, pixels.width() / scale, pixels.height() / scale),
                           c.model, c.theme);
  return image;
}

// The 3-D and surface pairs of the table, drawn.
std::vector<Pair> threeDPairs() {
  const QDir dir(testenv::fidelity3dDir());
  std::vector<Pair> out;
  for (const ChartInPicture& w : charttest::readChartRects(
           QStringLiteral(MORVANE_SOURCE_DIR "/tests/render/chart/fidelity3d_rects.tsv"))) {
    auto chart = charttest::loadChart(dir.filePath(w.picture + ".xlsx"), w.chart);
    EXPECT_TRUE(chart) << w.picture.toStdString();
    if (!chart || !isThreeD(chart->model)) continue;
    const QImage picture(dir.filePath(w.picture + ".png"));
    EXPECT_FALSE(picture.isNull()) << w.picture.toStdString();
    const QImage theirs = picture.copy(w.rect).convertToFormat(QImage::Format_ARGB32);
    out.push_back({w, *chart, theirs, drawOurs(*chart, w.rect.size(), w.pixelsPerPoint)});
  }
  return out;
}

QString name(const ChartInPicture& w) {
  return QString(w.picture).replace('/', '_') +
         (w.chart > 0 ? QString("_%1").arg(w.chart + 1) : QString());
}

QString edges(const std::optional<QRect>& r, const QRect& chart) {
  if (!r) return "   -                   ";
  const QRectF f = charttest::fractionOf(*r, chart);
  return QString::asprintf("%5.1f %5.1f %5.1f %5.1f", 100 * f.left(), 100 * f.top(),
                           100 * f.right(), 100 * f.bottom());
}

// The largest difference of the four edges, in percent of the chart's width or height.
double worstEdge(const QRect& a, const QRect& ca, const QRect& b, const QRect& cb) {
  const QRectF fa = charttest::fractionOf(a, ca), fb = charttest::fractionOf(b, cb);
  return 100 * std::max({std::abs(fa.left() - fb.left()), std::abs(fa.top() - fb.top()),
                         std::abs(fa.right() - fb.right()), std::abs(fa.bottom() - fb.bottom())});
}

// Ours beside theirs, one pair a row, each picture scaled to the same width.
QImage contactSheet(const std::vector<Pair>& pairs) {
  const int w = 480, gap = 12;
  std::vector<int> heights;
  int total = gap;
  for (const Pair& p : pairs) {
    heights.push_back(p.theirs.height() * w / p.theirs.width());
    total += heights.back() + gap;
  }
  QImage sheet(2 * w + 3 * gap, total, QImage::Format_RGB32);
  sheet.fill(QColor(0x80, 0x80, 0x80));
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  int y = gap;
  for (size_t i = 0; i < pairs.size(); ++i) {
    painter.drawImage(QRect(gap, y, w, heights[i]), pairs[i].ours);
    painter.drawImage(QRect(2 * gap + w, y, w, heights[i]), pairs[i].theirs);
    y += heights[i] + gap;
  }
  return sheet;
}

}  // namespace

// For every 3-D and surface chart of the set: the program's picture shows at least three edges
// of the plot (else the table's rectangle is wrong); ours matches the plot within 2 % and the
// title and legend within 1.5 % of the chart's size where the table checks them. Prints the
// edges (left top right bottom, % of the chart), ours then theirs, and keeps the side-by-side
// pictures.
TEST(Chart3DFidelity, LayoutNearThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  const std::vector<Pair> pairs = threeDPairs();
  EXPECT_GE(pairs.size(), 20u);
  const QString out = testenv::outputDir("chart-fidelity-3d");
  for (const Pair& p : pairs) {
    SCOPED_TRACE(name(p.where).toStdString());
    const LegendSide side = legendSide(p.chart.model);
    int oursEdges = 0, theirEdges = 0;
    const auto ours = charttest::probe3D(p.ours, p.ours.rect(), side, &oursEdges);
    const auto theirs = charttest::probe3D(p.theirs, p.theirs.rect(), side, &theirEdges);
    std::printf(
        "%-32s plot %s | %s  title %s | %s  legend %s | %s\n", qPrintable(name(p.where)),
        qPrintable(edges(ours.plot, ours.chart)), qPrintable(edges(theirs.plot, theirs.chart)),
        qPrintable(edges(ours.title, ours.chart)), qPrintable(edges(theirs.title, theirs.chart)),
        qPrintable(edges(ours.legend, ours.chart)), qPrintable(edges(theirs.legend, theirs.chart)));
    EXPECT_GE(theirEdges, 3);
    const QStringList checks = p.where.checks.split(',');
    if (checks.contains("plot")) {
      EXPECT_GE(oursEdges, 3);
      ASSERT_TRUE(ours.plot && theirs.plot);
      EXPECT_LE(worstEdge(*ours.plot, ours.chart, *theirs.plot, theirs.chart), 2.0);
    }
    for (const auto& [what, a, b] : {std::tuple{"title", ours.title, theirs.title},
                                     std::tuple{"legend", ours.legend, theirs.legend}}) {
      if (!checks.contains(what)) continue;
      ASSERT_TRUE(a && b) << what;
      EXPECT_LE(worstEdge(*a, ours.chart, *b, theirs.chart), 1.5) << what;
    }
  }
  contactSheet(pairs).save(QDir(out).filePath("contact-sheet.png"));
  for (const Pair& p : pairs) contactSheet({p}).save(QDir(out).filePath(name(p.where) + ".png"));
}
