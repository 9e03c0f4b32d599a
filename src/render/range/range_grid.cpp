#include "render/range/range_grid.h"

#include "ooxml/xlsx/sheet_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace morvane::render::range {

namespace {

constexpr double kPointsPerPixel = 0.75;
// Columns and rows summed one by one when locating a merged area beyond the rectangle; past
// this they count at the default size (the area's far corners then only move clipped text).
constexpr int kExactSpan = 4096;

RangeRect clipped(const ooxml::xlsx::Worksheet& sheet, RangeRect r) {
  r.firstRow = std::clamp(r.firstRow, 1, ooxml::xlsx::kMaxRows);
  r.lastRow = std::clamp(r.lastRow, r.firstRow, ooxml::xlsx::kMaxRows);
  r.firstColumn = std::clamp(r.firstColumn, 1, ooxml::xlsx::kMaxColumns);
  r.lastColumn = std::clamp(r.lastColumn, r.firstColumn, ooxml::xlsx::kMaxColumns);
  // Whole rows keep their rows and lose the unused columns, whole columns the reverse; a
  // rectangle of very many rows or columns loses the unused ones too.
  const bool clipColumns = r.isWholeRows() || r.columns() > kMaxPictureColumns;
  const bool clipRows = r.isWholeColumns() || r.rows() > kMaxPictureRows;
  if (clipColumns || clipRows) {
    const auto used = usedRange(sheet);
    if (!used) return RangeRect{1, 1, 0, 0};
    if (clipRows) {
      r.firstRow = std::max(r.firstRow, used->firstRow);
      r.lastRow = std::min(r.lastRow, used->lastRow);
    }
    if (clipColumns) {
      r.firstColumn = std::max(r.firstColumn, used->firstColumn);
      r.lastColumn = std::min(r.lastColumn, used->lastColumn);
    }
    if (r.firstRow > r.lastRow || r.firstColumn > r.lastColumn) return RangeRect{1, 1, 0, 0};
  }
  return r;
}

}  // namespace

int rangeColumnPixels(const ooxml::xlsx::Worksheet& sheet, int column, int digitWidth) {
  const ooxml::xlsx::ColumnInfo* info = sheet.columnInfo(column);
  if (info && info->hidden) return 0;
  if (info && info->width) return ooxml::xlsx::columnWidthPixels(*info->width, digitWidth);
  if (sheet.defaultColumnWidth) return ooxml::xlsx::columnWidthPixels(*sheet.defaultColumnWidth, digitWidth);
  return defaultColumnPixels(sheet, digitWidth);
}

int defaultColumnPixels(const ooxml::xlsx::Worksheet& sheet, int digitWidth) {
  if (sheet.defaultColumnWidth) return ooxml::xlsx::columnWidthPixels(*sheet.defaultColumnWidth, digitWidth);
  // baseColWidth digits, 2 pixels of margin each side and the gridline, rounded up to a
  // multiple of 8 pixels: 64 pixels for the usual 8 digits of 7 pixels.
  const int pixels = sheet.baseColumnWidth * digitWidth + 5;
  return (pixels + 7) / 8 * 8;
}

double rangeRowPoints(const ooxml::xlsx::Worksheet& sheet, const ooxml::xlsx::Styles& styles, int row) {
  const auto info = sheet.rows.find(row);
  if (info != sheet.rows.end() && (info->second.hidden || info->second.height))
    return ooxml::xlsx::rowPoints(sheet, row);
  // No stored height: the program fits the row to its largest font, in whole pixels.
  double height = ooxml::xlsx::rowPoints(sheet, row);
  sheet.cells.forEachIn(
      {row, 1, row, ooxml::xlsx::kMaxColumns}, [&](int, int, const ooxml::xlsx::Cell& cell) {
        if (cell.value.isEmpty()) return true;
        const double size = styles.fontOfXf(cell.style).size;
        if (!std::isfinite(size) || size <= 0) return true;
        const double pixels = std::ceil(std::min(size, 409.0) * 1.36 * 96.0 / 72.0 - 1e-9);
        height = std::max(height, pixels * kPointsPerPixel);
        return true;
      });
  return std::min(height, 409.0);
}

