// `paste --format svg` as the real binary on the shipped sample: decks whose pictures carry
// their SVG beside the PNG, checked with other programs' readers (rsvg-convert, LibreOffice).
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/deck_parts.h"
#include "support/batch_binary.h"
#include "support/picture_blips.h"
#include "support/test_env.h"

using namespace morvane;

using batchtest::runMorvane;
using batchtest::sample;

namespace {

// Mean absolute difference of two same-sized pictures over the RGB channels, 0..255.
double meanAbsoluteDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32).scaled(x.size());
  double sum = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col)
      sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
             std::abs(qBlue(p[col]) - qBlue(q[col]));
  }
  return sum / (3.0 * x.width() * x.height());
}

// `svg` rasterised by rsvg-convert at `size`; null on failure.
QImage rasterise(const QByteArray& svg, const QSize& size) {
  QProcess rsvg;
  rsvg.start(QStringLiteral("rsvg-convert"),
             {QStringLiteral("-w"), QString::number(size.width()), QStringLiteral("-h"),
              QString::number(size.height())});
  rsvg.write(svg);
  rsvg.closeWriteChannel();
  if (!rsvg.waitForFinished(60000) || rsvg.exitCode() != 0) return {};
  return QImage::fromData(rsvg.readAllStandardOutput(), "PNG");
}

struct SvgPicture {
  QImage png;
  QByteArray svg;
};

// The sample pasted with --format svg: each slide's picture, its PNG and its SVG.
std::vector<SvgPicture> pastedSvgPictures(const QTemporaryDir& dir, QString* deck) {
  *deck = dir.filePath(QStringLiteral("deck.pptx"));
  const auto run = runMorvane({"paste", sample(dir), *deck, "--format", "svg"});
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const apptest::DeckParts parts = apptest::readDeck(*deck);
  std::vector<SvgPicture> out;
  for (const QString& slide : parts.slides) {
    for (const auto& blip : blips::pictureBlips(*parts.package, slide)) {
      EXPECT_FALSE(blip.svg.isEmpty()) << slide.toStdString();
      if (blip.svg.isEmpty()) continue;
      out.push_back({QImage::fromData(*parts.package->read(blip.image), "PNG"),
                     *parts.package->read(blip.svg)});
    }
  }
  return out;
}

}  // namespace

// Every picture's SVG, drawn by another program's renderer at the PNG's size, is the PNG.
// Threshold 8 of 255: the sample's pictures measure 0.1 to 4.0 (the most, the text-dense
// range, where Qt's and cairo's glyph edges differ), while a picture against its neighbour
// slide's PNG measures 29.9 to 70.4; both sides are checked, so the threshold discriminates.
TEST(BatchSvg, EachSvgRasterisedByRsvgMatchesItsPngFallback) {
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("rsvg-convert")).isEmpty(),
                  "rsvg-convert (librsvg2-bin)");
  QTemporaryDir dir;
  QString deck;
  const auto pictures = pastedSvgPictures(dir, &deck);
  ASSERT_EQ(pictures.size(), 6u);
  constexpr double kThreshold = 8;
  for (size_t i = 0; i < pictures.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "slide " << i + 1);
    const QImage& png = pictures[i].png;
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.dotsPerMeterX(), 7559);  // the fallback is the 192-dpi bitmap
    const QImage drawn = rasterise(pictures[i].svg, png.size());
    ASSERT_EQ(drawn.size(), png.size());
    EXPECT_LT(meanAbsoluteDifference(png, drawn), kThreshold);
    const QImage& neighbour = pictures[(i + 1) % pictures.size()].png;
    EXPECT_GT(meanAbsoluteDifference(neighbour, drawn), kThreshold);
  }
}

// LibreOffice opens the deck: a page per slide, each with its picture (it draws the PNG).
TEST(BatchSvg, LibreOfficeShowsEveryPictureOfTheSvgDeck) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  MORVANE_REQUIRE(QFile::exists(loRender) &&
                      !testenv::findTool(QStringLiteral("soffice")).isEmpty() &&
                      !testenv::findTool(QStringLiteral("pdfimages")).isEmpty(),
                  "LibreOffice (soffice), lo-render and poppler-utils");
  QTemporaryDir dir;
  QString deck;
  const auto pictures = pastedSvgPictures(dir, &deck);
  ASSERT_EQ(pictures.size(), 6u);
  QProcess render;
  render.start(loRender, {deck, dir.path()});
  render.waitForFinished(240000);
  const QString pdf = dir.filePath(QStringLiteral("deck.pdf"));
  ASSERT_TRUE(QFile::exists(pdf)) << render.readAllStandardError().toStdString();
  QProcess list;
  list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
  list.waitForFinished();
  const QStringList rows = QString::fromUtf8(list.readAllStandardOutput())
                               .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                               .mid(2);
  QStringList shown;
  for (const QString& row : rows) {
    const QStringList cells = row.simplified().split(QLatin1Char(' '));
    if (cells.size() > 4 && cells[2] == QLatin1String("image"))
      shown << QStringLiteral("%1:%2x%3").arg(cells[0], cells[3], cells[4]);
  }
  QStringList expected;
  for (size_t i = 0; i < pictures.size(); ++i)
    expected << QStringLiteral("%1:%2x%3")
                    .arg(i + 1)
                    .arg(pictures[i].png.width())
                    .arg(pictures[i].png.height());
  EXPECT_EQ(shown, expected);
}
