#include "picture_probe.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace morvane;

namespace morvane::charttest {

namespace {

// Gridlines and axis lines are a mid grey; antialiasing lightens thin ones.
bool isLinePixel(QRgb p) {
  if (qAlpha(p) < 240) return false;
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  const int spread = std::max({r, g, b}) - std::min({r, g, b});
  return spread <= 14 && r >= 95 && r <= 205;
}

bool isDarkNeutral(QRgb p) {
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  return std::max({r, g, b}) < 90 && std::max({r, g, b}) - std::min({r, g, b}) < 30;
}

bool isInk(QRgb p) {
  if (qAlpha(p) < 240) return false;
  const int r = qRed(p), g = qGreen(p), b = qBlue(p);
  const int spread = std::max({r, g, b}) - std::min({r, g, b});
  return qGray(p) < 200 || spread > 40;
}

struct Line {
  int at = 0;       // y of a horizontal line, x of a vertical one
  int from = 0, to = 0;
};

constexpr int kMinRun = 14;  // shorter grey runs are text edges, not lines

// The longest chain of grey runs (each at least kMinRun pixels, gaps up to `maxGap`) along
// row or column `o`: a gridline broken by bars is one chain, text beside it is not.
Line longestChain(const QImage& img, int o, int from, int to, bool horizontal, int maxGap,
                  int* total) {
  Line best{o, 0, -1};
  int bestTotal = 0, chainTotal = 0, chainFrom = -1, chainTo = -1, run = 0, shade = -1;
  for (int i = from; i <= to + 1; ++i) {
    const QRgb p = i <= to ? (horizontal ? img.pixel(i, o) : img.pixel(o, i)) : 0;
    // The grey edge of a black text stroke lies beside the stroke.
    const bool besideText =
        i <= to && (horizontal ? isDarkNeutral(img.pixel(i, std::max(o - 1, 0))) ||
                                     isDarkNeutral(img.pixel(i, std::min(o + 1, img.height() - 1)))
                               : isDarkNeutral(img.pixel(std::max(o - 1, 0), i)) ||
                                     isDarkNeutral(img.pixel(std::min(o + 1, img.width() - 1), i)));
    // A line keeps one shade along its run; antialiased text edges do not.
    const bool on = i <= to && isLinePixel(p) && !besideText &&
                    (run == 0 || std::abs(qRed(p) - shade) <= 16);
    if (on) {
      if (run++ == 0) shade = qRed(p);
      continue;
    }
    const int end = i;
    if (i <= to && isLinePixel(p) && !besideText && run > 0) --i;  // a new shade: a new run
    if (run >= kMinRun) {
      const int start = end - run;
      if (chainFrom < 0 || start - chainTo > maxGap) chainFrom = start, chainTotal = 0;
      chainTotal += run;
      chainTo = end - 1;
      if (chainTotal > bestTotal) bestTotal = chainTotal, best = Line{o, chainFrom, chainTo};
    }
    run = 0;
  }
  *total = bestTotal;
  return best;
}

// Lines along one direction: rows (horizontal) or columns whose longest chain of grey runs
// covers a fifth of the chart's extent.
std::vector<Line> findLines(const QImage& img, const QRect& c, bool horizontal) {
  std::vector<Line> lines;
  const int outerFrom = horizontal ? c.top() + 3 : c.left() + 3;
  const int outerTo = horizontal ? c.bottom() - 3 : c.right() - 3;
  const int innerFrom = horizontal ? c.left() + 3 : c.top() + 3;
  const int innerTo = horizontal ? c.right() - 3 : c.bottom() - 3;
  const int extent = horizontal ? c.width() : c.height();
  for (int o = outerFrom; o <= outerTo; ++o) {
    int total = 0;
    const Line l = longestChain(img, o, innerFrom, innerTo, horizontal, extent / 6, &total);
    if (total >= extent / 5) lines.push_back(l);
  }
  return lines;
}

// One edge of the plot: the parallel line nearest the perpendicular lines' end wins when it
// is close (tick marks make those ends stick out); otherwise that end itself.
int edge(const std::vector<Line>& perpendicular, const std::vector<Line>& parallel, bool maxEnd,
         int tolerance) {
  if (perpendicular.empty()) {
    int end = maxEnd ? -1 : 1 << 30;
    for (const Line& l : parallel) end = maxEnd ? std::max(end, l.at) : std::min(end, l.at);
    return end;
  }
  int end = maxEnd ? -1 : 1 << 30;
  for (const Line& l : perpendicular) end = maxEnd ? std::max(end, l.to) : std::min(end, l.from);
  int best = end, distance = tolerance + 1;
  for (const Line& l : parallel)
    if (std::abs(l.at - end) < distance) best = l.at, distance = std::abs(l.at - end);
  return best;
}

std::optional<QRect> inkBox(const QImage& img, const QRect& area) {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (isInk(img.pixel(x, y))) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return std::nullopt;
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

int firstOutline(const QImage& img, int from, int to, int step, bool alongX, int fixed) {
  for (int i = from; i != to; i += step) {
    const QRgb p = alongX ? img.pixel(i, fixed) : img.pixel(fixed, i);
    if (qAlpha(p) >= 240 && std::abs(qRed(p) - qBlue(p)) < 12 && qRed(p) >= 100 && qRed(p) <= 190)
      return i;
  }
  return -1;
}

}  // namespace

std::optional<QRect> findOutline(const QImage& image) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width(), h = img.height();
  if (w < 20 || h < 20) return std::nullopt;
  const int left = firstOutline(img, 0, w, 1, true, h / 2);
  const int right = firstOutline(img, w - 1, -1, -1, true, h / 2);
  const int top = firstOutline(img, 0, h, 1, false, w / 2);
  const int bottom = firstOutline(img, h - 1, -1, -1, false, w / 2);
  if (left < 0 || right < 0 || top < 0 || bottom < 0 || right - left < 20 || bottom - top < 20)
    return std::nullopt;
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

PictureProbe probePicture(const QImage& image, const QRect& chart) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  PictureProbe probe;
  probe.chart = chart;
  const std::vector<Line> rows = findLines(img, chart, true);
  const std::vector<Line> columns = findLines(img, chart, false);
  if (!rows.empty() || !columns.empty()) {
    const int tx = chart.width() / 40, ty = chart.height() / 25;
    const int left = edge(rows, columns, false, tx);
    const int right = edge(rows, columns, true, tx);
    const int top = edge(columns, rows, false, ty);
    const int bottom = edge(columns, rows, true, ty);
    if (right - left > chart.width() / 5 && bottom - top > chart.height() / 5)
      probe.plot = QRect(QPoint(left, top), QPoint(right, bottom));
  }
  const int titleBottom = probe.plot ? probe.plot->top() - chart.height() / 30
                                     : chart.top() + chart.height() * 3 / 10;
  if (titleBottom > chart.top() + 4)
    probe.title = inkBox(img, QRect(QPoint(chart.left() + 3, chart.top() + 3),
                                    QPoint(chart.right() - 3, titleBottom)));
  if (probe.plot && probe.plot->right() + chart.width() / 25 < chart.right() - 4) {
    const int from = probe.title ? probe.title->bottom() + 2 : chart.top() + 3;
    probe.legend = inkBox(img, QRect(QPoint(probe.plot->right() + chart.width() / 25, from),
                                     QPoint(chart.right() - 3, chart.bottom() - 3)));
  }
  return probe;
}

int legendLineThickness(const QImage& image, const QRect& legend, int dx) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  const int x = legend.left() + dx;
  int best = 0, run = 0;
  for (int y = legend.top(); y <= legend.bottom() + 1; ++y) {
    const QRgb p = y <= legend.bottom() ? img.pixel(x, y) : qRgb(255, 255, 255);
    const int spread = std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
    if (spread > 40) {
      ++run;
    } else {
      best = std::max(best, run);
      run = 0;
    }
  }
  return best;
}

