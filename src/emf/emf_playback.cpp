#include "emf/emf_playback.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

#include "emf/emf_format.h"
#include "emf/emf_pattern_brush.h"

namespace morvane::emf {
namespace {

constexpr size_t kMaxSaveDepth = 1024;
constexpr quint32 kMaxClipRects = 4096;
constexpr qreal kMaxCoordinate = 1e9;

bool finite(const QTransform& t) {
  return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
         std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy()) &&
         std::abs(t.m11()) < kMaxCoordinate && std::abs(t.m12()) < kMaxCoordinate &&
         std::abs(t.m21()) < kMaxCoordinate && std::abs(t.m22()) < kMaxCoordinate &&
         std::abs(t.dx()) < kMaxCoordinate && std::abs(t.dy()) < kMaxCoordinate;
}

QRgb fromColorRef(quint32 c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Records that change nothing we draw.
bool isHarmless(quint32 type) {
  switch (type) {
    case record::Header:
    case record::SetBrushOrgEx:
    case record::SetMapperFlags:
    case record::SetRop2:
    case record::SetStretchBltMode:
    case record::SetColorAdjustment:
    case record::SetMetaRgn:
    case record::SelectPalette:
    case record::RealizePalette:
    case record::SetArcDirection:
    case record::SetMiterLimit:
    case record::GdiComment:
    case record::SetIcmMode:
    case record::SetColorSpace:
    case record::DeleteColorSpace:
    case record::SetLayout:
    case record::SetTextJustification:
    case record::Eof:
      return true;
    default:
      return false;
  }
}

}  // namespace

EmfPlayback::EmfPlayback(const EmfHeaderInfo& header, QPainter* painter,
                         const QTransform& deviceToTarget, const QRectF& target)
    : m_header(header),
      m_painter(painter),
      m_deviceToTarget(deviceToTarget),
      m_target(target),
      m_objects(std::max<quint32>(header.handles, 1)) {}

bool EmfPlayback::play(const RecordView& r) {
  if (isHarmless(r.type())) return true;
  // Each group reports whether it knew the record; a known but malformed record fails.
  for (auto group : {&EmfPlayback::playMapping, &EmfPlayback::playSetting, &EmfPlayback::playObject,
                     &EmfPlayback::playClip, &EmfPlayback::playShape}) {
    bool handled = false;
    const bool ok = (this->*group)(r, &handled);
    if (handled || !ok) return ok && handled;
  }
  return false;
}

// ---- Mapping and simple settings ------------------------------------------------------------

QTransform EmfPlayback::logicalToDevice() const {
  const DcState& dc = m_dc;
  qreal sx = 1, sy = 1;
  const qreal pxPerMmX = qreal(m_header.devicePixels.width()) / m_header.deviceMillimeters.width();
  const qreal pxPerMmY =
      qreal(m_header.devicePixels.height()) / m_header.deviceMillimeters.height();
  switch (dc.mapMode) {
    case 2:
      sx = 0.1 * pxPerMmX, sy = -0.1 * pxPerMmY;
      break;  // MM_LOMETRIC
    case 3:
      sx = 0.01 * pxPerMmX, sy = -0.01 * pxPerMmY;
      break;  // MM_HIMETRIC
    case 4:
      sx = 0.254 * pxPerMmX, sy = -0.254 * pxPerMmY;
      break;  // MM_LOENGLISH
    case 5:
      sx = 0.0254 * pxPerMmX, sy = -0.0254 * pxPerMmY;
      break;
    case 6:
      sx = 25.4 / 1440 * pxPerMmX, sy = -25.4 / 1440 * pxPerMmY;
      break;  // MM_TWIPS
    case 7:
    case 8:
      sx = dc.viewportExt.width() / dc.windowExt.width();
      sy = dc.viewportExt.height() / dc.windowExt.height();
      if (dc.mapMode == 7) {  // isotropic: the smaller scale on both axes
        const qreal s = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(s, sx), sy = std::copysign(s, sy);
      }
      break;
    default:
      break;
  }
  const QTransform page = QTransform::fromTranslate(-dc.windowOrg.x(), -dc.windowOrg.y()) *
                          QTransform::fromScale(sx, sy) *
                          QTransform::fromTranslate(dc.viewportOrg.x(), dc.viewportOrg.y());
  return dc.world * page;
}

bool EmfPlayback::playMapping(const RecordView& r, bool* handled) {
  *handled = true;
  const auto need = [&](quint32 bytes) { return r.has(0, bytes); };
  switch (r.type()) {
    case record::SetMapMode:
      if (!need(12)) return false;
      if (r.u32(8) >= 1 && r.u32(8) <= 8) m_dc.mapMode = r.u32(8);
      return true;
    case record::SetWindowExtEx:
    case record::SetViewportExtEx: {
      if (!need(16)) return false;
      const QSizeF ext(r.i32(8), r.i32(12));
      if (ext.width() == 0 || ext.height() == 0) return true;  // refused, as GDI does
      (r.type() == record::SetWindowExtEx ? m_dc.windowExt : m_dc.viewportExt) = ext;
      return true;
    }
    case record::SetWindowOrgEx:
    case record::SetViewportOrgEx:
      if (!need(16)) return false;
      (r.type() == record::SetWindowOrgEx ? m_dc.windowOrg : m_dc.viewportOrg) =
          QPointF(r.i32(8), r.i32(12));
      return true;
    case record::SetWorldTransform:
    case record::ModifyWorldTransform: {
      if (!need(r.type() == record::SetWorldTransform ? 32 : 36)) return false;
      const QTransform x(r.f32(8), r.f32(12), r.f32(16), r.f32(20), r.f32(24), r.f32(28));
      if (!finite(x)) return false;
      const quint32 mode = r.type() == record::SetWorldTransform ? 4 : r.u32(32);
      if (mode == 1) m_dc.world = QTransform();
      if (mode == 2) m_dc.world = x * m_dc.world;
      if (mode == 3) m_dc.world = m_dc.world * x;
      if (mode == 4) m_dc.world = x;
      return finite(m_dc.world);
    }
    default:
      *handled = false;
      return true;
  }
}

bool EmfPlayback::playSetting(const RecordView& r, bool* handled) {
  *handled = true;
  const auto need = [&](quint32 bytes) { return r.has(0, bytes); };
  switch (r.type()) {
    case record::SetBkMode:
    case record::SetPolyFillMode:
    case record::SetTextAlign:
    case record::SetTextColor:
    case record::SetBkColor: {
      if (!need(12)) return false;
      const quint32 v = r.u32(8);
      if (r.type() == record::SetBkMode) m_dc.bkMode = v;
      if (r.type() == record::SetPolyFillMode) m_dc.fillMode = v;
      if (r.type() == record::SetTextAlign) m_dc.textAlign = v;
      if (r.type() == record::SetTextColor) m_dc.textColor = fromColorRef(v);
      if (r.type() == record::SetBkColor) m_dc.bkColor = fromColorRef(v);
      return true;
    }
    case record::SaveDc:
      if (m_saved.size() < kMaxSaveDepth) m_saved.push_back(m_dc);
      return true;
    case record::RestoreDc: {
      if (!need(12)) return false;
      const qint32 rel = r.i32(8);
      // Negative: that many levels back; positive: an absolute level (1 is the first save).
      const qint64 keep = rel < 0 ? qint64(m_saved.size()) + rel : qint64(rel) - 1;
      if (keep < 0 || keep >= qint64(m_saved.size())) return true;
      m_dc = m_saved[size_t(keep)];
      m_saved.resize(size_t(keep));
      m_clipDirty = true;
      return true;
    }
    case record::MoveToEx:
      if (!need(16)) return false;
      m_dc.position = QPointF(r.i32(8), r.i32(12));
      return true;
    default:
      *handled = false;
      return true;
  }
}

// ---- Objects --------------------------------------------------------------------------------

bool EmfPlayback::createObject(quint32 index, Object object) {
  // GDI refuses an index outside the table; so do we, without failing the picture.
  if (index == 0 || index >= m_objects.size()) return true;
  m_objects[index] = std::move(object);
  return true;
}

void EmfPlayback::selectObject(quint32 index) {
  if (index & kStockFlag) {
    switch (index) {
      case kWhiteBrush:
        m_dc.brush = Brush{kBsSolid, qRgb(255, 255, 255), 0, {}};
        break;
      case 0x80000001:
        m_dc.brush = Brush{kBsSolid, qRgb(0xC0, 0xC0, 0xC0), 0, {}};
        break;
      case 0x80000002:
        m_dc.brush = Brush{kBsSolid, qRgb(0x80, 0x80, 0x80), 0, {}};
        break;
      case 0x80000003:
        m_dc.brush = Brush{kBsSolid, qRgb(0x40, 0x40, 0x40), 0, {}};
        break;
      case kBlackBrush:
        m_dc.brush = Brush{kBsSolid, qRgb(0, 0, 0), 0, {}};
        break;
      case kNullBrush:
        m_dc.brush = Brush{kBsNull, 0, 0, {}};
        break;
      case kWhitePen:
        m_dc.pen = Pen{kPsSolid, 0, qRgb(255, 255, 255), {}};
        break;
      case kBlackPen:
        m_dc.pen = Pen{kPsSolid, 0, qRgb(0, 0, 0), {}};
        break;
      case kNullPen:
        m_dc.pen = Pen{kPsNull, 0, 0, {}};
        break;
      default:
        if (index >= 0x8000000A && index <= 0x80000011) m_dc.font = Font{};
        break;
    }
    return;
  }
  if (index >= m_objects.size()) return;
  const Object& o = m_objects[index];
  if (const Pen* pen = std::get_if<Pen>(&o)) m_dc.pen = *pen;
  if (const Brush* brush = std::get_if<Brush>(&o)) m_dc.brush = *brush;
  if (const Font* font = std::get_if<Font>(&o)) m_dc.font = *font;
}

bool EmfPlayback::playObject(const RecordView& r, bool* handled) {
  *handled = true;
  switch (r.type()) {
    case record::SelectObject:
    case record::DeleteObject:
      if (!r.has(0, 12)) return false;
      if (r.type() == record::SelectObject)
        selectObject(r.u32(8));
      else if (r.u32(8) < m_objects.size())
        m_objects[r.u32(8)] = std::monostate{};
      return true;
    case record::CreatePen:
      if (!r.has(0, 28)) return false;
      return createObject(r.u32(8), Pen{r.u32(12) & kPsStyleMask,
                                        qreal(r.i32(16) > 1 ? r.i32(16) : 0),
                                        fromColorRef(r.u32(24)),
                                        {}});
    case record::ExtCreatePen: {
      if (!r.has(0, 52)) return false;
      const quint64 entries = r.u32(48);
      if (!r.has(52, entries * 4)) return false;
      Pen pen{r.u32(28), qreal(r.u32(32)), fromColorRef(r.u32(40)), {}};
      if (!(pen.style & kPsGeometric)) pen.width = 0;
      if (r.u32(36) == kBsNull) pen.style = (pen.style & ~kPsStyleMask) | kPsNull;
      for (quint32 i = 0; i < entries && i < 32; ++i) pen.dashes.push_back(r.u32(52 + 4 * i));
      return createObject(r.u32(8), pen);
    }
    case record::CreateBrushIndirect:
      if (!r.has(0, 24)) return false;
      return createObject(r.u32(8), Brush{r.u32(12), fromColorRef(r.u32(16)), r.u32(20), {}});
    case record::CreateDibPatternBrushPt: {
      std::optional<QImage> tile = readPatternBrushTile(r);
      if (!tile) return false;
      return createObject(r.u32(8), Brush{kBsDibPatternPt, 0, 0, std::move(*tile)});
    }
    case record::ExtCreateFontIndirectW: {
      if (!r.has(0, 104)) return false;
      Font font{r.i32(12), r.i32(20), r.i32(28), r.u8(32) != 0, r.u8(33) != 0, r.u8(34) != 0, {}};
      const QString face = *r.utf16(40, 32);
      font.face = face.left(face.indexOf(QChar()) < 0 ? 32 : face.indexOf(QChar()));
      return createObject(r.u32(8), font);
    }
    case record::CreatePalette:
    case record::CreateColorSpace:
      if (!r.has(0, 12)) return false;
      return createObject(r.u32(8), Placeholder{});
    default:
      *handled = false;
      return true;
  }
}

QPen EmfPlayback::qtPen() const {
  const Pen& p = m_dc.pen;
  const quint32 dash = p.style & kPsStyleMask;
  if (dash == kPsNull) return Qt::NoPen;
  const QTransform l2d = logicalToDevice();
  const qreal deviceScale = std::sqrt(std::abs(l2d.determinant()));
  // Zero and cosmetic widths are one reference-device pixel.
  qreal width = p.width > 0 ? p.width : (deviceScale > 0 ? 1.0 / deviceScale : 1.0);
  width = std::min(width, 1e7);
  QPen pen(QColor(p.color), width);
  switch (dash) {
    case kPsDash:
      pen.setStyle(Qt::DashLine);
      break;
    case kPsDot:
      pen.setStyle(Qt::DotLine);
      break;
    case kPsDashDot:
      pen.setStyle(Qt::DashDotLine);
      break;
    case kPsDashDotDot:
      pen.setStyle(Qt::DashDotDotLine);
      break;
    case kPsUserStyle: {
      QList<qreal> pattern;
      for (qreal d : p.dashes) pattern << std::clamp(d / std::max(width, 1e-9), 0.01, 1e4);
      if (pattern.size() % 2) pattern << pattern.back();
      if (!pattern.isEmpty()) pen.setDashPattern(pattern);
      break;
    }
    default:
      break;
  }
  const quint32 cap = p.style & kPsEndcapMask;
  pen.setCapStyle(cap == kPsEndcapFlat     ? Qt::FlatCap
                  : cap == kPsEndcapSquare ? Qt::SquareCap
                                           : Qt::RoundCap);
  const quint32 join = p.style & kPsJoinMask;
  pen.setJoinStyle(join == kPsJoinMiter   ? Qt::MiterJoin
                   : join == kPsJoinBevel ? Qt::BevelJoin
                                          : Qt::RoundJoin);
  return pen;
}

QBrush EmfPlayback::qtBrush() const {
  const Brush& b = m_dc.brush;
  if (b.style == kBsSolid) return QBrush(QColor(b.color));
  QBrush brush;
  if (b.style == kBsHatched) {
    // HS_FDIAGONAL runs down to the right as Qt's FDiagPattern, HS_BDIAGONAL up as BDiagPattern.
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                  Qt::FDiagPattern, Qt::BDiagPattern,
                                                  Qt::CrossPattern, Qt::DiagCrossPattern};
    brush = QBrush(QColor(b.color), b.hatch < 6 ? kHatches[b.hatch] : Qt::DiagCrossPattern);
  } else if (b.style == kBsDibPatternPt && !b.pattern.isNull()) {
    brush = QBrush(b.pattern);
  } else {
    return Qt::NoBrush;
  }
  // Hatches and patterns repeat from the device origin, whatever the mapping and world transform.
  bool invertible = false;
  const QTransform deviceToLogical = logicalToDevice().inverted(&invertible);
  if (invertible && finite(deviceToLogical)) brush.setTransform(deviceToLogical);
  return brush;
}

