#include "office/clipboard_formats.h"

#include <QBuffer>
#include <QClipboard>
#include <QDataStream>
#include <QGuiApplication>
#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QStringList>
#include <algorithm>

namespace morvane::office {

namespace {
constexpr quint32 kMagic = 0x4d4e4f31;  // "MNO1"
constexpr char kRecordMark[] = "morvane:1";
constexpr const char* kKindNames[] = {"chart", "chartsheet", "range"};

QString escapeField(QString field) {
  return field.replace(QLatin1Char('%'), QLatin1String("%25"))
      .replace(QLatin1Char('|'), QLatin1String("%7C"));
}

// No pixel lets white show through.
bool isOpaque(const QImage& image) {
  if (!image.hasAlphaChannel()) return true;
  const auto format = image.format();
  if (format != QImage::Format_ARGB32 && format != QImage::Format_ARGB32_Premultiplied)
    return false;
  QRgb all = 0xffffffff;
  const int width = image.width(), height = image.height();
  for (int y = 0; y < height; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) all &= line[x];
  }
  return qAlpha(all) == 255;
}

QString unescapeField(QString field) {
  return field.replace(QLatin1String("%7C"), QLatin1String("|"))
      .replace(QLatin1String("%25"), QLatin1String("%"));
}
}  // namespace

QByteArray jpegOnWhite(const QImage& image, int quality) {
  // Qt's JPEG writer takes RGB888 rows as they are and converts any other format pixel by
  // pixel: converting first halves the time, for the same bytes.
  QImage rows;
  if (isOpaque(image)) {
    rows = image.convertToFormat(QImage::Format_RGB888);
  } else {
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.setDotsPerMeterX(image.dotsPerMeterX());
    flat.setDotsPerMeterY(image.dotsPerMeterY());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    rows = flat.convertToFormat(QImage::Format_RGB888);
  }
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  return rows.save(&buffer, "JPEG", quality) ? jpeg : QByteArray();
}

QString SourceRecord::compact() const {
  QStringList fields{QLatin1String(kRecordMark),
                     workbook,
                     QLatin1String(kKindNames[int(kind)]),
                     sheet,
                     name,
                     key,
                     format};
  for (qsizetype i = 1; i < fields.size(); ++i) fields[i] = escapeField(fields[i]);
  return fields.join(QLatin1Char('|'));
}

std::optional<SourceRecord> SourceRecord::fromCompact(const QString& text) {
  const QStringList fields = text.split(QLatin1Char('|'));
  if (fields.size() != 7 || fields[0] != QLatin1String(kRecordMark)) return std::nullopt;
  SourceRecord r;
  const auto kind = std::find_if(std::begin(kKindNames), std::end(kKindNames),
                                 [&](const char* k) { return fields[2] == QLatin1String(k); });
  if (kind == std::end(kKindNames) || fields[1].isEmpty()) return std::nullopt;
  r.kind = Kind(kind - std::begin(kKindNames));
  r.workbook = unescapeField(fields[1]);
  r.sheet = unescapeField(fields[3]);
  r.name = unescapeField(fields[4]);
  r.key = unescapeField(fields[5]);
  r.format = unescapeField(fields[6]);
  return r;
}

QByteArray NativeObject::serialize() const {
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setVersion(QDataStream::Qt_6_0);
  s << kMagic << quint8(kind) << workbookName << sheet << name << sizePoints << workbook;
  return out;
}

std::optional<NativeObject> NativeObject::deserialize(const QByteArray& data) {
  QDataStream s(data);
  s.setVersion(QDataStream::Qt_6_0);
  quint32 magic = 0;
  quint8 kind = 0;
  NativeObject o;
  s >> magic;
  if (magic != kMagic) return std::nullopt;
  s >> kind >> o.workbookName >> o.sheet >> o.name >> o.sizePoints >> o.workbook;
  if (s.status() != QDataStream::Ok || kind > quint8(Kind::Range)) return std::nullopt;
  o.kind = Kind(kind);
  return o;
}

std::optional<SourceRecord> clipboardSource() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
  if (!mime || !mime->hasFormat(QLatin1String(kSourceMime))) return std::nullopt;
  return SourceRecord::fromCompact(QString::fromUtf8(mime->data(QLatin1String(kSourceMime))));
}

void dropClipboardSource() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
  if (!mime || !mime->hasFormat(QLatin1String(kSourceMime))) return;
  auto* kept = new QMimeData;
  for (const QString& format : mime->formats()) {
    if (format != QLatin1String(kSourceMime)) kept->setData(format, mime->data(format));
  }
  // Images travel as QImage, which data() does not give back.
  if (mime->hasImage()) kept->setImageData(mime->imageData());
  clipboard->setMimeData(kept);
}

}  // namespace morvane::office
