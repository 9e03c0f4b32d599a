// The drawing the EMF tests record and compare: lines, dashes, polygons, an ellipse, a
// doughnut with a hole, transparency, a gradient, plain and rotated text.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSize>
#include <vector>

#include "emf/emf_device.h"

namespace morvane::emftest {

// Picture size of the scene: 360 x 240 pt = 480 x 320 px at 96 dpi.
inline constexpr double kWidthPt = 360;
inline constexpr double kHeightPt = 240;
inline constexpr int kWidthPx = 480;
inline constexpr int kHeightPx = 320;

// Draws the scene in 96 dpi pixel coordinates.
void drawScene(QPainter& painter);

// The scene recorded through EmfDevice in `form`.
QByteArray sceneEmf(emf::EmfForm form = emf::EmfForm::Portable);

// The scene drawn straight onto a white raster of kWidthPx x kHeightPx, scaled by `scale`.
QImage sceneRaster(int scale = 1);

// Little-endian field of a record inside `emf`, for record-level checks.
quint32 fieldAt(const QByteArray& emf, qsizetype offset);
// Offsets of every record of `type` in `emf`.
std::vector<qsizetype> recordsOfType(const QByteArray& emf, quint32 type);
// The face name of the EMR_EXTCREATEFONTINDIRECTW record at `record`.
QString fontFace(const QByteArray& emf, qsizetype record);

}  // namespace morvane::emftest
