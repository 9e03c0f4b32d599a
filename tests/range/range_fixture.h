// The range tests' workbook (written by make_range_book.py through openpyxl) and helpers to
// look at pictures: named ranges, pixel probes, ink counts, gallery output.
#pragma once

#include "ooxml/xlsx/workbook_document.h"
#include "render/range/range_picture.h"

#include <QImage>
#include <QString>

#include <memory>

namespace rangetest {

// The generated workbook, read once per test binary; nullptr when python3-openpyxl is
// missing (the caller skips through MORVANE_REQUIRE).
const ooxml::xlsx::WorkbookDocument* book();
// The named range `name` of book(). Requires: the name resolves.
render::NamedRange named(const QString& name);
// The picture of a name at 96 dpi, also saved to the gallery as NAME.png.
QImage picture(const QString& name, const render::RangeOptions& options = {});
void saveToGallery(const QImage& image, const QString& fileName);

// Pixels in `area` darker than `threshold` (sum of the three channels).
int inkCount(const QImage& image, const QRect& area, int threshold = 384);
// The rightmost / leftmost column of `area` holding ink; -1 when none.
int inkRight(const QImage& image, const QRect& area, int threshold = 384);
int inkLeft(const QImage& image, const QRect& area, int threshold = 384);

// Pixel boundaries of a column or row of the picture of `name` (0-based index within it),
// from the program's geometry at 96 dpi: default 64 px columns, widths in characters.
int pixelsOfWidth(double characters);

}  // namespace rangetest