std::optional<QRect> colouredBox(const QImage& image, const QRect& area) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = img.pixel(x, y);
      if (std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) <= 40)
        continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  if (right < 0) return std::nullopt;
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRectF fractionOf(const QRect& r, const QRect& chart) {
  const double w = chart.width(), h = chart.height();
  return QRectF(QPointF((r.left() - chart.left()) / w, (r.top() - chart.top()) / h),
                QPointF((r.right() + 1 - chart.left()) / w, (r.bottom() + 1 - chart.top()) / h));
}

std::vector<ChartInPicture> readChartRects(const QString& tsvPath) {
  std::vector<ChartInPicture> rows;
  QFile file(tsvPath);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return rows;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.startsWith('#') || line.trimmed().isEmpty()) continue;
    const QStringList f = line.split('\t');
    if (f.size() < 7) continue;
    ChartInPicture row;
    row.picture = f[0];
    row.chart = f[1].toInt();
    row.rect = QRect(QPoint(f[2].toInt(), f[3].toInt()), QPoint(f[4].toInt(), f[5].toInt()));
    row.pixelsPerPoint = f[6].toDouble();
    if (f.size() > 7 && f[7] != "-") row.limits = f[7];
    if (f.size() > 8) row.why = f[8];
    rows.push_back(row);
  }
  return rows;
}

