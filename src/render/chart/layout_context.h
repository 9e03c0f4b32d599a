// Shared state of one layoutChart run. Internal to the chart renderer.
#pragma once

#include "render/chart/chart_layout.h"

namespace render::detail {

struct LayoutContext {
  const ooxml::ChartModel& chart;
  const ooxml::Theme& theme;
  ChartLayout& out;
  double baseSizePt = 10;
  QColor textColor;
  int seriesTotal = 0;               // all series of all groups
};

bool isPieLike(const ooxml::ChartGroup& group);
bool usesAxes(const ooxml::ChartGroup& group);
// The TextStyle of chart text with `body`'s defaults over the chart space's.
TextStyle textStyleFor(const LayoutContext& ctx, const ooxml::TextBody& body, double sizePt,
                       bool bold);

// Axes: scales, labels and the inner plot rectangle within `outer`.
void layoutAxes(LayoutContext& ctx, const QRectF& outer, bool outerIsInner);
// The data table's rows and size, before the axes are laid out (nothing when absent).
DataTableLayout planDataTable(const LayoutContext& ctx);
// Positions the planned table under the laid-out plot.
void placeDataTable(LayoutContext& ctx, DataTableLayout table);
// Series geometry inside ctx.out.plotArea (needs the axes).
void layoutSeries(LayoutContext& ctx);
// Trendlines and error bars of the series of group `group` (needs their geometry).
void layoutOverlays(LayoutContext& ctx, int group, std::vector<SeriesGeometry>& series);
// Data label texts and positions (needs the series geometry).
void layoutDataLabels(LayoutContext& ctx);
// Legend entries in display order, without positions.
std::vector<LegendEntry> legendEntries(const LayoutContext& ctx);
// Positions the legend inside `available`, shrinking it unless the legend overlays.
void placeLegend(LayoutContext& ctx, QRectF& available);

}  // namespace render::detail
