// Pixel analysis of chart pictures, ours and the program's screenshots alike: the chart
// area's outline, the plot rectangle traced by its gridlines and axis lines, and the ink of
// the title and the legend. Used to compare layouts as fractions of the chart size.
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

namespace morvane::charttest {

struct PictureProbe {
  QRect chart;                    // the chart area (inside its outline when there is one)
  std::optional<QRect> plot;      // the gridlines' and axis lines' bounding rectangle
  std::optional<QRect> title;     // dark ink above the plot
  std::optional<QRect> legend;    // ink right of the plot
};

// The chart area of a screenshot: the grey outline's rectangle, found on opaque pixels
// along the middle row and column. Nullopt when no outline is found.
std::optional<QRect> findOutline(const QImage& image);

// Probes `image` within `chart` (a rectangle of the image).
PictureProbe probePicture(const QImage& image, const QRect& chart);

// The thickness in pixels of the legend's line keys: the longest run of coloured pixels
// down the column `dx` pixels right of the legend ink's left edge. 0 without one.
int legendLineThickness(const QImage& image, const QRect& legend, int dx);

// The bounding box of coloured (not grey) pixels within `area`: a pie's slices, say.
std::optional<QRect> colouredBox(const QImage& image, const QRect& area);

// `r` as fractions of `chart`: left, top, right, bottom in 0..1.
QRectF fractionOf(const QRect& r, const QRect& chart);

// Where a chart sits in a reference picture that shows more than the chart: a row of
// fidelity3d_rects.tsv (its comment lines say how they were measured).
struct ChartInPicture {
  QString picture;  // the picture's path in the set, without ".png"
  int chart = 0;    // the chart's index in the workbook's drawings
  QRect rect;       // the chart area, its outline included
  double pixelsPerPoint = 1;
  // How far ours may be off where the default is not met: "plot=4.8,title=2.2" (% of the
  // chart), with the reason; empty for the defaults.
  QString limits, why;
};

// The rows of a table of chart rectangles; empty when it cannot be read.
std::vector<ChartInPicture> readChartRects(const QString& tsvPath);

enum class LegendSide { None, Left, Right, Top, Bottom };

// Probes a 3-D or surface chart within `chart`. The plot is the bounding box of the walls,
// floor and series: the connected regions of non-white pixels, other than black text, that
// reach across a tenth of the chart (strokes of text and legend keys do not). The title is the
// topmost band of ink; the legend the first band of ink from the chart's edge on `legend`'s
// side. `plotEdges` counts the plot's edges found inside the chart, short of its outline.
PictureProbe probe3D(const QImage& image, const QRect& chart, LegendSide legend, int* plotEdges);

}  // namespace morvane::charttest
