// The geometry of a range picture: which rows and columns are shown (hidden ones left out,
// whole rows or columns clipped to the used range) and where each lies, in points from the
// picture's top left. Plain values; borrows nothing.
#pragma once

#include "ooxml/xlsx/worksheet_model.h"
#include "render/range/range_picture.h"

#include <QRectF>
#include <QSizeF>

#include <vector>

namespace morvane::render::range {

// Past these a rectangle is clipped to the used range (what lies beyond shows nothing).
inline constexpr int kMaxPictureColumns = 256;
inline constexpr int kMaxPictureRows = 5000;

class RangeGrid {
 public:
  // Lays out `rect` of `sheet`; `digitWidth` is the default font's maximum digit width in
  // pixels. Borrows `sheet` and `styles` for its lifetime.
  RangeGrid(const ooxml::xlsx::Worksheet& sheet, const ooxml::xlsx::Styles& styles, const RangeRect& rect,
            int digitWidth);

  // The rectangle after clipping; meaningful only when !isEmpty().
  const RangeRect& rect() const { return m_rect; }
  // True when no row or no column is visible.
  bool isEmpty() const { return m_width <= 0 || m_height <= 0; }
  QSizeF size() const { return QSizeF(m_width, m_height); }

  // Left edge and width of a column of the rectangle (0 width when hidden).
  double columnLeft(int column) const { return m_colX[size_t(column - m_rect.firstColumn)]; }
  double columnWidth(int column) const { return m_colW[size_t(column - m_rect.firstColumn)]; }
  double rowTop(int row) const { return m_rowY[size_t(row - m_rect.firstRow)]; }
  double rowHeight(int row) const { return m_rowH[size_t(row - m_rect.firstRow)]; }
  // The rectangle of cells r1..r2, c1..c2 in points; they may lie outside the picture (a
  // merged area reaching past the range), measured from the picture's origin.
  QRectF areaRect(const RangeRect& area) const;

 private:
  double edgeX(int column) const;  // left edge of any column
  double edgeY(int row) const;     // top edge of any row

  const ooxml::xlsx::Worksheet& m_sheet;
  const ooxml::xlsx::Styles& m_styles;
  int m_digitWidth;
  RangeRect m_rect;
  std::vector<double> m_colX, m_colW, m_rowY, m_rowH;
  double m_width = 0, m_height = 0;
};

// Pixel width of `column` at 96 dpi (0 when hidden). Columns without a width of their own
// take the sheet's default; without defaultColWidth that is baseColWidth digits plus margins
// and gridline rounded up to a multiple of 8 pixels, as the program lays it out.
int rangeColumnPixels(const ooxml::xlsx::Worksheet& sheet, int column, int digitWidth);
int defaultColumnPixels(const ooxml::xlsx::Worksheet& sheet, int digitWidth);

// Height in points of `row` (0 when hidden): its stored height, else the default height or
// the height its largest font needs, whichever is more.
double rangeRowPoints(const ooxml::xlsx::Worksheet& sheet, const ooxml::xlsx::Styles& styles, int row);

// The bounds of the cells the sheet stores (values or formats) and its merged areas;
// nullopt for a sheet without cells.
std::optional<RangeRect> usedRange(const ooxml::xlsx::Worksheet& sheet);

}  // namespace morvane::render::range
