// Text and image records of EmfPlayback.
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QtMath>
#include <algorithm>
#include <cmath>

#include "emf/emf_format.h"
#include "emf/emf_playback.h"
#include "emf/font_stand_ins.h"

namespace morvane::emf {
namespace {

constexpr quint32 kEtoOpaque = 0x0002;
constexpr quint32 kEtoClipped = 0x0004;
constexpr quint32 kEtoGlyphIndex = 0x0010;
constexpr quint32 kEtoNoRect = 0x0100;
constexpr quint32 kEtoPdy = 0x2000;
constexpr qreal kMaxTextPixels = 20000;  // em height on the target beyond which text is skipped
constexpr int kMaxImageSide = 32767;

}  // namespace

bool EmfPlayback::playText(const RecordView& r) {
  if (!r.has(0, 60)) return false;
  const quint32 options = r.u32(52);
  if (options & kEtoGlyphIndex) return false;  // glyph numbers of a font we may not have
  const quint32 offDxField = (options & kEtoNoRect) ? 56 : 72;
  if (!r.has(0, offDxField + 4)) return false;
  const quint64 chars = r.u32(44);
  const std::optional<QString> text = chars ? r.utf16(r.u32(48), chars) : QString();
  if (!text) return false;
  const quint64 offDx = r.u32(offDxField);
  const quint64 dxStride = (options & kEtoPdy) ? 8 : 4;
  std::vector<qreal> dx;
  if (offDx != 0 && chars) {
    if (!r.has(offDx, chars * dxStride)) return false;
    dx.reserve(size_t(chars));
    for (quint32 i = 0; i < chars; ++i) dx.push_back(r.i32(quint32(offDx + i * dxStride)));
  }
  QPointF reference(r.i32(36), r.i32(40));
  const QRectF rect = (options & kEtoNoRect)
                          ? QRectF()
                          : QRectF(QPointF(r.i32(56), r.i32(60)), QPointF(r.i32(64), r.i32(68)));
  if (m_dc.textAlign & 1) reference = m_dc.position;  // TA_UPDATECP
  if (!m_painter || text->isEmpty()) return true;
  drawText(*text, dx, reference, options, rect);
  if (m_dc.textAlign & 1) {
    qreal advance = 0;
    for (qreal d : dx) advance += d;
    m_dc.position.rx() += advance;
  }
  return true;
}

namespace {

// Office faces play with their installed stand-ins, as they were measured when written.
QRawFont rawFontFor(const QString& face, qint32 weight, bool italic) {
  QFont font = officeFont(face.isEmpty() ? QStringLiteral("Arial") : face);
  font.setWeight(QFont::Weight(std::clamp(weight > 0 ? weight : 400, 1, 1000)));
  font.setItalic(italic);
  font.setPixelSize(100);
  return QRawFont::fromFont(font);
}

struct Fallback {
  QString text;
  QPointF position;
};

// Glyphs of `text` with their pen positions along the baseline: the file's advances scaled by
// `sx` where it has them, the font's own otherwise. Characters the font lacks go to
// `fallbacks`, for Qt's font fallback to draw. Returns the total advance.
qreal layoutGlyphs(const QRawFont& raw, const QString& text, const std::vector<qreal>& dx, qreal sx,
                   QList<quint32>* glyphs, QList<QPointF>* positions,
                   std::vector<Fallback>* fallbacks) {
  qreal x = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
    const QString unit = text.mid(i, pair ? 2 : 1);
    const QList<quint32> g = raw.glyphIndexesForString(unit);
    const QList<QPointF> advance = raw.advancesForGlyphIndexes(g);
    if (!g.isEmpty() && g.front() == 0 && !unit.front().isSpace()) {
      fallbacks->push_back({unit, QPointF(x, 0)});
    } else if (!g.isEmpty()) {
      *glyphs << g.front();
      *positions << QPointF(x, 0);
    }
    const qreal natural = advance.isEmpty() ? 0 : advance.front().x();
    x += i < qsizetype(dx.size()) ? dx[size_t(i)] * sx : natural;
    if (pair) x += i + 1 < qsizetype(dx.size()) ? dx[size_t(i + 1)] * sx : 0, ++i;
  }
  return x;
}

// Glyph runs (real text in a PDF, hinted on a raster) suit rotated, uniformly scaled text;
// stretched text is drawn as outlines, which also keeps it from Qt's glyph cache, where a
// 10000:1 stretch crashed. Qt draws large glyph runs as paths on its own.
bool drawsAsGlyphRun(const QTransform& t) {
  const qreal s = std::abs(t.m11()) + std::abs(t.m12()) + 1e-12;
  return t.type() != QTransform::TxProject && std::abs(t.m11() - t.m22()) < 0.01 * s &&
         std::abs(t.m12() + t.m21()) < 0.01 * s;
}

// Qt's text engines place glyphs in 26.6 fixed point, which overflows a few million pixels
// out; a record's advances can throw glyphs that far. Such text goes through paths, which
// the painter clips like any other.
constexpr qreal kMaxTextCoordinate = 1e6;

bool onTextScale(const QTransform& t, QPointF p) {
  const QPointF mapped = t.map(p);
  return std::abs(mapped.x()) < kMaxTextCoordinate && std::abs(mapped.y()) < kMaxTextCoordinate;
}

bool allOnTextScale(const QTransform& t, const QList<QPointF>& positions, qreal width) {
  return onTextScale(t, QPointF(0, 0)) && onTextScale(t, QPointF(width, 0)) &&
         std::all_of(positions.begin(), positions.end(),
                     [&](QPointF p) { return onTextScale(t, p); });
}

}  // namespace

