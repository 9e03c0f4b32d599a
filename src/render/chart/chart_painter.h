// The drawing steps of drawChart, each from a finished ChartLayout. Internal to the renderer.
#pragma once

#include "render/chart/chart_layout.h"

class QPainter;

namespace morvane::render::chart::detail {

struct PaintContext {
  QPainter& painter;
  const ooxml::chart::ChartModel& chart;
  const ooxml::chart::Theme& theme;
  const ChartLayout& layout;
};

void paintGridlines(PaintContext& pc);
void paintAxes(PaintContext& pc);
void paintRadarGrid(PaintContext& pc);
// The spokes of a filled radar, drawn after its series.
void paintRadarSpokesOver(PaintContext& pc);
void paintSeries(PaintContext& pc);
// A 3-D chart's scene in place of the plot, its gridlines, series and axes.
void paintScene3D(PaintContext& pc);
void paintDataLabels(PaintContext& pc);
void paintLegend(PaintContext& pc);
void paintDataTable(PaintContext& pc);
// A marker of `look` centred on `c`.
void paintMarker(QPainter& painter, const SeriesLook& look, const QPointF& c);
// The colour effects blend with: the plot's fill, else the chart's, else white.
QColor backgroundOf(const PaintContext& pc);

}  // namespace morvane::render::chart::detail
