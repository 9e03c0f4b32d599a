// Picture sizes from column widths and row heights, clipping of whole rows and columns,
// hidden rows and columns, and names that give no picture.
#include "ooxml/xlsx/sheet_geometry.h"
#include "range_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace morvane;

using namespace rangetest;

namespace {

QSizeF sizeOf(const QString& name) {
  const render::range::NamedRange range = named(name);
  EXPECT_TRUE(range.ok()) << range.error.toStdString();
  return render::range::rangePictureSize(book()->model(), range.sheetIndex, range.rect);
}

}  // namespace

TEST(RangeGeometry, SizeIsTheSumOfColumnPixelsAndRowPoints) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  EXPECT_EQ(pixelsOfWidth(20), 140);
  EXPECT_EQ(pixelsOfWidth(14), 98);
  // Formats: widths 20 and 14 characters, ten rows of the default 15 points.
  EXPECT_EQ(sizeOf("FormatsRange"), QSizeF((140 + 98) * 0.75, 150));
  // Borders: eight columns of 10 characters (70 px), eleven custom rows of 24 points.
  EXPECT_EQ(pixelsOfWidth(10), 70);
  EXPECT_EQ(sizeOf("BordersRange"), QSizeF(8 * 70 * 0.75, 11 * 24));
}

TEST(RangeGeometry, DefaultColumnsAreSixtyFourPixels) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  // Hidden sheet: no widths of its own, baseColWidth 8 -> 8 * 7 + 5 rounded up to 64 px.
  const auto& model = book()->model();
  const int sheet = model.sheetIndex("Hidden");
  EXPECT_EQ(render::range::rangePictureSize(model, sheet, {1, 1, 2, 2}), QSizeF(2 * 48, 30));
}

TEST(RangeGeometry, HiddenRowsAndColumnsAreLeftOut) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  // A1:E6 with column C and row 3 hidden: four columns, five rows.
  EXPECT_EQ(sizeOf("HiddenRange"), QSizeF(4 * 48, 5 * 15));
}

TEST(RangeGeometry, WholeColumnsAndRowsAreClippedToTheUsedRange) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  EXPECT_EQ(sizeOf("WholeColumns"), QSizeF((140 + 98) * 0.75, 150));  // A:B -> A1:B10
  EXPECT_EQ(sizeOf("WholeRows"), QSizeF((140 + 98) * 0.75, 30));      // 2:3 -> A2:B3
}

TEST(RangeGeometry, EmptyRangeGivesASmallBlankPicture) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QSizeF size = sizeOf("EmptyColumns");
  EXPECT_EQ(size, QSizeF(48, 15));
  const QImage image = picture("EmptyColumns");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(64, 20));
  EXPECT_EQ(inkCount(image, image.rect(), 3 * 255), 0);  // all white
}

TEST(RangeGeometry, NamesWithoutOneAreaGiveClearErrors) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const auto two = named("TwoAreas");
  EXPECT_FALSE(two.ok());
  EXPECT_TRUE(two.error.contains("more than one area")) << two.error.toStdString();
  const auto missing = named("NoSuchName");
  EXPECT_FALSE(missing.ok());
  EXPECT_TRUE(missing.error.contains("NoSuchName"));
  // Drawing with a bad sheet index draws nothing and measures one blank cell.
  EXPECT_EQ(render::range::rangePictureSize(book()->model(), 99, {1, 1, 2, 2}), QSizeF(48, 15));
  EXPECT_FALSE(render::range::rangeToImage(book()->model(), -1, {1, 1, 2, 2}).isNull());
}

TEST(RangeGeometry, ImageScalesWithDpi) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const auto range = named("FormatsRange");
  const QImage image =
      render::range::rangeToImage(book()->model(), range.sheetIndex, range.rect, 192);
  EXPECT_EQ(image.size(), QSize((140 + 98) * 2, 400));
}

TEST(RangeGeometry, RowsWithoutAStoredHeightFitTheirLargestFont) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  // Fonts: rows 1-6 Calibri 11 (15 pt), row 7 stored 19 pt, row 8 Times 12 needs 22 px
  // (16.5 pt), rows 9-10 Courier 10 and Cambria 11 fit in the default 15 pt.
  EXPECT_EQ(sizeOf("FontsRange").height(), 6 * 15 + 19 + 16.5 + 15 + 15);
}

// Sizes the program never writes (not a number, past its limits) are read as its limits, so
// no picture size or pixel count is computed from them.
TEST(RangeGeometry, SizesPastTheProgramsLimitsAreClamped) {
  ooxml::xlsx::Worksheet sheet;
  const struct {
    double stored;
    double points;
  } rows[] = {{std::nan(""), 15}, {1e12, 409}, {-5, 0}, {std::numeric_limits<double>::infinity(), 15}};
  for (const auto& row : rows) {
    sheet.rows[1].height = row.stored;
    EXPECT_EQ(ooxml::xlsx::rowPoints(sheet, 1), row.points) << row.stored;
  }
  sheet.defaultRowHeight = std::nan("");
  EXPECT_EQ(ooxml::xlsx::rowPoints(sheet, 2), 15);
  EXPECT_EQ(ooxml::xlsx::columnWidthPixels(std::nan(""), 7), 0);
  EXPECT_EQ(ooxml::xlsx::columnWidthPixels(1e9, 7), ooxml::xlsx::columnWidthPixels(255, 7));
}
