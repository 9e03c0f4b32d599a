#include "emf/emf_writer.h"

#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "emf/emf_format.h"
#include "emf/emf_pattern_brush.h"

namespace morvane::emf {
namespace {

// One record under construction; finish() pads to 4 bytes and stores the size.
class RecordBuilder {
 public:
  explicit RecordBuilder(quint32 type) {
    u32(type);
    u32(0);
  }
  void u32(quint32 v) { put(qToLittleEndian(v)); }
  void i32(qint32 v) { put(qToLittleEndian(v)); }
  void u16(quint16 v) { put(qToLittleEndian(v)); }
  void i16(qint16 v) { put(qToLittleEndian(v)); }
  void u8(quint8 v) { m_bytes.append(char(v)); }
  void f32(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void rect(const QRect& r) {
    i32(r.left());
    i32(r.top());
    i32(r.right());
    i32(r.bottom());
  }
  void utf16(const QString& s) {
    for (QChar c : s) u16(c.unicode());
  }
  void pad() {
    while (m_bytes.size() % 4) m_bytes.append('\0');
  }
  qsizetype size() const { return m_bytes.size(); }
  QByteArray finish() {
    pad();
    qToLittleEndian(quint32(m_bytes.size()), m_bytes.data() + 4);
    return m_bytes;
  }

 private:
  template <typename T>
  void put(T v) {
    m_bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  QByteArray m_bytes;
};

bool fits16(const QPolygon& points) {
  return std::all_of(points.begin(), points.end(), [](const QPoint& p) {
    return p.x() >= -32768 && p.x() <= 32767 && p.y() >= -32768 && p.y() <= 32767;
  });
}

quint32 colorRef(QRgb c) {
  return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
}

// A logical rectangle as EMF writes it: left, top, and the excluded right and bottom edges.
void appendEdges(RecordBuilder& r, const QRect& logical) {
  r.i32(logical.left());
  r.i32(logical.top());
  r.i32(logical.left() + logical.width());
  r.i32(logical.top() + logical.height());
}

QRect boundsOf(const std::vector<QPolygon>& polys) {
  QRect r;
  for (const QPolygon& p : polys) r |= p.boundingRect();
  return r;
}

}  // namespace

EmfWriter::EmfWriter(QSize devicePixels, QSize frameHmm, const QString& description) {
  const QString desc = description.isEmpty() ? QString() : description + QChar() + QChar();
  RecordBuilder h(record::Header);
  h.rect(QRect(0, 0, devicePixels.width(), devicePixels.height()));  // bounds, inclusive
  h.i32(0);
  h.i32(0);
  h.i32(frameHmm.width());
  h.i32(frameHmm.height());
  h.u32(kSignature);
  h.u32(kVersion);
  h.u32(0);  // nBytes, patched in finish()
  h.u32(0);  // nRecords, patched
  h.u16(0);  // nHandles, patched
  h.u16(0);
  h.u32(quint32(desc.size()));
  h.u32(desc.isEmpty() ? 0 : kHeaderFixedSize);
  h.u32(0);  // palette entries
  h.i32(kRefDevicePixelsX);
  h.i32(kRefDevicePixelsY);
  h.i32(kRefDeviceMillimetersX);
  h.i32(kRefDeviceMillimetersY);
  h.u32(0);  // pixel format size, offset, OpenGL flag
  h.u32(0);
  h.u32(0);
  h.i32(kRefDeviceMillimetersX * 1000);
  h.i32(kRefDeviceMillimetersY * 1000);
  h.utf16(desc);
  append(h.finish());

  RecordBuilder mode(record::SetMapMode);
  mode.u32(kMmAnisotropic);
  append(mode.finish());
  RecordBuilder wext(record::SetWindowExtEx);
  wext.i32(devicePixels.width() * kUnitsPerPixel);
  wext.i32(devicePixels.height() * kUnitsPerPixel);
  append(wext.finish());
  RecordBuilder vext(record::SetViewportExtEx);
  vext.i32(devicePixels.width());
  vext.i32(devicePixels.height());
  append(vext.finish());
  RecordBuilder bk(record::SetBkMode);
  bk.u32(kTransparent);
  append(bk.finish());
  RecordBuilder align(record::SetTextAlign);
  align.u32(kTaBaseline);
  append(align.finish());
  // Base save level: the paint engine restores it to drop a clip.
  append(RecordBuilder(record::SaveDc).finish());
}

void EmfWriter::append(const QByteArray& record) {
  m_data.append(record);
  ++m_records;
}

quint32 EmfWriter::allocateHandle() {
  for (quint32 i = 1; i < m_slots.size(); ++i) {
    if (!m_slots[i]) {
      m_slots[i] = true;
      return i;
    }
  }
  m_slots.push_back(true);
  return quint32(m_slots.size() - 1);
}

QRect EmfWriter::deviceBounds(const QRect& logical) const {
  const auto lo = [](int v) { return int(std::floor(double(v) / kUnitsPerPixel)); };
  const auto hi = [](int v) { return int(std::ceil(double(v) / kUnitsPerPixel)); };
  return QRect(QPoint(lo(logical.left()), lo(logical.top())),
               QPoint(hi(logical.right()), hi(logical.bottom())));
}

quint32 EmfWriter::createPen(const EmfPenStyle& pen) {
  const quint32 handle = allocateHandle();
  RecordBuilder r(record::ExtCreatePen);
  r.u32(handle);
  r.u32(0);  // no brush bitmap: offBmi, cbBmi, offBits, cbBits
  r.u32(0);
  r.u32(0);
  r.u32(0);
  r.u32(pen.style);
  r.u32(pen.width);
  r.u32(kBsSolid);
  r.u32(colorRef(pen.color));
  r.u32(0);
  r.u32(quint32(pen.dashes.size()));
  for (quint32 d : pen.dashes) r.u32(d);
  append(r.finish());
  return handle;
}

quint32 EmfWriter::createBrush(const EmfBrushStyle& brush) {
  const quint32 handle = allocateHandle();
  if (brush.style == kBsDibPatternPt && !brush.pattern.isNull()) {
    quint32 infoSize = 0;
    const QByteArray dib = packedPatternDib(brush.pattern, &infoSize);
    constexpr quint32 kFixed = 32;
    RecordBuilder r(record::CreateDibPatternBrushPt);
    r.u32(handle);
    r.u32(0);  // DIB_RGB_COLORS
    r.u32(kFixed);
    r.u32(infoSize);
    r.u32(kFixed + infoSize);
    r.u32(quint32(dib.size()) - infoSize);
    for (char c : dib) r.u8(quint8(c));
    append(r.finish());
    return handle;
  }
  RecordBuilder r(record::CreateBrushIndirect);
  r.u32(handle);
  r.u32(brush.style);
  r.u32(colorRef(brush.color));
  r.u32(brush.hatch);
  append(r.finish());
  return handle;
}

quint32 EmfWriter::createFont(const EmfFontStyle& font) {
  const quint32 handle = allocateHandle();
  RecordBuilder r(record::ExtCreateFontIndirectW);
  r.u32(handle);
  r.i32(font.height);
  r.i32(0);  // width: default aspect
  r.i32(font.escapement);
  r.i32(font.escapement);  // orientation follows the baseline
  r.i32(font.weight);
  r.u8(font.italic ? 1 : 0);
  r.u8(font.underline ? 1 : 0);
  r.u8(font.strikeOut ? 1 : 0);
  r.u8(font.charSet);
  r.u8(0);  // out precision, clip precision, quality: defaults
  r.u8(0);
  r.u8(0);
  r.u8(font.pitchAndFamily);
  QString face = font.face.left(31);
  face.resize(32, QChar());
  r.utf16(face);
  // The extended form Windows writes: full name, style, script, then an empty design vector.
  QString full = font.face.left(63);
  full.resize(64, QChar());
  r.utf16(full);
  r.utf16(QString(32, QChar()));
  r.utf16(QString(32, QChar()));
  r.u32(0x08007664);  // design vector signature
  r.u32(0);
  append(r.finish());
  return handle;
}

void EmfWriter::selectObject(quint32 handle) {
  RecordBuilder r(record::SelectObject);
  r.u32(handle);
  append(r.finish());
}

void EmfWriter::deleteObject(quint32 handle) {
  RecordBuilder r(record::DeleteObject);
  r.u32(handle);
  append(r.finish());
  if (handle < m_slots.size()) m_slots[handle] = false;
}

void EmfWriter::saveDc() { append(RecordBuilder(record::SaveDc).finish()); }

void EmfWriter::restoreDc() {
  RecordBuilder r(record::RestoreDc);
  r.i32(-1);
  append(r.finish());
}

void EmfWriter::intersectClipRect(const QRect& logical) {
  RecordBuilder r(record::IntersectClipRect);
  // The clip rectangle excludes its right and bottom edges.
  appendEdges(r, logical);
  append(r.finish());
}

void EmfWriter::selectClipRegion(const QList<QRect>& deviceRects) {
  RecordBuilder r(record::ExtSelectClipRgn);
  QRect bound;
  for (const QRect& rc : deviceRects) bound |= rc;
  const quint32 dataSize = 32 + 16 * quint32(deviceRects.size());
  r.u32(dataSize);
  r.u32(kRgnCopy);
  r.u32(32);  // region header: size, RDH_RECTANGLES, count, rects size, bound
  r.u32(1);
  r.u32(quint32(deviceRects.size()));
  r.u32(16 * quint32(deviceRects.size()));
  r.i32(bound.left());
  r.i32(bound.top());
  r.i32(bound.left() + bound.width());
  r.i32(bound.top() + bound.height());
  for (const QRect& rc : deviceRects) {
    r.i32(rc.left());
    r.i32(rc.top());
    r.i32(rc.left() + rc.width());
    r.i32(rc.top() + rc.height());
  }
  append(r.finish());
}

void EmfWriter::setTextColor(QRgb color) {
  RecordBuilder r(record::SetTextColor);
  r.u32(colorRef(color));
  append(r.finish());
}

void EmfWriter::setPolyFillMode(quint32 mode) {
  RecordBuilder r(record::SetPolyFillMode);
  r.u32(mode);
  append(r.finish());
}

void EmfWriter::polyRecord(quint32 type16, quint32 type32, const QPolygon& points) {
  const bool small = fits16(points);
  RecordBuilder r(small ? type16 : type32);
  r.rect(deviceBounds(points.boundingRect()));
  r.u32(quint32(points.size()));
  for (const QPoint& p : points) {
    if (small) {
      r.i16(qint16(p.x()));
      r.i16(qint16(p.y()));
    } else {
      r.i32(p.x());
      r.i32(p.y());
    }
  }
  append(r.finish());
}

void EmfWriter::polyPolyRecord(quint32 type16, quint32 type32, const std::vector<QPolygon>& polys) {
  const bool small = std::all_of(polys.begin(), polys.end(), fits16);
  RecordBuilder r(small ? type16 : type32);
  r.rect(deviceBounds(boundsOf(polys)));
  quint32 total = 0;
  for (const QPolygon& p : polys) total += quint32(p.size());
  r.u32(quint32(polys.size()));
  r.u32(total);
  for (const QPolygon& p : polys) r.u32(quint32(p.size()));
  for (const QPolygon& poly : polys) {
    for (const QPoint& p : poly) {
      if (small) {
        r.i16(qint16(p.x()));
        r.i16(qint16(p.y()));
      } else {
        r.i32(p.x());
        r.i32(p.y());
      }
    }
  }
  append(r.finish());
}

void EmfWriter::polygon(const QPolygon& points) {
  polyRecord(record::Polygon16, record::Polygon, points);
}

void EmfWriter::polyline(const QPolygon& points) {
  polyRecord(record::Polyline16, record::Polyline, points);
}

void EmfWriter::polyPolygon(const std::vector<QPolygon>& polygons) {
  polyPolyRecord(record::PolyPolygon16, record::PolyPolygon, polygons);
}

void EmfWriter::polyPolyline(const std::vector<QPolygon>& polylines) {
  polyPolyRecord(record::PolyPolyline16, record::PolyPolyline, polylines);
}

void EmfWriter::rectangle(const QRect& logical) {
  RecordBuilder r(record::Rectangle);
  appendEdges(r, logical);
  append(r.finish());
}

void EmfWriter::ellipse(const QRect& logical) {
  RecordBuilder r(record::Ellipse);
  appendEdges(r, logical);
  append(r.finish());
}

void EmfWriter::extTextOut(QPoint reference, const QString& text, const std::vector<qint32>& dx,
                           const QRect& deviceBoundsRect) {
  RecordBuilder r(record::ExtTextOutW);
  r.rect(deviceBoundsRect);
  r.u32(kGmCompatible);
  // Page units to 0.01 mm: one logical unit is 1/kUnitsPerPixel of a 96 dpi pixel.
  const float scale = float(2540.0 / 96.0 / kUnitsPerPixel);
  r.f32(scale);
  r.f32(scale);
  r.i32(reference.x());
  r.i32(reference.y());
  const quint32 chars = quint32(text.size());
  const quint32 offString = 76;
  const quint32 offDx = offString + ((chars * 2 + 3) / 4) * 4;
  r.u32(chars);
  r.u32(offString);
  r.u32(0);  // options: no clipping or opaque rectangle
  r.i32(0);  // rectangle unused: {0, 0, -1, -1}
  r.i32(0);
  r.i32(-1);
  r.i32(-1);
  r.u32(offDx);
  r.utf16(text);
  r.pad();
  for (quint32 i = 0; i < chars; ++i) r.i32(i < dx.size() ? dx[i] : 0);
  append(r.finish());
}

void EmfWriter::stretchDiBits(const QRect& logical, const QImage& image) {
  const QImage rgb = [&] {
    QImage onWhite(image.size(), QImage::Format_RGB888);
    onWhite.fill(Qt::white);
    QPainter p(&onWhite);
    p.drawImage(0, 0, image);
    return onWhite;
  }();
  const int w = rgb.width();
  const int h = rgb.height();
  const quint32 stride = quint32((w * 3 + 3) & ~3);
  const quint32 bitsSize = stride * quint32(h);
  RecordBuilder r(record::StretchDiBits);
  r.rect(deviceBounds(logical));
  r.i32(logical.left());
  r.i32(logical.top());
  r.i32(0);
  r.i32(0);
  r.i32(w);
  r.i32(h);
  r.u32(80);  // BITMAPINFOHEADER right after the fixed part
  r.u32(40);
  r.u32(120);
  r.u32(bitsSize);
  r.u32(0);           // DIB_RGB_COLORS
  r.u32(0x00CC0020);  // SRCCOPY
  r.i32(logical.width());
  r.i32(logical.height());
  r.u32(40);
  r.i32(w);
  r.i32(h);  // positive: rows bottom-up
  r.u16(1);
  r.u16(24);
  r.u32(0);  // BI_RGB
  r.u32(bitsSize);
  r.i32(3780);  // 96 dpi in pixels per metre
  r.i32(3780);
  r.u32(0);
  r.u32(0);
  for (int y = h - 1; y >= 0; --y) {
    const uchar* line = rgb.constScanLine(y);
    for (int x = 0; x < w; ++x) {
      r.u8(line[3 * x + 2]);
      r.u8(line[3 * x + 1]);
      r.u8(line[3 * x]);
    }
    for (quint32 i = quint32(w) * 3; i < stride; ++i) r.u8(0);
  }
  append(r.finish());
}

QByteArray EmfWriter::finish() {
  if (m_finished) return m_data;
  RecordBuilder eof(record::Eof);
  eof.u32(0);
  eof.u32(16);  // palette offset: just past these fields
  eof.u32(20);  // nSizeLast: this record's size
  append(eof.finish());
  qToLittleEndian(quint32(m_data.size()), m_data.data() + 48);
  qToLittleEndian(m_records, m_data.data() + 52);
  qToLittleEndian(quint16(std::min<size_t>(m_slots.size(), 0xFFFF)), m_data.data() + 56);
  m_finished = true;
  return m_data;
}

}  // namespace morvane::emf
