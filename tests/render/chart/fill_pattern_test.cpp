// Pattern fills: the preset bitmaps, and the fidelity set's pattern chart drawn with the same
// two colours in the same shares as the program's screenshot.
#include "fidelity_fixture.h"

#include "render/chart/chart_renderer.h"
#include "render/chart/fill_pattern.h"
#include "support/test_env.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <bit>

using namespace morvane;

namespace {

int setBits(const std::array<std::uint8_t, 8>& bits) {
  int n = 0;
  for (std::uint8_t row : bits) n += std::popcount(row);
  return n;
}

TEST(FillPattern, PercentPresetsSetTheirShareOfPixels) {
  EXPECT_EQ(setBits(render::chart::patternBits("pct5")), 3);
  EXPECT_EQ(setBits(render::chart::patternBits("pct25")), 16);
  EXPECT_EQ(setBits(render::chart::patternBits("pct50")), 32);
  EXPECT_EQ(setBits(render::chart::patternBits("pct90")), 58);
  // Evenly spread: each 4 x 4 quarter of the tile holds a quarter of the pixels.
  for (const char* name : {"pct25", "pct50", "pct75"}) {
    const auto bits = render::chart::patternBits(name);
    const int total = setBits(bits);
    for (int qy = 0; qy < 2; ++qy)
      for (int qx = 0; qx < 2; ++qx) {
        int n = 0;
        for (int y = 4 * qy; y < 4 * qy + 4; ++y)
          n += std::popcount(std::uint8_t(bits[size_t(y)] & (qx ? 0x0F : 0xF0)));
        EXPECT_EQ(4 * n, total) << name << " quarter " << qx << "," << qy;
      }
  }
}

TEST(FillPattern, NamedPresetsAreTheirOwnAndUnknownOnesFallBack) {
  const auto half = render::chart::patternBits("pct50");
  for (const char* name : {"horz", "vert", "ltHorz", "dkVert", "narHorz", "dashVert", "cross",
                           "dnDiag", "upDiag", "ltUpDiag", "wdDnDiag", "dashUpDiag", "diagCross",
                           "smCheck", "lgCheck", "smGrid", "dotGrid", "smConfetti", "lgConfetti",
                           "horzBrick", "diagBrick", "solidDmnd", "openDmnd", "dotDmnd", "plaid",
                           "sphere", "weave", "divot", "shingle", "wave", "trellis", "zigZag"})
    EXPECT_NE(render::chart::patternBits(name), half) << name;
  EXPECT_EQ(render::chart::patternBits("noSuchPattern"), half);
  EXPECT_EQ(render::chart::patternBits("pct"), half);
  EXPECT_EQ(render::chart::patternBits("pct500"), half);
  // Upward diagonals mirror the downward ones: the first row's pixel moves to the far end.
  EXPECT_EQ(render::chart::patternBits("dnDiag")[0], 0x80);
  EXPECT_EQ(render::chart::patternBits("upDiag")[0], 0x01);
  // Horizontal bricks: a mortar line every fourth row, the joints of the two courses apart.
  const auto brick = render::chart::patternBits("horzBrick");
  EXPECT_EQ(brick[0], 0xFF);
  EXPECT_EQ(brick[4], 0xFF);
  EXPECT_NE(brick[1], brick[5]);
}

// Share of `colour` among the pixels of `area` that are `colour` or `other`.
double share(const QImage& image, const QRect& area, QRgb colour, QRgb other, int* counted) {
  int a = 0, b = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y) & 0xFFFFFF;
      a += p == (colour & 0xFFFFFF);
      b += p == (other & 0xFFFFFF);
    }
  *counted = a + b;
  return a + b ? double(a) / (a + b) : 0;
}

TEST(FillPattern, PatternChartShowsBothColoursLikeTheProgram) {
  MORVANE_REQUIRE(!testenv::fidelityDir().isEmpty(), "fidelity set");
  const QDir dir(testenv::fidelityDir());
  auto chart = charttest::loadChart(dir.filePath("chart_pattern.xlsx"), 0);
  ASSERT_TRUE(chart);
  const QImage reference =
      QImage(dir.filePath("chart_pattern.png")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(reference.isNull());
  QImage ours = render::chart::chartToImage(chart->model, chart->theme, chart->sizePt)
                    .convertToFormat(QImage::Format_ARGB32);
  // The shingle columns: dark brown on light brown; the bricks: dark red on pink.
  const std::pair<QRgb, QRgb> fills[] = {{qRgb(0x80, 0x40, 0x00), qRgb(0xC6, 0x8C, 0x53)},
                                        {qRgb(0xB3, 0x00, 0x00), qRgb(0xFF, 0x66, 0x66)}};
  for (const auto& [fg, bg] : fills) {
    int theirsCount = 0, oursCount = 0;
    const double theirs = share(reference, reference.rect(), fg, bg, &theirsCount);
    const double mine = share(ours, ours.rect(), fg, bg, &oursCount);
    ASSERT_GT(theirsCount, 1000);
    EXPECT_GT(oursCount, 500) << "the pattern's own colours are drawn, not a blend";
    EXPECT_NEAR(mine, theirs, 0.05) << qRed(fg) << "," << qGreen(fg) << "," << qBlue(fg);
  }
  ours.save(QDir(testenv::outputDir("chart-fidelity")).filePath("pattern_anchor_size.png"));
}

}  // namespace
