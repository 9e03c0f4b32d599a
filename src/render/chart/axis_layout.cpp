// Axes: which groups use each axis, the data ranges and scales, tick label texts, where each
// axis line sits and how much room labels and titles take around the plot rectangle.
#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;
using ooxml::chart::Grouping;

namespace {

constexpr double kTick = 4;     // major tick length, points
constexpr double kLabelGap = 3; // radar spoke to its labels
// Tick to label: the program keeps labels beside a vertical axis further off than those
// under a horizontal one.
constexpr double kLabelGapUnder = 2;
constexpr double kLabelGapBeside = 6;
// Across the axis: labels to the title's text, and the title's text to the room's edge.
constexpr double kTitleNear = 4;
constexpr double kTitleFar = 7;
// The program keeps the plot this far inside its room at the top and on the right where no
// axis stands there, beyond what end labels need.
constexpr double kPlotInset = 6;
constexpr double kLabelSpill = 6; // how far category labels may reach past the plot ends
constexpr int kFlatMostIntervals = 9;
constexpr int kBoxMostIntervals = 1000;  // only the edge's length limits a 3-D box's labels

struct Role {
  const ooxml::chart::ChartGroup* group;
  bool first;  // first axis id of the group: categories (or x values)
};

struct AxisWork {
  std::vector<Role> roles;
  double lo = 0, hi = 0;
  bool hasData = false;
  bool percent = false;
};

bool isXY(const ooxml::chart::ChartGroup& g) {
  return g.kind == ChartKind::Scatter || g.kind == ChartKind::Bubble;
}

void extend(AxisWork& w, double v) {
  if (!std::isfinite(v)) return;
  if (!w.hasData) w.lo = w.hi = v;
  w.lo = std::min(w.lo, v);
  w.hi = std::max(w.hi, v);
  w.hasData = true;
}

// The values a group puts on its value axis, stacked as the group stacks them.
void addGroupValues(AxisWork& w, const ooxml::chart::ChartGroup& g) {
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  const bool canStack = g.kind == ChartKind::Bar || g.kind == ChartKind::Line ||
                        g.kind == ChartKind::Area;
  if (!stacked || !canStack) {
    for (const ooxml::chart::Series& s : g.series)
      for (int i = 0; i < s.values.count(); ++i)
        if (auto v = s.values.number(i)) extend(w, *v);
    if (g.kind == ChartKind::Area && w.hasData) extend(w, 0);
    return;
  }
  int n = 0;
  for (const ooxml::chart::Series& s : g.series) n = std::max(n, s.values.count());
  for (int i = 0; i < n; ++i) {
    double total = 0, pos = 0, neg = 0, run = 0;
    for (const ooxml::chart::Series& s : g.series)
      total += std::abs(s.values.number(i).value_or(0));
    for (const ooxml::chart::Series& s : g.series) {
      double v = s.values.number(i).value_or(0);
      if (g.grouping == Grouping::PercentStacked) v = total > 0 ? v / total : 0;
      run += v;
      (v >= 0 ? pos : neg) += v;
      extend(w, g.kind == ChartKind::Line ? run : (v >= 0 ? pos : neg));
    }
  }
  w.percent = w.percent || g.grouping == Grouping::PercentStacked;
}

void addXValues(AxisWork& w, const ooxml::chart::ChartGroup& g, bool categoryPoints) {
  for (const ooxml::chart::Series& s : g.series) {
    const bool numeric = !categoryPoints && s.categories.present && s.categories.numeric;
    const int n = numeric ? s.categories.count() : s.values.count();
    for (int i = 0; i < n; ++i) {
      if (!numeric) extend(w, i + 1);
      else if (auto v = s.categories.number(i)) extend(w, *v);
    }
  }
}

QString firstValueFormat(const std::vector<Role>& roles, bool first) {
  for (const Role& r : roles)
    for (const ooxml::chart::Series& s : r.group->series) {
      const ooxml::chart::DataCache& c = first ? s.categories : s.values;
      if (!c.formatCode.isEmpty()) return c.formatCode;
    }
  return QString();
}

const ooxml::chart::Series* categorySource(const std::vector<Role>& roles) {
  for (const Role& r : roles)
    for (const ooxml::chart::Series& s : r.group->series)
      if (s.categories.present && s.categories.count() > 0) return &s;
  return nullptr;
}

int categoryCount(const std::vector<Role>& roles) {
  int n = 0;
  for (const Role& r : roles)
    for (const ooxml::chart::Series& s : r.group->series) n = std::max(n, s.pointCount());
  return n;
}

ooxml::chart::Axis impliedAxis(int id, int cross, bool category, bool horizontal) {
  ooxml::chart::Axis a;
  a.id = id;
  a.crossAxis = cross;
  a.kind = category ? ooxml::chart::AxisKind::Category : ooxml::chart::AxisKind::Value;
  a.position = horizontal ? ooxml::chart::AxisPosition::Bottom : ooxml::chart::AxisPosition::Left;
  a.deleted = true;
  return a;
}

// Category texts of a category axis, formatted as the axis says.
std::vector<QString> categoryTexts(const AxisLayout& a, const std::vector<Role>& roles,
                                   bool date1904, QString& format) {
  std::vector<QString> texts;
  const ooxml::chart::Series* src = categorySource(roles);
  const int n = a.categoryCount;
  if (!src) {
    for (int i = 0; i < n; ++i) texts.push_back(QString::number(i + 1));
    return texts;
  }
  const ooxml::chart::DataCache& c = src->categories;
  format = categoryFormat(a.axis, c);
  for (int i = 0; i < n; ++i) {
    const auto v = c.numeric ? c.number(i) : std::nullopt;
    texts.push_back(v ? formatChartNumber(*v, format, date1904) : c.text(i));
  }
  return texts;
}

// The room one interval needs for a label `width` wide: a line up a vertical axis, the label
// and 8 pt along a horizontal one, with 7 % to spare.
double intervalRoom(const AxisLayout& a, double width) {
  const double lineH = measureText(a.labelStyle, "0").height();
  return (a.horizontal ? std::max(lineH, width + 8) : lineH) * 1.07;
}

int maxIntervalsFor(const AxisLayout& a, double length, int most) {
  const double w =
      std::max(measureText(a.labelStyle, formatChartNumber(a.scale.max, a.numberFormat)).width(),
               measureText(a.labelStyle, formatChartNumber(a.scale.min, a.numberFormat)).width());
  // The program fits a label per interval. Up a vertical axis that is the only limit (0-10 by
  // 1 up a 157 pt bubble plot, 0-45 by 5 up 133 pt, but 0-100 by 20 up 110 pt); along a
  // horizontal one at most `most` intervals show.
  if (!a.horizontal) most = std::numeric_limits<int>::max();
  return std::clamp(int(length / intervalRoom(a, w)), 2, std::max(most, 2));
}

}  // namespace

}  // namespace morvane::render::chart::detail

