// What the pictures show: fonts that really resolve, fills and borders probed by pixel,
// alignment by where the ink lies, merges, overflow, wrap, rotation, and the texts an EMF
// recording carries.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QPainter>
#include <QRegularExpression>

#include "emf/emf_device.h"
#include "emf/emf_player.h"
#include "emf/emf_reader.h"
#include "emf/font_stand_ins.h"
#include "range_fixture.h"
#include "render/range/cell_look.h"
#include "support/test_env.h"

using namespace morvane;

using namespace rangetest;

namespace {

constexpr quint32 kExtTextOutW = 84;

// The picture of `name` recorded as EMF (saved to the gallery), and its text records.
QStringList emfTexts(const QString& name) {
  const auto range = named(name);
  const QSizeF size =
      render::range::rangePictureSize(book()->model(), range.sheetIndex, range.rect);
  emf::EmfDevice device(size);
  {
    QPainter painter(&device);
    render::range::drawRange(painter, QRectF(0, 0, device.width(), device.height()),
                             book()->model(), range.sheetIndex, range.rect);
  }
  const QByteArray bytes = device.finish();
  QFile file(QDir(testenv::outputDir("range-gallery")).filePath(name + ".emf"));
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  saveToGallery(emf::rasterizeEmf(bytes, QSize(device.width(), device.height())), name + "-emf.png");
  QStringList texts;
  const auto records = emf::splitEmfRecords(bytes);
  if (!records) return texts;
  for (const auto& record : *records)
    if (record.type() == kExtTextOutW)
      if (const auto text = emf::extTextOutString(record)) texts << *text;
  return texts;
}

bool near(QRgb pixel, QColor expected, int tolerance = 6) {
  return std::abs(qRed(pixel) - expected.red()) <= tolerance && std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
         std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

// Dark pixels across a vertical border at row middle `y`, around x = `edge`.
int borderThickness(const QImage& image, int edge, int y) { return inkCount(image, QRect(edge - 4, y, 8, 1), 300); }

}  // namespace

TEST(RangeFonts, OfficeFontsResolveToTheirMetricTwins) {
  const QList<QPair<QString, QString>> pairs = {{"Calibri", "Carlito"},
                                                {"Cambria", "Caladea"},
                                                {"Arial", "Liberation Sans"},
                                                {"Times New Roman", "Liberation Serif"},
                                                {"Courier New", "Liberation Mono"}};
  for (const auto& [office, open] : pairs) {
    const QString family = emf::standInFamily(office);
    EXPECT_EQ(family, open);
    EXPECT_EQ(QFontInfo(QFont(family)).family(), open) << "not installed: " << open.toStdString();
  }
  EXPECT_EQ(emf::standInFamily("Verdana"), "Verdana");
}

TEST(RangeFills, SolidThemeIndexedAndPatternFillsShowTheirColours) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage image = picture("BordersRange");
  const int y = 24 + 16;  // middle of row 2 (rows of 32 px)
  EXPECT_TRUE(near(image.pixel(70 + 35, y), QColor(255, 0, 0)));        // B2 solid red
  EXPECT_TRUE(near(image.pixel(3 * 70 + 35, y), QColor(0x95, 0xB3, 0xD7)))  // D2 accent1, tint 0.4
      << std::hex << image.pixel(3 * 70 + 35, y);
  EXPECT_TRUE(near(image.pixel(7 * 70 + 35, y), QColor(255, 255, 0)));  // H2 indexed 5
  const QRgb pattern = image.pixel(5 * 70 + 35, y);                     // F2 gray125: light grey
  EXPECT_TRUE(qRed(pattern) > 190 && qRed(pattern) < 250) << std::hex << pattern;
  // A fill hides the gridlines around its cell.
  EXPECT_TRUE(near(image.pixel(2 * 70 - 1, y), QColor(255, 0, 0)));
  EXPECT_TRUE(near(image.pixel(70 - 1, y), QColor(0xD4, 0xD4, 0xD4)) == false);
}

