// Legend: the entries in the program's order and where they go.
#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

#include <algorithm>

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;
using ooxml::chart::Grouping;

namespace {

// Key sizes and gaps as the program's legends show them: a small square before a filled
// series, a line before a line series, the marker alone where the series has no line.
constexpr double kKeyBox = 5.5;
constexpr double kBoxGap = 4.5;
constexpr double kLineKey = 22;
constexpr double kMarkerKey = 7;  // height of a line key (room for its marker)
constexpr double kLineGap = 2;
constexpr double kLegendGap = 4;  // legend box to the plot's room

// How tightly the entries are set: the 2013 look sets them nearer the box's edge and each
// other than the 2007 look, in a box of the same room (its plot stays where it was).
struct EntrySpacing {
  double inset;     // a column's keys from the box's left edge
  double boxGap;    // a square key to its text
  double rowPitch;  // a column's rows apart, in text lines
  double spacing;   // entries in a row apart
};
constexpr EntrySpacing kClassicSpacing{7, kBoxGap, 1.6, 10};
constexpr EntrySpacing kModernSpacing{4.3, 2.8, 1.475, 8};

bool isSecondary(const ooxml::chart::ChartModel& chart, const ooxml::chart::ChartGroup& g) {
  if (g.axisIds.size() < 2) return false;
  for (const ooxml::chart::ChartGroup& other : chart.plotArea.groups)
    if (other.axisIds.size() >= 2) return other.axisIds[1] != g.axisIds[1] && &other < &g;
  return false;
}

// A vertical legend lists series in the order they appear bottom to top where they stack
// upwards, as the program does for stacked columns, lines and areas and clustered bars.
bool reversesInVerticalLegend(const ooxml::chart::ChartGroup& g) {
  const bool stacked = g.grouping == Grouping::Stacked || g.grouping == Grouping::PercentStacked;
  switch (g.kind) {
    case ChartKind::Bar: return g.horizontal ? !stacked : stacked;
    case ChartKind::Line:
    case ChartKind::Area: return stacked;
    default: return false;
  }
}

bool lineKeyFor(const ooxml::chart::ChartGroup& g, const SeriesLook& look) {
  switch (g.kind) {
    case ChartKind::Line:
    case ChartKind::Stock:
    case ChartKind::Scatter:
      return true;
    case ChartKind::Radar:
      return g.radarStyle != "filled";
    default:
      (void)look;
      return false;
  }
}

bool deleted(const ooxml::chart::Legend& legend, int idx) {
  return std::find(legend.deletedEntries.begin(), legend.deletedEntries.end(), idx) !=
         legend.deletedEntries.end();
}

bool lineShown(const LegendEntry& e) { return e.lineKey && e.look.line.style() != Qt::NoPen; }

// With `wide`, every key takes a line key's width so that the texts line up: a column of
// entries where some series show a line, as the program draws it.
double keyWidth(const LegendEntry& e, bool wide) { return wide || lineShown(e) ? kLineKey : kKeyBox; }

double keyGap(const LegendEntry& e, bool wide, double boxGap) {
  return wide || lineShown(e) ? kLineGap : boxGap;
}

// Where an entry's key goes, given its left edge and the middle of its row.
QRectF keyRectAt(const LegendEntry& e, bool wide, double x, double mid) {
  const double h = e.lineKey ? kMarkerKey : kKeyBox;
  return QRectF(x, mid - h / 2, keyWidth(e, wide), h);
}

QString trendlineLabel(const ooxml::chart::Trendline& t, const QString& seriesName) {
  if (!t.name.isEmpty()) return t.name;
  QString kind = "Linear";
  if (t.type == "poly") kind = "Poly.";
  else if (t.type == "exp") kind = "Expon.";
  else if (t.type == "log") kind = "Log.";
  else if (t.type == "power") kind = "Power";
  else if (t.type == "movingAvg") kind = QString("%1 per. Mov. Avg.").arg(t.period);
  return QString("%1 (%2)").arg(kind, seriesName);
}

QString seriesName(const ooxml::chart::Series& s) {
  return s.hasName ? s.name : QString("Series%1").arg(s.index + 1);
}

void pointEntries(const LayoutContext& ctx, int groupIndex, std::vector<LegendEntry>& out) {
  const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(groupIndex)];
  if (g.series.empty()) return;
  const ooxml::chart::Series& s = g.series.front();
  const int n = s.pointCount();
  // A pie of pie lists its combined slice last, as "Other" (point n).
  const bool ofPie = g.kind == ChartKind::OfPie;
  const int colours = n + (ofPie ? 1 : 0);
  QString format = s.categories.formatCode;
  for (int i = 0; i < colours && i < 1000; ++i) {
    if (deleted(ctx.chart.legend, i)) continue;
    LegendEntry e;
    const auto num = s.categories.numeric ? s.categories.number(i) : std::nullopt;
    e.text = i == n ? QString("Other")
             : !s.categories.present ? QString::number(i + 1)
             : num ? formatChartNumber(*num, format, ctx.chart.date1904)
                   : s.categories.text(i);
    e.series = 0;
    e.point = i;
    e.look = seriesLook(ctx.chart, ctx.theme, g, s, i, i, colours);
    out.push_back(e);
  }
}

}  // namespace

