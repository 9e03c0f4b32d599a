// What the PDF writer puts on its pages, read back with poppler: page count and size, one
// picture per page where DrawImage placed it, the footer line and its embedded font, the
// document information (its update's byte offsets, an update on an update, refused tails).
#include "pdf/pdf_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QRegularExpression>
#include <cmath>

#include "pdf/pdf_info_update.h"
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
  // The JPEG file goes in as its own bytes, never encoded a second time.
  QFile jpeg(dir + QStringLiteral("/picture.jpg")), pdf(path);
  ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly) && pdf.open(QIODevice::ReadOnly));
  EXPECT_TRUE(pdf.readAll().contains("stream\n" + jpeg.readAll() + "\nendstream"));
  for (const auto& row : rows) {
    EXPECT_EQ(row.width, 857);
    EXPECT_EQ(row.height, 143);
    EXPECT_EQ(row.encoding, QStringLiteral("jpeg"));
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

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every number `pattern` captures in `bytes`, in order.
std::vector<qint64> numbers(const QByteArray& bytes, const char* pattern) {
  QRegularExpressionMatchIterator it =
      QRegularExpression(QString::fromLatin1(pattern)).globalMatch(QString::fromLatin1(bytes));
  std::vector<qint64> found;
  while (it.hasNext()) found.push_back(it.next().captured(1).toLongLong());
  return found;
}

// The last startxref leads to the update's cross-reference section, whose one entry leads to
// its Info object; the last trailer's one /Prev is the startxref before it.
void expectOffsetsHold(const QByteArray& bytes) {
  const auto starts = numbers(bytes, "startxref\\s+(\\d+)");
  ASSERT_GE(starts.size(), 2u);
  const qint64 xref = starts.back();
  EXPECT_TRUE(bytes.mid(xref).startsWith("xref\n"));
  const QByteArray trailer = bytes.mid(bytes.lastIndexOf("trailer"));
  EXPECT_EQ(numbers(trailer, "/Prev (\\d+)"), std::vector<qint64>{starts[starts.size() - 2]});
  static const QRegularExpression entry(QStringLiteral("^xref\\n(\\d+) 1\\n(\\d{10}) 00000 n \\n"));
  const auto m = entry.match(QString::fromLatin1(bytes.mid(xref, 64)));
  ASSERT_TRUE(m.hasMatch());
  EXPECT_TRUE(
      bytes.mid(m.captured(2).toLongLong()).startsWith(m.captured(1).toLatin1() + " 0 obj"));
  EXPECT_EQ(numbers(trailer, "/Info (\\d+) 0 R"), std::vector<qint64>{m.captured(1).toLongLong()});
}

// The document information QPdfWriter leaves out, appended as an incremental update.
TEST_F(PdfWriterPages, PopplerReadsAllFourInformationFieldsWithoutComplaint) {
  const QString path = writeDeck(freshDir(QStringLiteral("info")), {{1, 1, 18, 12}, {1, 1, 18, 12}},
                                 QStringLiteral("footer line"));
  ASSERT_FALSE(path.isEmpty());
  const auto info = popplertest::info(path);
  EXPECT_EQ(info.title, QStringLiteral("Title"));
  EXPECT_EQ(info.creator, QStringLiteral("Creator"));
  EXPECT_EQ(info.author, QStringLiteral("Author"));
  EXPECT_EQ(info.producer, QStringLiteral("Producer"));
  EXPECT_EQ(info.pages, 2);
  EXPECT_EQ(info.errors, QString());
  const auto text = popplertest::runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_EQ(text.err, QString());
  EXPECT_TRUE(text.out.contains(QStringLiteral("footer line")));
  expectOffsetsHold(readAll(path));
}

TEST_F(PdfWriterPages, ASecondInformationUpdateChainsToTheFirstAndCarriesAnyText) {
  const QString path = writeDeck(freshDir(QStringLiteral("info_twice")),
                                 {{1, 1, 18, 12}, {1, 1, 18, 12}}, QString());
  ASSERT_FALSE(path.isEmpty());
  QByteArray bytes = readAll(path);
  const pdf::DocumentInfo info{QStringLiteral("Zürich (Q3) \\ ©"), QString(), QStringLiteral("Ann"),
                               QStringLiteral("日本"), QDateTime()};
  QString error;
  const QByteArray update = pdf::infoUpdate(bytes.right(4096), bytes.size(), info, &error);
  ASSERT_FALSE(update.isEmpty()) << error.toStdString();
  bytes += update;
  expectOffsetsHold(bytes);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  const auto read = popplertest::info(path);
  EXPECT_EQ(read.title, info.title);
  EXPECT_EQ(read.creator, QString());  // an empty field is left out
  EXPECT_EQ(read.author, info.author);
  EXPECT_EQ(read.producer, info.producer);
  EXPECT_EQ(read.pages, 2);
  EXPECT_EQ(read.errors, QString());
}

struct RefusedTail {
  const char* name;
  const char* tail;
};

class PdfInfoRefused : public ::testing::TestWithParam<RefusedTail> {};

TEST_P(PdfInfoRefused, GivesNoBytesAndSaysWhy) {
  pdf::DocumentInfo info;
  info.title = QStringLiteral("T");
  QString error;
  EXPECT_TRUE(pdf::infoUpdate(QByteArray(GetParam().tail), 1000, info, &error).isEmpty());
  EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Tails, PdfInfoRefused,
    ::testing::Values(RefusedTail{"Empty", ""},
                      RefusedTail{"CrossReferenceStream", "endobj\nstartxref\n512\n%%EOF\n"},
                      RefusedTail{"TruncatedAfterStartxref",
                                  "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n"},
                      RefusedTail{"NoSize", "trailer\n<< /Root 1 0 R >>\nstartxref\n9\n%%EOF\n"},
                      RefusedTail{"NotADictionary", "trailer\n/Size 4\nstartxref\n9\n%%EOF\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
