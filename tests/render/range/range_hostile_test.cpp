// Absurd and malformed workbooks drawn without harm: huge rectangles, sizes and merges,
// style indexes out of bounds, non-finite numbers. Built as models so that values the reader
// would clamp still reach the renderer.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <limits>

#include "emf/emf_device.h"
#include "render/range/range_picture.h"

using namespace morvane;

namespace {

using namespace ooxml::xlsx;

WorkbookModel bookWith(Worksheet sheet) {
  WorkbookModel model;
  SheetEntry entry;
  entry.name = "S";
  entry.worksheet = std::move(sheet);
  model.sheets.push_back(std::move(entry));
  model.styles.fonts.push_back(Font{});
  model.styles.fills.resize(2);
  model.styles.borders.resize(1);
  model.styles.cellFormats.resize(1);
  return model;
}

Cell numberCell(double v, int style = 0) {
  Cell c;
  c.value = CellValue::fromNumber(v);
  c.style = style;
  c.hasStyle = true;
  return c;
}

// Style kFilled: a solid red fill.
constexpr int kFilled = 1;
WorkbookModel withRedFill(WorkbookModel model) {
  Fill red;
  red.patternType = "solid";
  red.foreground.rgb = "FFFF0000";
  model.styles.fills.push_back(red);
  CellFormat filled;
  filled.fillId = int(model.styles.fills.size()) - 1;
  model.styles.cellFormats.push_back(filled);
  return model;
}

Cell textCell(const QString& text) {
  Cell c;
  c.value = CellValue::fromText(text);
  return c;
}

bool reddish(QRgb p) { return qRed(p) > 200 && qGreen(p) < 150 && qBlue(p) < 150; }

}  // namespace

TEST(RangeHostile, AllSixteenThousandColumnsAreClippedToTheUsedRange) {
  Worksheet sheet;
  sheet.cells[{1, 1}] = numberCell(1);
  sheet.cells[{3, 4}] = numberCell(2);
  const auto model = bookWith(sheet);
  const QSizeF size = render::range::rangePictureSize(model, 0, {1, 1, 5, kMaxColumns});
  EXPECT_EQ(size, QSizeF(4 * 48, 5 * 15));
  const QImage image = render::range::rangeToImage(model, 0, {1, 1, kMaxRows, kMaxColumns});
  EXPECT_EQ(image.size(), QSize(4 * 64, 3 * 20));
}

TEST(RangeHostile, CellsAtBothFarCornersGiveABoundedPicture) {
  Worksheet sheet;
  sheet.cells[{1, 1}] = numberCell(1);
  sheet.cells[{kMaxRows, kMaxColumns}] = numberCell(2);
  sheet.mergedCells.push_back({1, 1, kMaxRows, kMaxColumns});
  const auto model = bookWith(sheet);
  const QImage image = render::range::rangeToImage(model, 0, {1, 1, kMaxRows, kMaxColumns});
  EXPECT_FALSE(image.isNull());
  EXPECT_LE(qint64(image.width()) * image.height(), qint64(40'000'000));
}

TEST(RangeHostile, AbsurdSizesAndValuesDrawWithoutHarm) {
  Worksheet sheet;
  sheet.rows[1].height = 1e12;
  sheet.rows[2].height = std::numeric_limits<double>::quiet_NaN();
  ColumnInfo wide;
  wide.min = 2;
  wide.max = 2;
  wide.width = 1e9;
  sheet.columns.push_back(wide);
  sheet.cells[{1, 1}] = numberCell(std::numeric_limits<double>::infinity(), 5);
  sheet.cells[{2, 2}] = numberCell(std::nan(""), -3);
  Cell text;
  text.value = CellValue::fromText(QString(100000, QChar('x')));
  text.style = 1;
  sheet.cells[{3, 1}] = text;
  auto model = bookWith(sheet);
  CellFormat odd;
  odd.fontId = 999;
  odd.fillId = -7;
  odd.borderId = 12345;
  odd.numFmtId = 100000;
  odd.alignment.textRotation = 999;
  odd.alignment.indent = 1 << 30;
  odd.alignment.wrapText = true;
  model.styles.cellFormats.push_back(odd);
  model.styles.fonts.front().size = std::numeric_limits<double>::infinity();
  const QImage image = render::range::rangeToImage(model, 0, {1, 1, 3, 3});
  EXPECT_FALSE(image.isNull());
  emf::EmfDevice device(QSizeF(200, 100));
  QPainter painter(&device);
  render::range::drawRange(painter, QRectF(0, 0, 200, 100), model, 0, {1, 1, 3, 3});
  render::range::drawRange(painter, QRectF(0, 0, 0, 0), model, 0, {1, 1, 3, 3});
  painter.end();
  EXPECT_FALSE(device.finish().isEmpty());
}