std::vector<LegendEntry> legendEntries(const LayoutContext& ctx) {
  std::vector<LegendEntry> out;
  const ooxml::chart::ChartModel& chart = ctx.chart;
  if (!chart.legend.present) return out;
  const auto& groups = chart.plotArea.groups;
  if (!groups.empty() && groups.front().kind == ChartKind::Surface) {
    // A surface's legend lists its value bands, the highest on top in a column.
    const SurfaceBands bands = surfaceBands(ctx, groups.front());
    for (size_t k = 0; k < bands.looks.size(); ++k) {
      LegendEntry e;
      e.text = bands.names[k];
      e.point = int(k);
      e.look = bands.looks[k];
      out.push_back(e);
    }
    const ooxml::chart::LegendPosition pos = chart.legend.position;
    if (pos != ooxml::chart::LegendPosition::Top && pos != ooxml::chart::LegendPosition::Bottom)
      std::reverse(out.begin(), out.end());
    return out;
  }
  if (groups.size() == 1 && (isPieLike(groups.front()) ? groups.front().varyColors
                                                       : groups.front().varyColors && ctx.seriesTotal == 1 &&
                                                             groups.front().kind == ChartKind::Bar)) {
    pointEntries(ctx, 0, out);
    return out;
  }
  const ooxml::chart::LegendPosition pos = chart.legend.position;
  const bool vertical =
      pos != ooxml::chart::LegendPosition::Top && pos != ooxml::chart::LegendPosition::Bottom;
  std::vector<LegendEntry> trend;
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t gi = 0; gi < groups.size(); ++gi) {
      const ooxml::chart::ChartGroup& g = groups[gi];
      if (isSecondary(chart, g) != (pass == 1)) continue;
      std::vector<LegendEntry> entries;
      for (size_t j = 0; j < g.series.size(); ++j) {
        const ooxml::chart::Series& s = g.series[j];
        if (deleted(chart.legend, s.index)) continue;
        LegendEntry e;
        e.text = seriesName(s);
        e.series = int(gi);  // group index until the series list is known
        e.point = -1;
        e.look = seriesLook(chart, ctx.theme, g, s, -1, s.index, ctx.seriesTotal);
        e.lineKey = lineKeyFor(g, e.look);
        e.roundKey = g.kind == ChartKind::Bubble;
        e.sphereKey = e.roundKey && s.bubble3D;
        entries.push_back(e);
        for (const ooxml::chart::Trendline& t : s.trendlines) {
          LegendEntry te;
          te.text = trendlineLabel(t, e.text);
          te.lineKey = true;
          te.look.line = penForLine(t.format.line, ctx.theme, QPen(Qt::black, 0.75));
          te.look.markerSymbol = "none";
          trend.push_back(te);
        }
      }
      if (vertical && reversesInVerticalLegend(g)) std::reverse(entries.begin(), entries.end());
      out.insert(out.end(), entries.begin(), entries.end());
    }
  }
  out.insert(out.end(), trend.begin(), trend.end());
  return out;
}

