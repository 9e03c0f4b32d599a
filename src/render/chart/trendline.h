// The statistics the program computes for series: trendline fits and error-bar amounts.
#pragma once

#include "ooxml/chart/chart_model.h"

#include <optional>
#include <vector>

namespace morvane::render::chart {

// A fitted trendline: its values at `x`. Empty when the fit is impossible (too few points,
// logarithms of non-positive values, a singular system).
struct TrendlineFit {
  QString type;
  std::vector<double> coefficients;   // polynomial (lowest power first) or a, b of the curve
  int period = 2;
  bool valid = false;
  double at(double x) const;
};

// Least-squares fit of `type` ("linear", "poly" with `order`, "exp", "log", "power") to the
// points (xs[i], ys[i]). Moving averages are not fitted (see movingAverage).
TrendlineFit fitTrendline(const ooxml::chart::Trendline& line, const std::vector<double>& xs,
                          const std::vector<double>& ys);
// The moving average of `period` points, one value per point from index period-1 on.
std::vector<double> movingAverage(const std::vector<double>& ys, int period);

// The amounts (above, below) of an error bar at point `i` of `values`, as the program
// computes them: fixed, percentage of the value, standard deviations, standard error
// (sample standard deviation over the square root of the count), or custom values.
std::pair<double, double> errorAmounts(const ooxml::chart::ErrorBars& bars,
                                       const std::vector<std::optional<double>>& values, int i);

}  // namespace morvane::render::chart
