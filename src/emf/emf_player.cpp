#include "emf/emf_player.h"

#include <cmath>

#include "emf/emf_playback.h"
#include "emf/emf_reader.h"

namespace morvane::emf {
namespace {

constexpr int kMaxRasterSide = 16384;
constexpr qint64 kMaxRasterPixels = 64LL * 1024 * 1024;

// The picture's frame in reference-device pixels: the frame when it is usable, else the bounds.
std::optional<QRectF> frameInDevicePixels(const EmfHeaderInfo& h) {
  if (h.devicePixels.width() <= 0 || h.devicePixels.height() <= 0 ||
      h.deviceMillimeters.width() <= 0 || h.deviceMillimeters.height() <= 0)
    return std::nullopt;
  const qreal kx = qreal(h.devicePixels.width()) / (h.deviceMillimeters.width() * 100.0);
  const qreal ky = qreal(h.devicePixels.height()) / (h.deviceMillimeters.height() * 100.0);
  const qreal fw = qreal(h.frame.right()) - h.frame.left();
  const qreal fh = qreal(h.frame.bottom()) - h.frame.top();
  if (fw > 0 && fh > 0) return QRectF(h.frame.left() * kx, h.frame.top() * ky, fw * kx, fh * ky);
  const qreal bw = qreal(h.bounds.right()) - h.bounds.left() + 1;
  const qreal bh = qreal(h.bounds.bottom()) - h.bounds.top() + 1;
  if (bw > 0 && bh > 0) return QRectF(h.bounds.left(), h.bounds.top(), bw, bh);
  return std::nullopt;
}

}  // namespace

bool playEmf(const QByteArray& emf, QPainter& painter, const QRectF& target) {
  if (!painter.isActive() || !target.isValid()) return false;
  const std::optional<std::vector<RecordView>> records = splitEmfRecords(emf);
  if (!records) return false;
  const EmfHeaderInfo header = *readEmfHeader(emf);
  const std::optional<QRectF> frame = frameInDevicePixels(header);
  if (!frame) return false;
  const qreal sx = target.width() / frame->width();
  const qreal sy = target.height() / frame->height();
  // A frame stretched beyond 100:1 against the target comes from a broken header.
  if (!std::isfinite(sx) || !std::isfinite(sy) || sx > 1e6 || sy > 1e6 || sx < 1e-6 || sy < 1e-6 ||
      sx / sy > 100 || sy / sx > 100)
    return false;
  const QTransform deviceToTarget =
      QTransform::fromTranslate(-frame->x(), -frame->y()) * QTransform::fromScale(sx, sy) *
      QTransform::fromTranslate(target.x(), target.y()) * painter.worldTransform();
  // A checking run first, so that a file we cannot finish draws nothing.
  EmfPlayback check(header, nullptr, deviceToTarget, target);
  for (const RecordView& r : *records) {
    if (!check.play(r)) return false;
  }
  painter.save();
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
  painter.setClipRect(target, Qt::IntersectClip);
  painter.save();
  EmfPlayback playback(header, &painter, deviceToTarget, target);
  for (const RecordView& r : *records) playback.play(r);
  painter.restore();
  painter.restore();
  return true;
}

QImage rasterizeEmf(const QByteArray& emf, const QSize& pixels) {
  if (pixels.width() <= 0 || pixels.height() <= 0 || pixels.width() > kMaxRasterSide ||
      pixels.height() > kMaxRasterSide ||
      qint64(pixels.width()) * pixels.height() > kMaxRasterPixels)
    return QImage();
  if (!splitEmfRecords(emf)) return QImage();
  QImage image(pixels, QImage::Format_RGB32);
  if (image.isNull()) return QImage();
  image.fill(Qt::white);
  QPainter painter(&image);
  const bool ok = playEmf(emf, painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
  painter.end();
  return ok ? image : QImage();
}

}  // namespace morvane::emf
