// A paint device that records QPainter drawing as an enhanced metafile, so one drawing routine
// serves raster, EMF and PDF output. The device owns its writer and paint engine.
//
//   emf::EmfDevice device(QSizeF(360, 216));   // points
//   { QPainter p(&device); drawChart(p, QRectF(0, 0, device.width(), device.height())); }
//   QByteArray bytes = device.finish();
#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSizeF>
#include <memory>

namespace morvane::emf {

class EmfPaintEngine;
class EmfWriter;

// How strokes and pattern fills are recorded.
enum class EmfForm {
  // Strokes as filled outlines, pattern fills as pieces of solid colour: what every reader
  // draws alike. libemf2svg takes pen widths in device pixels whatever the mapping, and neither
  // it nor LibreOffice fills pattern brushes.
  Portable,
  // Geometric pens and DIB pattern brushes, as GDI records them: smaller, and exact in GDI and
  // in our player, but wrong in the readers above.
  GdiObjects,
};

class EmfDevice : public QPaintDevice {
 public:
  // A picture of `sizeInPoints`; painter coordinates are 96 dpi pixels, so width() is
  // points * 96 / 72 rounded. Sizes are clamped to 1 .. 100000 px per side.
  explicit EmfDevice(const QSizeF& sizeInPoints, EmfForm form = EmfForm::Portable);
  ~EmfDevice() override;
  Q_DISABLE_COPY_MOVE(EmfDevice)

  // Ends the recording with EMR_EOF and returns the metafile; later calls return the same
  // bytes and further painting fails to begin.
  // Returns an empty array while a QPainter is still active on the device.
  QByteArray finish();

  QSizeF sizeInPoints() const { return m_sizeInPoints; }
  QPaintEngine* paintEngine() const override;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  QSizeF m_sizeInPoints;
  int m_widthPx;
  int m_heightPx;
  std::unique_ptr<EmfWriter> m_writer;
  std::unique_ptr<EmfPaintEngine> m_engine;
  QByteArray m_bytes;
};

}  // namespace morvane::emf
