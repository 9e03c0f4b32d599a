// The program's automatic chart formatting: what a chart style (1-48) gives a series, a point,
// the chart area, the plot area, gridlines and text when the part leaves them unset, and the
// conversion of DrawingML fills and lines into Qt brushes and pens.
#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QRectF>

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"
#include "render/chart/effects.h"

namespace morvane::render::chart {

// Style 1-48 is 6 variants x 8 colour schemes: variant (style-1)/8 is plain, outline,
// gradient, bevel, tinted plot area or dark chart area; scheme (style-1)%8 is greys,
// colourful, or shades of accent 1..6.
struct ChartStyleInfo {
  int variant = 0;
  int scheme = 1;
};
ChartStyleInfo styleInfo(int style);

// The automatic colour of series `index` among `count` series (or of point `index` among
// `count` points when colours vary by point).
QColor autoSeriesColor(const ooxml::chart::Theme& theme, int style, int index, int count);

// A series' or point's resolved look.
struct SeriesLook {
  QBrush fill;              // Qt::NoBrush when not filled
  QPen line;                // Qt::NoPen when no line
  QString markerSymbol;     // "none" or a symbol
  double markerSize = 5;
  QBrush markerFill;
  QPen markerLine;
  QColor baseColor;         // the automatic or explicit main colour (legend keys, labels)
  ShapeEffects effects;     // filled shapes: shadow, glow, soft edges, bevel
};

// Look of one series (point -1) or one of its points in `group`. `autoIndex`/`autoCount` pick
// the automatic colour (the series' c:idx among all series, or the point among the points
// when the group varies colours).
SeriesLook seriesLook(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                      const ooxml::chart::ChartGroup& group, const ooxml::chart::Series& series,
                      int point, int autoIndex, int autoCount);

// Colour of unformatted chart text, axis lines and gridlines, and the chart and plot area
// backgrounds, per style.
QColor defaultTextColor(const ooxml::chart::Theme& theme, int style);
QColor defaultAxisLineColor(const ooxml::chart::Theme& theme, int style);
QColor defaultGridColor(const ooxml::chart::Theme& theme, int style);
QBrush defaultChartAreaFill(const ooxml::chart::Theme& theme, int style);
QBrush defaultPlotAreaFill(const ooxml::chart::Theme& theme, int style);

// A DrawingML fill as a brush; gradients span the bounding box of each shape drawn with it.
// Unset gives `fallback`; None gives Qt::NoBrush.
QBrush brushForFill(const ooxml::chart::Fill& fill, const ooxml::chart::Theme& theme,
                    const QBrush& fallback, const QColor& placeholder = QColor());
// A DrawingML line as a pen (width in points, dash, flat caps). Unset parts take `fallback`'s.
QPen penForLine(const ooxml::chart::LineFormat& line, const ooxml::chart::Theme& theme,
                const QPen& fallback, const QColor& placeholder = QColor());

// Automatic marker symbol for series `index`: diamond, square, triangle, x, star, circle, plus.
QString autoMarkerSymbol(int index);

}  // namespace morvane::render::chart
