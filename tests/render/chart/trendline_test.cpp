// Trendline fits and error-bar amounts against values worked out by hand.
#include "render/chart/trendline.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace morvane;

namespace {

ooxml::chart::Trendline line(const char* type, int order = 2) {
  ooxml::chart::Trendline t;
  t.type = type;
  t.order = order;
  return t;
}

TEST(Trendline, FitsRecoverExactCurves) {
  const std::vector<double> xs{1, 2, 3, 4, 5};
  std::vector<double> linear, cubic, expo, power, logarithmic;
  for (double x : xs) {
    linear.push_back(3 * x - 2);
    cubic.push_back(x * x * x - 4 * x + 1);
    expo.push_back(2 * std::exp(0.5 * x));
    power.push_back(3 * std::pow(x, 1.5));
    logarithmic.push_back(2 * std::log(x) + 7);
  }
  const auto l = render::chart::fitTrendline(line("linear"), xs, linear);
  ASSERT_TRUE(l.valid);
  EXPECT_NEAR(l.at(10), 28, 1e-9);
  const auto c = render::chart::fitTrendline(line("poly", 3), xs, cubic);
  ASSERT_TRUE(c.valid);
  EXPECT_NEAR(c.at(6), 216 - 24 + 1, 1e-6);
  EXPECT_NEAR(render::chart::fitTrendline(line("exp"), xs, expo).at(6), 2 * std::exp(3.0), 1e-6);
  EXPECT_NEAR(render::chart::fitTrendline(line("power"), xs, power).at(4), 24, 1e-6);
  EXPECT_NEAR(render::chart::fitTrendline(line("log"), xs, logarithmic).at(std::exp(1.0)), 9, 1e-9);
}

TEST(Trendline, ImpossibleFitsAreInvalid) {
  EXPECT_FALSE(render::chart::fitTrendline(line("linear"), {1}, {1}).valid);
  EXPECT_FALSE(render::chart::fitTrendline(line("poly", 4), {1, 2, 3}, {1, 2, 3}).valid);
  EXPECT_FALSE(render::chart::fitTrendline(line("exp"), {1, 2}, {-1, 0}).valid);
  EXPECT_FALSE(render::chart::fitTrendline(line("linear"), {2, 2, 2}, {1, 2, 3}).valid);
  EXPECT_TRUE(std::isnan(render::chart::TrendlineFit().at(1)));
  EXPECT_EQ(render::chart::movingAverage({1, 2, 3, 4}, 2), (std::vector<double>{1.5, 2.5, 3.5}));
  EXPECT_TRUE(render::chart::movingAverage({1}, 3).empty());
}

TEST(ErrorBars, AmountsPerValueType) {
  const std::vector<std::optional<double>> values{10, 40, 50, 20, std::nullopt, 10, 50};
  ooxml::chart::ErrorBars bars;
  bars.valueType = "stdErr";
  const auto [plus, minus] = render::chart::errorAmounts(bars, values, 0);
  EXPECT_NEAR(plus, std::sqrt(360.0) / std::sqrt(6.0), 1e-9);  // the blank does not count
  EXPECT_DOUBLE_EQ(minus, plus);
  bars.valueType = "percentage";
  bars.value = 10;
  bars.barType = "plus";
  EXPECT_EQ(render::chart::errorAmounts(bars, values, 2), std::make_pair(5.0, 0.0));
  bars.valueType = "fixedVal";
  bars.value = 3;
  bars.barType = "minus";
  EXPECT_EQ(render::chart::errorAmounts(bars, values, 2), std::make_pair(0.0, 3.0));
  bars.valueType = "stdDev";
  bars.value = 2;
  bars.barType = "both";
  EXPECT_NEAR(render::chart::errorAmounts(bars, values, 1).first, 2 * std::sqrt(360.0), 1e-9);
  EXPECT_EQ(render::chart::errorAmounts(bars, {1.0}, 0), std::make_pair(0.0, 0.0));
}

}  // namespace
