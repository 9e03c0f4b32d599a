#include "emf/emf_paint_engine.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPixmap>
#include <QRegion>
#include <QTextItem>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <functional>

#include "emf/emf_format.h"
#include "emf/emf_gradient_bands.h"
#include "emf/emf_pattern_brush.h"
#include "emf/font_stand_ins.h"

namespace morvane::emf {
namespace {

constexpr qreal S = kUnitsPerPixel;
constexpr size_t kMaxCachedObjects = 24;

// A coordinate already in logical units as an integer; non-finite values (from a degenerate
// transform) become 0 rather than undefined conversions.
int coordinate(qreal logical) {
  return std::isfinite(logical) ? qRound(std::clamp(logical, -2.0e9, 2.0e9)) : 0;
}

QPoint toLogical(const QPointF& device) {
  return QPoint(coordinate(device.x() * S), coordinate(device.y() * S));
}

QRect toLogical(const QRectF& device) {
  return QRect(toLogical(device.topLeft()), toLogical(device.bottomRight()) - QPoint(1, 1));
}

// Flattens a device-space path into integer logical polygons (curves at 1/16 px tolerance).
// `closed` receives whether each subpath ends where it starts.
std::vector<QPolygon> flatten(const QPainterPath& devicePath, std::vector<bool>* closed) {
  std::vector<QPolygon> out;
  const QList<QPolygonF> subpaths = devicePath.toSubpathPolygons(QTransform::fromScale(S, S));
  for (const QPolygonF& sub : subpaths) {
    QPolygon poly;
    poly.reserve(sub.size());
    for (const QPointF& p : sub) {
      const QPoint q(coordinate(p.x()), coordinate(p.y()));
      if (poly.isEmpty() || poly.last() != q) poly << q;
    }
    const bool isClosed = poly.size() > 2 && poly.first() == poly.last();
    if (isClosed) poly.removeLast();
    if (poly.size() < 2) continue;
    out.push_back(poly);
    if (closed) closed->push_back(isClosed);
  }
  return out;
}

// Uniform scale and rotation, possibly mirrored: pens keep one width under it.
bool isSimilarity(const QTransform& t) {
  if (t.type() == QTransform::TxProject) return false;
  const qreal s = std::abs(t.m11()) + std::abs(t.m12()) + 1e-9;
  const bool direct =
      std::abs(t.m11() - t.m22()) < 1e-6 * s && std::abs(t.m12() + t.m21()) < 1e-6 * s;
  const bool mirrored =
      std::abs(t.m11() + t.m22()) < 1e-6 * s && std::abs(t.m12() - t.m21()) < 1e-6 * s;
  return direct || mirrored;
}

// A singular or overflowing transform draws nothing, as on a raster.
bool usable(const QTransform& t) {
  const qreal det = t.determinant();
  return std::isfinite(det) && det != 0 && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

qreal uniformScale(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

quint32 dashStyle(Qt::PenStyle style) {
  switch (style) {
    case Qt::DashLine:
      return kPsDash;
    case Qt::DotLine:
      return kPsDot;
    case Qt::DashDotLine:
      return kPsDashDot;
    case Qt::DashDotDotLine:
      return kPsDashDotDot;
    case Qt::CustomDashLine:
      return kPsUserStyle;
    default:
      return kPsSolid;
  }
}

quint32 capStyle(Qt::PenCapStyle cap) {
  switch (cap) {
    case Qt::FlatCap:
      return kPsEndcapFlat;
    case Qt::RoundCap:
      return kPsEndcapRound;
    default:
      return kPsEndcapSquare;
  }
}

quint32 joinStyle(Qt::PenJoinStyle join) {
  switch (join) {
    case Qt::RoundJoin:
      return kPsJoinRound;
    case Qt::BevelJoin:
      return kPsJoinBevel;
    default:
      return kPsJoinMiter;
  }
}

// Share of the foreground a dense pattern shows, for drawing it as a solid blend.
qreal patternDensity(Qt::BrushStyle style) {
  switch (style) {
    case Qt::Dense1Pattern:
      return 0.94;
    case Qt::Dense2Pattern:
      return 0.88;
    case Qt::Dense3Pattern:
      return 0.63;
    case Qt::Dense4Pattern:
      return 0.50;
    case Qt::Dense5Pattern:
      return 0.37;
    case Qt::Dense6Pattern:
      return 0.12;
    case Qt::Dense7Pattern:
      return 0.06;
    default:
      return 1.0;
  }
}

qreal fontPixelSize(const QFont& font) {
  return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
}

}  // namespace

EmfPaintEngine::EmfPaintEngine(EmfWriter& writer, EmfForm form)
    : QPaintEngine(QPaintEngine::AllFeatures), m_writer(writer), m_form(form) {}

bool EmfPaintEngine::begin(QPaintDevice* device) {
  if (m_writer.finished()) return false;
  m_device = device;
  m_clipDirty = true;
  return true;
}

bool EmfPaintEngine::end() {
  m_device = nullptr;
  return true;
}

void EmfPaintEngine::close() {
  if (m_emfClipped) forgetSelection();
  m_writer.selectObject(kBlackPen);
  m_writer.selectObject(kWhiteBrush);
  for (const CachedObject& o : m_cache) m_writer.deleteObject(o.handle);
  m_cache.clear();
  forgetSelection();
  m_writer.restoreDc();
}

QRgb EmfPaintEngine::blended(const QColor& c) const {
  const qreal a = std::clamp(c.alphaF() * m_opacity, 0.0, 1.0);
  const auto mix = [a](int v) { return qRound(v * a + 255 * (1 - a)); };
  return qRgb(mix(c.red()), mix(c.green()), mix(c.blue()));
}

// ---- State ----------------------------------------------------------------------------------

void EmfPaintEngine::updateState(const QPaintEngineState& state) {
  const DirtyFlags flags = state.state();
  if (flags & DirtyTransform) m_transform = state.transform();
  if (flags & DirtyPen) m_pen = state.pen();
  if (flags & DirtyBrush) m_brush = state.brush();
  if (flags & DirtyFont) m_font = state.font();
  if (flags & DirtyOpacity) m_opacity = state.opacity();
  if (flags & DirtyClipEnabled) {
    m_clipEnabled = state.isClipEnabled();
    m_clipDirty = true;
  }
  if (flags & DirtyClipPath) applyClip(state.clipPath(), state.clipOperation());
  if (flags & DirtyClipRegion) {
    QPainterPath path;
    path.addRegion(state.clipRegion());
    applyClip(path, state.clipOperation());
  }
}

void EmfPaintEngine::applyClip(const QPainterPath& path, Qt::ClipOperation op) {
  m_clipDirty = true;
  if (op == Qt::NoClip) {
    m_clip.reset();
    m_clipEnabled = false;
    return;
  }
  const QPainterPath device = m_transform.map(path);
  if (op == Qt::IntersectClip && m_clip)
    m_clip = m_clip->intersected(device);
  else
    m_clip = device;
  m_clipEnabled = true;
}

// Brings the metafile's clip in line with the painter's. The base save level holds the
// unclipped state, so a change restores it and clips afresh.
void EmfPaintEngine::syncClip() {
  if (!m_clipDirty) return;
  m_clipDirty = false;
  const bool clipped = m_clipEnabled && m_clip.has_value();
  if (!clipped && !m_emfClipped) return;
  m_writer.restoreDc();
  m_writer.saveDc();
  forgetSelection();
  m_emfClipped = clipped;
  if (!clipped) return;
  const QPolygonF outline = m_clip->toFillPolygon();
  const QRectF box = m_clip->boundingRect();
  const bool rectangular =
      m_clip->isEmpty() ||
      (QPolygonF(box).size() == outline.size() &&
       std::all_of(outline.begin(), outline.end(), [&](const QPointF& p) {
         const auto near = [](qreal a, qreal b) { return std::abs(a - b) < 1e-6; };
         return (near(p.x(), box.left()) || near(p.x(), box.right())) &&
                (near(p.y(), box.top()) || near(p.y(), box.bottom()));
       }));
  if (rectangular) {
    const QPoint tl = toLogical(box.topLeft());
    const QPoint br = toLogical(box.bottomRight());
    m_writer.intersectClipRect(QRect(tl, QSize(br.x() - tl.x(), br.y() - tl.y())));
    return;
  }
  const QRegion region(outline.toPolygon(), m_clip->fillRule());
  m_writer.selectClipRegion(QList<QRect>(region.begin(), region.end()));
}

void EmfPaintEngine::forgetSelection() {
  m_selectedPen.reset();
  m_selectedBrush.reset();
  m_selectedFont.reset();
  m_textColor.reset();
  m_fillRule.reset();
}

quint32 EmfPaintEngine::cachedHandle(const CachedObject& wanted) {
  for (CachedObject& o : m_cache) {
    const bool same = o.kind == wanted.kind && (o.kind == 0   ? o.pen == wanted.pen
                                                : o.kind == 1 ? o.brush == wanted.brush
                                                              : o.font == wanted.font);
    if (same) {
      o.lastUse = ++m_useCounter;
      return o.handle;
    }
  }
  if (m_cache.size() >= kMaxCachedObjects) {
    // Drop the least recently used object that is not selected.
    auto victim = m_cache.end();
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
      const bool selected = it->handle == m_selectedPen || it->handle == m_selectedBrush ||
                            it->handle == m_selectedFont;
      if (!selected && (victim == m_cache.end() || it->lastUse < victim->lastUse)) victim = it;
    }
    if (victim != m_cache.end()) {
      m_writer.deleteObject(victim->handle);
      m_cache.erase(victim);
    }
  }
  CachedObject created = wanted;
  created.handle = wanted.kind == 0   ? m_writer.createPen(wanted.pen)
                   : wanted.kind == 1 ? m_writer.createBrush(wanted.brush)
                                      : m_writer.createFont(wanted.font);
  created.lastUse = ++m_useCounter;
  m_cache.push_back(created);
  return created.handle;
}

void EmfPaintEngine::selectPen(const std::optional<EmfPenStyle>& pen) {
  quint32 handle = kNullPen;
  if (pen) {
    CachedObject wanted{};
    wanted.kind = 0;
    wanted.pen = *pen;
    handle = cachedHandle(wanted);
  }
  if (m_selectedPen == handle) return;
  m_writer.selectObject(handle);
  m_selectedPen = handle;
}

void EmfPaintEngine::selectBrush(const std::optional<EmfBrushStyle>& brush) {
  quint32 handle = kNullBrush;
  if (brush) {
    CachedObject wanted{};
    wanted.kind = 1;
    wanted.brush = *brush;
    handle = cachedHandle(wanted);
  }
  if (m_selectedBrush == handle) return;
  m_writer.selectObject(handle);
  m_selectedBrush = handle;
}

// LibreOffice leaves areas filled with a pattern brush empty: the shape is filled first with the
// pattern's average colour, which the opaque pattern then covers wherever patterns are drawn.
void EmfPaintEngine::underlayPattern(const EmfBrushStyle& brush,
                                     const std::function<void()>& emitShape) {
  if (brush.style != kBsDibPatternPt) return;
  selectPen(std::nullopt);
  selectBrush(EmfBrushStyle{kBsSolid, brush.color, 0, {}});
  emitShape();
}

void EmfPaintEngine::selectFont(const EmfFontStyle& font) {
  CachedObject wanted{};
  wanted.kind = 2;
  wanted.font = font;
  const quint32 handle = cachedHandle(wanted);
  if (m_selectedFont == handle) return;
  m_writer.selectObject(handle);
  m_selectedFont = handle;
}

void EmfPaintEngine::setFillMode(Qt::FillRule rule) {
  if (m_fillRule == rule) return;
  m_writer.setPolyFillMode(rule == Qt::WindingFill ? kWinding : kAlternate);
  m_fillRule = rule;
}

void EmfPaintEngine::setTextColor(QRgb color) {
  if (m_textColor == color) return;
  m_writer.setTextColor(color);
  m_textColor = color;
}

// ---- Pens and brushes -----------------------------------------------------------------------

std::optional<EmfPenStyle> EmfPaintEngine::simplePen() const {
  // Readers disagree on a pen's width under a scaling mapping; a filled outline they all agree on.
  if (m_form == EmfForm::Portable) return std::nullopt;
  if (m_pen.brush().style() != Qt::SolidPattern) return std::nullopt;
  const bool cosmetic = m_pen.isCosmetic();
  if (!cosmetic && !isSimilarity(m_transform)) return std::nullopt;
  const qreal deviceWidth =
      cosmetic ? std::max<qreal>(m_pen.widthF(), 1.0) : m_pen.widthF() * uniformScale(m_transform);
  EmfPenStyle desc;
  if (!std::isfinite(deviceWidth)) return std::nullopt;
  desc.width = quint32(qRound(std::clamp(deviceWidth * S, 1.0, double(1 << 24))));
  desc.color = blended(m_pen.color());
  const quint32 dash = dashStyle(m_pen.style());
  desc.style = kPsGeometric | dash | capStyle(m_pen.capStyle()) | joinStyle(m_pen.joinStyle());
  // Custom dash patterns become filled outlines: LibreOffice draws PS_USERSTYLE pens solid.
  if (dash == kPsUserStyle) return std::nullopt;
  return desc;
}

std::optional<EmfBrushStyle> EmfPaintEngine::simpleBrush(const QBrush& brush) const {
  const Qt::BrushStyle style = brush.style();
  EmfBrushStyle desc;
  if (style == Qt::SolidPattern) {
    desc.color = blended(brush.color());
    return desc;
  }
  const bool stipple = style >= Qt::Dense1Pattern && style <= Qt::Dense7Pattern;
  if (!stipple && style != Qt::TexturePattern) return std::nullopt;
  // A stipple's gaps show what lies below; like any transparency here, that is white.
  const QRgb background = qRgb(255, 255, 255);
  if (std::optional<QImage> tile =
          devicePatternTile(brush, brush.transform() * m_transform, m_opacity, background)) {
    desc.style = kBsDibPatternPt;
    desc.pattern = *tile;
    desc.color = tile->scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
    return desc;
  }
  // No tile repeats on the device grid (rotated, stretched, huge): a blend stands in for it.
  if (stipple) {
    QColor c = brush.color();
    c.setAlphaF(float(c.alphaF() * patternDensity(style)));
    desc.color = blended(c);
  } else {
    const QImage tile =
        brush.textureImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    desc.color = blended(tile.isNull() ? QColor(Qt::gray) : tile.pixelColor(0, 0));
  }
  return desc;
}

// The brush a fill selects as it is: any brush in the GDI form, solid colours only in the portable
// one, where pattern fills become pieces.
std::optional<EmfBrushStyle> EmfPaintEngine::recordBrush(const QBrush& brush) const {
  std::optional<EmfBrushStyle> desc = simpleBrush(brush);
  if (desc && desc->style != kBsSolid && m_form == EmfForm::Portable) return std::nullopt;
  return desc;
}

// A texture or stipple as solid pieces in final colours: its pixels when its tile repeats on the
// device grid and stays small enough, else the blend simpleBrush() gives.
std::vector<ColorPiece> EmfPaintEngine::patternFill(const QPainterPath& deviceArea,
                                                    const QBrush& brush) const {
  const std::optional<EmfBrushStyle> desc = simpleBrush(brush);
  if (!desc) return {};
  if (desc->style == kBsDibPatternPt) {
    const QRect bounds(0, 0, m_device ? m_device->width() : 0, m_device ? m_device->height() : 0);
    if (auto pieces = patternPieces(deviceArea, desc->pattern, bounds)) return *pieces;
  }
  return {{deviceArea, QColor(desc->color)}};
}

QTransform EmfPaintEngine::gradientTransform(const QBrush& brush, const QRectF& objectRect) const {
  QTransform t = brush.transform() * m_transform;
  const QGradient* g = brush.gradient();
  const QTransform box(objectRect.width(), 0, 0, objectRect.height(), objectRect.x(),
                       objectRect.y());
  // The brush transform applies in logical space in ObjectBoundingMode, within the box in
  // ObjectMode.
  if (g && g->coordinateMode() == QGradient::ObjectBoundingMode) t = box * t;
  if (g && g->coordinateMode() == QGradient::ObjectMode) t = brush.transform() * box * m_transform;
  return t;
}

bool EmfPaintEngine::axisAligned() const {
  return m_transform.type() <= QTransform::TxScale && m_transform.m11() > 0 &&
         m_transform.m22() > 0;
}

// ---- Shapes ---------------------------------------------------------------------------------

void EmfPaintEngine::emitPolygons(const std::vector<QPolygon>& polygons) {
  if (polygons.size() == 1)
    m_writer.polygon(polygons.front());
  else if (!polygons.empty())
    m_writer.polyPolygon(polygons);
}

void EmfPaintEngine::emitPolylines(const std::vector<QPolygon>& polylines) {
  if (polylines.size() == 1)
    m_writer.polyline(polylines.front());
  else if (!polylines.empty())
    m_writer.polyPolyline(polylines);
}

void EmfPaintEngine::fillArea(const QPainterPath& deviceArea, const QBrush& brush,
                              const QTransform& gradientToDevice) {
  const std::optional<EmfBrushStyle> solid = recordBrush(brush);
  const Qt::BrushStyle style = brush.style();
  const bool pattern =
      style == Qt::TexturePattern || (style >= Qt::Dense1Pattern && style <= Qt::Dense7Pattern);
  std::vector<ColorPiece> pieces;
  if (solid)
    pieces.push_back({deviceArea, QColor()});
  else if (style >= Qt::HorPattern && style <= Qt::DiagCrossPattern)
    pieces.push_back({hatchArea(deviceArea, style), brush.color()});
  else if (pattern)
    pieces = patternFill(deviceArea, brush);  // colours already blended
  else
    pieces = gradientBands(deviceArea, brush, gradientToDevice);
  selectPen(std::nullopt);
  for (const ColorPiece& piece : pieces) {
    const std::vector<QPolygon> polys = flatten(piece.area, nullptr);
    if (polys.empty()) continue;
    setFillMode(piece.area.fillRule());
    if (solid) underlayPattern(*solid, [&] { emitPolygons(polys); });
    const QRgb color = pattern ? piece.color.rgb() : blended(piece.color);
    selectBrush(solid ? *solid : EmfBrushStyle{kBsSolid, color, 0, {}});
    emitPolygons(polys);
  }
}

void EmfPaintEngine::strokeShape(const QPainterPath& path, const QPainterPath& devicePath) {
  if (const std::optional<EmfPenStyle> pen = simplePen()) {
    std::vector<bool> closed;
    const std::vector<QPolygon> polys = flatten(devicePath, &closed);
    std::vector<QPolygon> rings, lines;
    for (size_t i = 0; i < polys.size(); ++i) (closed[i] ? rings : lines).push_back(polys[i]);
    selectPen(pen);
    selectBrush(std::nullopt);
    emitPolygons(rings);
    emitPolylines(lines);
    return;
  }
  // Pens the format cannot express (gradient pens, stretched widths) become filled outlines.
  QPainterPathStroker stroker(m_pen);
  QPainterPath outline;
  if (m_pen.isCosmetic()) {
    stroker.setWidth(std::max<qreal>(m_pen.widthF(), 1.0));
    outline = stroker.createStroke(devicePath);
  } else {
    outline = m_transform.map(stroker.createStroke(path));
  }
  outline.setFillRule(Qt::WindingFill);
  fillArea(outline, m_pen.brush(), gradientTransform(m_pen.brush(), path.boundingRect()));
}

void EmfPaintEngine::paintShape(const QPainterPath& path, bool allClosed) {
  const bool hasFill = m_brush.style() != Qt::NoBrush;
  const bool hasStroke = m_pen.style() != Qt::NoPen && m_pen.brush().style() != Qt::NoBrush;
  if ((!hasFill && !hasStroke) || path.isEmpty() || !usable(m_transform)) return;
  syncClip();
  const QPainterPath devicePath = m_transform.map(path);
  const std::optional<EmfBrushStyle> brush = hasFill ? recordBrush(m_brush) : std::nullopt;
  const std::optional<EmfPenStyle> pen = hasStroke ? simplePen() : std::nullopt;
  if (hasFill && brush && (!hasStroke || pen) && allClosed) {
    // One record fills and outlines.
    const std::vector<QPolygon> polys = flatten(devicePath, nullptr);
    if (polys.empty()) return;
    setFillMode(path.fillRule());
    underlayPattern(*brush, [&] { emitPolygons(polys); });
    selectBrush(brush);
    selectPen(pen);
    emitPolygons(polys);
    return;
  }
  if (hasFill) fillArea(devicePath, m_brush, gradientTransform(m_brush, path.boundingRect()));
  if (hasStroke) strokeShape(path, devicePath);
}

void EmfPaintEngine::drawPath(const QPainterPath& path) {
  bool allClosed = true;
  for (int i = 0; i < path.elementCount(); ++i) {
    const int next = i + 1;
    const bool endsSubpath = next == path.elementCount() || path.elementAt(next).isMoveTo();
    if (!endsSubpath) continue;
    int start = i;
    while (start > 0 && !path.elementAt(start).isMoveTo()) --start;
    if (QPointF(path.elementAt(start)) != QPointF(path.elementAt(i))) allClosed = false;
  }
  paintShape(path, allClosed);
}

void EmfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) {
  if (count < 2) return;
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
  if (mode == PolylineMode) {
    const QBrush saved = m_brush;
    m_brush = Qt::NoBrush;
    paintShape(path, false);
    m_brush = saved;
    return;
  }
  path.closeSubpath();
  path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
  paintShape(path, true);
}

void EmfPaintEngine::drawRects(const QRectF* rects, int count) {
  for (int i = 0; i < count; ++i) {
    const QRectF r = rects[i].normalized();
    const bool simple = axisAligned() && (m_brush.style() == Qt::NoBrush || recordBrush(m_brush)) &&
                        (m_pen.style() == Qt::NoPen || simplePen());
    if (!simple) {
      QPainterPath path;
      path.addRect(r);
      paintShape(path, true);
      continue;
    }
    if ((m_pen.style() == Qt::NoPen && m_brush.style() == Qt::NoBrush) || !usable(m_transform))
      continue;
    syncClip();
    const std::optional<EmfBrushStyle> brush =
        m_brush.style() == Qt::NoBrush ? std::nullopt : recordBrush(m_brush);
    const QRect logical = toLogical(m_transform.mapRect(r)).adjusted(0, 0, 1, 1);
    if (brush) underlayPattern(*brush, [&] { m_writer.rectangle(logical); });
    selectPen(m_pen.style() == Qt::NoPen ? std::nullopt : simplePen());
    selectBrush(brush);
    m_writer.rectangle(logical);
  }
}

void EmfPaintEngine::drawEllipse(const QRectF& rect) {
  const bool simple = axisAligned() && (m_brush.style() == Qt::NoBrush || recordBrush(m_brush)) &&
                      (m_pen.style() == Qt::NoPen || simplePen());
  if (!simple) {
    QPainterPath path;
    path.addEllipse(rect);
    paintShape(path, true);
    return;
  }
  if ((m_pen.style() == Qt::NoPen && m_brush.style() == Qt::NoBrush) || !usable(m_transform))
    return;
  syncClip();
  const std::optional<EmfBrushStyle> brush =
      m_brush.style() == Qt::NoBrush ? std::nullopt : recordBrush(m_brush);
  const QRect logical = toLogical(m_transform.mapRect(rect.normalized())).adjusted(0, 0, 1, 1);
  if (brush) underlayPattern(*brush, [&] { m_writer.ellipse(logical); });
  selectPen(m_pen.style() == Qt::NoPen ? std::nullopt : simplePen());
  selectBrush(brush);
  m_writer.ellipse(logical);
}

void EmfPaintEngine::drawLines(const QLineF* lines, int count) {
  QPainterPath path;
  for (int i = 0; i < count; ++i) {
    path.moveTo(lines[i].p1());
    path.lineTo(lines[i].p2());
  }
  const QBrush saved = m_brush;
  m_brush = Qt::NoBrush;
  paintShape(path, false);
  m_brush = saved;
}

void EmfPaintEngine::drawPoints(const QPointF* points, int count) {
  // A point is a dot of the pen's width, square or round as its cap.
  const qreal w = m_pen.isCosmetic()
                      ? std::max<qreal>(m_pen.widthF(), 1.0) / uniformScale(m_transform)
                      : std::max<qreal>(m_pen.widthF(), 1e-3);
  QPainterPath path;
  for (int i = 0; i < count; ++i) {
    const QRectF dot(points[i] - QPointF(w / 2, w / 2), QSizeF(w, w));
    if (m_pen.capStyle() == Qt::RoundCap)
      path.addEllipse(dot);
    else
      path.addRect(dot);
  }
  const QPen savedPen = m_pen;
  const QBrush savedBrush = m_brush;
  m_brush = m_pen.brush();
  m_pen = Qt::NoPen;
  paintShape(path, true);
  m_pen = savedPen;
  m_brush = savedBrush;
}

// ---- Text -----------------------------------------------------------------------------------

void EmfPaintEngine::drawTextItem(const QPointF& p, const QTextItem& textItem) {
  const QString text = textItem.text();
  if (text.isEmpty() || m_pen.style() == Qt::NoPen || !usable(m_transform)) return;
  const QTransform& t = m_transform;
  const bool upright = isSimilarity(t) && t.determinant() > 0;
  // Right-to-left runs arrive in logical order; their outlines keep the visual order right.
  const bool rightToLeft = textItem.renderFlags() & QTextItem::RightToLeft;
  if (!upright || rightToLeft || m_pen.brush().style() != Qt::SolidPattern) {
    QPaintEngine::drawTextItem(p, textItem);  // outlines, through drawPath
    return;
  }
  const QFont font = textItem.font();
  const qreal scale = uniformScale(t);
  const qreal angle = qRadiansToDegrees(std::atan2(t.m12(), t.m11()));
  EmfFontStyle desc;
  desc.height = -qRound(std::min(fontPixelSize(font) * scale * S, 1.0e8));
  if (desc.height == 0) return;
  desc.escapement = (qRound(-angle * 10) % 3600 + 3600) % 3600;
  desc.weight = std::clamp(int(font.weight()), 1, 1000);
  desc.italic = font.italic();
  // The family asked for (the first of the font's families), not the stand-in drawing it here.
  desc.face = font.family();
  desc.pitchAndFamily = pitchAndFamily(desc.face, QFontInfo(font).fixedPitch());
  desc.charSet = charSetFor(desc.face, text);

  // Advances from our own layout, so that other programs place each character as we do: the
  // text shaped once (measuring each prefix shaped it again per character, most of a
  // range's time), each character's end read from it.
  QTextLayout layout(text, font, m_device);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  std::vector<qreal> ends(size_t(text.size()));
  qreal x = 0;
  for (qsizetype i = 0; i < text.size(); ++i) ends[size_t(i)] = x = line.cursorToX(int(i + 1));
  const qreal fit = (x > 0 && textItem.width() > 0) ? textItem.width() / x : 1.0;
  std::vector<qint32> dx(ends.size());
  qint64 previous = 0;
  for (size_t i = 0; i < ends.size(); ++i) {
    const qint64 end = qRound64(ends[i] * fit * scale * S);
    dx[i] = qint32(std::clamp<qint64>(end - previous, -1 << 30, 1 << 30));
    previous = end;
  }

  syncClip();
  selectFont(desc);
  setTextColor(blended(m_pen.color()));
  const QRectF box(p.x(), p.y() - textItem.ascent(), textItem.width(),
                   textItem.ascent() + textItem.descent());
  m_writer.extTextOut(toLogical(t.map(p)), text, dx, t.mapRect(box).toAlignedRect());
}

// ---- Images ---------------------------------------------------------------------------------

void EmfPaintEngine::drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                               Qt::ImageConversionFlags) {
  if (image.isNull() || r.isEmpty() || !usable(m_transform)) return;
  QImage part = image.copy(sr.toAlignedRect());
  if (m_opacity < 1.0) {
    part = part.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter fade(&part);
    fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    fade.fillRect(part.rect(), QColor(0, 0, 0, qRound(255 * m_opacity)));
  }
  // Huge images are stored at a size still far beyond what a slide shows.
  constexpr int kMaxSide = 8192;
  if (part.width() > kMaxSide || part.height() > kMaxSide)
    part = part.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  syncClip();
  const QRect dest = toLogical(m_transform.mapRect(r.normalized())).adjusted(0, 0, 1, 1);
  m_writer.stretchDiBits(dest, part);
}

void EmfPaintEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) {
  drawImage(r, pm.toImage(), sr, Qt::AutoColor);
}

void EmfPaintEngine::drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s) {
  if (pixmap.isNull() || r.isEmpty()) return;
  const QImage tile = pixmap.toImage();
  const qreal w = pixmap.width(), h = pixmap.height();
  constexpr int kMaxTiles = 4096;
  int tiles = 0;
  for (qreal y = r.top() - std::fmod(s.y(), h); y < r.bottom() && tiles < kMaxTiles; y += h) {
    for (qreal x = r.left() - std::fmod(s.x(), w); x < r.right() && tiles < kMaxTiles; x += w) {
      const QRectF cell = QRectF(x, y, w, h).intersected(r);
      if (cell.isEmpty()) continue;
      drawImage(cell, tile, cell.translated(-x, -y), Qt::AutoColor);
      ++tiles;
    }
  }
}

}  // namespace morvane::emf
