// The page pictures' own streams, written in place of the objects Qt writes for them: poppler
// decodes every picture to exactly the pixels of its JPEG, whatever those hold; every offset
// of the cross-reference table still leads to its object; the splicing refuses what it does
// not recognise rather than write a wrong file.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <random>

#include "office/clipboard_formats.h"
#include "pdf/image_splice.h"
#include "pdf/image_stream.h"
#include "pdf/pdf_writer.h"
#include "pdf/poppler.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

struct Picture {
  const char* what;
  QSize size;
  std::function<void(QImage&)> paint;
};

TEST(PdfPictureStreams, PopplerDecodesEachPictureToItsJpegsPixels) {
  MORVANE_REQUIRE(popplertest::available(), "poppler-utils");
  std::mt19937 random(17);
  const std::vector<Picture> pictures = {
      {"a chart's flat areas, edges and text",
       {1134, 567},
       [](QImage& image) {
         image.fill(Qt::white);
         QPainter painter(&image);
         painter.fillRect(100, 80, 300, 400, QColor(68, 114, 196));
         painter.fillRect(500, 200, 300, 280, QColor(237, 125, 49));
         painter.drawLine(60, 480, 1080, 480);
         painter.setFont(QFont(QStringLiteral("Arial"), 40));
         painter.drawText(QPointF(120, 540), QStringLiteral("Sales 2026"));
       }},
      {"noise: nothing repeats",
       {200, 150},
       [&random](QImage& image) {
         for (int y = 0; y < image.height(); ++y)
           for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, 0xff000000 | random());
       }},
      {"one pixel", {1, 1}, [](QImage& image) { image.fill(QColor(200, 10, 30)); }},
      {"one column",
       {1, 40},
       [](QImage& image) {
         for (int y = 0; y < 40; ++y) image.setPixel(0, y, qRgb(6 * y, 255 - 6 * y, 90));
       }},
      // Each row's run after its first zero is 260 bytes: a longest match leaves 2.
      {"rows of 87 white pixels", {87, 3}, [](QImage& image) { image.fill(Qt::white); }},
      {"rows of many longest matches", {3000, 4}, [](QImage& image) { image.fill(Qt::black); }}};

  const QString dir = testenv::outputDir(QStringLiteral("pdf/picture_streams"));
  QDir(dir).removeRecursively();
  QDir().mkpath(dir);
  const QString path = dir + QStringLiteral("/deck.pdf");
  std::vector<QImage> expected;
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
    int first = 0;
    for (const Picture& picture : pictures) {
      QImage image(picture.size, QImage::Format_RGB32);
      picture.paint(image);
      const QString jpeg = dir + QStringLiteral("/picture.jpg");
      writer.CaptureImage(image);
      ASSERT_TRUE(writer.SaveImageAsJpeg(jpeg, 75)) << picture.what;
      expected.push_back(QImage(jpeg).convertToFormat(QImage::Format_RGB32));
      const int handle = writer.LoadImageFile(jpeg);
      first = first ? first : handle;
      ASSERT_TRUE(writer.BeginPage());
      writer.DrawImage(handle, 10, 10, 300, 200);
      writer.EndPage();
    }
    // The first picture again, on a page of its own: Qt refers to the object it wrote.
    ASSERT_TRUE(writer.BeginPage());
    writer.DrawImage(first, 10, 10, 300, 200);
    writer.EndPage();
    expected.push_back(expected.front());
    ASSERT_TRUE(writer.FinishDocument()) << writer.errorString().toStdString();
  }
  EXPECT_EQ(popplertest::info(path).errors, QString());
  const std::vector<QImage> found = popplertest::imagePixels(path);
  ASSERT_EQ(found.size(), expected.size());
  for (size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(i < pictures.size() ? pictures[i].what : "drawn again");
    EXPECT_TRUE(found[i].convertToFormat(QImage::Format_RGB32) == expected[i]);
  }

  // Qt's table, corrected for the bytes that moved: every object is where it says.
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  const qsizetype table = bytes.indexOf("\nxref\n0 ") + 1;
  ASSERT_GT(table, 0);
  const int count = bytes.mid(table + 7, 12).split('\n').front().toInt();
  const qsizetype entries = bytes.indexOf('\n', table + 5) + 1;
  ASSERT_GT(count, int(pictures.size()));
  for (int object = 1; object < count; ++object) {
    const qint64 offset = bytes.mid(entries + 20 * object, 10).toLongLong();
    EXPECT_TRUE(bytes.mid(offset).startsWith(QByteArray::number(object) + " 0 obj\n")) << object;
  }
}

