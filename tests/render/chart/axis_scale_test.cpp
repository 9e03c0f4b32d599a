// The program's automatic axis bounds on data ranges whose pictures we know, and its edges.
#include "render/chart/axis_scale.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace morvane;

namespace {

render::chart::AxisScale scale(double lo, double hi, int maxIntervals = 9) {
  render::chart::ScaleRequest r;
  r.dataMin = lo;
  r.dataMax = hi;
  r.hasData = true;
  r.maxIntervals = maxIntervals;
  return render::chart::autoScale(r);
}

void expectScale(const render::chart::AxisScale& s, double min, double max, double unit) {
  EXPECT_DOUBLE_EQ(s.min, min);
  EXPECT_DOUBLE_EQ(s.max, max);
  EXPECT_DOUBLE_EQ(s.majorUnit, unit);
}

TEST(AxisScale, PositiveDataStartsAtZeroWithHeadroom) {
  expectScale(scale(10, 70), 0, 80, 10);
  expectScale(scale(10, 40), 0, 45, 5);
  expectScale(scale(40, 120, 8), 0, 140, 20);
  expectScale(scale(0.5, 7), 0, 8, 1);
  // The stacked areas of chart_area2: nine steps of 10 do not fit where eight may.
  expectScale(scale(2, 80, 8), 0, 100, 20);
  expectScale(scale(2, 80, 9), 0, 90, 10);
  // 5 % headroom pushes a maximum on a unit to the next one.
  expectScale(scale(0, 100, 6), 0, 120, 20);
}

TEST(AxisScale, DataFarAboveZeroGetsAFloor) {
  const render::chart::AxisScale s = scale(950, 1000);
  EXPECT_GT(s.min, 0);
  EXPECT_LE(s.min, 950);
  EXPECT_GE(s.max, 1000);
  EXPECT_LE((s.max - s.min) / s.majorUnit, 9 + 1e-9);
}

TEST(AxisScale, NegativeAndMixedData) {
  expectScale(scale(-70, -10), -80, 0, 10);
  const render::chart::AxisScale mixed = scale(-20, 50);
  EXPECT_DOUBLE_EQ(mixed.min, -30);
  EXPECT_DOUBLE_EQ(mixed.max, 60);
  EXPECT_DOUBLE_EQ(mixed.majorUnit, 10);
}

TEST(AxisScale, PercentStackedStopsAtOneHundredPercent) {
  render::chart::ScaleRequest r;
  r.dataMin = 0.2;
  r.dataMax = 1.0;
  r.hasData = true;
  r.percentStacked = true;
  expectScale(render::chart::autoScale(r), 0, 1, 0.2);
  r.dataMin = -0.4;
  const render::chart::AxisScale both = render::chart::autoScale(r);
  EXPECT_DOUBLE_EQ(both.min, -1);
  EXPECT_DOUBLE_EQ(both.max, 1);
}

TEST(AxisScale, FixedValuesWin) {
  render::chart::ScaleRequest r;
  r.dataMin = 3;
  r.dataMax = 97;
  r.hasData = true;
  r.fixedMin = 10;
  r.fixedMajor = 15;
  const render::chart::AxisScale s = render::chart::autoScale(r);
  EXPECT_DOUBLE_EQ(s.min, 10);
  EXPECT_DOUBLE_EQ(s.majorUnit, 15);
  EXPECT_DOUBLE_EQ(s.max, 115);
  EXPECT_EQ(s.majorTicks().front(), 10);
  EXPECT_EQ(s.majorTicks().back(), 115);
}

TEST(AxisScale, DegenerateRanges) {
  render::chart::ScaleRequest empty;
  expectScale(render::chart::autoScale(empty), 0, 1, 0.2);
  expectScale(scale(0, 0), 0, 1, 0.2);
  expectScale(scale(5, 5), 0, 6, 1);
  const render::chart::AxisScale tiny = scale(0.0001, 0.0003);
  EXPECT_GT(tiny.max, 0.0003 - 1e-12);
  EXPECT_GT(tiny.majorUnit, 0);
  // A hostile fixed unit never yields a runaway tick list.
  render::chart::ScaleRequest r;
  r.dataMax = 1e12;
  r.hasData = true;
  r.fixedMajor = 1e-6;
  EXPECT_LE(render::chart::autoScale(r).majorTicks().size(), 1001u);
}

TEST(AxisScale, TicksAvoidFloatingPointNoise) {
  const render::chart::AxisScale s = scale(0.05, 0.7);
  for (double t : s.majorTicks()) EXPECT_DOUBLE_EQ(t, std::round(t / s.majorUnit) * s.majorUnit);
  EXPECT_DOUBLE_EQ(s.majorTicks()[3], 0.3);
}

TEST(AxisScale, LogarithmicAxesUsePowersOfTheBase) {
  render::chart::ScaleRequest r;
  r.dataMin = 3;
  r.dataMax = 4500;
  r.hasData = true;
  r.logBase = 10;
  const render::chart::AxisScale s = render::chart::autoScale(r);
  EXPECT_DOUBLE_EQ(s.min, 1);
  EXPECT_DOUBLE_EQ(s.max, 10000);
  EXPECT_EQ(s.majorTicks(), (std::vector<double>{1, 10, 100, 1000, 10000}));
  EXPECT_DOUBLE_EQ(s.fraction(100), 0.5);
  EXPECT_LT(s.fraction(-1), 0);
}

}  // namespace