QRawFont EmfPlayback::rawFont(const Font& f) {
  const QString key = QStringLiteral("%1/%2/%3").arg(f.face).arg(f.weight).arg(f.italic);
  for (const auto& [k, raw] : m_rawFonts)
    if (k == key) return raw;
  const QRawFont raw = rawFontFor(f.face, f.weight, f.italic);
  if (m_rawFonts.size() < 32) m_rawFonts.emplace_back(key, raw);
  return raw;
}

// Draws in reference-device space, where GDI keeps glyphs upright whatever the mapping does.
void EmfPlayback::drawText(const QString& text, const std::vector<qreal>& dx, QPointF reference,
                           quint32 options, const QRectF& rect) {
  beginDraw();
  const QTransform l2d = logicalToDevice();
  const Font& f = m_dc.font;
  QRawFont raw = rawFont(f);
  if (!raw.isValid()) return;
  // A positive height is the cell height (ascent + descent), a negative one the em height.
  const qreal sy = std::hypot(l2d.m21(), l2d.m22());
  const qreal cellRatio = 100.0 / std::max(raw.ascent() + raw.descent(), 1.0);
  const qreal em = f.height == 0  ? 16.0
                   : f.height < 0 ? -qreal(f.height) * sy
                                  : f.height * sy * cellRatio;
  const qreal targetScale = std::sqrt(std::abs(m_deviceToTarget.determinant()));
  if (!(em * targetScale > 0.05) || em * targetScale > kMaxTextPixels) return;
  raw.setPixelSize(em);
  if (!raw.isValid()) return;  // no engine at this size
  QList<quint32> glyphs;
  QList<QPointF> positions;
  std::vector<Fallback> fallbacks;
  const qreal width = layoutGlyphs(raw, text, dx, std::hypot(l2d.m11(), l2d.m12()), &glyphs,
                                   &positions, &fallbacks);
  const quint32 vertical = m_dc.textAlign & 24;
  const qreal y = vertical == 0 ? raw.ascent() : vertical == 8 ? -raw.descent() : 0;  // top, bottom
  const qreal shift = (m_dc.textAlign & 6) == 6 ? -width / 2 : (m_dc.textAlign & 2) ? -width : 0;

  m_painter->save();
  m_painter->setTransform(l2d * m_deviceToTarget);
  if (options & kEtoClipped && !rect.isEmpty())
    m_painter->setClipRect(rect.normalized(), Qt::IntersectClip);
  if (options & kEtoOpaque && !rect.isEmpty())
    m_painter->fillRect(rect.normalized(), QColor(m_dc.bkColor));
  const QPointF origin = l2d.map(reference);
  // Tenths of a degree; reduced first, as negating INT_MIN would overflow.
  m_painter->setTransform(QTransform::fromTranslate(shift, y) *
                          QTransform().rotate(-(f.escapement % 3600) / 10.0) *
                          QTransform::fromTranslate(origin.x(), origin.y()) * m_deviceToTarget);
  if (m_dc.bkMode == kOpaque)
    m_painter->fillRect(QRectF(0, -raw.ascent(), width, raw.ascent() + raw.descent()),
                        QColor(m_dc.bkColor));
  const QTransform textToTarget = m_painter->transform();
  // Qt 6.4's painter faults on a glyph run without glyphs (all of them fell back, or none
  // was in the record): such a run, with its underline, goes through the paths.
  if (!glyphs.isEmpty() && drawsAsGlyphRun(textToTarget) &&
      allOnTextScale(textToTarget, positions, width)) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    run.setUnderline(f.underline);
    run.setStrikeOut(f.strikeOut);
    m_painter->setPen(QColor(m_dc.textColor));
    m_painter->drawGlyphRun(QPointF(0, 0), run);
  } else {
    QPainterPath outlines;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
      outlines.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i]));
    if (f.underline) outlines.addRect(QRectF(0, em * 0.1, width, em / 15));
    if (f.strikeOut) outlines.addRect(QRectF(0, -em * 0.3, width, em / 15));
    m_painter->fillPath(outlines, QColor(m_dc.textColor));
  }
  // Qt's fallback fonts, at a 100 px size scaled to the em.
  QFont fallbackFont = officeFont(f.face);
  fallbackFont.setPixelSize(100);
  fallbackFont.setItalic(f.italic);
  m_painter->setFont(fallbackFont);
  m_painter->setPen(QColor(m_dc.textColor));
  for (const Fallback& piece : fallbacks) {
    if (!onTextScale(textToTarget, piece.position)) continue;
    m_painter->save();
    m_painter->translate(piece.position);
    m_painter->scale(em / 100, em / 100);
    m_painter->drawText(QPointF(0, 0), piece.text);
    m_painter->restore();
  }
  m_painter->restore();
}

