// The data table under a category chart: texts planned before the axes, placed after them.
#include "render/chart/layout_context.h"
#include "render/chart/value_format.h"

#include <algorithm>
#include <cmath>

namespace morvane::render::chart::detail {

namespace {

constexpr double kKey = 7;
constexpr double kPad = 4;

const ooxml::chart::Series* firstSeries(const ooxml::chart::ChartModel& chart) {
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
    if (usesAxes(g) && !g.series.empty()) return &g.series.front();
  return nullptr;
}

// A date axis has a slot per base unit, but the table a column per point: the columns meet
// halfway between neighbouring points, or share the width evenly where the points do not
// run left to right.
std::vector<double> pointColumns(const AxisLayout& axis, int n) {
  const QRectF& plot = axis.plot;
  std::vector<double> at;
  for (int i = 0; i < n; ++i) at.push_back(axis.coordinate(axis.pointSlot(i)));
  bool ordered = true;
  for (int i = 0; i < n; ++i)
    ordered = ordered && std::isfinite(at[size_t(i)]) && (i == 0 || at[size_t(i)] > at[size_t(i - 1)]);
  std::vector<double> edges;
  for (int i = 0; i <= n; ++i) {
    if (!ordered || n == 0) edges.push_back(plot.left() + plot.width() * i / std::max(n, 1));
    else if (i == 0) edges.push_back(plot.left());
    else if (i == n) edges.push_back(plot.right());
    else edges.push_back((at[size_t(i - 1)] + at[size_t(i)]) / 2);
  }
  return edges;
}

}  // namespace

DataTableLayout planDataTable(const LayoutContext& ctx) {
  DataTableLayout t;
  const ooxml::chart::ChartModel& chart = ctx.chart;
  const ooxml::chart::Series* first = firstSeries(chart);
  if (!chart.plotArea.dataTable.present || !first) return t;
  t.present = true;
  t.style = textStyleFor(ctx, ooxml::chart::TextBody(), ctx.baseSizePt, false);
  int n = 0;
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
    for (const ooxml::chart::Series& s : g.series) n = std::max(n, std::min(s.pointCount(), 1000));
  for (int i = 0; i < n; ++i) {
    const auto v = first->categories.numeric ? first->categories.number(i) : std::nullopt;
    t.header.push_back(!first->categories.present ? QString::number(i + 1)
                       : v ? formatChartNumber(*v, first->categories.formatCode, chart.date1904)
                           : first->categories.text(i));
  }
  double widest = 0;
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups) {
    for (const ooxml::chart::Series& s : g.series) {
      t.names.push_back(s.hasName ? s.name : QString("Series%1").arg(s.index + 1));
      t.keys.push_back(seriesLook(chart, ctx.theme, g, s, -1, s.index, ctx.seriesTotal));
      std::vector<QString> row;
      for (int i = 0; i < n; ++i) {
        const auto v = s.values.number(i);
        row.push_back(v ? formatChartNumber(*v, s.values.formatCode, chart.date1904) : QString());
      }
      t.values.push_back(row);
      widest = std::max(widest, measureText(t.style, t.names.back()).width());
    }
  }
  const bool keys = chart.plotArea.dataTable.showKeys;
  t.nameWidth = widest + 2 * kPad + (keys ? kKey + kPad : 0);
  t.rowHeight = measureText(t.style, "0").height() + kPad;
  t.rect = QRectF(0, 0, 0, t.rowHeight * double(t.names.size() + 1));
  return t;
}

void placeDataTable(LayoutContext& ctx, DataTableLayout table) {
  const QRectF& plot = ctx.out.plotArea;
  table.rect = QRectF(plot.left() - table.nameWidth, plot.bottom(), plot.width() + table.nameWidth,
                      table.rect.height());
  const AxisLayout* cat = nullptr;
  for (const AxisLayout& a : ctx.out.axes)
    if (!a.valueScale && a.horizontal) cat = &a;
  const int n = int(table.header.size());
  if (cat && cat->dateAxis) {
    table.columns = pointColumns(*cat, n);
  } else {
    for (int i = 0; i <= n; ++i)
      table.columns.push_back(cat ? cat->coordinate(i - 0.5) : plot.left() + plot.width() * i / std::max(n, 1));
  }
  for (AxisLayout& a : ctx.out.axes)
    if (!a.valueScale && a.horizontal) a.titleCenter.ry() += table.rect.height();
  ctx.out.dataTable = table;
}

}  // namespace morvane::render::chart::detail
