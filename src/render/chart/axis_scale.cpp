#include "render/chart/axis_scale.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

// Rounds away the floating-point noise that adding units builds up (0.1 + 0.2), keeping
// twelve significant digits.
double tidy(double v, double unit) {
  if (std::abs(v) < unit * 1e-9) return 0.0;
  return QString::number(v, 'g', 12).toDouble();
}

double floorTo(double v, double unit) { return std::floor(v / unit + 1e-9) * unit; }
double ceilTo(double v, double unit) { return std::ceil(v / unit - 1e-9) * unit; }

AxisScale logScale(const ScaleRequest& r) {
  AxisScale s;
  const double base = *r.logBase;
  s.logBase = base;
  double lo = r.hasData && r.dataMin > 0 ? r.dataMin : 1;
  double hi = r.hasData && r.dataMax > 0 ? r.dataMax : base;
  const double lb = std::log(base);
  s.min = r.fixedMin && *r.fixedMin > 0 ? *r.fixedMin : std::pow(base, std::floor(std::log(lo) / lb + 1e-9));
  s.max = r.fixedMax && *r.fixedMax > s.min ? *r.fixedMax : std::pow(base, std::ceil(std::log(hi) / lb - 1e-9));
  if (s.max <= s.min) s.max = s.min * base;
  s.majorUnit = base;
  s.minorUnit = base;
  return s;
}

}  // namespace

double niceUnitAtLeast(double roughUnit) {
  if (!(roughUnit > 0) || !std::isfinite(roughUnit)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(roughUnit)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= roughUnit * (1 - 1e-9)) return m * power;
  return 10 * power;
}

AxisScale autoScale(const ScaleRequest& r) {
  if (r.logBase) return logScale(r);
  double lo = r.hasData ? r.dataMin : 0;
  double hi = r.hasData ? r.dataMax : 1;
  if (!std::isfinite(lo) || !std::isfinite(hi)) lo = 0, hi = 1;
  // Beyond this the span itself overflows.
  lo = std::clamp(lo, -1e300, 1e300);
  hi = std::clamp(hi, -1e300, 1e300);
  if (r.percentStacked) {
    lo = lo < 0 ? -1 : 0;
    hi = hi > 0 ? 1 : 0;
  }
  // No data, or nothing but zeros: the program shows 0 to 1.
  if (!r.hasData || (lo == 0 && hi == 0)) {
    lo = 0;
    hi = 1;
  }
  if (r.fixedMin) lo = std::min(lo, *r.fixedMin);
  if (r.fixedMax) hi = std::max(hi, *r.fixedMax);
  if (lo == hi) {
    if (lo == 0) hi = 1;
    else if (lo > 0) lo = 0;
    else hi = 0;
  }

  // The program starts a positive axis at zero unless the data sit high above it (the
  // minimum within the top sixth of the maximum), and mirrors that for negative data.
  double axisLo = lo, axisHi = hi;
  bool loFree = !r.fixedMin, hiFree = !r.fixedMax;
  if (r.fixedMin) axisLo = *r.fixedMin;
  else if (lo >= 0 && (hi - lo) / hi > 1.0 / 6.0) axisLo = 0;
  if (r.fixedMax) axisHi = *r.fixedMax;
  else if (hi <= 0 && (hi - lo) / -lo > 1.0 / 6.0) axisHi = 0;

  // Headroom: 5 % of the span on the free ends that do not sit at zero.
  const double span = axisHi - axisLo;
  const bool unitRange = (!r.hasData || (r.dataMin == 0 && r.dataMax == 0)) && axisLo == 0 && axisHi == 1;
  double paddedHi = axisHi, paddedLo = axisLo;
  if (r.headroom && hiFree && axisHi != 0 && !r.percentStacked && !unitRange)
    paddedHi = axisHi + 0.05 * span;
  if (r.headroom && loFree && axisLo != 0 && !r.percentStacked) paddedLo = axisLo - 0.05 * span;
  if (loFree && lo > 0 && axisLo != 0) paddedLo = std::max(0.0, lo - 0.5 * (hi - lo));
  if (hiFree && hi < 0 && axisHi != 0) paddedHi = std::min(0.0, hi + 0.5 * (hi - lo));

  const int maxIntervals = std::max(r.maxIntervals, 1);
  double unit = r.fixedMajor.value_or(0);
  if (!(unit > 0)) {
    unit = niceUnitAtLeast((paddedHi - paddedLo) / maxIntervals);
    for (int guard = 0; guard < 8; ++guard) {
      const double lo2 = loFree ? floorTo(paddedLo, unit) : paddedLo;
      const double hi2 = hiFree ? lo2 + ceilTo(paddedHi - lo2, unit) : paddedHi;
      if ((hi2 - lo2) / unit <= maxIntervals + 1e-9) break;
      unit = niceUnitAtLeast(unit * 1.000001);
    }
  }
  AxisScale s;
  s.majorUnit = unit;
  s.min = loFree ? tidy(floorTo(paddedLo, unit), unit) : paddedLo;
  // A fixed minimum off the unit grid keeps its ticks: the maximum counts units from it.
  s.max = hiFree ? tidy(s.min + ceilTo(paddedHi - s.min, unit), unit) : paddedHi;
  if (r.percentStacked) {
    if (loFree) s.min = std::max(s.min, lo);
    if (hiFree) s.max = std::min(s.max, hi);
  }
  if (s.max <= s.min) s.max = s.min + unit;
  // A hostile fixed unit must not produce millions of ticks.
  if ((s.max - s.min) / s.majorUnit > 1000) s.majorUnit = niceUnitAtLeast((s.max - s.min) / 1000);
  s.minorUnit = r.fixedMinor && *r.fixedMinor > 0 ? *r.fixedMinor : s.majorUnit / 5;
  if ((s.max - s.min) / s.minorUnit > 5000) s.minorUnit = s.majorUnit;
  return s;
}

std::vector<double> AxisScale::majorTicks() const {
  std::vector<double> ticks;
  if (logBase) {
    for (double v = min; v <= max * (1 + 1e-9) && ticks.size() < 400; v *= *logBase)
      ticks.push_back(v);
    return ticks;
  }
  const int n = int(std::floor((max - min) / majorUnit + 1e-9));
  for (int i = 0; i <= n && i <= 1000; ++i) ticks.push_back(tidy(min + i * majorUnit, majorUnit));
  return ticks;
}

std::vector<double> AxisScale::minorTicks() const {
  std::vector<double> ticks;
  if (logBase) {
    for (double v = min; v < max && ticks.size() < 4000; v *= *logBase)
      for (int k = 2; k < int(*logBase) && k < 10; ++k) ticks.push_back(v * k);
    return ticks;
  }
  const int n = int(std::floor((max - min) / minorUnit + 1e-9));
  for (int i = 0; i <= n && i <= 5000; ++i) ticks.push_back(tidy(min + i * minorUnit, minorUnit));
  return ticks;
}

double AxisScale::fraction(double v) const {
  if (logBase) {
    if (v <= 0) return -1;
    return (std::log(v) - std::log(min)) / (std::log(max) - std::log(min));
  }
  return (v - min) / (max - min);
}

}  // namespace morvane::render::chart