// ---- Clipping -------------------------------------------------------------------------------

bool EmfPlayback::playClip(const RecordView& r, bool* handled) {
  *handled = true;
  if (r.type() == record::IntersectClipRect) {
    if (!r.has(0, 24)) return false;
    QPainterPath rect;
    rect.addRect(QRectF(QPointF(r.i32(8), r.i32(12)), QPointF(r.i32(16), r.i32(20))).normalized());
    const QPainterPath device = logicalToDevice().map(rect);
    m_dc.clip = m_dc.clip ? m_dc.clip->intersected(device) : device;
    m_clipDirty = true;
    return true;
  }
  if (r.type() != record::ExtSelectClipRgn) {
    *handled = false;
    return true;
  }
  if (!r.has(0, 16)) return false;
  const quint64 dataSize = r.u32(8);
  const quint32 mode = r.u32(12);
  if (!r.has(16, dataSize)) return false;
  m_clipDirty = true;
  if (dataSize == 0) {
    if (mode == kRgnCopy) m_dc.clip.reset();
    return mode == kRgnCopy;
  }
  if (dataSize < 32) return false;
  const quint64 count = r.u32(24);
  if (count > kMaxClipRects || 32 + count * 16 > dataSize) return false;
  QPainterPath region;
  for (quint32 i = 0; i < count; ++i) {
    const quint32 at = 48 + 16 * i;
    region.addRect(QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)))
                       .normalized());
  }
  region.setFillRule(Qt::WindingFill);
  const QPainterPath current = m_dc.clip.value_or(QPainterPath());
  switch (mode) {
    case 1:
      m_dc.clip = m_dc.clip ? current.intersected(region) : region;
      break;  // RGN_AND
    case 2:
      if (m_dc.clip) m_dc.clip = current.united(region);
      break;  // RGN_OR
    case 3:
      if (m_dc.clip) m_dc.clip = current.united(region).subtracted(current.intersected(region));
      break;
    case 4:
      if (m_dc.clip) m_dc.clip = current.subtracted(region);
      break;  // RGN_DIFF
    case kRgnCopy:
      m_dc.clip = region;
      break;
    default:
      return false;
  }
  return true;
}