namespace morvane::render::chart {

double AxisLayout::coordinate(double v) const {
  double f;
  if (valueScale) {
    f = scale.fraction(v);
  } else {
    const int n = std::max(categoryCount, 1);
    f = between ? (v + 0.5) / n : (n == 1 ? 0.5 : v / (n - 1));
  }
  if (reversed) f = 1 - f;
  return horizontal ? plot.left() + f * plot.width() : plot.bottom() - f * plot.height();
}

double AxisLayout::pointSlot(int i) const {
  if (!dateAxis) return i;
  if (i < 0 || i >= int(pointSlots.size())) return std::numeric_limits<double>::quiet_NaN();
  return pointSlots[size_t(i)];
}

double AxisLayout::categoryWidth() const {
  const int n = std::max(categoryCount, 1);
  return length() / (between ? n : std::max(n - 1, 1));
}

double AxisLayout::edge(bool maxEnd) const {
  const bool far = maxEnd != reversed;
  return horizontal ? (far ? plot.right() : plot.left()) : (far ? plot.top() : plot.bottom());
}

}  // namespace morvane::render::chart

namespace morvane::render::chart::detail {

namespace {

struct AxisSet {
  std::vector<AxisLayout> axes;
  std::vector<AxisWork> work;
};

// Collects the axes the groups use, in file order, with their roles.
AxisSet collectAxes(const ooxml::chart::ChartModel& chart) {
  AxisSet set;
  std::map<int, size_t> index;
  auto add = [&](const ooxml::chart::Axis& axis) {
    if (index.count(axis.id)) return index[axis.id];
    index[axis.id] = set.axes.size();
    AxisLayout l;
    l.axis = axis;
    set.axes.push_back(l);
    set.work.emplace_back();
    return set.axes.size() - 1;
  };
  int pair = 0;
  std::map<std::pair<int, int>, int> pairs;
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups) {
    if (!usesAxes(g)) continue;
    int ids[2] = {-1000, -1001};
    if (g.axisIds.size() >= 2) ids[0] = g.axisIds[0], ids[1] = g.axisIds[1];
    const bool barH = g.kind == ChartKind::Bar && g.horizontal;
    for (int k = 0; k < 2; ++k) {
      const ooxml::chart::Axis* a = chart.plotArea.axis(ids[k]);
      const bool horizontal = (k == 0) != barH;
      const size_t i = add(a ? *a : impliedAxis(ids[k], ids[1 - k], k == 0 && !isXY(g), horizontal));
      set.axes[i].horizontal = horizontal;
      set.axes[i].valueScale = k == 1 || isXY(g);
      // An x axis the file declares a category axis stands the points at 1..n, whatever x
      // values the series give, and names them as categories.
      if (k == 0 && isXY(g) && a && a->kind == ooxml::chart::AxisKind::Category)
        set.axes[i].categoryPoints = true;
      set.work[i].roles.push_back(Role{&g, k == 0});
    }
    if (!pairs.count({ids[0], ids[1]})) pairs[{ids[0], ids[1]}] = pair++;
    if (pairs[{ids[0], ids[1]}] > 0)
      set.axes[index[ids[0]]].secondary = set.axes[index[ids[1]]].secondary = true;
  }
  for (size_t i = 0; i < set.axes.size(); ++i) {
    const int cross = set.axes[i].axis.crossAxis;
    if (index.count(cross)) set.axes[i].crossing = int(index[cross]);
  }
  return set;
}

// A flat plot's horizontal axis shows at most nine intervals; a vertical one, and a 3-D box's
// edge, as many as their labels have room for (the program runs 0-100 % by 10 % up a 130 pt
// edge).
void computeScale(LayoutContext& ctx, AxisLayout& a, AxisWork& w, double length,
                  int mostIntervals = kFlatMostIntervals) {
  const ooxml::chart::Axis& ax = a.axis;
  a.reversed = ax.reversed;
  a.visible = !ax.deleted;
  if (!a.valueScale) {
    const int points = categoryCount(w.roles);
    a.categoryCount = std::max(points, 1);
    planDateAxis(ctx, a, categorySource(w.roles), points);
    a.between = true;
    if (a.crossing >= 0) {
      const ooxml::chart::Axis& value = ctx.out.axes[size_t(a.crossing)].axis;
      bool anyBar = false, allArea = true;
      for (const Role& r : w.roles) {
        anyBar = anyBar || r.group->kind == ChartKind::Bar || r.group->kind == ChartKind::Stock;
        allArea = allArea && r.group->kind == ChartKind::Area;
      }
      a.between = value.crossBetween.value_or(!allArea) || anyBar;
    }
    return;
  }
  const std::vector<Role> roles = w.roles;
  w = AxisWork();
  w.roles = roles;
  for (const Role& r : w.roles) {
    if (isXY(*r.group) && r.first)
      addXValues(w, *r.group, a.categoryPoints);
    else if (!r.first) addGroupValues(w, *r.group);
  }
  ScaleRequest req;
  req.dataMin = w.lo;
  req.dataMax = w.hi;
  req.hasData = w.hasData;
  req.fixedMin = ax.min;
  req.fixedMax = ax.max;
  req.fixedMajor = ax.majorUnit;
  req.fixedMinor = ax.minorUnit;
  req.logBase = ax.logBase;
  req.percentStacked = w.percent;
  req.headroom =
      std::none_of(w.roles.begin(), w.roles.end(), [](const Role& r) { return r.group->is3D; });
  const bool sourceLinked = ax.numFmtSourceLinked || ax.numFmt.isEmpty();
  a.numberFormat = sourceLinked ? (w.percent ? QString("0%") : firstValueFormat(w.roles, false))
                                : ax.numFmt;
  if (isXY(*w.roles.front().group) && w.roles.front().first && sourceLinked)
    a.numberFormat = firstValueFormat(w.roles, true);
  // The interval limit depends on the label size, which depends on the scale: settle twice.
  req.maxIntervals = 9;
  a.scale = autoScale(req);
  req.maxIntervals = maxIntervalsFor(a, length, mostIntervals);
  a.scale = autoScale(req);
  // Along a horizontal axis a finer unit's labels may be wider than its ends ("7.5" against
  // "8"): fewer intervals until the widest label fits its interval too.
  while (a.horizontal && !req.fixedMajor && req.maxIntervals > 2) {
    const std::vector<double> ticks = a.scale.majorTicks();
    if (ticks.size() < 3 || ticks.size() > 1000) break;
    double widest = 0;
    for (const double v : ticks)
      widest =
          std::max(widest, measureText(a.labelStyle, formatChartNumber(v, a.numberFormat)).width());
    const int intervals = int(ticks.size()) - 1;
    if (length / intervals >= intervalRoom(a, widest) || intervals - 1 >= req.maxIntervals) break;
    req.maxIntervals = intervals - 1;
    a.scale = autoScale(req);
  }
  // A bubble chart's scales take in its largest bubble round every point, as far as it
  // reaches on the scale without it; that room stands for the headroom. The reach grows with
  // the scale it widens, so it is settled again until the scale holds (a few rounds at most).
  for (const Role& r : w.roles) {
    if (r.group->kind != ChartKind::Bubble || !w.hasData || length <= 0) continue;
    const double share = std::min(bubbleMaxRadius(*r.group, a.plot) / length, 0.45);
    req.headroom = false;
    for (int round = 0; round < 4; ++round) {
      const double reach = share * (a.scale.max - a.scale.min);
      req.dataMin = w.lo - reach;
      req.dataMax = w.hi + reach;
      const AxisScale settled = autoScale(req);
      const bool same = settled.min == a.scale.min && settled.max == a.scale.max &&
                        settled.majorUnit == a.scale.majorUnit;
      a.scale = settled;
      if (same) break;
    }
    break;
  }
}

void makeLabels(LayoutContext& ctx, AxisLayout& a, const AxisWork& w) {
  a.labels.clear();
  if (a.valueScale && a.categoryPoints) {
    // Only the whole values 1..n stand for categories; the ticks between go unlabelled.
    AxisLayout counted = a;
    counted.categoryCount = categoryCount(w.roles);
    QString format;
    const std::vector<QString> names = categoryTexts(counted, w.roles, ctx.chart.date1904, format);
    for (double v : a.scale.majorTicks()) {
      const double k = std::round(v);
      const bool named = std::abs(v - k) < 1e-9 && k >= 1 && k <= double(names.size());
      a.labels.push_back(named ? names[size_t(k) - 1] : QString());
    }
  } else if (a.valueScale) {
    for (double v : a.scale.majorTicks()) a.labels.push_back(formatChartNumber(v, a.numberFormat, ctx.chart.date1904));
  } else if (a.dateAxis) {
    a.labels = dateAxisLabels(ctx, a, categorySource(w.roles)->categories);
  } else {
    a.labels = categoryTexts(a, w.roles, ctx.chart.date1904, a.numberFormat);
    if (const ooxml::chart::Series* src = categorySource(w.roles))
      planCategoryLevels(a, src->categories);
  }
  const bool table = ctx.chart.plotArea.dataTable.present && !a.valueScale && a.horizontal;
  if (table || a.axis.tickLabelPosition == ooxml::chart::TickLabelPosition::None) {
    a.labels.assign(a.labels.size(), QString());
    a.groupLevels.clear();
  }
}

// The distance between neighbouring labels of a category or date axis.
double labelSpacing(const AxisLayout& a) {
  if (!a.dateAxis) return a.categoryWidth();
  if (a.majorSlots.size() < 2) return a.length();
  return std::abs(a.coordinate(a.majorSlots[1]) - a.coordinate(a.majorSlots[0]));
}

// The largest label extent (rotated when asked), measuring a sample of at most about 400
// labels: axes of many thousand categories show only a few of them anyway.
QSizeF largestLabel(const AxisLayout& a, bool rotated) {
  QSizeF most;
  const size_t stride = std::max<size_t>(1, a.labels.size() / 400);
  for (size_t i = 0; i < a.labels.size(); i += stride) {
    if (a.labels[i].isEmpty()) continue;
    const QSizeF s = rotated ? measureRotated(a.labelStyle, a.labels[i]) : measureText(a.labelStyle, a.labels[i]);
    most = most.expandedTo(s);
  }
  return most;
}

// Rotation and skipping of category labels that do not fit their slots.
void fitCategoryLabels(AxisLayout& a) {
  if (a.valueScale || a.labels.empty()) return;
  const double slot = labelSpacing(a);
  const double widest = largestLabel(a, false).width();
  if (!a.horizontal || a.axis.text.rotationDeg) return;
  // The program turns dates that would leave less than about 8 pt between neighbours, and
  // other labels once they no longer fit.
  if (a.dateAxis ? widest + 8 <= slot : widest <= slot * 0.95) return;
  // Under rows of group labels the innermost labels stand upright, each within its slot.
  a.labelStyle.rotationDeg = a.groupLevels.empty() ? -45 : -90;
}

// The depth of the innermost labels across the axis.
double labelDepth(const AxisLayout& a) {
  if (!a.visible || a.axis.tickLabelPosition == ooxml::chart::TickLabelPosition::None) return 0;
  const QSizeF s = largestLabel(a, true);
  return a.horizontal ? s.height() : s.width();
}

double titleDepth(const AxisLayout& a) {
  if (!a.visible || a.title.isEmpty()) return 0;
  const QSizeF s = measureRotated(a.titleStyle, a.title);
  return (a.horizontal ? s.height() : s.width()) + kTitleNear + kTitleFar;
}

// From the labels' outer edge to the axis title's centre.
double titleCentreOffset(const AxisLayout& a) {
  const QSizeF s = measureRotated(a.titleStyle, a.title);
  return kTitleNear + (a.horizontal ? s.height() : s.width()) / 2;
}

// The text of an axis title as written, before wrapping; empty without a title.
QString axisTitleText(const ooxml::chart::Axis& axis) {
  if (!axis.title.present) return QString();
  const QString text = axis.title.rich.plainText();
  if (!text.trimmed().isEmpty()) return text;
  return axis.title.referenceText.isEmpty() ? QString("Axis Title") : axis.title.referenceText;
}

// A long axis title wraps at word boundaries: along the axis to the plot's length (it is
// centred on the plot), across the axis to a quarter of the room there. It takes at most a
// third of the room across its axis: a title too long for that keeps the lines that fit, the
// last ending in an ellipsis, rather than crowd the plot out of the chart.
void wrapAxisTitle(AxisLayout& a, const QRectF& plot, const QRectF& outer) {
  const double rot = std::abs(std::fmod(a.titleStyle.rotationDeg, 180.0));
  const bool textVertical = std::abs(rot - 90) < 1;
  const bool alongAxis = textVertical != a.horizontal;
  const double room = alongAxis ? (a.horizontal ? plot.width() : plot.height())
                                : (a.horizontal ? outer.height() : outer.width()) / 4;
  QStringList lines = wrapText(a.titleStyle, axisTitleText(a.axis), room).split('\n');
  const double most = (a.horizontal ? outer.height() : outer.width()) / 3;
  auto depth = [&](const QStringList& l) {
    const QSizeF s = measureRotated(a.titleStyle, l.join('\n'));
    return a.horizontal ? s.height() : s.width();
  };
  if (lines.size() > 1 && depth(lines) > most) {
    while (lines.size() > 1 && depth(lines) > most) lines.removeLast();
    QString& last = lines.last();
    const QChar ellipsis(0x2026);
    while (last.contains(' ') && measureText(a.titleStyle, last + ellipsis).width() > room)
      last.truncate(last.lastIndexOf(' '));
    last += ellipsis;
  }
  a.title = lines.join('\n');
}

void styleAxisTexts(LayoutContext& ctx, AxisLayout& a) {
  a.labelStyle = textStyleFor(ctx, a.axis.text, ctx.baseSizePt, false);
  a.title = axisTitleText(a.axis);
  a.titleStyle = detail::titleStyleFor(ctx, a.axis.title.text, a.axis.title.rich, ctx.baseSizePt);
  const auto rot = a.axis.title.rich.rotationDeg ? a.axis.title.rich.rotationDeg
                                                 : a.axis.title.text.rotationDeg;
  a.titleStyle.rotationDeg = rot.value_or(a.horizontal ? 0.0 : -90.0);
}

// The coordinate where axis `a` crosses its crossing axis.
double crossingCoordinate(const ChartLayout& out, const AxisLayout& a) {
  if (a.crossing < 0) return a.horizontal ? a.plot.bottom() : a.plot.left();
  const AxisLayout& c = out.axes[size_t(a.crossing)];
  switch (a.axis.crosses) {
    case ooxml::chart::Crosses::Max:
      return c.edge(true);
    case ooxml::chart::Crosses::Min:
      return c.edge(false);
    case ooxml::chart::Crosses::At:
      if (c.valueScale) return std::clamp(c.coordinate(*a.axis.crossesAt), std::min(c.edge(false), c.edge(true)), std::max(c.edge(false), c.edge(true)));
      return c.edge(false);
    case ooxml::chart::Crosses::AutoZero:
      break;
  }
  if (c.valueScale && !c.scale.logBase && c.scale.min < 0 && c.scale.max > 0) return c.coordinate(0);
  if (c.valueScale && c.scale.min >= 0) return c.edge(false);
  if (c.valueScale) return c.edge(true);
  return c.edge(false);
}

// How far the labels of a category or date axis reach past the plot's left and right edges:
// level labels are centred on their positions, slanted ones end there.
std::pair<double, double> labelOverhang(const AxisLayout& a) {
  const double rot = a.labelStyle.rotationDeg;
  if (std::abs(rot) >= 89) return {0, 0};
  const bool slanted = std::abs(rot) > 1;
  double left = 0, right = 0;
  const double widest = largestLabel(a, true).width();
  for (size_t i = 0; i < a.labels.size(); ++i) {
    if (a.labels[i].isEmpty()) continue;
    const double at = a.coordinate(a.dateAxis ? a.majorSlots[i] : double(i));
    if (std::min(at - a.plot.left(), a.plot.right() - at) > widest) continue;  // far from both ends
    const double w = measureRotated(a.labelStyle, a.labels[i]).width();
    // Labels turned counter-clockwise end at their tick and run left; clockwise ones run right.
    const double toLeft = slanted ? (rot < 0 ? w : 0) : w / 2;
    const double toRight = slanted ? (rot < 0 ? 0 : w) : w / 2;
    left = std::max(left, toLeft - (at - a.plot.left()));
    right = std::max(right, toRight - (a.plot.right() - at));
  }
  // A little may run into the chart's own margin.
  return {std::max(0.0, left - kLabelSpill), std::max(0.0, right - kLabelSpill)};
}

struct Margins {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool axisOnTop = false, axisOnRight = false;  // a visible axis' labels or title there
};

// Positions every axis on `plot` and returns the room their labels and titles need outside
// it within `outer`.
Margins positionAxes(LayoutContext& ctx, const QRectF& plot, const QRectF& outer) {
  Margins m;
  std::vector<AxisLayout>& axes = ctx.out.axes;
  for (AxisLayout& a : axes) {
    a.plot = plot;
    if (!a.title.isEmpty()) wrapAxisTitle(a, plot, outer);
  }
  for (AxisLayout& a : axes) {
    const double pos = crossingCoordinate(ctx.out, a);
    const ooxml::chart::TickLabelPosition tlp = a.axis.tickLabelPosition;
    a.innerLabelDepth = labelDepth(a);
    const double depth = a.innerLabelDepth + (a.visible ? levelRowsDepth(a) : 0);
    const double tick = a.axis.majorTickMark == ooxml::chart::TickMark::Outside ||
                                a.axis.majorTickMark == ooxml::chart::TickMark::Cross
                            ? kTick
                            : 0;
    if (a.horizontal) {
      a.line = QLineF(plot.left(), pos, plot.right(), pos);
      a.labelsFarSide = tlp == ooxml::chart::TickLabelPosition::High ||
                        (tlp == ooxml::chart::TickLabelPosition::NextTo &&
                         pos <= plot.top() + 0.5 && a.axis.crosses == ooxml::chart::Crosses::Max);
      const double base = tlp == ooxml::chart::TickLabelPosition::Low    ? plot.bottom()
                          : tlp == ooxml::chart::TickLabelPosition::High ? plot.top()
                                                                         : pos;
      a.labelAnchor = a.labelsFarSide ? base - tick - kLabelGapUnder : base + tick + kLabelGapUnder;
      const double used = depth > 0 ? depth + tick + kLabelGapUnder : 0;
      const double outside = a.labelsFarSide ? std::max(0.0, used - (base - plot.top()))
                                             : std::max(0.0, used - (plot.bottom() - base));
      double& side = a.labelsFarSide ? m.top : m.bottom;
      const double t = titleDepth(a);
      const double c = outside + titleCentreOffset(a);
      a.titleCenter = QPointF(plot.center().x(), a.labelsFarSide ? plot.top() - c : plot.bottom() + c);
      if (a.visible) side = std::max(side, outside + t);
      if (a.visible && a.labelsFarSide) m.axisOnTop = true;
      // The end labels are centred on the plot's edges: half of each may stick out.
      if (a.visible && a.valueScale && !a.labels.empty() && std::abs(a.labelStyle.rotationDeg) < 1) {
        const double first = measureText(a.labelStyle, a.labels.front()).width() / 2;
        const double last = measureText(a.labelStyle, a.labels.back()).width() / 2;
        m.left = std::max(m.left, a.reversed ? last : first);
        m.right = std::max(m.right, a.reversed ? first : last);
      }
      // Category and date labels near the ends may reach past the plot.
      if (a.visible && !a.valueScale) {
        const auto [left, right] = labelOverhang(a);
        m.left = std::max(m.left, left);
        m.right = std::max(m.right, right);
      }
    } else {
      a.line = QLineF(pos, plot.top(), pos, plot.bottom());
      a.labelsFarSide = tlp == ooxml::chart::TickLabelPosition::High ||
                        (tlp == ooxml::chart::TickLabelPosition::NextTo &&
                         pos >= plot.right() - 0.5 && a.axis.crosses == ooxml::chart::Crosses::Max);
      const double base = tlp == ooxml::chart::TickLabelPosition::Low    ? plot.left()
                          : tlp == ooxml::chart::TickLabelPosition::High ? plot.right()
                                                                         : pos;
      a.labelAnchor = a.labelsFarSide ? base + tick + kLabelGapBeside : base - tick - kLabelGapBeside;
      const double used = depth > 0 ? depth + tick + kLabelGapBeside : 0;
      const double outside = a.labelsFarSide ? std::max(0.0, used - (plot.right() - base))
                                             : std::max(0.0, used - (base - plot.left()));
      double& side = a.labelsFarSide ? m.right : m.left;
      const double t = titleDepth(a);
      const double c = outside + titleCentreOffset(a);
      a.titleCenter = QPointF(a.labelsFarSide ? plot.right() + c : plot.left() - c, plot.center().y());
      if (a.visible) side = std::max(side, outside + t);
      if (a.visible && a.labelsFarSide) m.axisOnRight = true;
      // The end labels are centred on the plot's edges: the lowest needs half its height
      // below the plot even where the other axis crosses higher up and leaves no labels
      // there (the plot's inset above holds the top one's half).
      if (a.visible && a.valueScale && !a.labels.empty() &&
          std::abs(a.labelStyle.rotationDeg) < 1) {
        const QString& lowest = a.reversed ? a.labels.back() : a.labels.front();
        m.bottom = std::max(m.bottom, measureText(a.labelStyle, lowest).height() / 2);
      }
    }
    a.labelExtent = depth;
  }
  return m;
}

void settleAxes(LayoutContext& ctx, std::vector<AxisWork>& work, const QRectF& plot) {
  std::vector<AxisLayout>& axes = ctx.out.axes;
  for (size_t i = 0; i < axes.size(); ++i) {
    axes[i].plot = plot;
    computeScale(ctx, axes[i], work[i], axes[i].length());
    makeLabels(ctx, axes[i], work[i]);
    fitCategoryLabels(axes[i]);
  }
}

// Labels that would overlap are skipped, keeping every k-th.
void skipCrowdedLabels(AxisLayout& a) {
  const double slot = labelSpacing(a);
  const QSizeF s = largestLabel(a, true);
  const bool slanted = std::abs(a.labelStyle.rotationDeg) > 1;
  const double need =
      a.horizontal ? (slanted ? measureText(a.labelStyle, "0").height() * 1.2 : s.width() + 2)
                   : s.height();
  // Slots get very narrow on axes of many thousand categories; the step follows them down.
  const double steps = slot > 0 ? std::ceil(need / slot - 1e-6) : double(a.labels.size());
  const int step = a.axis.tickLabelSkip.value_or(
      int(std::clamp(steps, 1.0, double(std::max<size_t>(1, a.labels.size())))));
  if (step > 1)
    for (size_t i = 0; i < a.labels.size(); ++i)
      if (i % size_t(step) != 0) a.labels[i].clear();
}

void placeTicks(AxisLayout& a) {
  a.labelPositions.clear();
  a.tickPositions.clear();
  a.gridPositions.clear();
  a.minorGridPositions.clear();
  if (a.valueScale) {
    for (double v : a.scale.majorTicks()) {
      a.labelPositions.push_back(a.coordinate(v));
      a.tickPositions.push_back(a.coordinate(v));
    }
    for (double v : a.scale.minorTicks()) a.minorGridPositions.push_back(a.coordinate(v));
    a.gridPositions = a.tickPositions;
    return;
  }
  if (a.dateAxis) {
    placeDateTicks(a);
    skipCrowdedLabels(a);
    return;
  }
  const int n = a.categoryCount;
  for (int i = 0; i < n; ++i) a.labelPositions.push_back(a.coordinate(i));
  const int ticks = a.between ? n + 1 : n;
  for (int i = 0; i < ticks; ++i)
    a.tickPositions.push_back(a.between ? a.coordinate(i - 0.5) : a.coordinate(i));
  a.gridPositions = a.tickPositions;
  skipCrowdedLabels(a);
  placeCategoryLevels(a);
}

}  // namespace

