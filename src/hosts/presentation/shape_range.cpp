// The selected shape's geometry: size, position, scaling about an anchor, aspect lock; its
// alternative text.
#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cmath>

#include "hosts/presentation/objects.h"
#include "hosts/presentation/text.h"

#include "emf/emf_records.h"

namespace morvane::hosts::presentation {

std::optional<QSizeF> naturalSizeOfEmf(const QByteArray& emf) { return emf::emfFrameSizeInPoints(emf); }

std::optional<QSizeF> naturalSizeOfImage(const QImage& image) {
  if (image.isNull()) return std::nullopt;
  // Dots per metre are a rounded conversion of a whole dpi (96 dpi is stored as 3780): the
  // nearest whole dpi is the picture's.
  auto dpi = [](int dotsPerMeter) {
    return dotsPerMeter > 0 ? std::max(1.0, std::round(dotsPerMeter * 0.0254)) : 96.0;
  };
  return QSizeF(image.width() * 72.0 / dpi(image.dotsPerMeterX()),
                image.height() * 72.0 / dpi(image.dotsPerMeterY()));
}

namespace {

// The original size of a picture or embedded object in EMU.
QSizeF originalSize(PresentationState& state, const ShapeKey& key,
                    const ooxml::pptx::ShapeInfo& info) {
  if (auto it = state.originalSize.find(key); it != state.originalSize.end()) return it->second;
  const bool picture = info.kind == ooxml::pptx::ShapeKind::Picture || info.isOleObject;
  if (picture) {
    auto data = state.doc().pictureData(state.slideIndex(key.slidePart), key.id);
    std::optional<QSizeF> points;
    if (data && data->contentType.contains(QLatin1String("emf"))) {
      points = emf::emfFrameSizeInPoints(data->bytes);
    } else if (data) {
      QImage image;
      image.loadFromData(data->bytes);
      points = naturalSizeOfImage(image);
    }
    if (points)
      return QSizeF(points->width() * ooxml::pptx::kEmuPerPoint,
                    points->height() * ooxml::pptx::kEmuPerPoint);
  }
  throw hostError(QStringLiteral("ShapeRange"), QStringLiteral("ScaleWidth"),
                  QStringLiteral("This member can only be accessed for a picture or OLE object."));
}

}  // namespace

ooxml::pptx::RectEmu HostShapeRange::frame(const char* member) {
  auto info = m_state->shapeInfo(m_key);
  if (!info.frame)
    throw hostError(QStringLiteral("ShapeRange"), QString::fromLatin1(member),
                    QStringLiteral("This shape has no position."));
  return *info.frame;
}

void HostShapeRange::setFrame(const ooxml::pptx::RectEmu& rect) {
  m_state->doc().setFrame(m_state->slideIndex(m_key.slidePart), m_key.id, rect);
}

int HostShapeRange::lockAspectRatio() {
  m_state->shapeInfo(m_key);
  return m_state->doc().lockAspectRatio(m_state->slideIndex(m_key.slidePart), m_key.id)
             ? ppt::msoTrue
             : ppt::msoFalse;
}

void HostShapeRange::setLockAspectRatio(int value) {
  m_state->shapeInfo(m_key);
  m_state->doc().setLockAspectRatio(m_state->slideIndex(m_key.slidePart), m_key.id,
                                    value != ppt::msoFalse);
}

float HostShapeRange::width() { return toPoints(frame("Width").cx); }
float HostShapeRange::height() { return toPoints(frame("Height").cy); }
float HostShapeRange::top() { return toPoints(frame("Top").y); }
float HostShapeRange::left() { return toPoints(frame("Left").x); }

namespace {
void requireSize(float value, const char* member) {
  if (!(value >= 0) || !std::isfinite(value) || value > 1.0e6f)
    throw hostError(QStringLiteral("ShapeRange"), QString::fromLatin1(member),
                    QStringLiteral("The specified value is out of range."));
}
void requirePosition(float value, const char* member) {
  if (!std::isfinite(value) || std::fabs(value) > 1.0e6f)
    throw hostError(QStringLiteral("ShapeRange"), QString::fromLatin1(member),
                    QStringLiteral("The specified value is out of range."));
}
}  // namespace

void HostShapeRange::setWidth(float value) {
  requireSize(value, "Width");
  ooxml::pptx::RectEmu r = frame("Width");
  const qint64 cx = toEmu(value);
  // A locked aspect ratio carries the change over to the other side, top-left fixed.
  if (lockAspectRatio() == ppt::msoTrue && r.cx > 0)
    r.cy = qint64(std::llround(double(r.cy) * cx / r.cx));
  r.cx = cx;
  setFrame(r);
}

void HostShapeRange::setHeight(float value) {
  requireSize(value, "Height");
  ooxml::pptx::RectEmu r = frame("Height");
  const qint64 cy = toEmu(value);
  if (lockAspectRatio() == ppt::msoTrue && r.cy > 0)
    r.cx = qint64(std::llround(double(r.cx) * cy / r.cy));
  r.cy = cy;
  setFrame(r);
}

void HostShapeRange::setTop(float value) {
  requirePosition(value, "Top");
  ooxml::pptx::RectEmu r = frame("Top");
  r.y = toEmu(value);
  setFrame(r);
}

void HostShapeRange::setLeft(float value) {
  requirePosition(value, "Left");
  ooxml::pptx::RectEmu r = frame("Left");
  r.x = toEmu(value);
  setFrame(r);
}

void HostShapeRange::scale(bool horizontal, float factor, int relative, int anchor) {
  const char* member = horizontal ? "ScaleWidth" : "ScaleHeight";
  if (!(factor >= 0) || !std::isfinite(factor) || factor > 1.0e4f)
    throw hostError(QStringLiteral("ShapeRange"), QString::fromLatin1(member),
                    QStringLiteral("The specified value is out of range."));
  if (anchor != ppt::msoScaleFromTopLeft && anchor != ppt::msoScaleFromMiddle &&
      anchor != ppt::msoScaleFromBottomRight)
    throw hostError(QStringLiteral("ShapeRange"), QString::fromLatin1(member),
                    QStringLiteral("Invalid enumeration value."));
  const ooxml::pptx::ShapeInfo info = m_state->shapeInfo(m_key);
  ooxml::pptx::RectEmu r = frame(member);
  QSizeF base(r.cx, r.cy);
  if (relative != ppt::msoFalse) base = originalSize(*m_state, m_key, info);
  const bool locked = lockAspectRatio() == ppt::msoTrue;
  double newCx = r.cx, newCy = r.cy;
  if (horizontal || locked) newCx = base.width() * factor;
  if (!horizontal || locked) newCy = base.height() * factor;
  const double shift = anchor == ppt::msoScaleFromTopLeft  ? 0.0
                       : anchor == ppt::msoScaleFromMiddle ? 0.5
                                                           : 1.0;
  r.x -= qint64(std::llround((newCx - r.cx) * shift));
  r.y -= qint64(std::llround((newCy - r.cy) * shift));
  r.cx = qint64(std::llround(newCx));
  r.cy = qint64(std::llround(newCy));
  setFrame(r);
}

void HostShapeRange::scaleWidth(float factor, int relative, int anchor) {
  scale(true, factor, relative, anchor);
}

void HostShapeRange::scaleHeight(float factor, int relative, int anchor) {
  scale(false, factor, relative, anchor);
}

std::shared_ptr<ppt::TextFrame> HostShapeRange::textFrame() {
  if (!m_state->shapeInfo(m_key).hasText)
    throw hostError(QStringLiteral("ShapeRange"), QStringLiteral("TextFrame"),
                    QStringLiteral("This type of shape has no text frame."));
  return std::make_shared<HostTextFrame>(m_state, m_key);
}

QString HostShapeRange::alternativeText() { return alternativeTextOf(*m_state, m_key); }
void HostShapeRange::setAlternativeText(const QString& text) {
  setAlternativeTextOf(*m_state, m_key, text);
}

}  // namespace morvane::hosts::presentation