TEST(RangeBorders, WidthsFollowTheStyleAndTheHeavierEdgeWins) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage image = picture("BordersRange");
  auto rowMiddle = [](int row) { return (row - 1) * 32 + 16; };
  // B4..B10: thin, medium, thick, dashed, dotted, double, hair on all sides; left edge at x 70.
  EXPECT_EQ(borderThickness(image, 70, rowMiddle(4)), 1);
  EXPECT_EQ(borderThickness(image, 70, rowMiddle(5)), 2);
  EXPECT_EQ(borderThickness(image, 70, rowMiddle(6)), 3);
  EXPECT_EQ(borderThickness(image, 70, rowMiddle(9)), 2);  // double: two lines around the gridline
    // Dashed or dotted lines show gaps, a thin line none: B4's top (thin), B10's bottom (hair).
  auto along = [&](int y) { return inkCount(image, QRect(72, y, 66, 1), 300); };
  EXPECT_EQ(along(3 * 32 - 1), 66);
  EXPECT_GT(along(10 * 32 - 1), 10);
  EXPECT_LT(along(10 * 32 - 1), 50);
  // D4 right thin blue meets E4 left thick green: green, three pixels.
  const QRgb meet = image.pixel(4 * 70 - 1, rowMiddle(4));
  EXPECT_TRUE(qGreen(meet) > 100 && qBlue(meet) < 100) << std::hex << meet;
  EXPECT_EQ(borderThickness(image, 4 * 70, rowMiddle(4)), 3);
  // D6 bottom medium red.
  EXPECT_GT(qRed(image.pixel(3 * 70 + 35, 6 * 32 - 1)), 200);
  EXPECT_LT(qGreen(image.pixel(3 * 70 + 35, 6 * 32 - 1)), 60);
}

TEST(RangeGridlines, ShownByDefaultAndSwitchable) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage with = picture("FormatsRange");
  render::range::RangeOptions off;
  off.gridlines = false;
  const QImage without = picture("HiddenRange", off);
  EXPECT_TRUE(near(with.pixel(139, 5), QColor(0xD4, 0xD4, 0xD4)));
  const auto range = named("FormatsRange");
  const QImage plain =
      render::range::rangeToImage(book()->model(), range.sheetIndex, range.rect, 96, off);
  EXPECT_EQ(plain.pixel(139, 5), qRgb(255, 255, 255));
  EXPECT_EQ(without.pixel(47, 5), qRgb(255, 255, 255));
}

TEST(RangeText, BoldIsDarkerAndWiderAndNumbersAlignRight) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage fonts = picture("FontsRange");
  const QRect plain(0, 0, 210, 19), bold(0, 20, 210, 19);
  EXPECT_GT(inkCount(fonts, bold), inkCount(fonts, plain) * 11 / 10);
  EXPECT_GT(inkRight(fonts, bold), inkRight(fonts, plain));
  EXPECT_GE(inkLeft(fonts, plain), 1);
  EXPECT_LE(inkLeft(fonts, plain), 4);

  const QImage formats = picture("FormatsRange");
  const QRect numberCell(140, 0, 98, 19);  // B1 "1,234.50"
  EXPECT_GE(inkRight(formats, numberCell), 238 - 7);
  EXPECT_LE(inkRight(formats, numberCell), 238 - 3);
  // B4 negative in red through [Red].
  int red = 0;
  for (int y = 60; y < 80; ++y)
    for (int x = 140; x < 238; ++x) {
      const QRgb p = formats.pixel(x, y);
      red += qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90;
    }
  EXPECT_GT(red, 10);
}

TEST(RangeText, EmfRecordsCarryTheFormattedCellTexts) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QStringList texts = emfTexts("FormatsRange");
  for (const char* expected : {"Fixed", "1,234.50", "25%", "15 Mar 2023", "-1,234", "15000000000", "00123", "TRUE",
                               "#N/A", "0.5"})
    EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << " in " << texts.join('|').toStdString();
}

TEST(RangeText, NumbersTooWideShowHashesAndGeneralDropsDigits) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QStringList texts = emfTexts("NarrowRange");
  ASSERT_GE(texts.size(), 3) << texts.join('|').toStdString();
  EXPECT_TRUE(QRegularExpression("^#+$").match(texts[0]).hasMatch()) << texts[0].toStdString();
  EXPECT_TRUE(QRegularExpression("^[0-9.E+]{1,5}$").match(texts[1]).hasMatch()) << texts[1].toStdString();
  EXPECT_EQ(texts[2], "7");
}