// A picture captured with its JPEG is stored as those bytes when asked at their quality;
// at another quality, or with a JPEG of another size, the writer encodes the picture itself.
TEST(PdfPictureStreams, ACapturedJpegIsStoredAsItIsAtItsQualityOnly) {
  QImage picture(64, 48, QImage::Format_RGB32);
  picture.fill(QColor(30, 160, 90));
  const QByteArray own = office::jpegOnWhite(picture, 75);
  const QByteArray given = office::jpegOnWhite(picture, 40);  // differs from own
  const QByteArray otherSize = office::jpegOnWhite(picture.copy(0, 0, 32, 48), 40);
  const struct {
    const char* what;
    QByteArray jpeg;
    int quality;
    QByteArray stored;
  } cases[] = {{"its quality", given, 75, given},
               {"another quality", given, 40, own},
               {"another size", otherSize, 75, own},
               {"none", {}, 75, own}};
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("picture.jpg"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pdf::PdfWriter writer;
    EXPECT_TRUE(writer.CaptureImage(picture, c.jpeg, c.quality));
    ASSERT_TRUE(writer.SaveImageAsJpeg(path, 75));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), c.stored);
  }
}

// Image files loaded from elsewhere: a JPEG every reader decodes goes in as its own bytes,
// any other picture as its decoded pixels; poppler shows each as Qt decodes it.
TEST(PdfPictureStreams, JpegFilesGoInAsTheyAreAndOtherPicturesAsTheirPixels) {
  MORVANE_REQUIRE(popplertest::available(), "poppler-utils");
  QImage colour(90, 60, QImage::Format_RGB32);
  colour.fill(Qt::white);
  QPainter(&colour).fillRect(10, 10, 50, 30, QColor(68, 114, 196));
  const struct {
    const char* what;
    const char* format;
    QImage image;
    bool progressive;
    const char* encoding;
  } cases[] = {
      {"grey JPEG", "jpeg", colour.convertToFormat(QImage::Format_Grayscale8), false, "jpeg"},
      {"progressive JPEG", "jpeg", colour, true, "jpeg"},
      {"PNG", "png", colour, false, "image"}};
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("deck.pdf"));
  std::vector<QImage> expected;
  {
    pdf::PdfWriter writer;
    ASSERT_TRUE(writer.BeginDocument(path, {}, {}, {}, {}));
    for (const auto& c : cases) {
      const QString file = dir.filePath(QStringLiteral("picture.") + c.format);
      QImageWriter out(file, c.format);
      out.setProgressiveScanWrite(c.progressive);
      ASSERT_TRUE(out.write(c.image)) << c.what;
      expected.push_back(QImage(file).convertToFormat(QImage::Format_RGB32));
      const int handle = writer.LoadImageFile(file);
      ASSERT_GT(handle, 0) << c.what;
      ASSERT_TRUE(writer.BeginPage());
      writer.DrawImage(handle, 10, 10, 300, 200);
      writer.EndPage();
    }
    ASSERT_TRUE(writer.FinishDocument()) << writer.errorString().toStdString();
  }
  const auto rows = popplertest::images(path);
  const std::vector<QImage> found = popplertest::imagePixels(path);
  ASSERT_EQ(rows.size(), std::size(cases));
  ASSERT_EQ(found.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(rows[i].encoding, QString::fromLatin1(cases[i].encoding));
    EXPECT_TRUE(found[i].convertToFormat(QImage::Format_RGB32) == expected[i]);
  }
}