namespace {

// A radar web: the value axis runs up the vertical spoke from the centre; the categories sit
// around the web. The axes' plot rectangle is the web's upper half (centre at its bottom).
void layoutRadarAxes(LayoutContext& ctx, std::vector<AxisWork>& work, const QRectF& outer) {
  std::vector<AxisLayout>& axes = ctx.out.axes;
  double widest = 0, lineH = 0;
  for (size_t i = 0; i < axes.size(); ++i) {
    AxisLayout& a = axes[i];
    a.horizontal = false;
    a.plot = outer;
    computeScale(ctx, a, work[i], outer.height() / 2);
    makeLabels(ctx, a, work[i]);
    if (a.valueScale || !a.visible) continue;
    for (const QString& t : a.labels) widest = std::max(widest, measureText(a.labelStyle, t).width());
    lineH = std::max(lineH, measureText(a.labelStyle, "0").height());
  }
  // The program leaves the category labels little room beyond their own size.
  const double r = std::max(4.0, std::min(outer.width() / 2 - widest - 2.5, outer.height() / 2 - lineH - 2.5));
  const QPointF c = outer.center();
  const QRectF web(c.x() - r, c.y() - r, 2 * r, r);
  for (size_t i = 0; i < axes.size(); ++i) {
    AxisLayout& a = axes[i];
    a.plot = web;
    if (a.valueScale) {
      computeScale(ctx, a, work[i], r);
      makeLabels(ctx, a, work[i]);
    }
    a.line = QLineF(c, QPointF(c.x(), c.y() - r));
    a.labelsFarSide = false;
    a.labelAnchor = c.x() - kLabelGap;
    placeTicks(a);
    if (!a.valueScale) makeLabels(ctx, a, work[i]);  // round the web every category has room
  }
  ctx.out.plotArea = QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r);
  ctx.out.plotOuter = outer;
}

}  // namespace

