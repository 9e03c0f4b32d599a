// Data labels: their texts through the number formats and where they sit by each chart
// family's default position.
#include <cmath>
#include <numeric>
#include <vector>

#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;
using ooxml::chart::Grouping;

namespace {

constexpr double kGap = 3;

QString categoryText(const LayoutContext& ctx, const ooxml::chart::Series& s, int i) {
  if (!s.categories.present) return QString::number(i + 1);
  const auto v = s.categories.numeric ? s.categories.number(i) : std::nullopt;
  return v ? formatChartNumber(*v, s.categories.formatCode, ctx.chart.date1904) : s.categories.text(i);
}

// What a label may show of its point.
struct PointFacts {
  std::optional<double> value;
  QString category;
  double percent = 0;
};

QString labelText(const LayoutContext& ctx, const ooxml::chart::ChartGroup& g,
                  const SeriesGeometry& sg, const ooxml::chart::DataLabelSettings& st, int i,
                  const PointFacts& facts) {
  const ooxml::chart::Series& s = *sg.series;
  if (const ooxml::chart::DataLabel* own = s.labels.pointLabel(i);
      own && !own->customText.isEmpty())
    return own->customText.plainText();
  QStringList parts;
  if (st.showSeries.value_or(false)) parts << (s.hasName ? s.name : QString("Series%1").arg(s.index + 1));
  if (st.showCategory.value_or(false)) parts << facts.category;
  const QString code = st.numFmt && !st.numFmtSourceLinked ? *st.numFmt : s.values.formatCode;
  if (st.showValue.value_or(false)) {
    const auto& v = facts.value;
    parts << (v ? formatChartNumber(*v, code, ctx.chart.date1904) : QString());
  }
  const double percent = facts.percent;
  if (st.showPercent.value_or(false) && isPieLike(g))
    parts << formatChartNumber(percent, st.numFmt && !st.numFmtSourceLinked ? *st.numFmt : QString("0%"));
  if (st.showBubbleSize.value_or(false) && g.kind == ChartKind::Bubble) {
    const auto v = s.bubbleSizes.number(i);
    parts << (v ? formatChartNumber(*v, s.bubbleSizes.formatCode) : QString());
  }
  const QString sep = st.separator.isEmpty() ? QString(", ") : st.separator;
  return parts.join(sep);
}

QString defaultPosition(const ooxml::chart::ChartGroup& g) {
  switch (g.kind) {
    case ChartKind::Bar:
      return g.grouping == Grouping::Clustered || g.grouping == Grouping::Standard ? "outEnd" : "ctr";
    case ChartKind::Pie:
    case ChartKind::OfPie: return "bestFit";
    case ChartKind::Doughnut:
    case ChartKind::Area: return "ctr";
    default: return "r";
  }
}

QPointF barLabelCenter(const PointGeometry& p, bool horizontalBars, const QString& pos,
                       const QSizeF& size) {
  const QRectF& b = p.bar;
  const bool neg = p.value < 0;
  if (!horizontalBars) {
    const double top = neg ? b.bottom() : b.top(), bottom = neg ? b.top() : b.bottom();
    const double dir = neg ? 1 : -1;  // toward the bar's end
    if (pos == "ctr") return b.center();
    if (pos == "inEnd") return QPointF(b.center().x(), top - dir * (kGap + size.height() / 2));
    if (pos == "inBase") return QPointF(b.center().x(), bottom + dir * (kGap + size.height() / 2));
    return QPointF(b.center().x(), top + dir * (kGap + size.height() / 2));
  }
  const double end = neg ? b.left() : b.right(), start = neg ? b.right() : b.left();
  const double dir = neg ? -1 : 1;
  if (pos == "ctr") return b.center();
  if (pos == "inEnd") return QPointF(end - dir * (kGap + size.width() / 2), b.center().y());
  if (pos == "inBase") return QPointF(start + dir * (kGap + size.width() / 2), b.center().y());
  return QPointF(end + dir * (kGap + size.width() / 2), b.center().y());
}

QPointF pointLabelCenter(const PointGeometry& p, const QString& pos, const QSizeF& size,
                         double markerSize) {
  const double off = markerSize / 2 + kGap;
  if (pos == "t") return p.position - QPointF(0, off + size.height() / 2);
  if (pos == "b") return p.position + QPointF(0, off + size.height() / 2);
  if (pos == "l") return p.position - QPointF(off + size.width() / 2, 0);
  if (pos == "ctr") return p.position;
  return p.position + QPointF(off + size.width() / 2, 0);
}

QPointF pieLabelCenter(const PointGeometry& p, const QString& pos, const QSizeF& size) {
  const double mid = (p.startAngle + p.sweepAngle / 2 - 90) * M_PI / 180.0;
  const QPointF dir(std::cos(mid), std::sin(mid));
  if (pos == "outEnd") {
    const double extra = std::abs(dir.x()) * size.width() / 2 + std::abs(dir.y()) * size.height() / 2;
    return p.center + dir * (p.outerRadius + kGap + extra);
  }
  if (pos == "inEnd") return p.center + dir * (p.outerRadius * 0.8);
  if (p.innerRadius > 0) return p.center + dir * (p.innerRadius + p.outerRadius) / 2;
  return p.center + dir * (p.outerRadius * 0.6);
}

// The label of point `i` (or of a pie of pie's combined slice, point n) when its settings
// show anything.
void addLabel(LayoutContext& ctx, const ooxml::chart::ChartGroup& g, const SeriesGeometry& sg,
              int si, int i, const PointGeometry& p, const PointFacts& facts) {
  const ooxml::chart::Series& s = *sg.series;
  const ooxml::chart::DataLabelSettings st = labelSettings(g, s, i);
  if (!st.showsAnything()) return;
  DataLabelLayout l;
  l.series = si;
  l.point = i;
  l.text = labelText(ctx, g, sg, st, i, facts);
  if (l.text.isEmpty()) return;
  l.style = textStyleFor(ctx, st.text, ctx.baseSizePt, false);
  if (const ooxml::chart::DataLabel* own = s.labels.pointLabel(i);
      own && !own->customText.isEmpty()) {
    ooxml::chart::TextFormat f = own->customText.defaultFormat();
    if (!own->customText.paragraphs.empty() && !own->customText.paragraphs.front().runs.empty())
      f.mergeFrom(own->customText.paragraphs.front().runs.front().format);
    if (f.bold) l.style.font.setBold(*f.bold);
    if (f.sizePt) l.style.font.setPointSizeF(*f.sizePt);
    if (f.color) l.style.color = ctx.theme.resolve(*f.color);
  }
  l.fill = brushForFill(st.format.fill, ctx.theme, Qt::NoBrush);
  l.border = penForLine(st.format.line, ctx.theme, QPen(Qt::NoPen));
  const bool boxed = l.fill.style() != Qt::NoBrush || l.border.style() != Qt::NoPen;
  l.size = measureRotated(l.style, l.text) + (boxed ? QSizeF(6, 4) : QSizeF(0, 0));
  const QString pos = labelPosition(g, st);
  const double marker = p.bubbleRadius > 0              ? 2 * p.bubbleRadius
                        : p.look.markerSymbol == "none" ? 0
                                                        : p.look.markerSize;
  if (g.kind == ChartKind::Bar) l.center = barLabelCenter(p, g.horizontal, pos, l.size);
  else if (isPieLike(g) && !p.bar.isEmpty()) l.center = p.bar.center();  // bar of pie
  else if (isPieLike(g)) l.center = pieLabelCenter(p, pos, l.size);
  else l.center = pointLabelCenter(p, pos, l.size, marker);
  // Pies and doughnuts place dragged labels with their other labels.
  if (g.kind != ChartKind::Pie && g.kind != ChartKind::Doughnut) moveDraggedLabel(ctx, l);
  ctx.out.dataLabels.push_back(l);
}

}  // namespace

