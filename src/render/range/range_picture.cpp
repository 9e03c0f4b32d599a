#include "render/range/range_picture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ooxml/xlsx/formula_reference.h"
#include "ooxml/xlsx/sheet_geometry.h"
#include "render/range/range_grid.h"
#include "render/range/range_overview.h"
#include "render/range/range_scene.h"

namespace morvane::render::range {

namespace {

const ooxml::xlsx::Worksheet* worksheetOf(const ooxml::xlsx::WorkbookModel& workbook, int sheetIndex) {
  if (sheetIndex < 0 || sheetIndex >= int(workbook.sheets.size())) return nullptr;
  const auto& entry = workbook.sheets[size_t(sheetIndex)];
  return entry.kind == ooxml::xlsx::SheetEntry::Kind::Worksheet ? &entry.worksheet : nullptr;
}

// The size of a picture with nothing to show: one default cell.
QSizeF blankSize(const ooxml::xlsx::Worksheet* sheet, int digitWidth) {
  const ooxml::xlsx::Worksheet empty;
  const auto& s = sheet ? *sheet : empty;
  const double width = defaultColumnPixels(s, digitWidth);
  return QSizeF(std::max(1.0, width * 0.75), s.defaultRowHeight > 0 ? s.defaultRowHeight : 15);
}

constexpr double kMaxPixels = 40e6;  // 160 MB of ARGB
// A picture's longest side in points (100,000 pixels at 96 dpi, the largest metafile): a
// larger range is measured, and drawn, scaled down to it with its proportions.
constexpr double kMaxSidePoints = 75000;

QSizeF withinMaxSide(const QSizeF& size) {
  const double longest = std::max(size.width(), size.height());
  return longest > kMaxSidePoints ? size * (kMaxSidePoints / longest) : size;
}

// Device pixels per point in x and y as the painter stands, reduced to what a picture within
// the pixel budget has when `size` points drawn at that resolution exceed it.
QSizeF budgetedPixelsPerPoint(const QPainter& painter, const QSizeF& size) {
  const QTransform t = painter.deviceTransform();
  QSizeF perPoint(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
  const double width = size.width() * perPoint.width(), height = size.height() * perPoint.height();
  const double factor = std::min({1.0, kMaxDeviceSide / std::max(width, height),
                                  std::sqrt(kMaxDevicePixels / (width * height))});
  return perPoint * (std::isfinite(factor) ? factor : 1.0);
}

int digitWidthOf(const ooxml::xlsx::WorkbookModel& workbook) {
  return ooxml::xlsx::maxDigitWidth(workbook.styles.defaultFont());
}

}  // namespace

std::array<QColor, 12> RangeOptions::defaultThemeColors() {
  std::array<QColor, 12> colors;
  const QRgb office[12] = {0x000000, 0xFFFFFF, 0x1F497D, 0xEEECE1, 0x4F81BD, 0xC0504D,
                           0x9BBB59, 0x8064A2, 0x4BACC6, 0xF79646, 0x0000FF, 0x800080};
  for (size_t i = 0; i < colors.size(); ++i) colors[i] = QColor::fromRgb(office[i]);
  return colors;
}

QSizeF rangePictureSize(const ooxml::xlsx::WorkbookModel& workbook, int sheetIndex, const RangeRect& rect) {
  const int digitWidth = digitWidthOf(workbook);
  const auto* sheet = worksheetOf(workbook, sheetIndex);
  if (!sheet) return blankSize(nullptr, digitWidth);
  const RangeGrid grid(*sheet, workbook.styles, rect, digitWidth);
  return grid.isEmpty() ? blankSize(sheet, digitWidth) : withinMaxSide(grid.size());
}

void drawRange(QPainter& painter, const QRectF& target, const ooxml::xlsx::WorkbookModel& workbook,
               int sheetIndex, const RangeRect& rect, const RangeOptions& options) {
  const auto* sheet = worksheetOf(workbook, sheetIndex);
  if (!sheet || !target.isValid()) return;
  const int digitWidth = digitWidthOf(workbook);
  const RangeGrid grid(*sheet, workbook.styles, rect, digitWidth);
  if (grid.isEmpty()) return;
  const QSizeF size = grid.size();
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / size.width(), target.height() / size.height());
  painter.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const QSizeF pixelsPerPoint = budgetedPixelsPerPoint(painter, size);
  if (needsOverview(grid, pixelsPerPoint)) {
    CellLooks looks(workbook.styles, options.themeColors);
    const QImage overview =
        rangeOverview(*sheet, grid, looks, options.gridlines.value_or(true), pixelsPerPoint);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(QPointF(0, 0), size), overview);
  } else {
    RangeScene scene(painter, workbook, *sheet, grid, options);
    scene.draw();
  }
  painter.restore();
}