namespace {

// Walls, floor and series: anything not near white, but not the black or dark grey of text.
bool isPlotPixel(QRgb p) {
  const int hi = std::max({qRed(p), qGreen(p), qBlue(p)}),
            lo = std::min({qRed(p), qGreen(p), qBlue(p)});
  return lo < 232 && !(hi < 110 && hi - lo < 30);
}

// Black or dark grey: the core of text.
bool isTextCore(QRgb p) {
  const int hi = std::max({qRed(p), qGreen(p), qBlue(p)}),
            lo = std::min({qRed(p), qGreen(p), qBlue(p)});
  return hi < 110 && hi - lo < 30;
}

// The bounding box of the 8-connected regions of plot pixels within `area` that reach across
// `minWidth` or `minHeight`. A grey region that mostly borders dark text is that text's
// antialiased fringe (letters a row of which joins into a wide region), not the plot.
std::optional<QRect> largeRegions(const QImage& img, const QRect& area, int minWidth,
                                  int minHeight) {
  const int w = area.width(), h = area.height();
  std::vector<char> seen(size_t(w) * size_t(h), 0);
  std::vector<QPoint> stack;
  QRect all;
  for (int y0 = 0; y0 < h; ++y0)
    for (int x0 = 0; x0 < w; ++x0) {
      if (seen[size_t(y0) * size_t(w) + size_t(x0)] ||
          !isPlotPixel(img.pixel(area.left() + x0, area.top() + y0)))
        continue;
      QRect box(x0, y0, 1, 1);
      int pixels = 0, coloured = 0, textContacts = 0;
      stack.assign(1, QPoint(x0, y0));
      seen[size_t(y0) * size_t(w) + size_t(x0)] = 1;
      while (!stack.empty()) {
        const QPoint q = stack.back();
        stack.pop_back();
        box |= QRect(q, QSize(1, 1));
        const QRgb c = img.pixel(area.left() + q.x(), area.top() + q.y());
        ++pixels;
        coloured +=
            std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}) >=
            30;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) {
            const int x = q.x() + dx, y = q.y() + dy;
            if (x < 0 || y < 0 || x >= w || y >= h || seen[size_t(y) * size_t(w) + size_t(x)])
              continue;
            const QRgb n = img.pixel(area.left() + x, area.top() + y);
            if (!isPlotPixel(n)) {
              textContacts += isTextCore(n);
              continue;
            }
            seen[size_t(y) * size_t(w) + size_t(x)] = 1;
            stack.emplace_back(x, y);
          }
      }
      const bool fringe = 2 * textContacts > pixels;
      if (!fringe && (box.width() >= minWidth || box.height() >= minHeight)) all |= box;
    }
  if (all.isEmpty()) return std::nullopt;
  return all.translated(area.topLeft());
}

// The first band of ink from one end of `area` along rows (`alongRows`) or columns, ending at a
// gap of `gap` empty lines: its first and last line.
std::optional<std::pair<int, int>> firstInkBand(const QImage& img, const QRect& area,
                                                bool alongRows, bool fromEnd, int gap) {
  const int n = alongRows ? area.height() : area.width();
  int first = -1, last = -1;
  for (int k = 0; k < n; ++k) {
    const int line = fromEnd ? n - 1 - k : k;
    bool ink = false;
    const int m = alongRows ? area.width() : area.height();
    for (int j = 0; j < m && !ink; ++j)
      ink = isInk(alongRows ? img.pixel(area.left() + j, area.top() + line)
                            : img.pixel(area.left() + line, area.top() + j));
    if (ink) {
      if (first < 0) first = line;
      last = line;
    } else if (first >= 0 && std::abs(line - last) > gap) {
      break;
    }
  }
  if (first < 0) return std::nullopt;
  const int o = alongRows ? area.top() : area.left();
  return std::make_pair(o + std::min(first, last), o + std::max(first, last));
}

}  // namespace

PictureProbe probe3D(const QImage& image, const QRect& chart, LegendSide legend, int* plotEdges) {
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  PictureProbe probe;
  probe.chart = chart;
  const int margin = std::max(3, chart.width() / 120);
  const QRect inner = chart.adjusted(margin, margin, -margin, -margin);
  probe.plot = largeRegions(img, inner, chart.width() / 10, chart.height() / 10);
  if (plotEdges) {
    *plotEdges = 0;
    if (probe.plot)
      *plotEdges = int(probe.plot->left() > inner.left()) + int(probe.plot->top() > inner.top()) +
                   int(probe.plot->right() < inner.right()) +
                   int(probe.plot->bottom() < inner.bottom());
  }
  const int gapRows = std::max(3, chart.height() / 40),
            gapColumns = std::max(3, chart.width() / 60);
  if (const auto band = firstInkBand(img, inner, true, false, gapRows);
      band && (!probe.plot || band->second < probe.plot->top())) {
    const QRect rows(QPoint(inner.left(), band->first), QPoint(inner.right(), band->second));
    probe.title = inkBox(img, rows);
  }
  QRect rest = inner;
  if (probe.title) rest.setTop(probe.title->bottom() + gapRows);
  if (legend == LegendSide::Left || legend == LegendSide::Right) {
    const auto band = firstInkBand(img, rest, false, legend == LegendSide::Right, gapColumns);
    if (band)
      probe.legend =
          inkBox(img, QRect(QPoint(band->first, rest.top()), QPoint(band->second, rest.bottom())));
  } else if (legend == LegendSide::Top || legend == LegendSide::Bottom) {
    const auto band = firstInkBand(img, rest, true, legend == LegendSide::Bottom, gapRows);
    if (band)
      probe.legend =
          inkBox(img, QRect(QPoint(rest.left(), band->first), QPoint(rest.right(), band->second)));
  }
  return probe;
}

}  // namespace morvane::charttest
