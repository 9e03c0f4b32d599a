// The interpreter behind playEmf(): keeps a device context (mapping, objects, clip, text
// settings) and draws each record with QPainter. Run without a painter it only checks that
// every record is well formed and inside the subset, so nothing is drawn for a file it cannot
// finish.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <optional>
#include <variant>
#include <vector>

#include "emf/emf_reader.h"

namespace morvane::emf {

class EmfPlayback {
 public:
  // `deviceToTarget` maps the reference device's pixels onto the painter; `painter` may be
  // null for a checking run. Requires: `painter` outlives the playback.
  EmfPlayback(const EmfHeaderInfo& header, QPainter* painter, const QTransform& deviceToTarget,
              const QRectF& target);

  // Interprets one record. False when it is malformed or outside the subset.
  bool play(const RecordView& r);

 private:
  struct Pen {
    quint32 style = 0;
    qreal width = 0;  // logical units; 0 means one device pixel
    QRgb color = 0;
    std::vector<qreal> dashes;
  };
  struct Brush {
    quint32 style = 0;
    QRgb color = 0;
    quint32 hatch = 0;
    QImage pattern;  // BS_DIBPATTERNPT: the tile, one pixel per device pixel
  };
  struct Font {
    qint32 height = 0;
    qint32 escapement = 0;
    qint32 weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
  };
  struct Placeholder {};  // palettes and colour spaces hold a slot but draw nothing
  using Object = std::variant<std::monostate, Pen, Brush, Font, Placeholder>;

  struct DcState {
    quint32 mapMode = 1;
    QPointF windowOrg, viewportOrg;
    QSizeF windowExt{1, 1}, viewportExt{1, 1};
    QTransform world;
    Pen pen;
    Brush brush{0, qRgb(255, 255, 255), 0, {}};
    Font font;
    QRgb textColor = qRgb(0, 0, 0);
    QRgb bkColor = qRgb(255, 255, 255);
    quint32 bkMode = 2;
    quint32 textAlign = 0;
    quint32 fillMode = 1;
    std::optional<QPainterPath> clip;  // device coordinates
    QPointF position;                  // logical
  };

  bool playMapping(const RecordView& r, bool* handled);
  bool playSetting(const RecordView& r, bool* handled);
  bool playObject(const RecordView& r, bool* handled);
  bool playClip(const RecordView& r, bool* handled);
  bool playShape(const RecordView& r, bool* handled);
  bool playPolyPoly(const RecordView& r, bool wide, bool closed);
  bool playPoly(const RecordView& r, bool wide, bool closed);
  bool playText(const RecordView& r);
  bool playImage(const RecordView& r);
  bool createObject(quint32 index, Object object);
  void selectObject(quint32 index);
  void drawText(const QString& text, const std::vector<qreal>& dx, QPointF reference,
                quint32 options, const QRectF& rect);

  QTransform logicalToDevice() const;
  QPen qtPen() const;
  QBrush qtBrush() const;
  bool beginDraw();  // applies transform and clip; false when no painter
  QPointF point(const RecordView& r, quint32 offset, bool wide) const;
  QRawFont rawFont(const Font& font);

  EmfHeaderInfo m_header;
  QPainter* m_painter;
  QTransform m_deviceToTarget;
  QRectF m_target;
  std::vector<Object> m_objects;
  DcState m_dc;
  std::vector<DcState> m_saved;
  bool m_clipDirty = true;
  // Fonts already looked up, by face, weight and italic: labels repeat a few fonts many times.
  std::vector<std::pair<QString, QRawFont>> m_rawFonts;
};

}  // namespace morvane::emf
