// Sizes of columns, rows and drawing anchors as the spreadsheet program lays them out at
// 96 dpi: column widths in characters turn into pixels through the maximum digit width of
// the workbook's default font.
#pragma once

#include "ooxml/xlsx/workbook_model.h"

#include <QSizeF>

namespace morvane::ooxml::xlsx {

// Maximum digit width in pixels of a font at 96 dpi (7 for Calibri 11, Arial 10).
int maxDigitWidth(const Font& font);
// Width in pixels of a stored column width (characters, padding included).
int columnWidthPixels(double width, int digitWidth);
// Pixel width of column `column` (from 1) of `sheet`; 0 for hidden columns.
int columnPixels(const Worksheet& sheet, int column, int digitWidth);
// Height in points of row `row` (from 1); 0 for hidden rows.
double rowPoints(const Worksheet& sheet, int row);
// Size in points of a drawing object on `sheet`: the distance between its two markers for a
// two-cell anchor, the ext for one-cell and absolute anchors.
QSizeF anchorSizePoints(const Worksheet& sheet, const DrawingObject& object, int digitWidth);

}  // namespace morvane::ooxml::xlsx
