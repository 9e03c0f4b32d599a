// The program's automatic value-axis scaling: minimum, maximum and major unit from the data
// range, honouring whatever the axis fixes itself.
#pragma once

#include <optional>
#include <vector>

namespace morvane::render::chart {

struct AxisScale {
  double min = 0;
  double max = 1;
  double majorUnit = 0.2;
  double minorUnit = 0.04;
  std::optional<double> logBase;  // set for logarithmic axes (min/max are then powers)

  // Major tick values from min to max (for log axes: the powers of the base).
  std::vector<double> majorTicks() const;
  std::vector<double> minorTicks() const;
  // 0..1 position of `v` between min and max (log-scaled on log axes; may fall outside).
  double fraction(double v) const;
};

struct ScaleRequest {
  double dataMin = 0;
  double dataMax = 0;
  bool hasData = false;
  std::optional<double> fixedMin, fixedMax, fixedMajor, fixedMinor;
  std::optional<double> logBase;
  bool percentStacked = false;    // the axis of a 100 % stacked group: at most -1..1
  bool headroom = true;           // 5 % beyond the data (3-D charts end at the data's unit)
  // The most major intervals the axis length allows (labels must not crowd).
  int maxIntervals = 9;
};

// Success: a scale with min < max and a positive major unit dividing (max - min) into at
// most max(maxIntervals, 1) steps unless the caller fixed the unit. Never fails.
AxisScale autoScale(const ScaleRequest& request);

// The "nice" unit (1, 2 or 5 times a power of ten) at or above `roughUnit`.
double niceUnitAtLeast(double roughUnit);

}  // namespace morvane::render::chart