QImage rangeToImage(const ooxml::xlsx::WorkbookModel& workbook, int sheetIndex, const RangeRect& rect, double dpi,
                    const RangeOptions& options) {
  dpi = std::isfinite(dpi) ? std::clamp(dpi, 10.0, 1200.0) : 96.0;
  const QSizeF points = rangePictureSize(workbook, sheetIndex, rect);
  // Keep within kMaxPixels and 32767 per side, what a raster painter can hold.
  const double fullArea = points.width() * points.height() * dpi * dpi / (72.0 * 72.0);
  if (fullArea > 0.99 * kMaxPixels) dpi *= std::sqrt(0.99 * kMaxPixels / fullArea);
  dpi = std::min({dpi, 32767.0 * 72.0 / points.width(), 32767.0 * 72.0 / points.height()});
  const QSize pixels(std::max(1, int(std::ceil(points.width() * dpi / 72.0 - 1e-6))),
                     std::max(1, int(std::ceil(points.height() * dpi / 72.0 - 1e-6))));
  QImage image(pixels, QImage::Format_RGB32);
  image.fill(Qt::white);
  image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
  image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
  QPainter painter(&image);
  drawRange(painter, QRectF(0, 0, points.width() * dpi / 72.0, points.height() * dpi / 72.0), workbook, sheetIndex,
            rect, options);
  return image;
}

NamedRange resolveNamedRange(const ooxml::xlsx::WorkbookModel& workbook, const QString& name,
                             std::optional<int> scopeSheet) {
  NamedRange out;
  const ooxml::xlsx::DefinedName* found = nullptr;
  for (const auto& n : workbook.names) {
    if (n.name.compare(name, Qt::CaseInsensitive) != 0) continue;
    if (n.localSheetId && n.localSheetId == scopeSheet) {
      found = &n;
      break;
    }
    if (!n.localSheetId && !found) found = &n;
  }
  if (!found) {
    out.error = QStringLiteral("The workbook has no name \"%1\".").arg(name);
    return out;
  }
  const auto area = ooxml::xlsx::parseSheetArea(found->formula);
  if (!area) {
    const QString& f = found->formula;
    if (f.contains(QLatin1String("#REF!")))
      out.error = QStringLiteral("The name \"%1\" refers to #REF!.").arg(name);
    else if (f.contains(QLatin1Char(',')) && f.contains(QLatin1Char('!')))
      out.error = QStringLiteral("The name \"%1\" refers to more than one area (%2); a picture shows one.").arg(name, f);
    else
      out.error = QStringLiteral("The name \"%1\" does not refer to a range of cells (%2).").arg(name, f);
    return out;
  }
  const int index = workbook.sheetIndex(area->sheet);
  if (index < 0 || workbook.sheets[size_t(index)].kind != ooxml::xlsx::SheetEntry::Kind::Worksheet) {
    out.error = QStringLiteral("The name \"%1\" refers to \"%2\", which is not a worksheet of this workbook.")
                    .arg(name, area->sheet);
    return out;
  }
  out.sheetIndex = index;
  out.rect = area->area;
  return out;
}

}  // namespace morvane::render::range
