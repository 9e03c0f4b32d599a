// One range picture being drawn: the grid, the cells' looks, merged areas and overflowing
// texts, painted in the program's order (fills, gridlines, texts, borders). Lives for one
// drawRange call; borrows the painter and the model.
#pragma once

#include "render/range/cell_look.h"
#include "render/range/cell_text.h"
#include "render/range/range_grid.h"

#include <vector>

class QPainter;

namespace morvane::render::range {

class RangeScene {
 public:
  // Requires: the painter maps 1 unit to 1 point with the picture's origin at (0, 0).
  RangeScene(QPainter& painter, const ooxml::xlsx::WorkbookModel& workbook, const ooxml::xlsx::Worksheet& sheet,
             const RangeGrid& grid, const RangeOptions& options);
  void draw();

 private:
  struct PlacedText {
    CellText text;
    QRectF area;  // the cell or merged area
    QRectF clip;  // the area widened by overflow, within the picture
  };

  int mergeAt(int row, int column) const;  // index into m_merges, -1 when none
  bool sameMerge(int r1, int c1, int r2, int c2) const;
  const CellLook& lookAt(int row, int column);
  bool filledAt(int row, int column);
  bool isFree(int row, int column) const;  // empty and not merged: text may spill into it
  QRectF cellRect(int row, int column) const;
  size_t flagIndex(int row, int column) const;

  void findMerges();
  void layoutTexts();
  // Whether text in `look`'s font is large enough on the device to show as text.
  bool legible(const CellLook& look) const;
  void placeText(int row, int column, const ooxml::xlsx::CellValue& value);
  QRectF overflowClip(int row, int column, const CellText& text, const QRectF& area);
  void placeTextFromOutside(int row);
  bool blankBetween(int row, int firstColumn, int lastColumn) const;
  void drawFills();
  void drawGridlines();
  void drawBorders();

  QPainter& m_painter;
  const ooxml::xlsx::WorkbookModel& m_workbook;
  const ooxml::xlsx::Worksheet& m_sheet;
  const RangeGrid& m_grid;
  RangeRect m_rect;
  CellLooks m_looks;
  bool m_gridlines;
  double m_indentStep;
  double m_devicePixelsPerPoint;
  QRectF m_picture;
  std::vector<RangeRect> m_merges;           // merged areas meeting the rectangle
  std::vector<std::vector<int>> m_rowMerges;  // per row of the rectangle: indices into m_merges
  std::vector<unsigned char> m_spanned;       // per cell: text overflows across its right edge
  std::vector<PlacedText> m_texts;
};

}  // namespace morvane::render::range
