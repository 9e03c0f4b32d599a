// Ranges too dense to read on the device: drawn whole and scaled, not cut, with the look of
// the detailed picture scaled down.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "render/range/range_picture.h"

using namespace morvane;
using namespace ooxml::xlsx;

namespace {

constexpr int kFilled = 1;  // style: solid red fill

WorkbookModel bookWith(Worksheet sheet) {
  WorkbookModel model;
  SheetEntry entry;
  entry.name = "S";
  entry.worksheet = std::move(sheet);
  model.sheets.push_back(std::move(entry));
  model.styles.fonts.push_back(Font{});
  model.styles.fills.resize(3);
  model.styles.fills[2].patternType = "solid";
  model.styles.fills[2].foreground.rgb = "FFFF0000";
  model.styles.borders.resize(1);
  model.styles.cellFormats.resize(2);
  model.styles.cellFormats[kFilled].fillId = 2;
  return model;
}

Cell cell(const CellValue& value, int style = 0) {
  Cell c;
  c.value = value;
  c.style = style;
  c.hasStyle = style != 0;
  return c;
}

bool reddish(QRgb p) { return qRed(p) > 200 && qGreen(p) < 150 && qBlue(p) < 150; }

}  // namespace

TEST(RangeOverview, AHundredThousandRowsAreDrawnWholeWithTheirProportions) {
  Worksheet sheet;
  sheet.cells[{1, 1}] = cell(CellValue::fromText("Top"));
  for (int r = 90001; r <= 100000; ++r)
    sheet.cells[{r, 2}] = cell(CellValue::fromNumber(r), kFilled);
  const auto model = bookWith(std::move(sheet));
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

TEST(RangeOverview, LooksLikeTheDetailedPictureScaledDown) {
  Worksheet sheet;
  for (int r = 1; r <= 600; ++r) {
    for (int c = 1; c <= 6; ++c) {
      if (c == 3)
        sheet.cells[{r, c}] = cell(CellValue::fromNumber(r * 1.5), kFilled);
      else if (c % 2)
        sheet.cells[{r, c}] = cell(CellValue::fromText(QStringLiteral("Label %1").arg(r)));
      else if (r % 4)
        sheet.cells[{r, c}] = cell(CellValue::fromNumber(r * 37));
    }
  }
  const auto model = bookWith(std::move(sheet));
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
