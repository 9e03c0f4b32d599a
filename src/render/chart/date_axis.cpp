// Date axes: points placed by their dates in slots of the base time unit, and the major tick
// marks and labels at the major unit, as the program lays out a c:dateAx over numbers.
#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace morvane::render::chart::detail {

namespace {

enum class Unit { Days, Months, Years };

constexpr double kLastSerial = 2958465;  // 31 Dec 9999 in the 1900 system
constexpr int kMaxMajors = 1000;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Unit unitOf(const QString& name, Unit fallback) {
  if (name == "days") return Unit::Days;
  if (name == "months") return Unit::Months;
  if (name == "years") return Unit::Years;
  return fallback;
}

QString nameOf(Unit u) {
  switch (u) {
    case Unit::Days:
      return "days";
    case Unit::Months:
      return "months";
    case Unit::Years:
      return "years";
  }
  return "days";
}

// Mean length of a unit in days, for comparing steps of different units.
double daysIn(Unit u) {
  switch (u) {
    case Unit::Days:
      return 1;
    case Unit::Months:
      return 30.4375;
    case Unit::Years:
      return 365.25;
  }
  return 1;
}

struct Civil {
  int year = 1900, month = 1, day = 1;
};

// The calendar date of a serial's day. The 1900 system keeps the program's 29 Feb 1900
// (serial 60); the 1904 system counts from 1 Jan 1904.
std::optional<Civil> civilOf(double serial, bool date1904) {
  if (!std::isfinite(serial) || serial < 0 || serial >= kLastSerial + 1) return std::nullopt;
  const qint64 s = qint64(std::floor(serial));
  QDate d;
  if (date1904)
    d = QDate(1904, 1, 1).addDays(s);
  else if (s == 60)
    return Civil{1900, 2, 29};
  else if (s < 60)
    d = QDate(1899, 12, 31).addDays(s);
  else
    d = QDate(1899, 12, 30).addDays(s);
  if (!d.isValid() || d.year() > 9999) return std::nullopt;
  return Civil{d.year(), d.month(), d.day()};
}

// The serial of a calendar date; a day past the month's end is its last day.
double serialOf(const Civil& c, bool date1904) {
  QDate first(c.year, c.month, 1);
  if (!first.isValid()) return kNaN;
  const QDate d = first.addDays(std::clamp(c.day, 1, first.daysInMonth()) - 1);
  if (date1904) return double(QDate(1904, 1, 1).daysTo(d));
  if (d < QDate(1900, 3, 1)) return double(QDate(1899, 12, 31).daysTo(d));
  return double(QDate(1899, 12, 30).daysTo(d));
}

// Index of the base unit holding a date: days since day 0, months or years since year 0.
qint64 unitIndex(double serial, const Civil& c, Unit u) {
  switch (u) {
    case Unit::Days:
      return qint64(std::floor(serial));
    case Unit::Months:
      return qint64(c.year) * 12 + c.month - 1;
    case Unit::Years:
      return c.year;
  }
  return 0;
}

// `c` moved by `k` months or years (days move on the serial instead).
Civil addUnits(Civil c, Unit u, qint64 k) {
  if (u == Unit::Years) {
    c.year = int(std::clamp<qint64>(c.year + k, 0, 10000));
  } else if (u == Unit::Months) {
    const qint64 total = std::clamp<qint64>(qint64(c.year) * 12 + c.month - 1 + k, 0, 120000);
    c.year = int(total / 12);
    c.month = int(total % 12) + 1;
  }
  return c;
}

// The automatic base unit: the smallest gap between two dates decides, a year or more giving
// years, four weeks or more months, anything less days.
Unit autoBaseUnit(std::vector<double> days) {
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  if (days.size() < 2) return Unit::Days;
  double gap = std::numeric_limits<double>::max();
  for (size_t i = 1; i < days.size(); ++i) gap = std::min(gap, days[i] - days[i - 1]);
  if (gap >= 365) return Unit::Years;
  if (gap >= 28) return Unit::Months;
  return Unit::Days;
}

struct Step {
  double count;
  Unit unit;
};

// The program's steps for an automatic major unit, finest first, none finer than the base.
std::vector<Step> candidateSteps(Unit base) {
  std::vector<Step> steps;
  if (base == Unit::Days)
    for (double n : {1.0, 2.0, 3.0, 7.0, 14.0}) steps.push_back({n, Unit::Days});
  if (base != Unit::Years)
    for (double n : {1.0, 2.0, 3.0, 6.0}) steps.push_back({n, Unit::Months});
  for (double n = 1; n <= 10000; n *= 10)
    for (double m : {1.0, 2.0, 5.0}) steps.push_back({n * m, Unit::Years});
  return steps;
}

// Serial of the k-th major tick from the axis' first date.
double majorSerial(double start, const Civil& startDate, const Step& step, qint64 k,
                   bool date1904) {
  if (step.unit == Unit::Days) return start + double(k) * step.count;
  return serialOf(addUnits(startDate, step.unit, qint64(std::llround(step.count)) * k), date1904);
}

}  // namespace

// The label format of a category or date axis: the cache's, or the axis' own where the cache
// has none or the axis is not linked to it.
QString categoryFormat(const ooxml::chart::Axis& axis, const ooxml::chart::DataCache& cache) {
  QString format = cache.formatCode;
  const bool general = format.isEmpty() || format.compare("General", Qt::CaseInsensitive) == 0;
  if ((general || !axis.numFmtSourceLinked) && !axis.numFmt.isEmpty() &&
      (!axis.numFmtSourceLinked || axis.kind == ooxml::chart::AxisKind::Date))
    format = axis.numFmt;
  return format;
}

