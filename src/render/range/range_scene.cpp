#include "render/range/range_scene.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "render/range/border_painter.h"

namespace morvane::render::range {

namespace {

constexpr double kPixel = 0.75;
const QColor kGridlineColor(0xD4, 0xD4, 0xD4);
// Merged-area row entries kept for lookups; a file with more merges than a screen could show
// loses the rest (they draw as plain cells).
constexpr size_t kMaxMergeEntries = 2'000'000;
// Text smaller than this on the device shows as no more than a faint line; laying out the
// hundreds of thousands of cells of a picture drawn that small would cost most of its time.
constexpr double kMinTextPixels = 2;

}  // namespace

RangeScene::RangeScene(QPainter& painter, const ooxml::xlsx::WorkbookModel& workbook,
                       const ooxml::xlsx::Worksheet& sheet, const RangeGrid& grid,
                       const RangeOptions& options)
    : m_painter(painter),
      m_workbook(workbook),
      m_sheet(sheet),
      m_grid(grid),
      m_rect(grid.rect()),
      m_looks(workbook.styles, options.themeColors),
      m_gridlines(options.gridlines.value_or(true)),
      m_devicePixelsPerPoint(std::sqrt(std::abs(painter.deviceTransform().determinant()))),
      m_picture(QPointF(0, 0), grid.size()) {
  // An indent level is three spaces of the workbook's default font.
  const QFontMetricsF fm(pointFont(painter, m_looks.look(0).font), painter.device());
  m_indentStep = 3 * fm.horizontalAdvance(QLatin1Char(' '));
  m_spanned.assign(size_t(m_rect.rows()) * size_t(m_rect.columns()), 0);
}

void RangeScene::draw() {
  findMerges();
  layoutTexts();
  drawFills();
  if (m_gridlines) drawGridlines();
  for (const PlacedText& t : m_texts) drawCellText(m_painter, t.text, t.area, t.clip);
  drawBorders();
}

size_t RangeScene::flagIndex(int row, int column) const {
  return size_t(row - m_rect.firstRow) * size_t(m_rect.columns()) + size_t(column - m_rect.firstColumn);
}

void RangeScene::findMerges() {
  m_rowMerges.assign(size_t(m_rect.rows()), {});
  size_t entries = 0;
  for (const RangeRect& m : m_sheet.mergedCells) {
    if (m.cellCount() < 2) continue;
    const int r1 = std::max(m.firstRow, m_rect.firstRow), r2 = std::min(m.lastRow, m_rect.lastRow);
    const int c1 = std::max(m.firstColumn, m_rect.firstColumn), c2 = std::min(m.lastColumn, m_rect.lastColumn);
    if (r1 > r2 || c1 > c2) continue;
    entries += size_t(r2 - r1 + 1);
    if (entries > kMaxMergeEntries) break;
    const int index = int(m_merges.size());
    m_merges.push_back(m);
    for (int r = r1; r <= r2; ++r) m_rowMerges[size_t(r - m_rect.firstRow)].push_back(index);
  }
}

int RangeScene::mergeAt(int row, int column) const {
  if (row >= m_rect.firstRow && row <= m_rect.lastRow) {
    for (int i : m_rowMerges[size_t(row - m_rect.firstRow)])
      if (m_merges[size_t(i)].contains(row, column)) return i;
    return -1;
  }
  for (size_t i = 0; i < m_merges.size(); ++i)
    if (m_merges[i].contains(row, column)) return int(i);
  return -1;
}

bool RangeScene::sameMerge(int r1, int c1, int r2, int c2) const {
  const int m = mergeAt(r1, c1);
  return m >= 0 && m_merges[size_t(m)].contains(r2, c2);
}

const CellLook& RangeScene::lookAt(int row, int column) {
  if (row < 1 || column < 1 || row > ooxml::xlsx::kMaxRows || column > ooxml::xlsx::kMaxColumns)
    return m_looks.look(0);
  return m_looks.look(m_sheet.effectiveStyle(row, column));
}

bool RangeScene::filledAt(int row, int column) {
  const int m = mergeAt(row, column);
  if (m >= 0) {
    const RangeRect& area = m_merges[size_t(m)];
    return lookAt(area.firstRow, area.firstColumn).fill.has_value();
  }
  return lookAt(row, column).fill.has_value();
}

bool RangeScene::isFree(int row, int column) const {
  if (!m_rect.contains(row, column)) return false;
  const auto cell = m_sheet.cell(row, column);
  return (!cell || cell->isBlank()) && mergeAt(row, column) < 0;
}

QRectF RangeScene::cellRect(int row, int column) const {
  return QRectF(m_grid.columnLeft(column), m_grid.rowTop(row), m_grid.columnWidth(column), m_grid.rowHeight(row));
}

void RangeScene::layoutTexts() {
  for (int r = m_rect.firstRow; r <= m_rect.lastRow; ++r) {
    if (m_grid.rowHeight(r) <= 0) continue;
    m_sheet.cells.forEachIn(
        {r, m_rect.firstColumn, r, m_rect.lastColumn},
        [&](int, int c, const ooxml::xlsx::Cell& cell) {
          if (!cell.value.isEmpty() && m_grid.columnWidth(c) > 0 && mergeAt(r, c) < 0)
            placeText(r, c, cell.value);
          return true;
        });
    placeTextFromOutside(r);
  }
  for (const RangeRect& m : m_merges) {
    const auto anchor = m_sheet.cell(m.firstRow, m.firstColumn);
    if (!anchor || anchor->value.isEmpty() || !legible(lookAt(m.firstRow, m.firstColumn))) continue;
    const QRectF area = m_grid.areaRect(m);
    CellText text = layoutCellText(m_painter, anchor->value, lookAt(m.firstRow, m.firstColumn), area,
                                   m_workbook.date1904, m_indentStep);
    if (!text.isEmpty()) m_texts.push_back({std::move(text), area, area.intersected(m_picture)});
  }
}

bool RangeScene::legible(const CellLook& look) const {
  return look.font.pointSizeF() * m_devicePixelsPerPoint >= kMinTextPixels;
}

void RangeScene::placeText(int row, int column, const ooxml::xlsx::CellValue& value) {
  const CellLook& look = lookAt(row, column);
  if (!legible(look)) return;
  const QRectF area = cellRect(row, column);
  CellText text = layoutCellText(m_painter, value, look, area, m_workbook.date1904, m_indentStep);
  if (text.isEmpty()) return;
  const QRectF clip = overflowClip(row, column, text, area).intersected(m_picture);
  m_texts.push_back({std::move(text), area, clip});
}

QRectF RangeScene::overflowClip(int row, int column, const CellText& text, const QRectF& area) {
  const double room = area.width() - kTextPadLeft - kTextPadRight - text.indent;
  if (!text.mayOverflow || text.width <= room) return area;
  const bool centred = text.horizontal & Qt::AlignHCenter;
  double needRight = 0, needLeft = 0;
  if (text.horizontal & Qt::AlignRight) needLeft = text.width - room;
  else if (centred) needLeft = needRight = (text.width - room) / 2;
  else needRight = text.width - room;
  QRectF clip = area;
  for (int c = column + 1; needRight > 0 && isFree(row, c); ++c) {
    m_spanned[flagIndex(row, c - 1)] = 1;
    clip.setRight(clip.right() + m_grid.columnWidth(c));
    needRight -= m_grid.columnWidth(c);
  }
  for (int c = column - 1; needLeft > 0 && isFree(row, c); --c) {
    m_spanned[flagIndex(row, c)] = 1;
    clip.setLeft(clip.left() - m_grid.columnWidth(c));
    needLeft -= m_grid.columnWidth(c);
  }
  return clip;
}

bool RangeScene::blankBetween(int row, int firstColumn, int lastColumn) const {
  for (int c = firstColumn; c <= lastColumn; ++c) {
    const auto cell = m_sheet.cell(row, c);
    if (cell && !cell->isBlank()) return false;
  }
  return true;
}

// A left-aligned text left of the rectangle, or a right-aligned one right of it, may run
// into the rectangle's first or last empty cells; the picture shows the part inside.
void RangeScene::placeTextFromOutside(int row) {
  constexpr int kReach = 255;  // no text spills further than the widest column allows
  const auto before = isFree(row, m_rect.firstColumn)
                          ? m_sheet.cells.lastBefore(row, m_rect.firstColumn)
                          : std::nullopt;
  if (before) {
    const int column = before->column;
    const ooxml::xlsx::Cell& cell = before->cell;
    if (!cell.value.isEmpty() && m_rect.firstColumn - column <= kReach &&
        blankBetween(row, column + 1, m_rect.firstColumn - 1)) {
      const QRectF area = m_grid.areaRect(RangeRect::cell(row, column));
      CellText text = layoutCellText(m_painter, cell.value, lookAt(row, column), area,
                                     m_workbook.date1904, m_indentStep);
      const double reach = area.left() + kTextPadLeft + text.indent + text.width;
      if (text.mayOverflow && (text.horizontal & Qt::AlignLeft) && reach > 0) {
        QRectF clip(0, m_grid.rowTop(row), 0, m_grid.rowHeight(row));
        for (int c = m_rect.firstColumn; isFree(row, c) && m_grid.columnLeft(c) < reach; ++c) {
          clip.setRight(m_grid.columnLeft(c) + m_grid.columnWidth(c));
          if (c > m_rect.firstColumn) m_spanned[flagIndex(row, c - 1)] = 1;
        }
        m_texts.push_back({std::move(text), area, clip});
      }
    }
  }
  const auto after = isFree(row, m_rect.lastColumn)
                         ? m_sheet.cells.firstAfter(row, m_rect.lastColumn)
                         : std::nullopt;
  if (!after) return;
  const int column = after->column;
  const ooxml::xlsx::Cell& cell = after->cell;
  if (cell.value.isEmpty() || column - m_rect.lastColumn > kReach ||
      !blankBetween(row, m_rect.lastColumn + 1, column - 1))
    return;
  const QRectF area = m_grid.areaRect(RangeRect::cell(row, column));
  CellText text = layoutCellText(m_painter, cell.value, lookAt(row, column), area,
                                 m_workbook.date1904, m_indentStep);
  const double reach = area.right() - kTextPadRight - text.indent - text.width;
  if (!text.mayOverflow || !(text.horizontal & Qt::AlignRight) || reach >= m_picture.right()) return;
  QRectF clip(m_picture.right(), m_grid.rowTop(row), 0, m_grid.rowHeight(row));
  for (int c = m_rect.lastColumn; isFree(row, c) && m_grid.columnLeft(c) + m_grid.columnWidth(c) > reach; --c) {
    clip.setLeft(m_grid.columnLeft(c));
    if (c < m_rect.lastColumn) m_spanned[flagIndex(row, c)] = 1;
  }
  m_texts.push_back({std::move(text), area, clip});
}

void RangeScene::drawFills() {
  for (int r = m_rect.firstRow; r <= m_rect.lastRow; ++r) {
    if (m_grid.rowHeight(r) <= 0) continue;
    for (int c = m_rect.firstColumn; c <= m_rect.lastColumn; ++c) {
      if (m_grid.columnWidth(c) <= 0 || mergeAt(r, c) >= 0) continue;
      if (const auto& fill = lookAt(r, c).fill) m_painter.fillRect(cellRect(r, c), *fill);
    }
  }
  for (const RangeRect& m : m_merges) {
    if (const auto& fill = lookAt(m.firstRow, m.firstColumn).fill)
      m_painter.fillRect(m_grid.areaRect(m).intersected(m_picture), *fill);
  }
}

void RangeScene::drawGridlines() {
  // Each cell's gridlines are its right and bottom pixels; a fill, a merged area or text
  // running across hides them. Runs of visible pieces become one rectangle.
  for (int c = m_rect.firstColumn; c <= m_rect.lastColumn; ++c) {
    if (m_grid.columnWidth(c) <= 0) continue;
    const double x = m_grid.columnLeft(c) + m_grid.columnWidth(c) - kPixel;
    int next = c + 1;
    while (next <= m_rect.lastColumn && m_grid.columnWidth(next) <= 0) ++next;
    double start = -1, end = -1;
    for (int r = m_rect.firstRow; r <= m_rect.lastRow + 1; ++r) {
      const bool shown = r <= m_rect.lastRow && m_grid.rowHeight(r) > 0 && !m_spanned[flagIndex(r, c)] &&
                         !filledAt(r, c) && !filledAt(r, next) && !sameMerge(r, c, r, next);
      if (shown) {
        if (start < 0) start = m_grid.rowTop(r);
        end = m_grid.rowTop(r) + m_grid.rowHeight(r);
      } else if (r > m_rect.lastRow || m_grid.rowHeight(r) > 0) {
        if (start >= 0) m_painter.fillRect(QRectF(x, start, kPixel, end - start), kGridlineColor);
        start = -1;
      }
    }
  }
  for (int r = m_rect.firstRow; r <= m_rect.lastRow; ++r) {
    if (m_grid.rowHeight(r) <= 0) continue;
    const double y = m_grid.rowTop(r) + m_grid.rowHeight(r) - kPixel;
    int next = r + 1;
    while (next <= m_rect.lastRow && m_grid.rowHeight(next) <= 0) ++next;
    double start = -1, end = -1;
    for (int c = m_rect.firstColumn; c <= m_rect.lastColumn + 1; ++c) {
      const bool shown = c <= m_rect.lastColumn && m_grid.columnWidth(c) > 0 && !filledAt(r, c) &&
                         !filledAt(next, c) && !sameMerge(r, c, next, c);
      if (shown) {
        if (start < 0) start = m_grid.columnLeft(c);
        end = m_grid.columnLeft(c) + m_grid.columnWidth(c);
      } else if (c > m_rect.lastColumn || m_grid.columnWidth(c) > 0) {
        if (start >= 0) m_painter.fillRect(QRectF(start, y, end - start, kPixel), kGridlineColor);
        start = -1;
      }
    }
  }
}

void RangeScene::drawBorders() {
  int firstVisibleColumn = m_rect.firstColumn, firstVisibleRow = m_rect.firstRow;
  while (firstVisibleColumn < m_rect.lastColumn && m_grid.columnWidth(firstVisibleColumn) <= 0) ++firstVisibleColumn;
  while (firstVisibleRow < m_rect.lastRow && m_grid.rowHeight(firstVisibleRow) <= 0) ++firstVisibleRow;
  for (int r = m_rect.firstRow; r <= m_rect.lastRow; ++r) {
    const double top = m_grid.rowTop(r), bottom = top + m_grid.rowHeight(r);
    if (bottom <= top) continue;
    for (int c = m_rect.firstColumn; c <= m_rect.lastColumn; ++c) {
      const double left = m_grid.columnLeft(c), right = left + m_grid.columnWidth(c);
      if (right <= left) continue;
      const CellLook& look = lookAt(r, c);
      const BorderLine here = look.right, below = look.bottom;
      if (!sameMerge(r, c, r, c + 1))
        drawBorderLine(m_painter, heavierLine(here, lookAt(r, c + 1).left), true, right, top, bottom);
      if (!sameMerge(r, c, r + 1, c))
        drawBorderLine(m_painter, heavierLine(below, lookAt(r + 1, c).top), false, bottom, left, right);
      // The picture's own left and top edges take the line the program draws there.
      if (c == firstVisibleColumn) {
        const BorderLine line = heavierLine(lookAt(r, c - 1).right, lookAt(r, c).left);
        drawBorderLine(m_painter, line, true, kPixel, top, bottom);
      }
      if (r == firstVisibleRow) {
        const BorderLine line = heavierLine(lookAt(r - 1, c).bottom, lookAt(r, c).top);
        drawBorderLine(m_painter, line, false, kPixel, left, right);
      }
    }
  }
}

}  // namespace morvane::render::range