void moveDraggedLabel(const LayoutContext& ctx, DataLabelLayout& l) {
  if (l.series < 0 || l.point < 0 || size_t(l.series) >= ctx.out.series.size()) return;
  const ooxml::chart::DataLabel* own =
      ctx.out.series[size_t(l.series)].series->labels.pointLabel(l.point);
  if (!own || !own->layout.x || !own->layout.y) return;
  // An offset from its place in fractions of the chart (edge mode: its top left corner).
  const QRectF& a = ctx.out.chartArea;
  const ooxml::chart::ManualLayout& m = own->layout;
  l.center = QPointF(
      m.xEdge ? a.left() + *m.x * a.width() + l.size.width() / 2 : l.center.x() + *m.x * a.width(),
      m.yEdge ? a.top() + *m.y * a.height() + l.size.height() / 2
              : l.center.y() + *m.y * a.height());
}

ooxml::chart::DataLabelSettings labelSettings(const ooxml::chart::ChartGroup& g,
                                              const ooxml::chart::Series& s, int i) {
  ooxml::chart::DataLabels merged = s.labels;
  merged.settings = g.labels.settings;
  merged.settings.mergeFrom(s.labels.settings);
  return merged.forPoint(i);
}

QString labelPosition(const ooxml::chart::ChartGroup& g,
                      const ooxml::chart::DataLabelSettings& st) {
  return st.position.isEmpty() ? defaultPosition(g) : st.position;
}