bool planDateAxis(const LayoutContext& ctx, AxisLayout& a, const ooxml::chart::Series* source,
                  int pointCount) {
  a.dateAxis = false;
  a.pointSlots.clear();
  a.majorSlots.clear();
  if (a.axis.kind != ooxml::chart::AxisKind::Date || !source) return false;
  const ooxml::chart::DataCache& cache = source->categories;
  // Categories that are not all numbers keep the category axis.
  std::vector<double> serials(size_t(pointCount), kNaN);
  std::vector<double> days;
  for (int i = 0; i < pointCount && i < cache.count(); ++i) {
    const auto v = cache.number(i);
    if (!v && !cache.text(i).trimmed().isEmpty()) return false;
    if (!v || !civilOf(*v, ctx.chart.date1904)) continue;
    serials[size_t(i)] = *v;
    days.push_back(std::floor(*v));
  }
  if (days.empty()) return false;
  const Unit base = unitOf(a.axis.baseTimeUnit, autoBaseUnit(days));
  double lo = *std::min_element(days.begin(), days.end());
  double hi = *std::max_element(days.begin(), days.end());
  if (a.axis.min && civilOf(*a.axis.min, ctx.chart.date1904)) lo = *a.axis.min;
  if (a.axis.max && civilOf(*a.axis.max, ctx.chart.date1904)) hi = *a.axis.max;
  hi = std::max(hi, lo);
  lo = std::floor(lo);
  const Civil loDate = *civilOf(lo, ctx.chart.date1904);
  const qint64 origin = unitIndex(lo, loDate, base);
  const qint64 last = unitIndex(hi, *civilOf(hi, ctx.chart.date1904), base);
  a.dateAxis = true;
  a.firstDate = lo;
  a.baseTimeUnit = nameOf(base);
  a.categoryCount = int(std::clamp<qint64>(last - origin + 1, 1, qint64(kLastSerial) + 1));
  a.pointSlots.assign(size_t(pointCount), kNaN);
  for (size_t i = 0; i < serials.size(); ++i) {
    if (std::isnan(serials[i])) continue;
    const qint64 slot =
        unitIndex(serials[i], *civilOf(serials[i], ctx.chart.date1904), base) - origin;
    if (slot >= 0 && slot < a.categoryCount) a.pointSlots[i] = double(slot);
  }
  return true;
}

std::vector<QString> dateAxisLabels(const LayoutContext& ctx, AxisLayout& a,
                                    const ooxml::chart::DataCache& source) {
  const bool date1904 = ctx.chart.date1904;
  const Unit base = unitOf(a.baseTimeUnit, Unit::Days);
  QString format = categoryFormat(a.axis, source);
  if (format.isEmpty() || format.compare("General", Qt::CaseInsensitive) == 0)
    format = "m/d/yyyy";  // numbers on a date axis show as dates
  a.numberFormat = format;
  const double start = a.firstDate;
  const Civil startDate = *civilOf(start, date1904);
  const qint64 origin = unitIndex(start, startDate, base);
  auto slotOf = [&](double serial) -> std::optional<double> {
    const auto c = civilOf(serial, date1904);
    if (!c) return std::nullopt;
    return double(unitIndex(serial, *c, base) - origin);
  };

  Step step{1, base};
  const double slotWidth = a.categoryWidth();
  if (a.axis.majorUnit) {
    step = Step{*a.axis.majorUnit, unitOf(a.axis.majorTimeUnit, base)};
    if (daysIn(step.unit) < daysIn(base)) step.unit = base;
    // Whole units; no step needs to pass the calendar's three million days.
    step.count = std::clamp(std::round(step.count), 1.0, kLastSerial);
  } else {
    // The finest step whose labels do not crowd: slanted labels need a line's height each,
    // level ones (where the axis text fixes its rotation, or on vertical axes) their width.
    const QString sample = formatChartNumber(start, format, date1904);
    const QSizeF size = measureText(a.labelStyle, sample);
    const bool canSlant = a.horizontal && !a.axis.text.rotationDeg;
    const double need = a.horizontal && !canSlant ? size.width() + 6 : size.height() * 1.35;
    for (const Step& s : candidateSteps(base)) {
      step = s;
      if (s.count * daysIn(s.unit) / daysIn(base) * slotWidth >= need) break;
    }
  }
  // Hostile units must not give thousands of ticks.
  const double stepSlots = step.count * daysIn(step.unit) / daysIn(base);
  if (a.categoryCount / std::max(stepSlots, 1e-9) > kMaxMajors) {
    step.count = std::ceil(a.categoryCount / double(kMaxMajors) * daysIn(base) / daysIn(step.unit));
  }
  a.majorStep = step.count;
  a.majorTimeUnit = nameOf(step.unit);

  std::vector<QString> labels;
  a.majorSlots.clear();
  for (qint64 k = 0; k <= kMaxMajors; ++k) {
    const double serial = majorSerial(start, startDate, step, k, date1904);
    const auto slot = slotOf(serial);
    if (!slot || *slot >= a.categoryCount) break;
    a.majorSlots.push_back(*slot);
    labels.push_back(formatChartNumber(serial, format, date1904));
  }
  return labels;
}

void placeDateTicks(AxisLayout& a) {
  a.labelPositions.clear();
  a.tickPositions.clear();
  for (double slot : a.majorSlots) {
    a.labelPositions.push_back(a.coordinate(slot));
    a.tickPositions.push_back(a.coordinate(a.between ? slot - 0.5 : slot));
  }
  // The far end of the axis closes the last interval.
  const double end = a.coordinate(a.between ? a.categoryCount - 0.5 : a.categoryCount - 1.0);
  if (a.tickPositions.empty() || std::abs(a.tickPositions.back() - end) > 0.5)
    a.tickPositions.push_back(end);
  a.gridPositions = a.tickPositions;
}

}  // namespace morvane::render::chart::detail