// What a reader may not decode is left to the decoding path: only 8-bit Huffman-coded
// frames of one or three components, found before any scan, are taken as they are.
TEST(PdfPictureStreams, OnlyJpegsEveryReaderDecodesAreTakenAsTheyAre) {
  // SOI, a table segment, then a frame header of `marker`, `bits`, 2 x 3 pixels, `components`.
  const auto jpeg = [](quint8 marker, quint8 bits, quint8 components) {
    QByteArray bytes("\xff\xd8\xff\xdb\x00\x04\x00\x00", 8);
    bytes += QByteArray("\xff") + char(marker) + QByteArray("\x00\x0b", 2) + char(bits);
    bytes += QByteArray("\x00\x03\x00\x02", 4) + char(components) + QByteArray(3, '\x01');
    return bytes + QByteArray("\xff\xd9", 2);
  };
  const struct {
    const char* what;
    QByteArray bytes;
    const char* colourSpace;  // nullptr: refused
  } cases[] = {{"baseline colour", jpeg(0xc0, 8, 3), "/DeviceRGB"},
               {"progressive grey", jpeg(0xc2, 8, 1), "/DeviceGray"},
               {"four components (CMYK)", jpeg(0xc0, 8, 4), nullptr},
               {"12-bit samples", jpeg(0xc1, 12, 3), nullptr},
               {"lossless", jpeg(0xc3, 8, 3), nullptr},
               {"arithmetic coding", jpeg(0xc9, 8, 3), nullptr},
               {"a scan before any frame", QByteArray("\xff\xd8\xff\xda\x00\x02", 6), nullptr},
               {"a segment past the end", jpeg(0xc0, 8, 3).left(14), nullptr},
               {"not a JPEG", QByteArray("\x89PNG\r\n\x1a\n"), nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray dictionary = pdf::jpegImageDictionary(c.bytes);
    if (!c.colourSpace) {
      EXPECT_TRUE(dictionary.isEmpty());
      continue;
    }
    EXPECT_TRUE(dictionary.contains("/Width 2\n/Height 3\n"));
    EXPECT_TRUE(dictionary.contains(QByteArray("/ColorSpace ") + c.colourSpace + "\n"));
    EXPECT_TRUE(dictionary.contains("/Length " + QByteArray::number(c.bytes.size()) + "\n"));
  }
}

// Held image objects that are not a placeholder's, and document ends without a table (or
// one before what was held); each is refused and nothing of it written.
TEST(PdfPictureStreams, SplicingRefusesWhatItDoesNotRecognise) {
  const struct {
    bool end;
    const char* held;
  } cases[] = {{false, "7 0 obj\n<<\n/Type /Page\n>>\nendobj\n"},
               {false,
                "7 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Length 8 0 R\n>>\nstream\nxy\n"
                "endstream\nendobj\n"},
               {false,
                "7 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Length 8 0 R\n>>\nstream\nxy\n"
                "endstream\nendobj\n9 0 obj\n2\nendobj\n"},
               {true, "trailer\n<< /Size 1 >>\n%%EOF\n"},
               {true, "xref\n0 1\n0000000000 65535 f \ntrailer\n<< >>\nstartxref\n0\n%%EOF\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held);
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    pdf::ImageSplicingDevice device(buffer);
    device.write("%PDF-1.4\n");
    c.end ? device.holdEnd() : device.holdImage();
    device.write(c.held);
    EXPECT_FALSE(c.end ? device.finish() : device.replaceImage("/Subtype /Image\n", "pixels"));
    EXPECT_EQ(out, QByteArray("%PDF-1.4\n"));
  }
}

}  // namespace