QPointF shiftInside(const QRectF& r, const QRectF& bounds) {
  const auto along = [](double lo, double hi, double boundLo, double boundHi) {
    if (hi - lo >= boundHi - boundLo) return (boundLo + boundHi - lo - hi) / 2;
    return lo < boundLo ? boundLo - lo : hi > boundHi ? boundHi - hi : 0.0;
  };
  return QPointF(along(r.left(), r.right(), bounds.left(), bounds.right()),
                 along(r.top(), r.bottom(), bounds.top(), bounds.bottom()));
}

void keepLabelsInChart(LayoutContext& ctx) {
  const QRectF area = ctx.out.chartArea.adjusted(1, 1, -1, -1);
  for (DataLabelLayout& l : ctx.out.dataLabels) {
    const QPointF shift = shiftInside(l.rect(), area);
    l.center += shift;
    if (!l.leader.isEmpty()) l.leader.back() += shift;
  }
}

namespace {

// Whole percents of `shares` that add up to 100, as the program shows a pie's percentages in
// whole percents: each share rounded, then the largest shares (the first of equal ones first)
// one percent less, or more, each until the sum is 100.
std::vector<double> wholePercents(const std::vector<double>& shares) {
  std::vector<double> out;
  double sum = 0;
  for (const double s : shares) {
    out.push_back(std::round(100 * s));
    sum += out.back();
  }
  std::vector<size_t> order(shares.size());
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return shares[a] > shares[b]; });
  const int diff = int(std::lround(100 - sum));
  for (int k = 0; k < std::abs(diff) && !order.empty(); ++k)
    out[order[size_t(k) % order.size()]] += diff > 0 ? 1 : -1;
  return out;
}

}  // namespace

void layoutDataLabels(LayoutContext& ctx) {
  for (size_t si = 0; si < ctx.out.series.size(); ++si) {
    const SeriesGeometry& sg = ctx.out.series[si];
    const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(sg.group)];
    const ooxml::chart::Series& s = *sg.series;
    if (!g.labels.present && !s.labels.present) continue;
    double total = 0;
    for (const PointGeometry& p : sg.points) total += p.valid ? std::abs(p.value) : 0;
    const int n = int(sg.points.size());
    // A pie of pie's combined slice is labelled as point n, "Other".
    const OfPieLayout& of = ctx.out.ofPie;
    const bool other = of.present && of.series == int(si) && of.other.valid;
    // A pie's whole percents add up to 100.
    const ooxml::chart::DataLabelSettings first = labelSettings(g, s, 0);
    const QString percentCode =
        first.numFmt && !first.numFmtSourceLinked ? *first.numFmt : QString("0%");
    std::vector<double> whole;
    if (isPieLike(g) && !other && total > 0 && percentCode == "0%") {
      std::vector<double> shares;
      for (const PointGeometry& p : sg.points)
        shares.push_back(p.valid ? std::abs(p.value) / total : 0);
      whole = wholePercents(shares);
    }
    for (int i = 0; i < n + (other ? 1 : 0); ++i) {
      const PointGeometry& p = i < n ? sg.points[size_t(i)] : of.other;
      if (!p.valid) continue;
      PointFacts facts;
      facts.value = i < n ? s.values.number(i) : std::optional<double>(p.value);
      facts.category = i < n ? categoryText(ctx, s, i) : QString("Other");
      facts.percent = !whole.empty() ? whole[size_t(i)] / 100
                      : total > 0    ? std::abs(p.value) / total
                                     : 0;
      addLabel(ctx, g, sg, int(si), i, p, facts);
    }
  }
}

}  // namespace morvane::render::chart::detail
