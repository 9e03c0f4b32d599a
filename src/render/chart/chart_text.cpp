#include "render/chart/chart_text.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <cmath>

#include "emf/font_stand_ins.h"

namespace morvane::render::chart {

namespace {

// Measuring happens on a 72 dpi image so that font points equal layout units.
const QImage& measureDevice() {
  static const QImage image = [] {
    QImage img(1, 1, QImage::Format_ARGB32_Premultiplied);
    img.setDotsPerMeterX(2835);  // 72 dpi
    img.setDotsPerMeterY(2835);
    return img;
  }();
  return image;
}

}  // namespace

TextStyle makeTextStyle(const ooxml::chart::Theme& theme, const ooxml::chart::TextFormat& format,
                        double sizePt, bool bold, const QColor& color) {
  TextStyle style;
  style.font = emf::officeFont(theme.resolveFont(format.latinFont));
  style.font.setPointSizeF(format.sizePt.value_or(sizePt));
  style.font.setBold(format.bold.value_or(bold));
  style.font.setItalic(format.italic.value_or(false));
  style.font.setUnderline(format.underline.value_or(false));
  style.font.setKerning(true);
  style.color = color;
  if (format.color) {
    const QColor c = theme.resolve(*format.color);
    if (c.isValid()) style.color = c;
  }
  return style;
}

QSizeF measureText(const TextStyle& style, const QString& text) {
  const QFontMetricsF fm(style.font, &measureDevice());
  double width = 0;
  const QStringList lines = text.split('\n');
  for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
  return QSizeF(width, fm.height() * lines.size());
}

QSizeF measureRotated(const TextStyle& style, const QString& text) {
  const QSizeF s = measureText(style, text);
  if (std::abs(style.rotationDeg) < 0.01) return s;
  const double r = style.rotationDeg * M_PI / 180.0;
  const double c = std::abs(std::cos(r)), sn = std::abs(std::sin(r));
  return QSizeF(s.width() * c + s.height() * sn, s.width() * sn + s.height() * c);
}

namespace {

// Breaks one word wider than `width` between characters (at least one character per line).
void breakWord(const QFontMetricsF& fm, const QString& word, double width, QStringList& lines) {
  QString line;
  for (const QChar c : word) {
    if (!line.isEmpty() && fm.horizontalAdvance(line + c) > width) {
      lines << line;
      line.clear();
    }
    line += c;
  }
  if (!line.isEmpty()) lines << line;
}

}  // namespace

QString elideText(const TextStyle& style, const QString& text, double width) {
  const QFontMetricsF fm(style.font, &measureDevice());
  return fm.elidedText(text, Qt::ElideRight, std::max(width, 0.0));
}

QString wrapText(const TextStyle& style, const QString& text, double width) {
  const QFontMetricsF fm(style.font, &measureDevice());
  QStringList out;
  for (const QString& paragraph : text.split('\n')) {
    const QStringList words = paragraph.split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) {
      out << paragraph;
      continue;
    }
    QString line;
    for (const QString& word : words) {
      const QString joined = line.isEmpty() ? word : line + ' ' + word;
      if (fm.horizontalAdvance(joined) <= width) {
        line = joined;
        continue;
      }
      if (!line.isEmpty()) out << line;
      line.clear();
      if (fm.horizontalAdvance(word) <= width) {
        line = word;
        continue;
      }
      QStringList pieces;
      breakWord(fm, word, width, pieces);
      line = pieces.takeLast();
      out << pieces;
    }
    out << line;
  }
  return out.join('\n');
}

QFont deviceFont(const QPainter& painter, const QFont& font) {
  QFont f = font;
  const QPaintDevice* device = painter.device();
  const int dpi = device ? device->logicalDpiY() : 72;
  f.setPointSizeF(font.pointSizeF() * 72.0 / (dpi > 0 ? dpi : 72));
  return f;
}

void drawTextCentered(QPainter& painter, const TextStyle& style, const QPointF& center,
                      const QString& text) {
  const QSizeF size = measureText(style, text);
  painter.save();
  painter.translate(center);
  if (std::abs(style.rotationDeg) > 0.01) painter.rotate(style.rotationDeg);
  painter.setFont(deviceFont(painter, style.font));
  painter.setPen(style.color);
  const QRectF box(-size.width() / 2, -size.height() / 2, size.width(), size.height());
  painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, text);
  painter.restore();
}

void drawTextInRect(QPainter& painter, const TextStyle& style, const QRectF& rect, int flags,
                    const QString& text) {
  painter.save();
  painter.setFont(deviceFont(painter, style.font));
  painter.setPen(style.color);
  painter.drawText(rect, flags | Qt::TextDontClip, text);
  painter.restore();
}

}  // namespace morvane::render::chart
