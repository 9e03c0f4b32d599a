// Draws an enhanced metafile of the subset EmfDevice writes (plus records that change nothing
// visible) onto a QPainter, scaled from its frame into a target rectangle.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSize>

namespace morvane::emf {

// Plays `emf` into `target` (painter coordinates), clipped to it. The painter's state is
// restored afterwards. Returns false and draws nothing when the bytes are not a metafile, are
// malformed or hostile (sizes or counts past a record, absurd dimensions), or use a drawing
// record outside the subset. Requires: `painter` is active.
bool playEmf(const QByteArray& emf, QPainter& painter, const QRectF& target);

// The metafile drawn on white at `pixels`; a null image when it cannot be played or `pixels`
// is empty or larger than 16384 px a side / 64 Mpx in all.
QImage rasterizeEmf(const QByteArray& emf, const QSize& pixels);

}  // namespace morvane::emf
