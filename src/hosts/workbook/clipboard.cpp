#include "hosts/workbook/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QSvgGenerator>
#include <cmath>

#include "emf/emf_device.h"
#include "hosts/workbook/chart_cache_fill.h"
#include "hosts/workbook/host.h"
#include "hosts/workbook/picture_pool.h"
#include "office/automation_error.h"
#include "office/excel.h"
#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "ooxml/xlsx/sheet_geometry.h"
#include "render/chart/chart_renderer.h"
#include "render/range/range_picture.h"

namespace morvane::hosts::workbook {

namespace {

constexpr char kQtImageMime[] = "application/x-qt-image";
constexpr double kPixelsPerPoint = 96.0 / 72.0;

// Bitmaps hold twice the pixels of 96 dpi, so they stay crisp on projectors and high-density
// screens; their device pixel ratio and dots per metre (192 dpi) keep the size in points.
// MORVANE_BITMAP_SCALE=1 draws them at 96 dpi again, for the benchmark's comparison only.
int bitmapScale() {
  static const int scale = qEnvironmentVariableIntValue("MORVANE_BITMAP_SCALE") == 1 ? 1 : 2;
  return scale;
}

QImage drawBitmap(const ClipboardPicture& picture) {
  const BitmapGeometry geometry = bitmapGeometry(picture.sizePoints, bitmapScale());
  QImage image(geometry.pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  const int dotsPerMeter = int(std::lround(geometry.dotsPerInch / 0.0254));
  image.setDotsPerMeterX(dotsPerMeter);
  image.setDotsPerMeterY(dotsPerMeter);
  // The painter works in 96-dpi pixels whatever the resolution. It ignores a device pixel
  // ratio below 1, so a reduced bitmap is scaled by hand and gets its ratio after.
  const double ratio = geometry.dotsPerInch / 96.0;
  if (ratio >= 1) image.setDevicePixelRatio(ratio);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (ratio < 1) painter.scale(ratio, ratio);
  painter.scale(kPixelsPerPoint, kPixelsPerPoint);
  picture.draw(painter, QRectF(QPointF(0, 0), picture.sizePoints));
  painter.end();
  image.setDevicePixelRatio(ratio);
  return image;
}

// The bitmaps are drawn on white, opaque, so their PNG needs no alpha channel; with zlib's
// fastest level (Qt's quality 80) that encodes the bench's 2x charts in about half the time of
// an RGBA PNG at the default level, for files some 7 % larger.
constexpr int kPngQuality = 80;

QByteArray encodePng(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG", kPngQuality);
  return png;
}

QByteArray drawMetafile(const ClipboardPicture& picture) {
  emf::EmfDevice device(picture.sizePoints);
  QPainter painter(&device);
  painter.scale(kPixelsPerPoint, kPixelsPerPoint);
  painter.fillRect(QRectF(QPointF(0, 0), picture.sizePoints), Qt::white);
  picture.draw(painter, QRectF(QPointF(0, 0), picture.sizePoints));
  painter.end();
  return device.finish();
}

// One unit a point (72 dpi), white behind the picture as on the bitmap. Text names the
// family of the font the renderer draws with.
QByteArray drawSvg(const ClipboardPicture& picture) {
  QByteArray svg;
  const QRectF box(QPointF(0, 0), picture.sizePoints);
  QBuffer buffer(&svg);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setResolution(72);
  generator.setSize(box.size().toSize().expandedTo(QSize(1, 1)));
  generator.setViewBox(box);
  QPainter painter(&generator);
  painter.fillRect(box, Qt::white);
  picture.draw(painter, box);
  painter.end();
  return svg;
}

// Offers its formats at once and draws each only when it is asked for.
class LazyPictureData : public QMimeData {
 public:
  LazyPictureData(ClipboardPicture picture, int formats,
                  std::function<office::NativeObject()> native,
                  std::optional<office::SourceRecord> source)
      : m_picture(std::move(picture)),
        m_formats(formats),
        m_native(std::move(native)),
        m_source(std::move(source)) {}

  QStringList formats() const override {
    QStringList out;
    if (m_formats & kOfferBitmap)
      out << QLatin1String(kQtImageMime) << QStringLiteral("image/png")
          << QLatin1String(office::kJpegMime);
    if (m_formats & kOfferEmf) out << QLatin1String(office::kEmfMime);
    if (m_formats & kOfferSvg) out << QLatin1String(office::kSvgMime);
    if ((m_formats & kOfferNative) && m_native) out << QLatin1String(office::kNativeObjectMime);
    if (m_source) out << QLatin1String(office::kSourceMime);
    return out;
  }
  bool hasFormat(const QString& mime) const override { return formats().contains(mime); }

 protected:
  QVariant retrieveData(const QString& mime, QMetaType type) const override {
    if (!hasFormat(mime)) return {};
    if (mime == QLatin1String(kQtImageMime) || mime == QLatin1String("image/png")) {
      if (mime == QLatin1String(kQtImageMime)) return bitmap();
      return png();
    }
    if (mime == QLatin1String(office::kJpegMime)) return jpeg();
    if (mime == QLatin1String(office::kEmfMime)) return metafile();
    if (mime == QLatin1String(office::kSvgMime)) return vector();
    if (mime == QLatin1String(office::kNativeObjectMime)) return m_native().serialize();
    if (mime == QLatin1String(office::kSourceMime)) return m_source->compact().toUtf8();
    return {};
  }

 private:
  const DrawnForms* drawn() const { return m_picture.drawn.get(); }
  QImage bitmap() const {
    if (m_image.isNull())
      m_image = drawn() && !drawn()->image.isNull() ? drawn()->image : drawBitmap(m_picture);
    return m_image;
  }
  QByteArray png() const {
    if (drawn() && !drawn()->png.isEmpty()) return drawn()->png;
    return encodePng(bitmap());
  }
  QByteArray jpeg() const {
    if (drawn() && !drawn()->jpeg.isEmpty()) return drawn()->jpeg;
    return office::jpegOnWhite(bitmap(), office::kJpegQuality);
  }
  QByteArray metafile() const {
    if (m_emf.isEmpty())
      m_emf = drawn() && !drawn()->emf.isEmpty() ? drawn()->emf : drawMetafile(m_picture);
    return m_emf;
  }
  QByteArray vector() const {
    if (m_svg.isEmpty())
      m_svg = drawn() && !drawn()->svg.isEmpty() ? drawn()->svg : drawSvg(m_picture);
    return m_svg;
  }

  ClipboardPicture m_picture;
  int m_formats;
  std::function<office::NativeObject()> m_native;
  std::optional<office::SourceRecord> m_source;
  mutable QImage m_image;
  mutable QByteArray m_emf;
  mutable QByteArray m_svg;
};

// The copy asking for this picture fails: nothing of an earlier copy may stay to be pasted in
// its place.
[[noreturn]] void refusePicture(const QString& reason) {
  QGuiApplication::clipboard()->clear();
  throw office::AutomationError::invalidPicture(reason);
}

QString drawableSizeProblem(const QSizeF& size) {
  if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
    return QStringLiteral("the object has no finite size");
  return {};
}

// The picture, or the copy's refusal.
ClipboardPicture settle(BuiltPicture built) {
  if (auto* problem = std::get_if<QString>(&built)) refusePicture(*problem);
  return std::get<ClipboardPicture>(std::move(built));
}

const ooxml::xlsx::SheetEntry& sheetEntry(const WorkbookHost& host, int sheet) {
  const auto& sheets = host.document().model().sheets;
  if (sheet < 0 || sheet >= int(sheets.size()))
    throw office::AutomationError::subscriptOutOfRange();
  return sheets[size_t(sheet)];
}

int digitWidth(const WorkbookHost& host) {
  return ooxml::xlsx::maxDigitWidth(host.document().model().styles.defaultFont());
}

}  // namespace

BitmapGeometry bitmapGeometry(const QSizeF& points, int scale) {
  const double width = std::max(points.width(), 0.0), height = std::max(points.height(), 0.0);
  double dpi = 96.0 * scale;
  const double side = std::max(width, height) * dpi / 72.0;
  if (side > kMaxBitmapSide) dpi *= kMaxBitmapSide / side;
  const double area = width * height * dpi * dpi / (72.0 * 72.0);
  if (area > kMaxBitmapPixels) dpi *= std::sqrt(kMaxBitmapPixels / area);
  // A reduced resolution is a whole dpi where it can be, the resolution the bitmap's dots per
  // metre say, so the picture keeps its size in points; its pixels round down to stay within
  // the limits, moving the proportions by under a pixel.
  const bool reduced = dpi < 96.0 * scale;
  if (reduced && dpi >= 1) dpi = std::floor(dpi);
  const auto pixels = [&](double length) {
    const double exact = length * dpi / 72.0;
    return std::max(1, int(reduced ? std::floor(exact + 1e-9) : std::lround(exact)));
  };
  return {QSize(pixels(width), pixels(height)), dpi};
}

int pictureFormats(int copyPictureFormat) {
  if (copyPictureFormat == excel::xlBitmap) return kOfferBitmap;
  if (copyPictureFormat == excel::xlSvg) return kOfferSvg | kOfferBitmap;
  return kOfferEmf;
}

void offerOnClipboard(ClipboardPicture picture, int formats,
                      std::function<office::NativeObject()> native,
                      std::optional<office::SourceRecord> source) {
  QGuiApplication::clipboard()->setMimeData(
      new LazyPictureData(std::move(picture), formats, std::move(native), std::move(source)));
}

DrawnForms drawForms(const ClipboardPicture& picture, int formats) {
  DrawnForms forms;
  if (formats & (kOfferBitmap | kEncodePng | kEncodeJpeg)) forms.image = drawBitmap(picture);
  if (formats & kEncodePng) forms.png = encodePng(forms.image);
  if (formats & kEncodeJpeg) forms.jpeg = office::jpegOnWhite(forms.image, office::kJpegQuality);
  if (formats & kOfferEmf) forms.emf = drawMetafile(picture);
  if (formats & kOfferSvg) forms.svg = drawSvg(picture);
  return forms;
}

QString chartKey(int sheet, int object) {
  return QStringLiteral("chart %1 %2").arg(sheet).arg(object);
}

QString rangeKey(int sheet, int firstRow, int firstColumn, int lastRow, int lastColumn) {
  return QStringLiteral("range %1 %2 %3 %4 %5")
      .arg(sheet)
      .arg(firstRow)
      .arg(firstColumn)
      .arg(lastRow)
      .arg(lastColumn);
}

ChartInputs chartInputs(const WorkbookHost& host, int sheet, int object, const QString& member,
                        const QString& objectClass,
                        std::shared_ptr<const ooxml::xlsx::WorkbookModel> snapshot) {
  const auto& entry = sheetEntry(host, sheet);
  ChartInputs inputs;
  inputs.chartPart = entry.chartPart;
  // A chart sheet's chart fills the sheet: the program's default chart sheet page.
  inputs.size = QSizeF(720, 540);
  if (object < 0 && inputs.chartPart.isEmpty())
    throw office::AutomationError::methodFailed(member, objectClass);
  if (object >= 0) {
    if (!entry.drawing || object >= int(entry.drawing->objects.size()))
      throw office::AutomationError::methodFailed(member, objectClass);
    const auto& drawingObject = entry.drawing->objects[size_t(object)];
    inputs.chartPart = drawingObject.chartPart;
    inputs.size = ooxml::xlsx::anchorSizePoints(entry.worksheet, drawingObject, digitWidth(host));
  }
  const auto& package = host.document().package();
  auto bytes = package.read(inputs.chartPart);
  if (bytes)
    inputs.chartXml = bytes.value();
  else
    inputs.readProblem = bytes.error().message;
  inputs.maxXmlDepth = package.limits().maxXmlDepth;
  inputs.keepCells = std::move(snapshot);
  inputs.cells = inputs.keepCells ? inputs.keepCells.get() : &host.document().model();
  inputs.theme = host.theme();
  return inputs;
}

BuiltPicture buildChartPicture(const ChartInputs& inputs) {
  if (!inputs.readProblem.isEmpty()) return inputs.readProblem;
  // The caches its file left out are filled from the workbook's cells.
  auto chart = ooxml::chart::readChartXml(
      fillChartCaches(inputs.chartXml, *inputs.cells, nullptr, inputs.maxXmlDepth),
      inputs.chartPart, inputs.maxXmlDepth);
  if (!chart) return chart.error().message;
  QSizeF size = inputs.size;
  if (size.width() < 1 || size.height() < 1) size = QSizeF(360, 216);
  if (const QString problem = drawableSizeProblem(size); !problem.isEmpty()) return problem;
  auto model = std::make_shared<const ooxml::chart::ChartModel>(std::move(chart.value()));
  return ClipboardPicture{[model, theme = inputs.theme](QPainter& painter, const QRectF& target) {
                            render::chart::drawChart(painter, target, *model, *theme);
                          },
                          size,
                          {}};
}

BuiltPicture buildRangePicture(const WorkbookHost& host, int sheet, int firstRow, int firstColumn,
                               int lastRow, int lastColumn) {
  sheetEntry(host, sheet);
  const render::range::RangeRect rect{firstRow, firstColumn, lastRow, lastColumn};
  // The picture draws from a snapshot, so later edits of the workbook do not change a copy.
  auto model = host.snapshot();
  const QSizeF size = render::range::rangePictureSize(*model, sheet, rect);
  if (const QString problem = drawableSizeProblem(size); !problem.isEmpty()) return problem;
  render::range::RangeOptions options;
  options.themeColors = host.theme()->colors;
  return ClipboardPicture{[model, sheet, rect, options](QPainter& painter, const QRectF& target) {
                            render::range::drawRange(painter, target, *model, sheet, rect, options);
                          },
                          size,
                          {}};
}

ClipboardPicture chartPicture(const WorkbookHost& host, int sheet, int object,
                              const QString& member, const QString& objectClass) {
  if (auto ahead = host.pictures().take(chartKey(sheet, object))) return settle(std::move(*ahead));
  return settle(buildChartPicture(chartInputs(host, sheet, object, member, objectClass, nullptr)));
}

ClipboardPicture rangePicture(const WorkbookHost& host, int sheet, int firstRow, int firstColumn,
                              int lastRow, int lastColumn) {
  const QString key = rangeKey(sheet, firstRow, firstColumn, lastRow, lastColumn);
  if (auto ahead = host.pictures().take(key)) return settle(std::move(*ahead));
  return settle(buildRangePicture(host, sheet, firstRow, firstColumn, lastRow, lastColumn));
}

QByteArray workbookBytes(const WorkbookHost& host) {
  auto bytes = host.document().package().saveToBytes();
  return bytes ? bytes.value() : QByteArray();
}

}  // namespace morvane::hosts::workbook
