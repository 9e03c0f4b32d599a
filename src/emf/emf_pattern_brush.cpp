#include "emf/emf_pattern_brush.h"

#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace morvane::emf {
namespace {

constexpr quint32 kDibRgbColors = 0;
// Type, size, ihBrush, iUsage, offBmi, cbBmi, offBits, cbBits.
constexpr quint32 kFixedRecordSize = 32;
constexpr quint32 kInfoHeaderSize = 40;

void put32(QByteArray& out, quint32 v) {
  const quint32 le = qToLittleEndian(v);
  out.append(reinterpret_cast<const char*>(&le), 4);
}

void put16(QByteArray& out, quint16 v) {
  const quint16 le = qToLittleEndian(v);
  out.append(reinterpret_cast<const char*>(&le), 2);
}

// The brush's own pixels at tile scale, as the raster draws them with no transform: a texture as
// it is, a Qt pattern style as its 8 x 8 stipple (foreground on transparent).
QImage sourceTile(const QBrush& brush) {
  if (brush.style() == Qt::TexturePattern) return brush.textureImage();
  QImage stipple(8, 8, QImage::Format_ARGB32_Premultiplied);
  stipple.fill(Qt::transparent);
  QPainter p(&stipple);
  p.fillRect(stipple.rect(), QBrush(brush.color(), brush.style()));
  return stipple;
}

// Index of the pixel a raster samples along one axis, wrapped into the source tile.
int sampled(int devicePixel, qreal origin, qreal scale, int sourceSize) {
  const qreal at = std::floor((devicePixel + 0.5 - origin) / scale);
  const qint64 wrapped = qint64(at) % sourceSize;
  return int(wrapped < 0 ? wrapped + sourceSize : wrapped);
}

}  // namespace

std::optional<QImage> devicePatternTile(const QBrush& brush, const QTransform& brushToDevice,
                                        qreal opacity, QRgb background) {
  const bool texture = brush.style() == Qt::TexturePattern;
  const bool stipple = brush.style() >= Qt::Dense1Pattern && brush.style() <= Qt::Dense7Pattern;
  if (!texture && !stipple) return std::nullopt;
  const QTransform& t = brushToDevice;
  if (t.type() > QTransform::TxScale || !std::isfinite(t.dx()) || !std::isfinite(t.dy()))
    return std::nullopt;
  const QImage source = sourceTile(brush);
  // Qt paints a bitmap texture in the brush colour, not in its own two colours.
  if (source.isNull() || source.depth() == 1 || source.width() > 4 * kMaxPatternSide ||
      source.height() > 4 * kMaxPatternSide)
    return std::nullopt;
  // Qt scales textures with the transform, but draws its pattern styles at device pixels.
  const qreal sx = texture ? t.m11() : 1.0;
  const qreal sy = texture ? t.m22() : 1.0;
  if (!(sx > 0) || !(sy > 0)) return std::nullopt;  // mirrored, singular or not a number
  const qreal wf = source.width() * sx, hf = source.height() * sy;
  const int w = qRound(std::min(wf, 1e6)), h = qRound(std::min(hf, 1e6));
  // A period that is not a whole number of pixels does not repeat on the device grid.
  if (w < 1 || h < 1 || w > kMaxPatternSide || h > kMaxPatternSide || std::abs(wf - w) > 0.01 ||
      std::abs(hf - h) > 0.01)
    return std::nullopt;

  QImage flat(source.size(), QImage::Format_RGB32);
  flat.fill(background);
  {
    QPainter p(&flat);
    p.setOpacity(std::clamp(opacity, 0.0, 1.0));
    p.drawImage(0, 0, source);
  }
  const QPointF origin = t.map(QPointF(0, 0));
  QImage tile(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    const int v = sampled(y, origin.y(), sy, source.height());
    for (int x = 0; x < w; ++x)
      tile.setPixel(x, y, flat.pixel(sampled(x, origin.x(), sx, source.width()), v));
  }
  return tile;
}