std::optional<RangeRect> usedRange(const ooxml::xlsx::Worksheet& sheet) {
  std::optional<RangeRect> used = sheet.cells.bounds();
  if (!used) return used;
  const RangeRect cells = *used;
  for (const auto& m : sheet.mergedCells) {
    // Only merges that start within the used cells: a merge alone does not make cells used.
    if (!cells.contains(m.firstRow, m.firstColumn)) continue;
    used->lastRow = std::max(used->lastRow, std::min(m.lastRow, cells.lastRow));
    used->lastColumn = std::max(used->lastColumn, std::min(m.lastColumn, cells.lastColumn));
  }
  return used;
}

RangeGrid::RangeGrid(const ooxml::xlsx::Worksheet& sheet, const ooxml::xlsx::Styles& styles, const RangeRect& rect,
                     int digitWidth)
    : m_sheet(sheet), m_styles(styles), m_digitWidth(std::max(1, digitWidth)), m_rect(clipped(sheet, rect)) {
  if (m_rect.lastRow < m_rect.firstRow) return;
  for (int c = m_rect.firstColumn; c <= m_rect.lastColumn; ++c) {
    const double w = rangeColumnPixels(sheet, c, m_digitWidth) * kPointsPerPixel;
    m_colX.push_back(m_width);
    m_colW.push_back(w);
    m_width += w;
  }
  for (int r = m_rect.firstRow; r <= m_rect.lastRow; ++r) {
    const double h = rangeRowPoints(sheet, styles, r);
    m_rowY.push_back(m_height);
    m_rowH.push_back(h);
    m_height += h;
  }
}

// Sums `size(i)` for i in first..last (either order), exactly for the nearest kExactSpan
// entries and at `standard` for the rest.
template <typename Size>
double spanLength(int from, int to, double standard, Size size) {
  const int count = std::abs(to - from) + 1;
  const int step = to >= from ? 1 : -1;
  const int exact = std::min(count, kExactSpan);
  double length = 0;
  for (int i = 0; i < exact; ++i) length += size(from + i * step);
  return length + double(count - exact) * standard;
}

double RangeGrid::edgeX(int column) const {
  if (column >= m_rect.firstColumn && column <= m_rect.lastColumn) return columnLeft(column);
  const double standard = defaultColumnPixels(m_sheet, m_digitWidth) * kPointsPerPixel;
  auto width = [&](int c) { return rangeColumnPixels(m_sheet, c, m_digitWidth) * kPointsPerPixel; };
  if (column < m_rect.firstColumn) return -spanLength(m_rect.firstColumn - 1, column, standard, width);
  if (column == m_rect.lastColumn + 1) return m_width;
  return m_width + spanLength(m_rect.lastColumn + 1, column - 1, standard, width);
}

double RangeGrid::edgeY(int row) const {
  if (row >= m_rect.firstRow && row <= m_rect.lastRow) return rowTop(row);
  auto height = [&](int r) { return rangeRowPoints(m_sheet, m_styles, r); };
  if (row < m_rect.firstRow) return -spanLength(m_rect.firstRow - 1, row, m_sheet.defaultRowHeight, height);
  if (row == m_rect.lastRow + 1) return m_height;
  return m_height + spanLength(m_rect.lastRow + 1, row - 1, m_sheet.defaultRowHeight, height);
}

QRectF RangeGrid::areaRect(const RangeRect& area) const {
  const double x1 = edgeX(area.firstColumn);
  const double y1 = edgeY(area.firstRow);
  const double x2 = area.lastColumn >= ooxml::xlsx::kMaxColumns ? edgeX(area.lastColumn) + 48
                                                                 : edgeX(area.lastColumn + 1);
  const double y2 = area.lastRow >= ooxml::xlsx::kMaxRows ? edgeY(area.lastRow) + 15 : edgeY(area.lastRow + 1);
  return QRectF(QPointF(x1, y1), QPointF(x2, y2));
}

}  // namespace morvane::render::range
