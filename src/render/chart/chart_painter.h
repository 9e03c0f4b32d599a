// The drawing steps of drawChart, each from a finished ChartLayout. Internal to the renderer.
#pragma once

#include "render/chart/chart_layout.h"

class QPainter;

namespace render::detail {

struct PaintContext {
  QPainter& painter;
  const ooxml::ChartModel& chart;
  const ooxml::Theme& theme;
  const ChartLayout& layout;
};

void paintGridlines(PaintContext& pc);
void paintAxes(PaintContext& pc);
void paintRadarGrid(PaintContext& pc);
// The spokes of a filled radar, drawn after its series.
void paintRadarSpokesOver(PaintContext& pc);
void paintSeries(PaintContext& pc);
void paintDataLabels(PaintContext& pc);
void paintLegend(PaintContext& pc);
void paintDataTable(PaintContext& pc);
// A marker of `look` centred on `c`.
void paintMarker(QPainter& painter, const SeriesLook& look, const QPointF& c);

}  // namespace render::detail