bool EmfPlayback::playImage(const RecordView& r) {
  if (!r.has(0, 80)) return false;
  const QRectF dest(r.i32(24), r.i32(28), r.i32(72), r.i32(76));
  const QRect source(r.i32(32), r.i32(36), r.i32(40), r.i32(44));
  const quint64 offBmi = r.u32(48), cbBmi = r.u32(52), offBits = r.u32(56), cbBits = r.u32(60);
  if (cbBmi == 0 || cbBits == 0) return true;  // a raster operation without a picture
  if (cbBmi < 40 || !r.has(offBmi, cbBmi) || !r.has(offBits, cbBits)) return false;
  const quint32 at = quint32(offBmi);
  const qint32 w = r.i32(at + 4), h = r.i32(at + 8);
  const quint16 bits = r.u16(at + 14);
  if (r.u32(at + 16) != 0 || (bits != 24 && bits != 32)) return false;  // BI_RGB, 24/32 bit only
  if (w <= 0 || h == 0 || h == INT_MIN || w > kMaxImageSide || std::abs(h) > kMaxImageSide)
    return false;
  const quint64 stride = ((quint64(w) * bits + 31) / 32) * 4;
  const int rows = std::abs(h);
  if (stride * quint64(rows) > cbBits) return false;
  if (!m_painter) return true;
  QImage image(w, rows, QImage::Format_RGB32);
  if (image.isNull()) return true;
  const int bytesPerPixel = bits / 8;
  for (int y = 0; y < rows; ++y) {
    const uchar* line = reinterpret_cast<const uchar*>(r.data()) + offBits +
                        stride * quint64(h > 0 ? rows - 1 - y : y);
    QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x)
      out[x] =
          qRgb(line[x * bytesPerPixel + 2], line[x * bytesPerPixel + 1], line[x * bytesPerPixel]);
  }
  beginDraw();
  const QRect src = source.normalized().intersected(image.rect());
  if (!src.isEmpty()) m_painter->drawImage(dest.normalized(), image, src);
  return true;
}

}  // namespace morvane::emf
