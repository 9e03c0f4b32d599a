#include "render/chart/dense_series.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace morvane::render::chart::detail {

namespace {

// Below this many points per pixel column a series is drawn as it is.
constexpr double kPointsPerColumn = 2;

// The points of one pixel column, appended to `out` in their order: the first, the lowest,
// the highest and the last, each once.
void appendColumn(const QPolygonF& points, const std::vector<double>& ys, size_t from, size_t to,
                  QPolygonF& out) {
  size_t low = from, high = from;
  for (size_t i = from; i < to; ++i) {
    if (ys[i] < ys[low]) low = i;
    if (ys[i] > ys[high]) high = i;
  }
  size_t keep[] = {from, low, high, to - 1};
  std::sort(std::begin(keep), std::end(keep));
  for (size_t k = 0; k < 4; ++k)
    if (k == 0 || keep[k] != keep[k - 1]) out << points[qsizetype(keep[k])];
}

QPolygonF thinnedRun(const QPolygonF& run, const QTransform& toDevice) {
  std::vector<double> xs(size_t(run.size())), ys(size_t(run.size()));
  for (qsizetype i = 0; i < run.size(); ++i) {
    const QPointF d = toDevice.map(run[i]);
    xs[size_t(i)] = std::floor(d.x());
    ys[size_t(i)] = d.y();
  }
  QPolygonF out;
  size_t start = 0;
  for (size_t i = 1; i <= xs.size(); ++i) {
    if (i < xs.size() && xs[i] == xs[start]) continue;
    appendColumn(run, ys, start, i, out);
    start = i;
  }
  return out;
}

}  // namespace

QPainterPath thinnedLine(const QPainterPath& path, const QTransform& toDevice) {
  const int count = path.elementCount();
  const double columns = toDevice.mapRect(path.boundingRect()).width() + 1;
  if (count < kPointsPerColumn * columns) return path;
  for (int i = 0; i < count; ++i)
    if (path.elementAt(i).isCurveTo()) return path;
  QPainterPath out;
  QPolygonF run;
  const auto flush = [&] {
    if (!run.isEmpty()) out.addPolygon(thinnedRun(run, toDevice));
    run.clear();
  };
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element& e = path.elementAt(i);
    if (e.isMoveTo()) flush();
    run << QPointF(e.x, e.y);
  }
  flush();
  return out;
}

std::vector<bool> visibleMarkers(const std::vector<QPointF>& positions,
                                 const QTransform& toDevice) {
  std::vector<bool> shown(positions.size(), true);
  if (positions.empty()) return shown;
  double left = INFINITY, right = -INFINITY;
  for (const QPointF& p : positions) {
    const double x = toDevice.map(p).x();
    if (std::isfinite(x)) left = std::min(left, x), right = std::max(right, x);
  }
  if (double(positions.size()) < kPointsPerColumn * (std::max(0.0, right - left) + 1)) return shown;
  // The last marker at each pixel; earlier ones there lie under it.
  std::unordered_map<int64_t, size_t> last;
  std::vector<int64_t> keys(positions.size());
  const auto pixel = [](double v) {
    return std::isnan(v) ? 0 : int64_t(std::floor(std::clamp(v, -1e9, 1e9)));
  };
  for (size_t i = 0; i < positions.size(); ++i) {
    const QPointF d = toDevice.map(positions[i]);
    keys[i] = pixel(d.x()) * (int64_t(1) << 32) + pixel(d.y());
    last[keys[i]] = i;
  }
  for (size_t i = 0; i < positions.size(); ++i) shown[i] = last[keys[i]] == i;
  return shown;
}

}  // namespace morvane::render::chart::detail
