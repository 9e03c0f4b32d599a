#include "render/range/cell_text.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace morvane::render::range {

namespace {

using ooxml::xlsx::CellValue;

constexpr int kMaxRepeats = 2000;  // '*' fills and '#' runs in absurdly wide cells

QFontMetricsF metricsOf(const QPainter& painter, const QFont& font) {
  return QFontMetricsF(font, painter.device());
}

// Inserts copies of the fill character until the text is as wide as `width`.
QString expandFill(const QFontMetricsF& fm, const numfmt::FormattedValue& v, double width) {
  if (!v.fillChar || v.fillPosition < 0 || v.fillPosition > v.text.size()) return v.text;
  const double charWidth = fm.horizontalAdvance(*v.fillChar);
  const double room = width - fm.horizontalAdvance(v.text);
  const int copies = charWidth > 0 ? std::clamp(int(room / charWidth), 0, kMaxRepeats) : 0;
  QString text = v.text;
  text.insert(v.fillPosition, QString(copies, *v.fillChar));
  return text;
}

QString hashes(const QFontMetricsF& fm, double width) {
  const double w = fm.horizontalAdvance(QLatin1Char('#'));
  return QString(w > 0 ? std::clamp(int(width / w), 0, kMaxRepeats) : 1, QLatin1Char('#'));
}

// "1.2E+05", "1E+05": Qt writes at least two exponent digits, as the program does.
QString shortScientific(double number, int decimals) { return QString::number(number, 'E', decimals); }

// A number as the cell shows it in `width` points: General drops digits to fit, other
// formats show '#' across the cell when the text does not fit.
QString fitNumber(const QFontMetricsF& fm, double number, const CellLook& look, bool date1904, double width,
                  QColor& color) {
  numfmt::FormattedValue v = look.format.format(number, date1904);
  if (v.color) color = *v.color;
  if (v.fillChar && v.fillPosition >= 0 && v.text.count(QLatin1Char('#')) == v.text.size() &&
      *v.fillChar == QLatin1Char('#'))
    return hashes(fm, width);  // a date out of range
  if (look.format.isGeneral() && std::isfinite(number)) {
    for (int chars = 11; chars >= 6 && fm.horizontalAdvance(v.text) > width; --chars)
      v.text = numfmt::formatGeneral(number, chars);
    // Narrower still: the shortest scientific forms ("1E+05").
    for (int decimals = 1; decimals >= 0 && fm.horizontalAdvance(v.text) > width && number != 0; --decimals)
      v.text = shortScientific(number, decimals);
  }
  if (v.fillChar) {
    if (fm.horizontalAdvance(v.text) > width) return hashes(fm, width);
    return expandFill(fm, v, width);
  }
  return fm.horizontalAdvance(v.text) > width ? hashes(fm, width) : v.text;
}

// Greedy word wrap at spaces; words wider than the line break between characters.
QStringList wrapLines(const QFontMetricsF& fm, const QString& text, double width) {
  QStringList lines;
  const QStringList paragraphs = text.split(QLatin1Char('\n'));
  for (const QString& paragraph : paragraphs) {
    QString line;
    const QStringList words = paragraph.split(QLatin1Char(' '));
    for (const QString& word : words) {
      const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
      if (fm.horizontalAdvance(candidate) <= width || line.isEmpty()) {
        line = candidate;
      } else {
        lines << line;
        line = word;
      }
      while (line.size() > 1 && fm.horizontalAdvance(line) > width && lines.size() < 1000) {
        int cut = line.size() - 1;
        while (cut > 1 && fm.horizontalAdvance(line.left(cut)) > width) --cut;
        lines << line.left(cut);
        line = line.mid(cut);
      }
    }
    lines << line;
    if (lines.size() >= 1000) break;
  }
  return lines;
}

Qt::Alignment horizontalOf(const QString& h, const CellValue& value, bool& wrap, bool& fill) {
  if (h == QLatin1String("left")) return Qt::AlignLeft;
  if (h == QLatin1String("right")) return Qt::AlignRight;
  if (h == QLatin1String("center") || h == QLatin1String("centerContinuous")) return Qt::AlignHCenter;
  if (h == QLatin1String("fill")) {
    fill = true;
    return Qt::AlignLeft;
  }
  if (h == QLatin1String("justify")) {
    wrap = true;
    return Qt::AlignLeft;
  }
  if (h == QLatin1String("distributed")) {
    wrap = true;
    return Qt::AlignHCenter;
  }
  switch (value.type) {
    case CellValue::Type::Number: return Qt::AlignRight;
    case CellValue::Type::Boolean:
    case CellValue::Type::Error: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
  }
}

Qt::Alignment verticalOf(const QString& v) {
  if (v == QLatin1String("top") || v == QLatin1String("justify")) return Qt::AlignTop;
  if (v == QLatin1String("center") || v == QLatin1String("distributed")) return Qt::AlignVCenter;
  return Qt::AlignBottom;
}

}  // namespace

QFont pointFont(const QPainter& painter, const QFont& font) {
  QFont f = font;
  const QPaintDevice* device = painter.device();
  const int dpi = device ? device->logicalDpiY() : 72;
  f.setPointSizeF(font.pointSizeF() * 72.0 / (dpi > 0 ? dpi : 72));
  return f;
}

