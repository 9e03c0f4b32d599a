// What the PDF writer puts on its pages, read back with poppler: page count and size, one
// picture per page where DrawImage placed it, the footer line and its embedded font.
#include "pdf/pdf_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <cmath>

#include "pdf/poppler.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

constexpr double kPtPerCm = 72.0 / 2.54;
constexpr double kPageWidthPt = 20 * kPtPerCm;
constexpr double kPageHeightPt = 15 * kPtPerCm;
const QColor kPictureColour(20, 40, 200);

QString freshDir(const QString& name) {
  const QString dir = testenv::outputDir(QStringLiteral("pdf/") + name);
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  return dir;
}

// The export's hand-over: a captured picture, stored as JPEG and loaded back.
int loadPicture(pdf::PdfWriter& writer, const QString& dir, QSize pixels) {
  QImage picture(pixels, QImage::Format_RGB32);
  picture.fill(kPictureColour);
  writer.CaptureImage(picture);
  const QString jpeg = dir + QStringLiteral("/picture.jpg");
  if (!writer.SaveImageAsJpeg(jpeg, 75)) return 0;
  return writer.LoadImageFile(jpeg);
}

struct Box {
  double x, y, w, h;  // centimetres from the top-left corner
};

// Writes one page per box with the picture stretched into it and, when `footer` is not
// empty, the footer line centred 0.5 cm above the bottom edge.
QString writeDeck(const QString& dir, const std::vector<Box>& boxes, const QString& footer) {
  const QString path = dir + QStringLiteral("/deck.pdf");
  pdf::PdfWriter writer;
  if (!writer.BeginDocument(path, QStringLiteral("Title"), QStringLiteral("Creator"),
                            QStringLiteral("Author"), QStringLiteral("Producer")))
    return QString();
  const int font = writer.AddFont(QStringLiteral("Arial"), 0, 0);
  writer.SetUnits(pdf::PdfWriter::kUnitCentimetres);
  for (const Box& box : boxes) {
    const int image = loadPicture(writer, dir, QSize(400, 300));
    writer.SetPageSize(20.0, 15.0);
    if (!writer.BeginPage()) return QString();
    writer.DrawImage(image, box.x, box.y, box.w, box.h);
    if (!footer.isEmpty())
      writer.DrawText(10.0, 0.5, footer, font, 6, pdf::PdfWriter::kAlignCentre);
    writer.EndPage();
  }
  writer.EndDocument();
  return writer.FinishDocument() ? path : QString();
}

class PdfWriterPages : public ::testing::Test {
 protected:
  void SetUp() override { MORVANE_REQUIRE(popplertest::available(), "poppler-utils"); }
};

TEST_F(PdfWriterPages, ThreePagesOfTwentyByFifteenCentimetresWithTitleAndCreator) {
  const QString pdf = writeDeck(freshDir(QStringLiteral("three")),
                                {{1, 1, 18, 12}, {5, 4.5, 10, 6}, {1, 5, 18, 5}}, QString());
  ASSERT_FALSE(pdf.isEmpty());
  const auto info = popplertest::info(pdf);
  EXPECT_EQ(info.pages, 3);
  ASSERT_EQ(info.sizes.size(), 3u);
  for (const QSizeF& size : info.sizes) {
    EXPECT_NEAR(size.width(), kPageWidthPt, 0.5);    // 567 pt: wider than high
    EXPECT_NEAR(size.height(), kPageHeightPt, 0.5);  // 425 pt
  }
  EXPECT_EQ(info.title, QStringLiteral("Title"));
  EXPECT_EQ(info.creator, QStringLiteral("Creator"));
}

TEST_F(PdfWriterPages, OnePicturePerPageAndNoneForAFailedLoad) {
  const QString dir = freshDir(QStringLiteral("per_page"));
  const QString path = dir + QStringLiteral("/deck.pdf");
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
    writer.SetUnits(pdf::PdfWriter::kUnitCentimetres);
    const int missing = writer.LoadImageFile(dir + QStringLiteral("/absent.jpg"));
    EXPECT_EQ(missing, 0);
    for (int page = 0; page < 3; ++page) {
      const int image = page == 1 ? missing : loadPicture(writer, dir, QSize(857, 143));
      ASSERT_TRUE(writer.BeginPage());
      writer.DrawImage(image, 1, 5, 18, 5);
      writer.EndPage();
    }
    writer.EndDocument();
    ASSERT_TRUE(writer.FinishDocument());
  }
  const auto rows = popplertest::images(path);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].page, 1);
  EXPECT_EQ(rows[1].page, 3);
  for (const auto& row : rows) {
    // The decoded JPEG goes in at its own pixel size, not re-encoded as JPEG a second time.
    EXPECT_EQ(row.width, 857);
    EXPECT_EQ(row.height, 143);
    EXPECT_NE(row.encoding, QStringLiteral("jpeg"));
    // 857 px over 18 cm and 143 px over 5 cm: the image was stretched into the box asked for.
    EXPECT_NEAR(row.xPpi, 857 / (18 / 2.54), 1.0);
    EXPECT_NEAR(row.yPpi, 143 / (5 / 2.54), 1.0);
  }
  EXPECT_EQ(popplertest::info(path).pages, 3);
}

