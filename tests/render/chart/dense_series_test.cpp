// Series denser than the device's pixels: the thinned line keeps each pixel column's extremes
// and ends, markers keep the one drawn on top, and sparse series are left alone.
#include "render/chart/dense_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

using namespace morvane::render::chart::detail;

namespace {

// Per device pixel column, the lowest and highest y of the path's points.
std::map<int, std::pair<double, double>> columnExtremes(const QPainterPath& path) {
  std::map<int, std::pair<double, double>> out;
  for (int i = 0; i < path.elementCount(); ++i) {
    const auto e = path.elementAt(i);
    auto [it, added] = out.try_emplace(int(std::floor(e.x)), e.y, e.y);
    it->second = {std::min(it->second.first, e.y), std::max(it->second.second, e.y)};
  }
  return out;
}

}  // namespace

TEST(DenseSeries, ThinnedLineKeepsEachColumnsExtremesAndEnds) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> step(-1, 1);
  QPainterPath path;
  double y = 50;
  path.moveTo(0, y);
  for (int i = 1; i < 20000; ++i) path.lineTo(i * 0.01, y += step(random));  // 100 points a column
  path.moveTo(300, 0);  // a second run, far from the first
  path.lineTo(300.5, 10);
  const QPainterPath thin = thinnedLine(path, QTransform());
  EXPECT_LE(thin.elementCount(), 4 * 200 + 2);
  EXPECT_EQ(columnExtremes(thin), columnExtremes(path));
  EXPECT_EQ(thin.elementAt(0).x, 0);
  EXPECT_TRUE(thin.elementAt(thin.elementCount() - 2).isMoveTo());
  EXPECT_EQ(thin.currentPosition(), QPointF(300.5, 10));
}

TEST(DenseSeries, SparseAndCurvedLinesAreDrawnAsTheyAre) {
  QPainterPath sparse;
  sparse.moveTo(0, 0);
  for (int i = 1; i < 100; ++i) sparse.lineTo(i, i % 7);
  QPainterPath curved;
  curved.moveTo(0, 0);
  for (int i = 1; i < 1000; ++i) curved.cubicTo(i * 0.001, 1, i * 0.001, 2, i * 0.001, 0);
  EXPECT_EQ(thinnedLine(sparse, QTransform()), sparse);
  EXPECT_EQ(thinnedLine(curved, QTransform()), curved);
  // At four times the resolution the same dense line has room for every point.
  QPainterPath dense;
  dense.moveTo(0, 0);
  for (int i = 1; i < 1000; ++i) dense.lineTo(i * 0.1, i % 3);
  EXPECT_LT(thinnedLine(dense, QTransform()).elementCount(), 500);
  EXPECT_EQ(thinnedLine(dense, QTransform::fromScale(40, 40)), dense);
}

TEST(DenseSeries, OnlyTheTopMarkerOfAPixelIsDrawn) {
  std::vector<QPointF> positions;
  for (int i = 0; i < 1000; ++i) positions.emplace_back((i % 10) + 0.5, 3.25);  // ten pixels
  positions.emplace_back(std::nan(""), 0);
  const auto shown = visibleMarkers(positions, QTransform());
  for (size_t i = 0; i < 1000; ++i) EXPECT_EQ(shown[i], i >= 990) << i;
  // Few markers, or plenty of room on the device: every one is drawn.
  EXPECT_EQ(visibleMarkers({{0, 0}, {1.5, 1}, {0.5, 0}}, QTransform()), std::vector<bool>(3, true));
  EXPECT_EQ(visibleMarkers(positions, QTransform::fromScale(1000, 1)),
            std::vector<bool>(1001, true));
}
