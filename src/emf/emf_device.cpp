#include "emf/emf_device.h"

#include <algorithm>
#include <cmath>

#include "emf/emf_paint_engine.h"
#include "emf/emf_writer.h"

namespace morvane::emf {
namespace {

constexpr qreal kDpi = 96.0;

int pixelsFor(qreal points) {
  const qreal px = std::isfinite(points) ? points * kDpi / 72.0 : 1.0;
  return int(std::clamp<qreal>(std::round(px), 1.0, 100000.0));
}

int hundredthsOfMm(qreal points) {
  const qreal hmm = std::isfinite(points) ? points * 2540.0 / 72.0 : 0.0;
  return int(std::clamp<qreal>(std::round(hmm), 1.0, 2.6e6));
}

}  // namespace

EmfDevice::EmfDevice(const QSizeF& sizeInPoints, EmfForm form)
    : m_sizeInPoints(sizeInPoints),
      m_widthPx(pixelsFor(sizeInPoints.width())),
      m_heightPx(pixelsFor(sizeInPoints.height())),
      m_writer(std::make_unique<EmfWriter>(
          QSize(m_widthPx, m_heightPx),
          QSize(hundredthsOfMm(sizeInPoints.width()), hundredthsOfMm(sizeInPoints.height())),
          QStringLiteral(u"Morvane\u00a9"))),
      m_engine(std::make_unique<EmfPaintEngine>(*m_writer, form)) {}

EmfDevice::~EmfDevice() = default;

QPaintEngine* EmfDevice::paintEngine() const { return m_engine.get(); }

QByteArray EmfDevice::finish() {
  if (m_writer->finished()) return m_bytes;
  if (m_engine->isActive()) return QByteArray();
  m_engine->close();
  m_bytes = m_writer->finish();
  return m_bytes;
}

int EmfDevice::metric(PaintDeviceMetric metric) const {
  switch (metric) {
    case PdmWidth:
      return m_widthPx;
    case PdmHeight:
      return m_heightPx;
    case PdmWidthMM:
      return qRound(m_widthPx * 25.4 / kDpi);
    case PdmHeightMM:
      return qRound(m_heightPx * 25.4 / kDpi);
    case PdmNumColors:
      return INT_MAX;
    case PdmDepth:
      return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
      return int(kDpi);
    case PdmDevicePixelRatio:
      return 1;
    case PdmDevicePixelRatioScaled:
      return int(devicePixelRatioFScale());
    default:
      return QPaintDevice::metric(metric);
  }
}

}  // namespace morvane::emf