void layoutAxes(LayoutContext& ctx, const QRectF& outer, bool outerIsInner) {
  AxisSet set = collectAxes(ctx.chart);
  ctx.out.axes = std::move(set.axes);
  for (AxisLayout& a : ctx.out.axes) styleAxisTexts(ctx, a);
  for (const ooxml::chart::ChartGroup& g : ctx.chart.plotArea.groups) {
    if (g.kind == ChartKind::Radar) {
      layoutRadarAxes(ctx, set.work, outer);
      return;
    }
  }
  // Labels, their rotation and wrapped titles depend on the plot's size, which depends on
  // them: settle three times, and a few more while the plot still moves.
  QRectF plot = outer;
  for (int pass = 0; pass < 6; ++pass) {
    settleAxes(ctx, set.work, plot);
    const Margins m = positionAxes(ctx, plot, outer);
    if (outerIsInner) break;
    // A manual layout places the plot's outer edge itself.
    const double inset = ctx.chart.plotArea.layout.isSet() ? 0 : kPlotInset;
    const double top = m.top + (m.axisOnTop ? 0 : inset);
    const double right = m.right + (m.axisOnRight ? 0 : inset);
    QRectF next = outer.adjusted(m.left, top, -right, -m.bottom);
    if (next.width() < 10 || next.height() < 10) next = outer;
    const bool still = std::abs(next.left() - plot.left()) < 0.5 &&
                       std::abs(next.top() - plot.top()) < 0.5 &&
                       std::abs(next.right() - plot.right()) < 0.5 &&
                       std::abs(next.bottom() - plot.bottom()) < 0.5;
    plot = next;
    if (pass >= 2 && still) break;
  }
  settleAxes(ctx, set.work, plot);
  // A 3-D box's value axis runs along one of its edges, shorter than the plot: its automatic
  // unit gives that length as many labels as it holds.
  if (const auto box = boxValueAxisLength(ctx, plot)) {
    std::vector<AxisLayout>& axes = ctx.out.axes;
    for (size_t i = 0; i < axes.size(); ++i)
      if (axes[i].axis.id == box->first && axes[i].valueScale) {
        computeScale(ctx, axes[i], set.work[i], box->second, kBoxMostIntervals);
        makeLabels(ctx, axes[i], set.work[i]);
      }
  }
  positionAxes(ctx, plot, outer);
  for (AxisLayout& a : ctx.out.axes) placeTicks(a);
  ctx.out.plotArea = plot;
  ctx.out.plotOuter = outer;
}

}  // namespace morvane::render::chart::detail
