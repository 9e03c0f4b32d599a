#include "ooxml/xlsx/sheet_geometry.h"

#include <algorithm>
#include <cmath>

namespace morvane::ooxml::xlsx {

namespace {
constexpr double kDefaultRowPoints = 15;  // a new sheet's rows
}  // namespace

int maxDigitWidth(const Font& font) {
  // Digit advance as a fraction of the em for the families workbooks use; the program
  // measures the font, which these ratios reproduce at common sizes.
  const QString family = font.name.toLower();
  double ratio = 0.55;
  if (family.contains(QLatin1String("calibri")) || family.contains(QLatin1String("carlito")))
    ratio = 0.507;
  else if (family.contains(QLatin1String("arial")) || family.contains(QLatin1String("liberation sans")) ||
           family.contains(QLatin1String("helvetica")) || family.contains(QLatin1String("cambria")))
    ratio = 0.556;
  else if (family.contains(QLatin1String("times")))
    ratio = 0.5;
  else if (family.contains(QLatin1String("courier")) || family.contains(QLatin1String("consolas")))
    ratio = 0.6;
  const double size = font.size > 0 ? font.size : 11;
  return std::max(1, int(std::lround(size * 96.0 / 72.0 * ratio)));
}

int columnWidthPixels(double width, int digitWidth) {
  if (!(width > 0)) return 0;  // not a number counts as zero
  width = std::min(width, 255.0);  // the program's widest column
  return int(std::trunc((256.0 * width + std::trunc(128.0 / digitWidth)) / 256.0 * digitWidth));
}

int columnPixels(const Worksheet& sheet, int column, int digitWidth) {
  const ColumnInfo* info = sheet.columnInfo(column);
  if (info && info->hidden) return 0;
  if (info && info->width) return columnWidthPixels(*info->width, digitWidth);
  if (sheet.defaultColumnWidth) return columnWidthPixels(*sheet.defaultColumnWidth, digitWidth);
  // baseColWidth digits plus 5 pixels of margins and gridline, rounded up to a multiple of
  // 8 pixels: the 64-pixel default column of Calibri 11.
  const int pixels = sheet.baseColumnWidth * digitWidth + 5;
  return (pixels + 7) / 8 * 8;
}

double rowPoints(const Worksheet& sheet, int row) {
  const auto it = sheet.rows.find(row);
  if (it == sheet.rows.end())
    return std::isfinite(sheet.defaultRowHeight) ? std::clamp(sheet.defaultRowHeight, 0.0, 409.0)
                                                 : kDefaultRowPoints;
  if (it->second.hidden) return 0;
  // The program's rows are 0 to 409 points high; other values never come from it.
  const double height = it->second.height ? *it->second.height : sheet.defaultRowHeight;
  return std::isfinite(height) ? std::clamp(height, 0.0, 409.0) : kDefaultRowPoints;
}

namespace {

// Horizontal position of a marker in pixels from the sheet's left edge.
double markerX(const Worksheet& sheet, const AnchorMarker& m, int digitWidth) {
  double x = 0;
  for (int c = 1; c <= m.column; ++c) x += columnPixels(sheet, c, digitWidth);
  return x + double(m.columnOffset) / kEmuPerPixel;
}

double markerYPoints(const Worksheet& sheet, const AnchorMarker& m) {
  double y = 0;
  for (int r = 1; r <= m.row; ++r) y += rowPoints(sheet, r);
  return y + double(m.rowOffset) / kEmuPerPoint;
}

}  // namespace

QSizeF anchorSizePoints(const Worksheet& sheet, const DrawingObject& object, int digitWidth) {
  if (object.anchor != DrawingObject::Anchor::TwoCell) {
    return QSizeF(double(object.width) / kEmuPerPoint, double(object.height) / kEmuPerPoint);
  }
  const double widthPixels = markerX(sheet, object.to, digitWidth) - markerX(sheet, object.from, digitWidth);
  const double height = markerYPoints(sheet, object.to) - markerYPoints(sheet, object.from);
  return QSizeF(std::max(0.0, widthPixels * 0.75), std::max(0.0, height));
}

}  // namespace morvane::ooxml::xlsx
