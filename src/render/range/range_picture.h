// Pictures of named cell ranges: a rectangle of a worksheet drawn as the spreadsheet program
// shows it on screen (values through their number formats, fonts, fills, borders, alignment,
// merged cells, column widths and row heights), with plain QPainter operations so that one
// routine serves rasters, EMF and PDF devices. Stateless; safe from any thread that may use
// QFont.
#pragma once

#include "ooxml/xlsx/cell_reference.h"
#include "ooxml/xlsx/workbook_model.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <optional>

class QPainter;

namespace morvane::render::range {

// Rows firstRow..lastRow and columns firstColumn..lastColumn, 1-based and inclusive.
using RangeRect = ooxml::xlsx::CellRange;

// How a picture is drawn beyond what the workbook model says.
struct RangeOptions {
  // Gridlines as the screen shows them (the program's "as shown on screen" copy includes
  // them when the sheet shows them). nullopt: the sheet's setting; the workbook model does
  // not record showGridLines yet, so that means shown, the program's default.
  std::optional<bool> gridlines;
  // The workbook theme's colour scheme in DrawingML order (dk1, lt1, dk2, lt2, accent1..6,
  // hlink, folHlink) for theme="n" colour references; defaults to the Office 2007 theme.
  std::array<QColor, 12> themeColors = defaultThemeColors();

  static std::array<QColor, 12> defaultThemeColors();
};

// The pixel budget of a picture on its device: one drawn larger (an EMF of a hundred
// thousand rows) is drawn as it would look scaled down to these.
inline constexpr double kMaxDeviceSide = 8000;
inline constexpr double kMaxDevicePixels = 40e6;

// Measures the picture of `rect` on sheet `sheetIndex` in points: the sum of the visible
// column widths (pixels at 96 dpi as the program computes them from the default font's
// maximum digit width) and row heights, scaled down with its proportions to 75,000 points
// on its longer side. Whole rows or columns, and rectangles of very many rows or columns,
// are first clipped to the sheet's used range. An empty result (everything hidden, nothing
// used, a bad sheet index or a chart sheet) measures as one default cell.
QSizeF rangePictureSize(const ooxml::xlsx::WorkbookModel& workbook, int sheetIndex,
                        const RangeRect& rect);

// Draws the picture into `target`, stretched from its size in points, on whatever the painter
// already holds (callers wanting a white background fill it first). A picture whose rows or
// columns are too thin on the device to show their texts (within the pixel budget) is drawn
// as one image of the whole range at the device's resolution, each pixel the average of the
// cells over it. Never throws; bad style indexes draw with defaults; leaves the painter's
// state as it found it.
void drawRange(QPainter& painter, const QRectF& target, const ooxml::xlsx::WorkbookModel& workbook,
               int sheetIndex, const RangeRect& rect, const RangeOptions& options = {});

// The picture as an image at `dpi` (clamped to 10..1200) on white. Pictures that would exceed
// 40 million pixels are drawn at a lower resolution; never returns a null image.
QImage rangeToImage(const ooxml::xlsx::WorkbookModel& workbook, int sheetIndex, const RangeRect& rect,
                    double dpi = 96, const RangeOptions& options = {});

// A defined name resolved to the one rectangle it names.
struct NamedRange {
  int sheetIndex = -1;
  RangeRect rect;
  QString error;  // empty on success; else why the name has no picture
  bool ok() const { return error.isEmpty(); }
};

// Resolves defined name `name` (case-insensitive; a name local to `scopeSheet` wins over a
// global one). Fails with a message naming the name when it does not exist, refers to more
// than one area, a constant, a formula, another workbook, #REF! or a sheet that is not a
// worksheet of this workbook.
NamedRange resolveNamedRange(const ooxml::xlsx::WorkbookModel& workbook, const QString& name,
                             std::optional<int> scopeSheet = {});

}  // namespace morvane::render::range