QByteArray packedPatternDib(const QImage& tile, quint32* infoSize) {
  const QImage rgb = tile.convertToFormat(QImage::Format_RGB32);
  const int w = rgb.width(), h = rgb.height();
  std::vector<QRgb> palette;
  for (int y = 0; y < h && palette.size() <= 2; ++y)
    for (int x = 0; x < w && palette.size() <= 2; ++x) {
      const QRgb c = rgb.pixel(x, y) | 0xFF000000u;
      if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
    }
  const bool mono = palette.size() <= 2;
  if (mono) palette.resize(2, palette.empty() ? qRgb(255, 255, 255) : palette.front());
  const quint16 bits = mono ? 1 : 24;
  const quint32 stride = ((quint32(w) * bits + 31) / 32) * 4;
  QByteArray out;
  put32(out, kInfoHeaderSize);
  put32(out, quint32(w));
  put32(out, quint32(h));  // positive: rows bottom-up
  put16(out, 1);
  put16(out, bits);
  put32(out, 0);  // BI_RGB
  put32(out, stride * quint32(h));
  put32(out, 3780);  // 96 dpi in pixels per metre
  put32(out, 3780);
  put32(out, mono ? 2 : 0);
  put32(out, 0);
  if (mono)
    for (QRgb c : palette)
      put32(out, quint32(qBlue(c)) | quint32(qGreen(c)) << 8 | quint32(qRed(c)) << 16);
  *infoSize = quint32(out.size());
  for (int y = h - 1; y >= 0; --y) {
    QByteArray line(qsizetype(stride), '\0');
    for (int x = 0; x < w; ++x) {
      const QRgb c = rgb.pixel(x, y) | 0xFF000000u;
      if (mono) {
        if (c == palette[1] && palette[1] != palette[0])
          line[x / 8] = char(line[x / 8] | (0x80 >> (x % 8)));
      } else {
        line[3 * x] = char(qBlue(c));
        line[3 * x + 1] = char(qGreen(c));
        line[3 * x + 2] = char(qRed(c));
      }
    }
    out.append(line);
  }
  return out;
}

std::optional<QImage> readPatternBrushTile(const RecordView& r) {
  if (!r.has(0, kFixedRecordSize)) return std::nullopt;
  const quint64 offBmi = r.u32(16), cbBmi = r.u32(20), offBits = r.u32(24), cbBits = r.u32(28);
  if (r.u32(12) != kDibRgbColors) return std::nullopt;  // palette indices need a palette we lack
  if (offBmi < kFixedRecordSize || cbBmi < kInfoHeaderSize || !r.has(offBmi, cbBmi) ||
      offBits < kFixedRecordSize || !r.has(offBits, cbBits))
    return std::nullopt;
  const quint32 at = quint32(offBmi);
  const quint64 headerSize = r.u32(at);
  if (headerSize < kInfoHeaderSize || headerSize > cbBmi) return std::nullopt;
  const qint32 w = r.i32(at + 4), h = r.i32(at + 8);
  const quint16 bits = r.u16(at + 14);
  if (r.u16(at + 12) != 1 || r.u32(at + 16) != 0) return std::nullopt;  // one plane, BI_RGB
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  if (w <= 0 || w > kMaxPlayedPatternSide || h == 0 || h == INT_MIN ||
      std::abs(h) > kMaxPlayedPatternSide)
    return std::nullopt;
  const quint64 tableSize = bits <= 8 ? (r.u32(at + 32) ? r.u32(at + 32) : 1u << bits) : 0;
  if (tableSize > (1u << std::min<int>(bits, 8)) || headerSize + 4 * tableSize > cbBmi)
    return std::nullopt;
  const quint64 stride = ((quint64(w) * bits + 31) / 32) * 4;
  const int rows = std::abs(h);
  if (stride * quint64(rows) > cbBits) return std::nullopt;

  std::vector<QRgb> table;
  for (quint64 i = 0; i < tableSize; ++i) {
    const quint32 entry = quint32(offBmi + headerSize + 4 * i);
    table.push_back(qRgb(r.u8(entry + 2), r.u8(entry + 1), r.u8(entry)));
  }
  QImage tile(w, rows, QImage::Format_RGB32);
  if (tile.isNull()) return std::nullopt;
  for (int y = 0; y < rows; ++y) {
    const quint64 line = offBits + stride * quint64(h > 0 ? rows - 1 - y : y);
    for (int x = 0; x < w; ++x) {
      QRgb c;
      if (bits <= 8) {
        const quint64 bit = quint64(x) * bits;
        const quint8 byte = r.u8(quint32(line + bit / 8));
        const quint32 index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        c = index < table.size() ? table[index] : qRgb(0, 0, 0);
      } else {
        const quint32 p = quint32(line + quint64(x) * (bits / 8));
        c = qRgb(r.u8(p + 2), r.u8(p + 1), r.u8(p));
      }
      tile.setPixel(x, y, c);
    }
  }
  return tile;
}

}  // namespace morvane::emf