TEST(RangeHostile, MergesLargerThanTheRangeAndInvertedRectangles) {
  Worksheet sheet;
  Cell title;
  title.value = CellValue::fromText("Title");
  sheet.cells[{1, 1}] = title;
  for (int i = 0; i < 2000; ++i) sheet.mergedCells.push_back({1, 1, kMaxRows, 50});
  sheet.mergedCells.push_back({5, 5, 1, 1});  // corners out of order
  const auto model = bookWith(sheet);
  EXPECT_FALSE(render::range::rangeToImage(model, 0, {2, 2, 4, 4}).isNull());
  EXPECT_FALSE(render::range::rangeToImage(model, 0, {4, 4, 2, 2}).isNull());
  EXPECT_FALSE(render::range::rangeToImage(model, 0, {-5, 0, 0, -1}).isNull());
  EXPECT_FALSE(render::range::rangeToImage(model, 0, {1, 1, 2, 2}, std::nan("")).isNull());
}

TEST(RangeHostile, ChartSheetsAndBadIndexesDrawNothing) {
  WorkbookModel model = bookWith(Worksheet{});
  model.sheets.front().kind = SheetEntry::Kind::Chartsheet;
  EXPECT_FALSE(render::range::rangeToImage(model, 0, {1, 1, 2, 2}).isNull());
  EXPECT_FALSE(render::range::rangeToImage(model, 7, {1, 1, 2, 2}).isNull());
  model.names.push_back({"Chart", std::nullopt, false, "S!$A$1:$B$2"});
  EXPECT_FALSE(render::range::resolveNamedRange(model, "Chart").ok());
}

// A range too dense to read on the device is drawn whole and scaled, not cut, with the look
// of its detailed picture scaled down.
TEST(RangeHostile, AHundredThousandRowsAreDrawnWholeWithTheirProportions) {
  Worksheet sheet;
  sheet.cells[{1, 1}] = textCell("Top");
  for (int r = 90001; r <= 100000; ++r) sheet.cells[{r, 2}] = numberCell(r, kFilled);
  const auto model = withRedFill(bookWith(std::move(sheet)));
  const render::range::RangeRect rect{1, 1, 100000, 4};
  const QSizeF size = render::range::rangePictureSize(model, 0, rect);
  EXPECT_NEAR(size.width() / size.height(), 4 * 48 / (100000 * 15.0), 1e-9);
  const QImage image = render::range::rangeToImage(model, 0, rect);
  ASSERT_GE(image.width(), 2);
  // Only the last tenth of the rows is filled, in the second of four columns.
  const int x = image.width() * 3 / 8;
  EXPECT_TRUE(reddish(image.pixel(x, image.height() * 95 / 100)));
  EXPECT_FALSE(reddish(image.pixel(x, image.height() * 88 / 100)));
  EXPECT_FALSE(reddish(image.pixel(image.width() * 7 / 8, image.height() * 95 / 100)));
}

TEST(RangeHostile, LooksLikeTheDetailedPictureScaledDown) {
  Worksheet sheet;
  for (int r = 1; r <= 600; ++r) {
    for (int c = 1; c <= 6; ++c) {
      if (c == 3)
        sheet.cells[{r, c}] = numberCell(r * 1.5, kFilled);
      else if (c % 2)
        sheet.cells[{r, c}] = textCell(QStringLiteral("Label %1").arg(r));
      else if (r % 4)
        sheet.cells[{r, c}] = numberCell(r * 37);
    }
  }
  const auto model = withRedFill(bookWith(std::move(sheet)));
  const render::range::RangeRect rect{1, 1, 600, 6};
  const QImage detailed = render::range::rangeToImage(model, 0, rect, 96);   // rows of 20 pixels
  const QImage overview = render::range::rangeToImage(model, 0, rect, 9.6);  // of 2
  const QImage expected =
      detailed.scaled(overview.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double difference = 0, darkness[2] = {0, 0};
  for (int y = 0; y < overview.height(); ++y) {
    for (int x = 0; x < overview.width(); ++x) {
      const QRgb a = overview.pixel(x, y), b = expected.pixel(x, y);
      difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                    std::abs(qBlue(a) - qBlue(b));
      darkness[0] += 255 - qGray(a);
      darkness[1] += 255 - qGray(b);
    }
  }
  const double pixels = overview.width() * overview.height();
  // Text lines and gridlines fall a little differently within two-pixel rows; a fill, a
  // text or a part of the range left out moves these far more.
  EXPECT_LT(difference / (3 * pixels), 16);
  EXPECT_NEAR(darkness[0] / pixels, darkness[1] / pixels, 5);
}
