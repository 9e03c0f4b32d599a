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
    if (m_formats & kOfferBitmap) out << QLatin1String(kQtImageMime) << QStringLiteral("image/png");
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
      const QImage image = bitmap();
      if (mime == QLatin1String(kQtImageMime)) return image;
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      image.save(&buffer, "PNG");
      return png;
    }
    if (mime == QLatin1String(office::kEmfMime)) return metafile();
    if (mime == QLatin1String(office::kSvgMime)) return vector();
    if (mime == QLatin1String(office::kNativeObjectMime)) return m_native().serialize();
    if (mime == QLatin1String(office::kSourceMime)) return m_source->compact().toUtf8();
    return {};
  }

 private:
  QImage bitmap() const {
    if (m_image.isNull()) {
      const BitmapGeometry geometry = bitmapGeometry(m_picture.sizePoints, bitmapScale());
      QImage image(geometry.pixels, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::white);
      const int dotsPerMeter = int(std::lround(geometry.dotsPerInch / 0.0254));
      image.setDotsPerMeterX(dotsPerMeter);
      image.setDotsPerMeterY(dotsPerMeter);
      // The painter works in 96-dpi pixels whatever the resolution. It ignores a device
      // pixel ratio below 1, so a reduced bitmap is scaled by hand and gets its ratio after.
      const double ratio = geometry.dotsPerInch / 96.0;
      if (ratio >= 1) image.setDevicePixelRatio(ratio);
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.setRenderHint(QPainter::TextAntialiasing);
      if (ratio < 1) painter.scale(ratio, ratio);
      painter.scale(kPixelsPerPoint, kPixelsPerPoint);
      m_picture.draw(painter, QRectF(QPointF(0, 0), m_picture.sizePoints));
      painter.end();
      image.setDevicePixelRatio(ratio);
      m_image = image;
    }
    return m_image;
  }
  QByteArray metafile() const {
    if (m_emf.isEmpty()) {
      emf::EmfDevice device(m_picture.sizePoints);
      QPainter painter(&device);
      painter.scale(kPixelsPerPoint, kPixelsPerPoint);
      painter.fillRect(QRectF(QPointF(0, 0), m_picture.sizePoints), Qt::white);
      m_picture.draw(painter, QRectF(QPointF(0, 0), m_picture.sizePoints));
      painter.end();
      m_emf = device.finish();
    }
    return m_emf;
  }

  // One unit a point (72 dpi), white behind the picture as on the bitmap. Text names the
  // family of the font the renderer draws with.
  QByteArray vector() const {
    if (m_svg.isEmpty()) {
      const QRectF box(QPointF(0, 0), m_picture.sizePoints);
      QBuffer buffer(&m_svg);
      buffer.open(QIODevice::WriteOnly);
      QSvgGenerator generator;
      generator.setOutputDevice(&buffer);
      generator.setResolution(72);
      generator.setSize(box.size().toSize().expandedTo(QSize(1, 1)));
      generator.setViewBox(box);
      QPainter painter(&generator);
      painter.fillRect(box, Qt::white);
      m_picture.draw(painter, box);
      painter.end();
    }
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

void checkDrawableSize(const QSizeF& size) {
  if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
    refusePicture(QStringLiteral("the object has no finite size"));
}

const ooxml::xlsx::SheetEntry& sheetEntry(const WorkbookHost& host, int sheet) {
  const auto& sheets = host.document().model().sheets;
  if (sheet < 0 || sheet >= int(sheets.size()))
    throw office::AutomationError::subscriptOutOfRange();
  return sheets[size_t(sheet)];
}

// The chart part with the caches its file left out filled from the workbook's cells.
ooxml::Result<ooxml::chart::ChartModel> readChartWithCells(const WorkbookHost& host,
                                                           const QString& chartPart) {
  const auto& package = host.document().package();
  auto bytes = package.read(chartPart);
  if (!bytes) return bytes.error();
  const int maxDepth = package.limits().maxXmlDepth;
  return ooxml::chart::readChartXml(
      fillChartCaches(bytes.value(), host.document().model(), nullptr, maxDepth), chartPart,
      maxDepth);
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

ClipboardPicture chartPicture(const WorkbookHost& host, int sheet, int object, const QString& member,
                              const QString& objectClass) {
  const auto& entry = sheetEntry(host, sheet);
  QString chartPart = entry.chartPart;
  // A chart sheet's chart fills the sheet: the program's default chart sheet page.
  QSizeF size(720, 540);
  if (object < 0 && chartPart.isEmpty())
    throw office::AutomationError::methodFailed(member, objectClass);
  if (object >= 0) {
    if (!entry.drawing || object >= int(entry.drawing->objects.size()))
      throw office::AutomationError::methodFailed(member, objectClass);
    const auto& drawingObject = entry.drawing->objects[size_t(object)];
    chartPart = drawingObject.chartPart;
    size = ooxml::xlsx::anchorSizePoints(entry.worksheet, drawingObject, digitWidth(host));
  }
  const auto& package = host.document().package();
  auto chart = readChartWithCells(host, chartPart);
  if (!chart) refusePicture(chart.error().message);
  const ooxml::chart::Theme theme =
      ooxml::chart::readTheme(package, host.document().model().themePart);
  if (size.width() < 1 || size.height() < 1) size = QSizeF(360, 216);
  checkDrawableSize(size);
  auto model = std::make_shared<ooxml::chart::ChartModel>(std::move(chart.value()));
  return {[model, theme](QPainter& painter, const QRectF& target) {
            render::chart::drawChart(painter, target, *model, theme);
          },
          size};
}

ClipboardPicture rangePicture(const WorkbookHost& host, int sheet, int firstRow, int firstColumn,
                              int lastRow, int lastColumn) {
  sheetEntry(host, sheet);
  const render::range::RangeRect rect{firstRow, firstColumn, lastRow, lastColumn};
  // The picture draws from a snapshot, so later edits of the workbook do not change a copy.
  auto model = std::make_shared<ooxml::xlsx::WorkbookModel>(host.document().model());
  const QSizeF size = render::range::rangePictureSize(*model, sheet, rect);
  checkDrawableSize(size);
  render::range::RangeOptions options;
  options.themeColors = ooxml::chart::readTheme(host.document().package(), model->themePart).colors;
  return {[model, sheet, rect, options](QPainter& painter, const QRectF& target) {
            render::range::drawRange(painter, target, *model, sheet, rect, options);
          },
          size};
}

QByteArray workbookBytes(const WorkbookHost& host) {
  auto bytes = host.document().package().saveToBytes();
  return bytes ? bytes.value() : QByteArray();
}

}  // namespace morvane::hosts::workbook
