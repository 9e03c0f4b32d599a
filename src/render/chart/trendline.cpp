#include "render/chart/trendline.h"

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

// Solves the normal equations of a polynomial fit by Gaussian elimination with pivoting.
std::optional<std::vector<double>> polyFit(const std::vector<double>& xs,
                                           const std::vector<double>& ys, int order) {
  const int n = order + 1;
  if (int(xs.size()) < n) return std::nullopt;
  std::vector<std::vector<double>> m(static_cast<size_t>(n), std::vector<double>(static_cast<size_t>(n) + 1, 0));
  for (size_t k = 0; k < xs.size(); ++k) {
    std::vector<double> pw(size_t(2 * n), 1);
    for (size_t p = 1; p < pw.size(); ++p) pw[p] = pw[p - 1] * xs[k];
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) m[size_t(r)][size_t(c)] += pw[size_t(r + c)];
      m[size_t(r)][size_t(n)] += pw[size_t(r)] * ys[k];
    }
  }
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r)
      if (std::abs(m[size_t(r)][size_t(col)]) > std::abs(m[size_t(pivot)][size_t(col)])) pivot = r;
    if (std::abs(m[size_t(pivot)][size_t(col)]) < 1e-12) return std::nullopt;
    std::swap(m[size_t(col)], m[size_t(pivot)]);
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      const double f = m[size_t(r)][size_t(col)] / m[size_t(col)][size_t(col)];
      for (int c = col; c <= n; ++c) m[size_t(r)][size_t(c)] -= f * m[size_t(col)][size_t(c)];
    }
  }
  std::vector<double> coef(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) coef[size_t(r)] = m[size_t(r)][size_t(n)] / m[size_t(r)][size_t(r)];
  for (double c : coef)
    if (!std::isfinite(c)) return std::nullopt;
  return coef;
}

}  // namespace

double TrendlineFit::at(double x) const {
  if (!valid) return std::nan("");
  if (type == "exp") return coefficients[0] * std::exp(coefficients[1] * x);
  if (type == "log") return coefficients[0] * std::log(x) + coefficients[1];
  if (type == "power") return coefficients[0] * std::pow(x, coefficients[1]);
  double y = 0, p = 1;
  for (double c : coefficients) y += c * p, p *= x;
  return y;
}

TrendlineFit fitTrendline(const ooxml::chart::Trendline& line, const std::vector<double>& xs,
                          const std::vector<double>& ys) {
  TrendlineFit fit;
  fit.type = line.type.isEmpty() ? QString("linear") : line.type;
  fit.period = line.period;
  std::vector<double> fx, fy;
  for (size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
    double x = xs[i], y = ys[i];
    if (fit.type == "log" || fit.type == "power") {
      if (x <= 0) continue;
      x = std::log(x);
    }
    if (fit.type == "exp" || fit.type == "power") {
      if (y <= 0) continue;
      y = std::log(y);
    }
    fx.push_back(x);
    fy.push_back(y);
  }
  const int order = fit.type == "poly" ? std::clamp(line.order, 2, 6) : 1;
  if (fit.type == "movingAvg") return fit;
  const auto coef = polyFit(fx, fy, order);
  if (!coef) return fit;
  fit.valid = true;
  if (fit.type == "exp" || fit.type == "power") fit.coefficients = {std::exp((*coef)[0]), (*coef)[1]};
  else if (fit.type == "log") fit.coefficients = {(*coef)[1], (*coef)[0]};
  else fit.coefficients = *coef;
  return fit;
}

std::vector<double> movingAverage(const std::vector<double>& ys, int period) {
  std::vector<double> out;
  if (period < 1) return out;
  for (size_t i = size_t(period - 1); i < ys.size(); ++i) {
    double sum = 0;
    for (size_t k = i + 1 - size_t(period); k <= i; ++k) sum += ys[k];
    out.push_back(sum / period);
  }
  return out;
}

std::pair<double, double> errorAmounts(const ooxml::chart::ErrorBars& bars,
                                       const std::vector<std::optional<double>>& values, int i) {
  double amount = 0;
  const QString& t = bars.valueType;
  if (t == "cust") {
    return {std::abs(bars.plus.number(i).value_or(0)), std::abs(bars.minus.number(i).value_or(0))};
  }
  if (t == "percentage") {
    amount = i < int(values.size()) && values[size_t(i)] ? std::abs(*values[size_t(i)]) * bars.value / 100 : 0;
  } else if (t == "stdDev" || t == "stdErr") {
    double sum = 0, sq = 0;
    int n = 0;
    for (const auto& v : values)
      if (v) sum += *v, ++n;
    if (n < 2) return {0, 0};
    const double mean = sum / n;
    for (const auto& v : values)
      if (v) sq += (*v - mean) * (*v - mean);
    const double sd = std::sqrt(sq / (n - 1));
    amount = t == "stdErr" ? sd / std::sqrt(double(n)) : sd * bars.value;
  } else {
    amount = bars.value;
  }
  const double plus = bars.barType == "minus" ? 0 : amount;
  const double minus = bars.barType == "plus" ? 0 : amount;
  return {plus, minus};
}

}  // namespace morvane::render::chart
