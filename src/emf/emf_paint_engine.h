// The QPaintEngine behind EmfDevice: turns what QPainter draws into metafile records through
// an EmfWriter it borrows (the device owns both). Shapes become polygons and polylines in
// logical units, text becomes text records naming the requested font family, gradients become
// bands of solid colour, and transparency is blended onto white. In the portable form strokes
// are filled outlines and tiled textures and stipples their pixels; in the GDI form they are
// geometric pens and pattern brushes.
#pragma once

#include <QBrush>
#include <QFont>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <functional>
#include <optional>
#include <vector>

#include "emf/emf_device.h"
#include "emf/emf_gradient_bands.h"
#include "emf/emf_writer.h"

namespace morvane::emf {

class EmfPaintEngine : public QPaintEngine {
 public:
  EmfPaintEngine(EmfWriter& writer, EmfForm form);

  bool begin(QPaintDevice* device) override;
  bool end() override;
  void updateState(const QPaintEngineState& state) override;
  Type type() const override { return QPaintEngine::User; }

  void drawPath(const QPainterPath& path) override;
  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
  void drawRects(const QRectF* rects, int count) override;
  void drawEllipse(const QRectF& rect) override;
  void drawLines(const QLineF* lines, int count) override;
  void drawPoints(const QPointF* points, int count) override;
  void drawTextItem(const QPointF& p, const QTextItem& textItem) override;
  void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
  void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                 Qt::ImageConversionFlags flags) override;
  void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& s) override;
  using QPaintEngine::drawEllipse;
  using QPaintEngine::drawLines;
  using QPaintEngine::drawPoints;
  using QPaintEngine::drawPolygon;
  using QPaintEngine::drawRects;

  // Deselects and deletes every object and closes the clip save level; call before the writer
  // finishes. Requires: not active.
  void close();

 private:
  struct CachedObject {
    int kind;  // 0 pen, 1 brush, 2 font
    EmfPenStyle pen;
    EmfBrushStyle brush;
    EmfFontStyle font;
    quint32 handle;
    quint64 lastUse;
  };

  // Shapes.
  void paintShape(const QPainterPath& path, bool outlineClosed);
  void fillArea(const QPainterPath& deviceArea, const QBrush& brush,
                const QTransform& gradientToDevice);
  void strokeShape(const QPainterPath& path, const QPainterPath& devicePath);
  void emitPolygons(const std::vector<QPolygon>& polygons);
  void emitPolylines(const std::vector<QPolygon>& polylines);
  std::optional<EmfPenStyle> simplePen() const;
  std::optional<EmfBrushStyle> simpleBrush(const QBrush& brush) const;
  std::optional<EmfBrushStyle> recordBrush(const QBrush& brush) const;
  std::vector<ColorPiece> patternFill(const QPainterPath& deviceArea, const QBrush& brush) const;
  QTransform gradientTransform(const QBrush& brush, const QRectF& objectRect) const;
  bool axisAligned() const;

  // Device state in the metafile.
  void selectPen(const std::optional<EmfPenStyle>& pen);
  void selectBrush(const std::optional<EmfBrushStyle>& brush);
  void underlayPattern(const EmfBrushStyle& brush, const std::function<void()>& emitShape);
  void selectFont(const EmfFontStyle& font);
  quint32 cachedHandle(const CachedObject& wanted);
  void setFillMode(Qt::FillRule rule);
  void setTextColor(QRgb color);
  void applyClip(const QPainterPath& path, Qt::ClipOperation op);
  void syncClip();
  void forgetSelection();

  QRgb blended(const QColor& c) const;

  EmfWriter& m_writer;
  EmfForm m_form;
  QPaintDevice* m_device = nullptr;
  QTransform m_transform;
  QPen m_pen;
  QBrush m_brush;
  QFont m_font;
  qreal m_opacity = 1.0;

  std::optional<QPainterPath> m_clip;  // device coordinates
  bool m_clipEnabled = false;
  bool m_clipDirty = false;
  bool m_emfClipped = false;

  std::vector<CachedObject> m_cache;
  quint64 m_useCounter = 0;
  std::optional<quint32> m_selectedPen, m_selectedBrush, m_selectedFont;
  std::optional<QRgb> m_textColor;
  std::optional<Qt::FillRule> m_fillRule;
};

}  // namespace morvane::emf