bool EmfPlayback::beginDraw() {
  if (!m_painter) return false;
  if (m_clipDirty) {
    // The level below ours holds the caller's clip intersected with the target.
    m_painter->restore();
    m_painter->save();
    if (m_dc.clip) {
      m_painter->setTransform(m_deviceToTarget);
      m_painter->setClipPath(*m_dc.clip, Qt::IntersectClip);
    }
    m_clipDirty = false;
  }
  m_painter->setTransform(logicalToDevice() * m_deviceToTarget);
  m_painter->setPen(qtPen());
  m_painter->setBrush(qtBrush());
  // A pattern's pixels stay crisp, as GDI repeats them without filtering.
  m_painter->setRenderHint(QPainter::SmoothPixmapTransform, m_dc.brush.style != kBsDibPatternPt);
  return true;
}

// ---- Shapes ---------------------------------------------------------------------------------

QPointF EmfPlayback::point(const RecordView& r, quint32 offset, bool wide) const {
  return wide ? QPointF(r.i32(offset), r.i32(offset + 4))
              : QPointF(r.i16(offset), r.i16(offset + 2));
}

bool EmfPlayback::playPoly(const RecordView& r, bool wide, bool closed) {
  if (!r.has(0, 28)) return false;
  const quint64 count = r.u32(24);
  const quint32 step = wide ? 8 : 4;
  if (!r.has(28, count * step)) return false;
  if (!beginDraw()) return true;
  QPolygonF poly;
  poly.reserve(qsizetype(count));
  for (quint32 i = 0; i < count; ++i) poly << point(r, 28 + i * step, wide);
  if (closed) {
    m_painter->drawPolygon(poly, m_dc.fillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
  } else {
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawPolyline(poly);
  }
  return true;
}

bool EmfPlayback::playPolyPoly(const RecordView& r, bool wide, bool closed) {
  if (!r.has(0, 32)) return false;
  const quint64 polys = r.u32(24);
  const quint64 total = r.u32(28);
  const quint32 step = wide ? 8 : 4;
  if (!r.has(32, polys * 4) || !r.has(32 + polys * 4, total * step)) return false;
  quint64 sum = 0;
  for (quint32 i = 0; i < polys; ++i) sum += r.u32(32 + 4 * i);
  if (sum > total) return false;
  if (!beginDraw()) return true;
  QPainterPath path;
  path.setFillRule(m_dc.fillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
  quint32 at = quint32(32 + polys * 4);
  for (quint32 i = 0; i < polys; ++i) {
    const quint32 n = r.u32(32 + 4 * i);
    for (quint32 k = 0; k < n; ++k, at += step) {
      if (k == 0)
        path.moveTo(point(r, at, wide));
      else
        path.lineTo(point(r, at, wide));
    }
    if (closed && n > 0) path.closeSubpath();
  }
  if (!closed) m_painter->setBrush(Qt::NoBrush);
  m_painter->drawPath(path);
  return true;
}

bool EmfPlayback::playShape(const RecordView& r, bool* handled) {
  *handled = true;
  switch (r.type()) {
    case record::Polygon16:
      return playPoly(r, false, true);
    case record::Polygon:
      return playPoly(r, true, true);
    case record::Polyline16:
      return playPoly(r, false, false);
    case record::Polyline:
      return playPoly(r, true, false);
    case record::PolyPolygon16:
      return playPolyPoly(r, false, true);
    case record::PolyPolygon:
      return playPolyPoly(r, true, true);
    case record::PolyPolyline16:
      return playPolyPoly(r, false, false);
    case record::PolyPolyline:
      return playPolyPoly(r, true, false);
    case record::Rectangle:
    case record::Ellipse: {
      if (!r.has(0, 24)) return false;
      if (!beginDraw()) return true;
      const QRectF box =
          QRectF(QPointF(r.i32(8), r.i32(12)), QPointF(r.i32(16), r.i32(20))).normalized();
      if (r.type() == record::Rectangle)
        m_painter->drawRect(box);
      else
        m_painter->drawEllipse(box);
      return true;
    }
    case record::LineTo: {
      if (!r.has(0, 16)) return false;
      const QPointF to(r.i32(8), r.i32(12));
      if (beginDraw()) m_painter->drawLine(m_dc.position, to);
      m_dc.position = to;
      return true;
    }
    case record::ExtTextOutW:
      return playText(r);
    case record::StretchDiBits:
      return playImage(r);
    default:
      *handled = false;
      return true;
  }
}

}  // namespace morvane::emf
