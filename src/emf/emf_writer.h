// Low-level enhanced-metafile record writer: appends records to a byte buffer, hands out
// object-table slots and patches the header (size, record and handle counts) on finish().
// Coordinates are logical units (kUnitsPerPixel per picture pixel) unless a name says device.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace morvane::emf {

struct EmfPenStyle {
  quint32 style = 0;  // PS_* dash style | end cap | join | PS_GEOMETRIC
  quint32 width = 1;  // logical units
  QRgb color = 0;
  std::vector<quint32> dashes;  // for PS_USERSTYLE, logical units
  bool operator==(const EmfPenStyle&) const = default;
};

struct EmfBrushStyle {
  quint32 style = 0;  // BS_SOLID, BS_HATCHED or BS_DIBPATTERNPT
  QRgb color = 0;
  quint32 hatch = 0;
  QImage pattern;  // BS_DIBPATTERNPT: the opaque tile in device pixels
  bool operator==(const EmfBrushStyle&) const = default;
};

struct EmfFontStyle {
  qint32 height = 0;      // negative: em height in logical units
  qint32 escapement = 0;  // tenths of a degree, counter-clockwise
  qint32 weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  quint8 charSet = 0;         // lfCharSet: ANSI_CHARSET unless the text's script needs another
  quint8 pitchAndFamily = 0;  // lfPitchAndFamily
  QString face;               // the family asked for, which the reader's machine has
  bool operator==(const EmfFontStyle&) const = default;
};

class EmfWriter {
 public:
  // Starts a picture of `devicePixels` (96 dpi) whose frame is `frameHmm` (0.01 mm), and
  // writes the header and the mapping records that make logical units 1/kUnitsPerPixel px.
  EmfWriter(QSize devicePixels, QSize frameHmm, const QString& description);

  // Object table. create* returns the slot the object occupies until deleteObject(). A
  // BS_DIBPATTERNPT brush is written as EMR_CREATEDIBPATTERNBRUSHPT, others as
  // EMR_CREATEBRUSHINDIRECT.
  quint32 createPen(const EmfPenStyle& pen);
  quint32 createBrush(const EmfBrushStyle& brush);
  quint32 createFont(const EmfFontStyle& font);
  void selectObject(quint32 handle);
  void deleteObject(quint32 handle);

  void saveDc();
  void restoreDc();
  void intersectClipRect(const QRect& logical);
  // Replaces the clip by the union of `deviceRects` (picture pixels).
  void selectClipRegion(const QList<QRect>& deviceRects);

  void setTextColor(QRgb color);
  void setPolyFillMode(quint32 mode);

  void polygon(const QPolygon& points);
  void polyline(const QPolygon& points);
  void polyPolygon(const std::vector<QPolygon>& polygons);
  void polyPolyline(const std::vector<QPolygon>& polylines);
  void rectangle(const QRect& logical);
  void ellipse(const QRect& logical);
  // `dx`: advance of each UTF-16 unit in logical units; `reference` is the baseline start.
  void extTextOut(QPoint reference, const QString& text, const std::vector<qint32>& dx,
                  const QRect& deviceBounds);
  // Draws `image` (alpha blended onto white) stretched into `logical`.
  void stretchDiBits(const QRect& logical, const QImage& image);

  // Appends EMR_EOF and patches the header; later calls return the same bytes.
  QByteArray finish();
  bool finished() const { return m_finished; }

 private:
  void append(const QByteArray& record);
  void polyRecord(quint32 type16, quint32 type32, const QPolygon& points);
  void polyPolyRecord(quint32 type16, quint32 type32, const std::vector<QPolygon>& polys);
  quint32 allocateHandle();
  QRect deviceBounds(const QRect& logical) const;

  QByteArray m_data;
  quint32 m_records = 0;
  std::vector<bool> m_slots{true};  // slot 0 is reserved
  bool m_finished = false;
};

}  // namespace morvane::emf