TEST(RangeText, HiddenCellsAreNotDrawn) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QStringList texts = emfTexts("HiddenRange");
  EXPECT_TRUE(texts.contains("11") && texts.contains("65"));
  for (const char* hidden : {"13", "31", "33", "63"}) EXPECT_FALSE(texts.contains(hidden)) << hidden;
  EXPECT_EQ(texts.size(), 4 * 5);
}

TEST(RangeLayout, MergedOverflowWrappedAndRotatedTexts) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage image = picture("AlignRange");
  emfTexts("AlignRange");
  // Columns: A 112 px, B..E 84 px. Rows: 1 32 px, 2 20, 3 53, 4 20, 5 20, 6 64, 7 20, 8 20, 9 20.
  const int rowTop[] = {0, 0, 32, 52, 105, 125, 145, 209, 229, 249};
  // A1:D1 merged, centred: the title's ink is centred on the merged area (364 px wide), and
  // no gridline runs through it.
  const QRect title(0, 0, 364, 31);
  const int centre = (inkLeft(image, title) + inkRight(image, title)) / 2;
  EXPECT_NEAR(centre, 182, 6);
  EXPECT_NE(image.pixel(111, 4), qRgb(0xD4, 0xD4, 0xD4));
  // A4's long text runs into B4 and C4; E5's right-aligned one back into D5.
  EXPECT_GT(inkCount(image, QRect(113, rowTop[4] + 2, 80, 16)), 20);
  EXPECT_GT(inkCount(image, QRect(112 + 2 * 84 + 2, rowTop[5] + 2, 80, 16)), 20);
  // A6 wraps to several lines; B6 at 90 degrees is taller than wide.
  const QRect wrapped(0, rowTop[6], 111, 63);
  int firstInkRow = -1, lastInkRow = -1;
  for (int y = wrapped.top(); y <= wrapped.bottom(); ++y)
    if (inkCount(image, QRect(0, y, 111, 1)) > 0) (firstInkRow < 0 ? firstInkRow : lastInkRow) = y;
  EXPECT_GT(lastInkRow - firstInkRow, 25);
  const QRect up(113, rowTop[6] + 1, 82, 62);
  const int inkWidth = inkRight(image, up) - inkLeft(image, up);
  int inkTop = -1, inkBottom = -1;
  for (int y = up.top(); y <= up.bottom(); ++y)
    if (inkCount(image, QRect(up.left(), y, up.width(), 1)) > 0) (inkTop < 0 ? inkTop : inkBottom) = y;
  EXPECT_GT(inkBottom - inkTop, 2 * inkWidth);
  // The A8:B9 merge is filled yellow over its whole area, without inner gridlines.
  EXPECT_TRUE(near(image.pixel(111, rowTop[8] + 10), QColor(255, 255, 0)));
  EXPECT_TRUE(near(image.pixel(150, rowTop[8] + 19), QColor(255, 255, 0)));
}

TEST(RangeLayout, MergedAreaCutByTheRangeKeepsItsFillAndClipsItsText) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  const QImage image = picture("MergeCut");  // B8:C9 cuts the A8:B9 merge
  EXPECT_EQ(image.size(), QSize(168, 40));
  EXPECT_TRUE(near(image.pixel(40, 20), QColor(255, 255, 0)));
  EXPECT_EQ(image.pixel(120, 20), qRgb(255, 255, 255));
}

TEST(RangeLayout, TextFromCellsOutsideRunsIntoTheRange) {
  MORVANE_REQUIRE(book(), "python3-openpyxl");
  // B4:D5: A4's left-aligned text enters from the left, E5's right-aligned one from the right.
  const QImage image = picture("OverflowIn");
  EXPECT_GT(inkCount(image, QRect(0, 2, 80, 16)), 20);
  EXPECT_GT(inkCount(image, QRect(2 * 84 + 2, 22, 80, 16)), 20);
  EXPECT_EQ(inkCount(image, QRect(2 * 84 + 2, 2, 80, 16)), 0);  // A4's text ends in C4
}
