// Pattern fills (textures and stipples) through the writer and the player: in the GDI form the
// metafile holds a real pattern brush, which the player draws back pixel for pixel; in the
// portable form it holds the pattern's pixels as shapes, which LibreOffice shows too.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QSet>

#include "emf/emf_device.h"
#include "emf/emf_format.h"
#include "emf/emf_player.h"
#include "emf/emf_records.h"
#include "emf_test_drawing.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using emftest::fieldAt;
using emftest::recordsOfType;

const QColor kInk(30, 90, 160);
const QColor kPaper(250, 220, 40);

// An asymmetric 8 x 8 tile, so that a flip, a transposition or a shift shows.
QImage twoColourTile() {
  QImage tile(8, 8, QImage::Format_ARGB32);
  tile.fill(kPaper);
  for (int i = 0; i < 8; ++i) tile.setPixelColor(i, 0, kInk);  // top row
  for (int i = 0; i < 5; ++i) tile.setPixelColor(0, i, kInk);  // left column, part way
  tile.setPixelColor(5, 4, kInk);
  tile.setPixelColor(6, 6, kInk);
  return tile;
}

struct Scene {
  const char* name;
  QTransform painter;  // the painter's transform
  QBrush brush;
  QRectF rect;  // in painter coordinates
};

// 200 x 150 px pictures.
constexpr QSizeF kSizePt(150, 112.5);
constexpr QSize kSizePx(200, 150);

void paint(QPainter& p, const Scene& s) {
  p.setTransform(s.painter);
  p.setPen(Qt::NoPen);
  p.setBrush(s.brush);
  p.drawRect(s.rect);
}

QByteArray recorded(const Scene& s, emf::EmfForm form = emf::EmfForm::GdiObjects) {
  emf::EmfDevice device(kSizePt, form);
  QPainter p(&device);
  paint(p, s);
  p.end();
  return device.finish();
}

QImage rastered(const Scene& s) {
  QImage image(kSizePx, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  paint(p, s);
  return image;
}


// Pixels of `played` inside `area` that differ from `want`.
int mismatches(const QImage& played, const QImage& want, const QRect& area) {
  int wrong = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      wrong += played.pixel(x, y) != want.pixel(x, y);
  return wrong;
}

QBrush scaledTexture(qreal scale) {
  QBrush brush(twoColourTile());
  brush.setTransform(QTransform::fromScale(scale, scale));
  return brush;
}

std::vector<Scene> fillScenes() {
  return {
      // As the chart renderer draws: points on the painter, the tile at 0.75 pt a pixel.
      {"chart points", QTransform::fromScale(96.0 / 72, 96.0 / 72), scaledTexture(0.75),
       QRectF(9.75, 12, 120, 90)},
      {"translated painter", QTransform::fromTranslate(3, 5), QBrush(twoColourTile()),
       QRectF(10, 7, 170, 120)},
      {"tile at twice the size", QTransform(), scaledTexture(2), QRectF(13, 21, 150, 100)},
      {"stipple", QTransform::fromTranslate(1, 2), QBrush(kInk, Qt::Dense5Pattern),
       QRectF(11, 11, 160, 110)},
  };
}

// The colours of `image` inside `area`.
QSet<QRgb> coloursIn(const QImage& image, const QRect& area) {
  QSet<QRgb> colours;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) colours.insert(image.pixel(x, y));
  return colours;
}

}  // namespace

TEST(EmfPatternBrush, FillsPlayBackPixelExactAtOneToOne) {
  for (const Scene& s : fillScenes()) {
    SCOPED_TRACE(s.name);
    const QByteArray emf = recorded(s);
    const QImage want = rastered(s);
    const QImage played = emf::rasterizeEmf(emf, kSizePx);
    ASSERT_FALSE(played.isNull());
    const QString out = testenv::outputDir(QStringLiteral("emf")) + "/pattern-" +
                        QString::fromLatin1(s.name).replace(' ', '-');
    played.save(out + "-played.png");
    want.save(out + "-raster.png");
    // Inside the rectangle, one pixel off its edges (antialiased in the player).
    const QRect inside = s.painter.mapRect(s.rect).toAlignedRect().adjusted(1, 1, -2, -2);
    EXPECT_EQ(mismatches(played, want, inside), 0);
    EXPECT_EQ(coloursIn(played, inside).size(), 2);
  }
}

