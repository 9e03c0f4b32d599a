#include "hosts/presentation/paste.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QXmlStreamReader>
#include <cmath>

#include "hosts/presentation/objects.h"
#include "hosts/presentation/provenance.h"
#include "office/clipboard_formats.h"
#include "office/powerpoint.h"

namespace morvane::hosts::presentation {

namespace {

office::AutomationError pasteError(const QString& what) {
  return hostError(QStringLiteral("View"), QStringLiteral("PasteSpecial"), what);
}

office::AutomationError unavailable() {
  return pasteError(QStringLiteral("Invalid request.  The specified data type is unavailable."));
}

struct Picture {
  QByteArray bytes;
  ooxml::pptx::ImageFormat format = ooxml::pptx::ImageFormat::Png;
  QSizeF points;
};

QByteArray pngBytes(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return out;
}

std::optional<Picture> bitmapPicture(const QMimeData* mime) {
  if (!mime || !mime->hasImage()) return std::nullopt;
  const QImage image = qvariant_cast<QImage>(mime->imageData());
  auto size = naturalSizeOfImage(image);
  if (!size || size->isEmpty()) return std::nullopt;
  // A copy that drew its picture ahead offers the PNG already encoded, as pngBytes() would.
  QByteArray png = mime->hasFormat(QStringLiteral("image/png"))
                       ? mime->data(QStringLiteral("image/png"))
                       : QByteArray();
  if (png.isEmpty()) png = pngBytes(image);
  if (png.isEmpty()) return std::nullopt;
  return Picture{png, ooxml::pptx::ImageFormat::Png, *size};
}

std::optional<Picture> emfPicture(const QMimeData* mime) {
  if (!mime || !mime->hasFormat(QString::fromLatin1(office::kEmfMime))) return std::nullopt;
  const QByteArray emf = mime->data(QString::fromLatin1(office::kEmfMime));
  auto size = naturalSizeOfEmf(emf);
  if (!size || size->isEmpty()) return std::nullopt;
  return Picture{emf, ooxml::pptx::ImageFormat::Emf, *size};
}

// True when `bytes` open as an SVG document: its first element is svg in the SVG namespace.
bool isSvgDocument(const QByteArray& bytes) {
  QXmlStreamReader reader(bytes);
  return reader.readNextStartElement() && reader.name() == QLatin1String("svg") &&
         reader.namespaceUri() == QLatin1String("http://www.w3.org/2000/svg");
}

// The clipboard's SVG document; empty when there is none or it is no SVG.
QByteArray svgDocument(const QMimeData* mime) {
  if (!mime || !mime->hasFormat(QString::fromLatin1(office::kSvgMime))) return {};
  const QByteArray svg = mime->data(QString::fromLatin1(office::kSvgMime));
  return isSvgDocument(svg) ? svg : QByteArray();
}

// A plain framed picture naming the object, for a native object offered without a picture.
Picture placeholderPicture(const office::NativeObject& object, const QSizeF& points) {
  const QSize px(std::clamp(int(points.width() * 96 / 72), 16, 4000),
                 std::clamp(int(points.height() * 96 / 72), 16, 4000));
  QImage image(px, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  QPainter painter(&image);
  painter.setPen(Qt::darkGray);
  painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
  painter.drawText(image.rect(), Qt::AlignCenter,
                   object.name.isEmpty() ? object.sheet : object.name);
  painter.end();
  return Picture{pngBytes(image), ooxml::pptx::ImageFormat::Png, points};
}

ooxml::pptx::RectEmu centred(const ooxml::pptx::Document& doc, const QSizeF& points) {
  const ooxml::pptx::SizeEmu slide = doc.slideSize();
  const qint64 cx = toEmu(float(points.width()));
  const qint64 cy = toEmu(float(points.height()));
  return {(slide.cx - cx) / 2, (slide.cy - cy) / 2, cx, cy};
}

quint32 pasteObject(PresentationState& state, int slide, const QMimeData* mime, QSizeF* natural) {
  auto object =
      office::NativeObject::deserialize(mime->data(QString::fromLatin1(office::kNativeObjectMime)));
  if (!object || object->workbook.isEmpty())
    throw pasteError(QStringLiteral("The object on the clipboard cannot be read."));
  std::optional<Picture> fallback = emfPicture(mime);
  if (!fallback) fallback = bitmapPicture(mime);
  QSizeF size = object->sizePoints;
  if (!(size.width() > 0 && size.height() > 0))
    size = fallback ? fallback->points : QSizeF(360, 216);
  if (!fallback) fallback = placeholderPicture(*object, size);
  // Charts and chart sheets embed as chart objects, ranges as worksheet objects.
  const QString progId = object->kind == office::NativeObject::Kind::Range
                             ? QStringLiteral("Excel.Sheet.12")
                             : QStringLiteral("Excel.Chart.8");
  *natural = size;
  return state.doc().addEmbeddedWorkbook(slide, object->workbook, progId, fallback->bytes,
                                         fallback->format, centred(state.doc(), size));
}

// The record the copy offered, with the format pasted, goes into the shape, and stays at hand
// for the source label that may follow. Data that offers none (a foreign picture) gets none.
void keepSource(PresentationState& state, int slide, quint32 id, const QMimeData* mime,
                const char* format) {
  state.labelSource.reset();
  if (!mime->hasFormat(QString::fromLatin1(office::kSourceMime))) return;
  auto record = office::SourceRecord::fromCompact(
      QString::fromUtf8(mime->data(QString::fromLatin1(office::kSourceMime))));
  if (!record) return;
  record->format = QLatin1String(format);
  writeSourceRecord(state.doc(), slide, id, *record);
  state.labelSource = std::make_pair(state.doc().slidePart(slide), *record);
}

}  // namespace

void pasteClipboard(PresentationState& state, int dataType) {
  ooxml::pptx::Document& doc = state.doc();
  const int slide = state.shownIndex();
  const QMimeData* mime =
      QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
  if (!mime)
    throw pasteError(QStringLiteral(
        "Invalid request.  Clipboard is empty or contains data which may not be pasted here."));
  const bool hasObject = mime->hasFormat(QString::fromLatin1(office::kNativeObjectMime));

  std::optional<Picture> picture;
  QByteArray svg;
  quint32 id = 0;
  QSizeF natural;
  switch (dataType) {
    case ppt::ppPasteBitmap:
      picture = bitmapPicture(mime);
      break;
    case ppt::ppPasteEnhancedMetafile:
      picture = emfPicture(mime);
      break;
    case ppt::ppPasteSVG:  // the bitmap is the picture, the SVG its vector form
      svg = svgDocument(mime);
      if (!svg.isEmpty()) picture = bitmapPicture(mime);
      break;
    case ppt::ppPasteOLEObject:
      if (!hasObject) throw unavailable();
      break;
    case ppt::ppPasteDefault:
      if (!hasObject) {
        picture = emfPicture(mime);
        if (!picture) picture = bitmapPicture(mime);
      }
      break;
    default:
      throw unavailable();
  }
  const char* format = nullptr;
  if (picture) {
    natural = picture->points;
    const auto frame = centred(doc, picture->points);
    id = svg.isEmpty() ? doc.addPicture(slide, picture->bytes, picture->format, frame)
                       : doc.addSvgPicture(slide, picture->bytes, svg, frame);
    format = !svg.isEmpty()                                     ? office::SourceRecord::kSvg
             : picture->format == ooxml::pptx::ImageFormat::Emf ? office::SourceRecord::kEmf
                                                                : office::SourceRecord::kBitmap;
  } else if (hasObject && (dataType == ppt::ppPasteOLEObject || dataType == ppt::ppPasteDefault)) {
    id = pasteObject(state, slide, mime, &natural);
    format = office::SourceRecord::kObject;
  } else {
    throw unavailable();
  }
  keepSource(state, slide, id, mime, format);
  const ShapeKey key{doc.slidePart(slide), id};
  state.originalSize[key] = QSizeF(natural.width() * ooxml::pptx::kEmuPerPoint,
                                   natural.height() * ooxml::pptx::kEmuPerPoint);
  state.selectShape(key);
}

namespace {

office::AutomationError replaceError(const QString& what) {
  return hostError(QStringLiteral("Shape"), QStringLiteral("ReplaceWithClipboard"), what);
}

// Width ÷ height of the picture a shape shows; 0 when it cannot be read.
double aspectOf(const ooxml::pptx::Document::PictureData& picture) {
  if (picture.contentType == QLatin1String("image/x-emf")) {
    const std::optional<QSizeF> size = naturalSizeOfEmf(picture.bytes);
    return size && size->height() > 0 ? size->width() / size->height() : 0;
  }
  // The header is enough: a bitmap's pixels are square.
  QBuffer buffer;
  buffer.setData(picture.bytes);
  const QSize size = QImageReader(&buffer).size();
  return size.height() > 0 ? double(size.width()) / size.height() : 0;
}

}  // namespace

void replaceWithClipboard(PresentationState& state, const ShapeKey& key, int dataType) {
  ooxml::pptx::Document& doc = state.doc();
  const ooxml::pptx::ShapeInfo info = state.shapeInfo(key);
  const int slide = state.slideIndex(key.slidePart);
  const QMimeData* mime =
      QGuiApplication::clipboard() ? QGuiApplication::clipboard()->mimeData() : nullptr;
  if (!mime) throw unavailable();
  if (info.isOleObject != (dataType == ppt::ppPasteOLEObject))
    throw replaceError(info.isOleObject ? QStringLiteral("An embedded object takes an object.")
                                        : QStringLiteral("A picture takes a picture."));

  ooxml::pptx::Document::Replacement next;
  std::optional<Picture> picture;
  const char* format = nullptr;
  switch (dataType) {
    case ppt::ppPasteBitmap:
      picture = bitmapPicture(mime);
      format = office::SourceRecord::kBitmap;
      break;
    case ppt::ppPasteEnhancedMetafile:
      picture = emfPicture(mime);
      format = office::SourceRecord::kEmf;
      break;
    case ppt::ppPasteSVG:
      next.svg = svgDocument(mime);
      if (!next.svg.isEmpty()) picture = bitmapPicture(mime);
      format = office::SourceRecord::kSvg;
      break;
    case ppt::ppPasteOLEObject: {
      if (!mime->hasFormat(QString::fromLatin1(office::kNativeObjectMime))) throw unavailable();
      auto object = office::NativeObject::deserialize(
          mime->data(QString::fromLatin1(office::kNativeObjectMime)));
      if (!object || object->workbook.isEmpty()) throw unavailable();
      next.workbook = object->workbook;
      picture = emfPicture(mime);
      if (!picture) picture = bitmapPicture(mime);
      if (!picture)
        picture = placeholderPicture(
            *object, object->sizePoints.isValid() ? object->sizePoints : QSizeF(360, 216));
      format = office::SourceRecord::kObject;
      break;
    }
    default:
      throw unavailable();
  }
  if (!picture || picture->points.isEmpty()) throw unavailable();
  next.image = picture->bytes;
  next.format = picture->format;
  next.aspect = picture->points.width() / picture->points.height();

  const auto old = doc.pictureData(slide, key.id);
  const double oldAspect = old ? aspectOf(*old) : 0;
  // A picture redrawn at its old proportions keeps the user's crop; 1 % absorbs rounding of
  // sizes the program stores in whole pixels.
  const bool keepCrop = oldAspect > 0 && std::abs(oldAspect / next.aspect - 1) < 0.01;
  if (!doc.replacePicture(slide, key.id, next, keepCrop))
    throw replaceError(QStringLiteral("This shape shows no picture."));

  if (mime->hasFormat(QString::fromLatin1(office::kSourceMime))) {
    if (auto record = office::SourceRecord::fromCompact(
            QString::fromUtf8(mime->data(QString::fromLatin1(office::kSourceMime))))) {
      record->format = QLatin1String(format);
      rewriteSourceRecord(doc, slide, key.id, *record);
    }
  }
  state.originalSize[key] = QSizeF(picture->points.width() * ooxml::pptx::kEmuPerPoint,
                                   picture->points.height() * ooxml::pptx::kEmuPerPoint);
}

}  // namespace morvane::hosts::presentation
