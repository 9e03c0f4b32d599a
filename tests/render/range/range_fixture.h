// The range tests' workbook (written by make_range_book.py through openpyxl) and helpers to
// look at pictures: named ranges, pixel probes, ink counts, gallery output.
#pragma once

#include "ooxml/xlsx/workbook_document.h"
#include "render/range/range_picture.h"

#include <QImage>
#include <QString>

#include <memory>

namespace morvane::rangetest {

// The generated workbook, read once per test binary; nullptr when python3-openpyxl is
// missing (the caller skips through MORVANE_REQUIRE).
const ooxml::xlsx::WorkbookDocument* book();
// The named range `name` of book(). Requires: the name resolves.
render::range::NamedRange named(const QString& name);
// The picture of a name at 96 dpi, also saved to the gallery as NAME.png.
QImage picture(const QString& name, const render::range::RangeOptions& options = {});
void saveToGallery(const QImage& image, const QString& fileName);

// Pixels in `area` darker than `threshold` (sum of the three channels).
int inkCount(const QImage& image, const QRect& area, int threshold = 384);
// The rightmost / leftmost column of `area` holding ink; -1 when none.
int inkRight(const QImage& image, const QRect& area, int threshold = 384);
int inkLeft(const QImage& image, const QRect& area, int threshold = 384);

// Pixels at 96 dpi of a stored column width in the test workbook (Calibri 11, 7-pixel
// digits), by the program's rule, written out independently of the renderer.
int pixelsOfWidth(double characters);

}  // namespace morvane::rangetest