CellText layoutCellText(const QPainter& painter, const CellValue& value, const CellLook& look,
                        const QRectF& cell, bool date1904, double indentStep) {
  CellText out;
  if (value.isEmpty()) return out;
  const auto& a = look.alignment;
  bool wrap = a.wrapText, fill = false;
  out.horizontal = horizontalOf(a.horizontal, value, wrap, fill);
  out.vertical = verticalOf(a.vertical);
  if (a.vertical == QLatin1String("justify") || a.vertical == QLatin1String("distributed")) wrap = true;
  out.font = pointFont(painter, look.font);
  out.color = look.textColor;
  out.doubleUnderline = look.doubleUnderline;
  const QFontMetricsF fm = metricsOf(painter, out.font);
  if (out.horizontal != Qt::AlignHCenter) out.indent = std::clamp(a.indent, 0, 250) * indentStep;
  const double width = std::max(0.0, cell.width() - kTextPadLeft - kTextPadRight - out.indent);

  QString text;
  switch (value.type) {
    case CellValue::Type::Number:
      text = fitNumber(fm, value.number, look, date1904, width, out.color);
      break;
    case CellValue::Type::Boolean: text = value.boolean ? QStringLiteral("TRUE") : QStringLiteral("FALSE"); break;
    case CellValue::Type::Error: text = value.text; break;
    default: {
      const numfmt::FormattedValue v = look.format.formatText(value.text);
      if (v.color) out.color = *v.color;
      text = expandFill(fm, v, width);
      out.mayOverflow = !wrap && !fill && !v.fillChar;
    }
  }
  if (a.textRotation == 255) {
    text.remove(QLatin1Char('\n'));
    for (const QChar ch : text) out.lines << QString(ch);
    out.mayOverflow = false;
  } else if (a.textRotation > 0 && a.textRotation <= 180) {
    out.rotation = a.textRotation <= 90 ? a.textRotation : 90.0 - a.textRotation;
    out.lines << text.remove(QLatin1Char('\n'));
    out.mayOverflow = false;
  } else if (wrap && value.type != CellValue::Type::Number) {
    out.lines = wrapLines(fm, text, std::max(width, 1.0));
  } else {
    text.remove(QLatin1Char('\n'));
    if (fill && !text.isEmpty()) {
      const double w = fm.horizontalAdvance(text);
      text = text.repeated(w > 0 ? std::clamp(int(width / w), 1, kMaxRepeats / std::max(1, int(text.size()))) : 1);
    }
    out.lines << text;
  }
  for (const QString& line : out.lines) out.width = std::max(out.width, fm.horizontalAdvance(line));
  return out;
}

namespace {

// The text block's rectangle inside `inner` by the alignments (unrotated size `size`).
QRectF placeBlock(const CellText& t, const QRectF& inner, const QSizeF& size) {
  double x = inner.left() + t.indent;
  if (t.horizontal & Qt::AlignRight) x = inner.right() - t.indent - size.width();
  if (t.horizontal & Qt::AlignHCenter) x = inner.center().x() - size.width() / 2;
  double y = inner.bottom() - size.height();
  if (t.vertical & Qt::AlignTop) y = inner.top();
  if (t.vertical & Qt::AlignVCenter) y = inner.center().y() - size.height() / 2;
  return QRectF(x, y, size.width(), size.height());
}

void drawDoubleUnderline(QPainter& painter, const QFontMetricsF& fm, const QRectF& lineBox, double width,
                         Qt::Alignment h) {
  double x = lineBox.left();
  if (h & Qt::AlignRight) x = lineBox.right() - width;
  if (h & Qt::AlignHCenter) x = lineBox.center().x() - width / 2;
  const double y = lineBox.top() + fm.ascent() + fm.underlinePos() + 2 * fm.lineWidth();
  painter.fillRect(QRectF(x, y, width, fm.lineWidth()), painter.pen().color());
}

}  // namespace

void drawCellText(QPainter& painter, const CellText& t, const QRectF& area, const QRectF& clip) {
  if (t.isEmpty()) return;
  painter.save();
  painter.setClipRect(clip, Qt::IntersectClip);
  painter.setFont(t.font);
  painter.setPen(t.color);
  const QFontMetricsF fm(t.font, painter.device());
  const QRectF inner(area.left() + kTextPadLeft, area.top() + 0.75, std::max(0.0, area.width() - kTextPadLeft - kTextPadRight),
                     std::max(0.0, area.height() - 1.5));
  const double lineHeight = fm.height();
  const QSizeF block(t.width, lineHeight * t.lines.size());
  if (t.rotation != 0) {
    const double r = t.rotation * M_PI / 180.0;
    const QSizeF bounds(block.width() * std::abs(std::cos(r)) + block.height() * std::abs(std::sin(r)),
                        block.width() * std::abs(std::sin(r)) + block.height() * std::abs(std::cos(r)));
    const QRectF box = placeBlock(t, inner, bounds);
    painter.translate(box.center());
    painter.rotate(-t.rotation);
    painter.drawText(QRectF(-block.width() / 2, -block.height() / 2, block.width(), block.height()),
                     Qt::AlignCenter | Qt::TextDontClip, t.lines.front());
  } else {
    const QRectF box = placeBlock(t, inner, block);
    for (int i = 0; i < t.lines.size(); ++i) {
      const QRectF lineBox(box.left(), box.top() + i * lineHeight, box.width(), lineHeight);
      const Qt::Alignment h = t.lines.size() > 1 ? t.horizontal : Qt::AlignLeft;
      painter.drawText(lineBox, int(h | Qt::AlignVCenter | Qt::TextDontClip), t.lines[i]);
      if (t.doubleUnderline)
        drawDoubleUnderline(painter, fm, lineBox, fm.horizontalAdvance(t.lines[i]), h);
    }
  }
  painter.restore();
}

}  // namespace morvane::render::range
