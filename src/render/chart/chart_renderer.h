// Draws a chart model with plain QPainter operations, so one routine serves rasters, EMF
// and PDF devices.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace morvane::render::chart {

// Draws the whole chart area of `chart` into `target`. Requires: the painter's transform
// maps 1 unit to 1 point (callers drawing on a 96 dpi raster scale by 96/72 first); text
// sizes are then right on every device. Charts that cannot be drawn (no data, surface
// charts, a target too small) get a placeholder picture naming the title and chart kind.
// Never throws; leaves the painter's state as it found it.
void drawChart(QPainter& painter, const QRectF& target, const ooxml::chart::ChartModel& chart,
               const ooxml::chart::Theme& theme);

// The chart as a 96 dpi image of `sizeInPoints` on white. Sizes below 1 point or above
// 20000 points are clamped; never returns a null image.
QImage chartToImage(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                    QSizeF sizeInPoints);

}  // namespace morvane::render::chart