void placeLegend(LayoutContext& ctx, QRectF& available) {
  ChartLayout& out = ctx.out;
  out.legend = legendEntries(ctx);
  if (out.legend.empty()) return;
  out.legendStyle = textStyleFor(ctx, ctx.chart.legend.text, ctx.baseSizePt, false);
  const double lineH = measureText(out.legendStyle, "Xg").height();
  const ooxml::chart::LegendPosition pos = ctx.chart.legend.position;
  const bool vertical =
      pos != ooxml::chart::LegendPosition::Top && pos != ooxml::chart::LegendPosition::Bottom;
  const bool wide = vertical && std::any_of(out.legend.begin(), out.legend.end(), lineShown);
  const EntrySpacing& set = ctx.modernLook ? kModernSpacing : kClassicSpacing;
  // An entry's size with `boxGap` after a square key.
  auto entrySize = [&](const LegendEntry& e, double boxGap) {
    return QSizeF(
        keyWidth(e, wide) + keyGap(e, wide, boxGap) + measureText(out.legendStyle, e.text).width(),
        std::max(lineH, kMarkerKey));
  };
  QRectF rect;
  // The program's legend box keeps its entries well inside, left and right.
  const double pad = vertical ? 7 : 3;
  if (vertical) {
    const double rowH = lineH * set.rowPitch;
    // The program shows the first entries the chart has room for and leaves out the rest.
    const double rows = std::floor((available.height() - 2 * pad) / rowH + 1e-9);
    const size_t fit = size_t(std::clamp(rows, 1.0, double(out.legend.size())));
    out.legend.resize(fit);
    double w = 0;
    for (const LegendEntry& e : out.legend) w = std::max(w, entrySize(e, kBoxGap).width());
    w = std::min(w + 2 * pad, available.width() * 0.45);
    const double h = std::min(rowH * double(fit) + 2 * pad, available.height());
    const double x =
        pos == ooxml::chart::LegendPosition::Left ? available.left() : available.right() - w;
    const double y = pos == ooxml::chart::LegendPosition::TopRight ? available.top()
                                                                   : available.center().y() - h / 2;
    rect = QRectF(x, y, w, h);
    // A right-hand legend mirrors a left-hand one: its entries keep to the box's outer side,
    // as near it as a left-hand legend's keys stand to theirs (the 2013 look's picture).
    const double inset =
        pos == ooxml::chart::LegendPosition::Left ? set.inset : 2 * pad - set.inset;
    double cy = rect.top() + pad + (h - 2 * pad - rowH * double(fit)) / 2;
    for (size_t i = 0; i < out.legend.size(); ++i, cy += rowH) {
      LegendEntry& e = out.legend[i];
      const double mid = cy + rowH / 2;
      const double gap = keyGap(e, wide, set.boxGap);
      e.keyRect = keyRectAt(e, wide, rect.left() + inset, mid);
      e.textRect = QRectF(e.keyRect.right() + gap, mid - lineH / 2,
                          rect.right() - e.keyRect.right() - gap, lineH);
      // An entry wider than the legend may be is cut, not drawn over the plot.
      e.text = elideText(out.legendStyle, e.text, e.textRect.width());
    }
  } else {
    std::vector<QSizeF> sizes;
    for (const LegendEntry& e : out.legend) sizes.push_back(entrySize(e, set.boxGap));
    double total = 0;
    for (const QSizeF& s : sizes) total += s.width() + set.spacing;
    total = std::max(0.0, total - set.spacing);
    const double w = std::min(total + 2 * pad, available.width());
    const int rows = std::max(1, int(std::ceil(total / std::max(1.0, available.width() - 2 * pad))));
    const double h = rows * lineH * 1.3 + 2 * pad;
    const double y =
        pos == ooxml::chart::LegendPosition::Top ? available.top() : available.bottom() - h;
    rect = QRectF(available.center().x() - w / 2, y, w, h);
    double x = rect.left() + pad, cy = rect.top() + pad;
    for (size_t i = 0; i < out.legend.size(); ++i) {
      LegendEntry& e = out.legend[i];
      if (x + sizes[i].width() > rect.right() - pad + 0.5 && x > rect.left() + pad) {
        x = rect.left() + pad;
        cy += lineH * 1.3;
      }
      const double mid = cy + lineH * 0.65;
      const double gap = keyGap(e, false, set.boxGap);
      e.keyRect = keyRectAt(e, false, x, mid);
      e.textRect = QRectF(e.keyRect.right() + gap, mid - lineH / 2,
                          sizes[i].width() - keyWidth(e, false) - gap, lineH);
      x += sizes[i].width() + set.spacing;
    }
  }
  const ooxml::chart::ManualLayout& m = ctx.chart.legend.layout;
  if (m.x && m.y) {
    const QRectF& a = out.chartArea;
    const QPointF shift = QPointF(a.left() + *m.x * a.width(), a.top() + *m.y * a.height()) - rect.topLeft();
    rect.translate(shift);
    for (LegendEntry& e : out.legend) e.keyRect.translate(shift), e.textRect.translate(shift);
  }
  out.legendRect = rect;
  if (ctx.chart.legend.overlay || (m.x && m.y)) return;
  switch (pos) {
    case ooxml::chart::LegendPosition::Left:
      available.setLeft(rect.right() + kLegendGap);
      break;
    case ooxml::chart::LegendPosition::Top:
      available.setTop(rect.bottom() + kLegendGap);
      break;
    case ooxml::chart::LegendPosition::Bottom:
      available.setBottom(rect.top() - kLegendGap);
      break;
    default: available.setRight(rect.left() - kLegendGap); break;
  }
}

}  // namespace morvane::render::chart::detail