// Rendered at about 20 pixels per centimetre, the picture colour fills the box and stops at
// its edges; probes sit 0.25 cm inside and outside each edge.
void expectPictureAt(const QImage& page, const Box& box) {
  ASSERT_NEAR(page.width(), 400, 1);  // poppler rounds the page up to whole pixels
  ASSERT_NEAR(page.height(), 300, 1);
  const auto isPicture = [&](double xCm, double yCm) {
    const QColor c = page.pixelColor(int(std::lround(xCm * 20)), int(std::lround(yCm * 20)));
    return c.blue() > 150 && c.red() < 90 && c.green() < 110;
  };
  const double midX = box.x + box.w / 2, midY = box.y + box.h / 2;
  EXPECT_TRUE(isPicture(midX, midY));
  EXPECT_TRUE(isPicture(box.x + 0.25, midY));
  EXPECT_TRUE(isPicture(box.x + box.w - 0.25, midY));
  EXPECT_TRUE(isPicture(midX, box.y + 0.25));
  EXPECT_TRUE(isPicture(midX, box.y + box.h - 0.25));
  EXPECT_FALSE(isPicture(box.x - 0.25, midY));
  EXPECT_FALSE(isPicture(box.x + box.w + 0.25, midY));
  EXPECT_FALSE(isPicture(midX, box.y - 0.25));
  EXPECT_FALSE(isPicture(midX, box.y + box.h + 0.25));
}

TEST_F(PdfWriterPages, PicturesLandInTheBoxesAsked) {
  // A 30 x 5 cm picture shrunk to 18 x 3, and a 10 x 6 cm one centred.
  const std::vector<Box> boxes = {{1, 6, 18, 3}, {5, 4.5, 10, 6}};
  const QString pdf = writeDeck(freshDir(QStringLiteral("boxes")), boxes, QString());
  ASSERT_FALSE(pdf.isEmpty());
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i + 1);
    expectPictureAt(popplertest::render(pdf, i + 1, 50.8), boxes[i]);
  }
}

TEST_F(PdfWriterPages, FooterIsCentredOnTheMiddleHalfACentimetreAboveTheBottom) {
  const QString footer = QStringLiteral("/data/Book1.xlsx ,  Sales chart ,  Sheet1");
  const QString pdf = writeDeck(freshDir(QStringLiteral("footer")), {{1, 1, 18, 12}}, footer);
  ASSERT_FALSE(pdf.isEmpty());
  const auto words = popplertest::words(pdf, 1);
  ASSERT_FALSE(words.empty());
  QRectF line;
  QStringList texts;
  for (const auto& word : words) {
    line = line.isNull() ? word.box : line.united(word.box);
    texts << word.text;
  }
  EXPECT_EQ(texts.join(QLatin1Char(' ')), footer.simplified());
  EXPECT_NEAR(line.center().x(), kPageWidthPt / 2, 1.5);
  // Baseline 0.5 cm above the bottom: the box ends a descender below it, and is 6 pt high.
  const double baseline = kPageHeightPt - 0.5 * kPtPerCm;
  EXPECT_GE(line.bottom(), baseline - 0.2);
  EXPECT_LE(line.bottom(), baseline + 2.5);
  EXPECT_LT(line.height(), 9.0);
}

TEST_F(PdfWriterPages, TextWithoutCentringStartsAtX) {
  const QString dir = freshDir(QStringLiteral("left"));
  const QString path = dir + QStringLiteral("/deck.pdf");
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
    const int font = writer.AddFont(QStringLiteral("Arial"), 0, 0);
    writer.SetUnits(pdf::PdfWriter::kUnitCentimetres);
    ASSERT_TRUE(writer.BeginPage());
    writer.DrawText(3.0, 14.0, QStringLiteral("Left"), font, 12, 0);
    writer.DrawText(3.0, 2.0, QStringLiteral("Lost"), 0, 12, 0);  // no such font
    writer.EndPage();
    ASSERT_TRUE(writer.FinishDocument());
  }
  const auto words = popplertest::words(path, 1);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].text, QStringLiteral("Left"));
  EXPECT_NEAR(words[0].box.left(), 3 * kPtPerCm, 1.5);
  EXPECT_NEAR(words[0].box.bottom(), kPageHeightPt - 14 * kPtPerCm, 3.5);  // near the top
}

TEST_F(PdfWriterPages, ArialIsDrawnWithEmbeddedLiberationSans) {
  MORVANE_REQUIRE(
      QFontInfo(QFont(QStringLiteral("Arial"))).family() == QStringLiteral("Liberation Sans"),
      "fonts-liberation2 (Arial substitute)");
  const QString pdf =
      writeDeck(freshDir(QStringLiteral("font")), {{1, 1, 18, 12}}, QStringLiteral("Footer"));
  ASSERT_FALSE(pdf.isEmpty());
  const auto fonts = popplertest::fonts(pdf);
  ASSERT_FALSE(fonts.empty());
  for (const auto& font : fonts) {
    SCOPED_TRACE(font.name.toStdString());
    EXPECT_TRUE(font.name.contains(QStringLiteral("LiberationSans")));
    EXPECT_TRUE(font.embedded);
  }
}

}  // namespace