// The portable form draws the tile's pixels as shapes, in no reader's pattern brush; the stipple,
// too fine to pay for over its area, is drawn as its average colour.
TEST(EmfPatternBrush, PortableFormDrawsThePatternPixelsAsShapes) {
  for (const Scene& s : fillScenes()) {
    SCOPED_TRACE(s.name);
    const QByteArray emf = recorded(s, emf::EmfForm::Portable);
    EXPECT_TRUE(recordsOfType(emf, emf::record::CreateDibPatternBrushPt).empty());
    const QImage want = rastered(s);
    const QImage played = emf::rasterizeEmf(emf, kSizePx);
    ASSERT_FALSE(played.isNull());
    const QRect inside = s.painter.mapRect(s.rect).toAlignedRect().adjusted(1, 1, -2, -2);
    if (s.brush.style() != Qt::TexturePattern) {
      EXPECT_EQ(coloursIn(played, inside).size(), 1);
      continue;
    }
    // The frame's rounding to 0.01 mm shifts the pixels' edges by at most 1/50 px.
    int wrong = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
      for (int x = inside.left(); x <= inside.right(); ++x) {
        const QRgb a = played.pixel(x, y), b = want.pixel(x, y);
        wrong += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                     std::abs(qBlue(a) - qBlue(b)) >
                 12;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(EmfPatternBrush, TwoColourTileIsOneOneBitPatternBrushAndNoBitmap) {
  const QByteArray emf =
      recorded({"plain", QTransform(), QBrush(twoColourTile()), QRectF(10, 10, 100, 100)});
  const auto records = emf::parseEmfRecords(emf);
  ASSERT_TRUE(records);
  const auto patterns = recordsOfType(emf, emf::record::CreateDibPatternBrushPt);
  ASSERT_EQ(patterns.size(), 1u);
  EXPECT_TRUE(recordsOfType(emf, emf::record::StretchDiBits).empty());
  const qsizetype at = patterns.front();
  EXPECT_EQ(fieldAt(emf, at + 12), 0u);  // DIB_RGB_COLORS
  const qsizetype info = at + fieldAt(emf, at + 16);
  EXPECT_EQ(fieldAt(emf, info + 4), 8u);
  EXPECT_EQ(fieldAt(emf, info + 8), 8u);
  EXPECT_EQ(fieldAt(emf, info + 12) >> 16, 1u);  // bits per pixel
  const QSet<quint32> table{fieldAt(emf, info + 40), fieldAt(emf, info + 44)};
  EXPECT_EQ(table, QSet<quint32>({kInk.rgb() & 0xFFFFFFu, kPaper.rgb() & 0xFFFFFFu}));
  EXPECT_EQ(fieldAt(emf, at + 20), 48u);  // header and two colours
  EXPECT_EQ(fieldAt(emf, at + 28), 32u);  // 8 rows of 4 bytes
  // Under the pattern lies its average colour, for programs that leave pattern fills empty; the
  // pattern is selected for the last fill of the rectangle.
  const auto solids = recordsOfType(emf, emf::record::CreateBrushIndirect);
  ASSERT_EQ(solids.size(), 1u);
  const quint32 average = fieldAt(emf, solids.front() + 16);
  for (int shift : {0, 8, 16}) {
    const int channel = int((average >> shift) & 0xFF);
    const int ink = int((qRgb(kInk.blue(), kInk.green(), kInk.red()) >> shift) & 0xFF);
    const int paper = int((qRgb(kPaper.blue(), kPaper.green(), kPaper.red()) >> shift) & 0xFF);
    EXPECT_GT(channel, std::min(ink, paper));
    EXPECT_LT(channel, std::max(ink, paper));
  }
  const auto rectangles = recordsOfType(emf, emf::record::Rectangle);
  ASSERT_EQ(rectangles.size(), 2u);
  quint32 selected = 0;
  for (qsizetype s : recordsOfType(emf, emf::record::SelectObject))
    if (s < rectangles.back()) selected = fieldAt(emf, s + 8);
  EXPECT_EQ(selected, fieldAt(emf, at + 8));
  // Both brushes are released at the end.
  EXPECT_EQ(recordsOfType(emf, emf::record::DeleteObject).size(), 2u);
}

TEST(EmfPatternBrush, ManyColourTilesAre24BitAndUnrepeatableOnesFallBackToABlend) {
  QImage three = twoColourTile();
  three.setPixelColor(3, 3, Qt::red);
  const QByteArray emf =
      recorded({"three colours", QTransform(), QBrush(three), QRectF(0, 0, 50, 50)});
  const auto patterns = recordsOfType(emf, emf::record::CreateDibPatternBrushPt);
  ASSERT_EQ(patterns.size(), 1u);
  const qsizetype info = patterns.front() + fieldAt(emf, patterns.front() + 16);
  EXPECT_EQ(fieldAt(emf, info + 12) >> 16, 24u);
  EXPECT_EQ(emf::rasterizeEmf(emf, kSizePx).pixelColor(3, 3), QColor(Qt::red));

  QImage big(65, 8, QImage::Format_RGB32);
  big.fill(kInk);
  QTransform rotated;
  rotated.rotate(30);
  const Scene fallbacks[] = {
      {"rotated", rotated, QBrush(twoColourTile()), QRectF(20, 0, 50, 50)},
      {"beyond the tile limit", QTransform(), QBrush(big), QRectF(0, 0, 50, 50)},
      {"period not a whole pixel", QTransform(), scaledTexture(1.3), QRectF(0, 0, 50, 50)},
  };
  for (const Scene& s : fallbacks) {
    SCOPED_TRACE(s.name);
    const QByteArray blended = recorded(s);
    EXPECT_TRUE(recordsOfType(blended, emf::record::CreateDibPatternBrushPt).empty());
    EXPECT_EQ(recordsOfType(blended, emf::record::CreateBrushIndirect).size(), 1u);
    EXPECT_FALSE(emf::rasterizeEmf(blended, kSizePx).isNull());
  }
}

TEST(EmfPatternBrush, PatternsRepeatFromTheDeviceOriginInScaledPreviews) {
  const Scene s{"plain", QTransform(), QBrush(twoColourTile()), QRectF(0, 0, 200, 150)};
  const QImage played = emf::rasterizeEmf(recorded(s), kSizePx * 2);
  ASSERT_FALSE(played.isNull());
  // Each tile pixel covers 2 x 2 preview pixels; the top row of each tile is ink.
  const QImage want = rastered(s);
  int wrong = 0;
  for (int y = 2; y < 298; ++y)
    for (int x = 2; x < 398; ++x) wrong += played.pixel(x, y) != want.pixel(x / 2, y / 2);
  EXPECT_EQ(wrong, 0);
}

// LibreOffice 7.4 draws nothing for a pattern-brush fill, so the portable form draws the pattern's
// pixels; the GDI form lays the average colour under its pattern brush.
TEST(EmfPatternBrush, LibreOfficeShowsThePatternNeverAnEmptyArea) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  MORVANE_REQUIRE(
      !testenv::findTool(QStringLiteral("soffice")).isEmpty() && QFile::exists(loRender),
      "LibreOffice (soffice) and lo-render");
  const QString dir = testenv::outputDir(QStringLiteral("emf"));
  const QString emfPath = dir + QStringLiteral("/pattern.emf");
  QFile file(emfPath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(recorded({"chart points", QTransform::fromScale(96.0 / 72, 96.0 / 72),
                       scaledTexture(0.75), QRectF(0, 0, 150, 112.5)},
                      emf::EmfForm::Portable));
  file.close();
  QFile::remove(dir + QStringLiteral("/pattern.png"));
  QProcess lo;
  lo.start(loRender, {emfPath, dir});
  ASSERT_TRUE(lo.waitForFinished(240000));
  ASSERT_EQ(lo.exitCode(), 0) << lo.readAllStandardError().toStdString();
  const QImage png(dir + QStringLiteral("/pattern.png"));
  ASSERT_FALSE(png.isNull());
  // Pixels near either colour; a blend of the two would be near neither.
  const auto near = [](QRgb p, const QColor& c) {
    return std::abs(qRed(p) - c.red()) < 40 && std::abs(qGreen(p) - c.green()) < 40 &&
           std::abs(qBlue(p) - c.blue()) < 40;
  };
  // LibreOffice places the picture a fraction of a pixel off its grid, so the pattern's edges
  // come out as mixes of its two colours.
  const auto mixed = [&](QRgb p) {
    const auto mix = [](int a, int b, int i) { return (a * (32 - i) + b * i) / 32; };
    for (int i = 1; i < 32; ++i)
      if (near(p, QColor(mix(kInk.red(), kPaper.red(), i), mix(kInk.green(), kPaper.green(), i),
                         mix(kInk.blue(), kPaper.blue(), i))))
        return true;
    return false;
  };
  int ink = 0, paper = 0, blend = 0, other = 0;
  for (int y = 0; y < png.height(); ++y)
    for (int x = 0; x < png.width(); ++x) {
      const QRgb p = png.pixel(x, y);
      if (qAlpha(p) < 128 || (qRed(p) > 245 && qGreen(p) > 245 && qBlue(p) > 245)) continue;
      if (near(p, kInk))
        ++ink;
      else if (near(p, kPaper))
        ++paper;
      else if (mixed(p))
        ++blend;
      else
        ++other;
    }
  const bool pattern = ink > 100 && paper > 2 * ink;
  EXPECT_TRUE(pattern) << ink << " ink, " << paper << " paper, " << blend << " mixed, " << other
                       << " other pixels";
  EXPECT_LT(other, (ink + paper + blend) / 10);
}
