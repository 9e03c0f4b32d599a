// Series with more points than the device has pixels, thinned to what the device can show:
// a polyline keeps, per device pixel column, its first, lowest, highest and last point (the
// stroke covers the same pixels), and of markers landing on one device pixel only the last
// drawn, the one on top, is kept. Plain functions; no state.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QTransform>
#include <vector>

namespace morvane::render::chart::detail {

// `path` thinned for a device reached through `toDevice`; paths of curves, and those with
// fewer points than twice the pixel columns they span, come back unchanged.
QPainterPath thinnedLine(const QPainterPath& path, const QTransform& toDevice);

// Which of `positions` to draw, in drawing order: each one unless a later one lands on the
// same device pixel. All of them when there are fewer than twice as many as the pixels
// their bounds cover.
std::vector<bool> visibleMarkers(const std::vector<QPointF>& positions, const QTransform& toDevice);

}  // namespace morvane::render::chart::detail
