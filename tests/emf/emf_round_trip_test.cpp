// Round trips through EmfDevice and playEmf, judged against the same drawing on a raster.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPainterPath>
#include <QPdfWriter>
#include <QProcess>

#include "emf/emf_device.h"
#include "emf/emf_player.h"
#include "emf/emf_records.h"
#include "emf_test_drawing.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using emftest::kHeightPx;
using emftest::kWidthPx;

::testing::AssertionResult colorNear(const QImage& image, QPointF at, QColor expected, int tol) {
  const QColor c = image.pixelColor(at.toPoint());
  const int d =
      std::max({std::abs(c.red() - expected.red()), std::abs(c.green() - expected.green()),
                std::abs(c.blue() - expected.blue())});
  if (d <= tol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "at (" << at.x() << "," << at.y() << ") got " << c.name().toStdString() << ", expected "
         << expected.name().toStdString();
}

// Dark-pixel bounding box and count inside `area`.
struct Ink {
  QRect box;
  int count = 0;
};
Ink inkIn(const QImage& image, const QRect& area) {
  Ink ink;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        ink.box |= QRect(x, y, 1, 1);
        ++ink.count;
      }
  return ink;
}

// Share of pixels whose colour differs by more than 64 in some channel.
double differingShare(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      if (std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q))}) > 64)
        ++differing;
    }
  return double(differing) / (a.width() * a.height());
}

bool fontsResolve() {
  return QFontInfo(QFont(QStringLiteral("Liberation Sans"))).family() ==
             QLatin1String("Liberation Sans") &&
         QFontInfo(QFont(QStringLiteral("Carlito"))).family() == QLatin1String("Carlito");
}

}  // namespace

TEST(EmfRoundTrip, ShapesMatchTheRasterDrawingAtProbePointsAtOneAndThreeTimesTheSize) {
  const QByteArray emf = emftest::sceneEmf();
  for (int scale : {1, 3}) {
    SCOPED_TRACE(scale);
    const QImage played = emf::rasterizeEmf(emf, QSize(kWidthPx * scale, kHeightPx * scale));
    ASSERT_FALSE(played.isNull());
    const QImage raster = emftest::sceneRaster(scale);
    played.save(testenv::outputDir("emf") + QStringLiteral("/scene-played-%1x.png").arg(scale));
    raster.save(testenv::outputDir("emf") + QStringLiteral("/scene-raster-%1x.png").arg(scale));
    const struct {
      QPointF at;
      QColor color;
    } probes[] = {
        {{80, 45}, QColor(220, 0, 0)},      {{120, 150}, QColor(0, 0, 200)},
        {{28, 180}, QColor(0, 150, 0)},     {{40, 180}, Qt::white},   // dash, then gap
        {{320, 60}, QColor(255, 140, 0)},   {{263, 23}, Qt::white},   // ellipse, its corner
        {{367, 200}, QColor(120, 0, 160)},  {{330, 200}, Qt::white},  // ring, hole
        {{190, 80}, QColor(127, 127, 255)}, {{80, 130}, Qt::white},
    };
    for (const auto& probe : probes) {
      EXPECT_TRUE(colorNear(played, probe.at * scale, probe.color, 4));
      EXPECT_TRUE(colorNear(raster, probe.at * scale, probe.color, 4));
    }
    // The gradient runs from dark to light as on the raster.
    for (qreal x : {405.0, 435.0, 465.0})
      EXPECT_TRUE(colorNear(played, QPointF(x, 140) * scale,
                            raster.pixelColor((QPointF(x, 140) * scale).toPoint()), 16));
    EXPECT_LT(differingShare(played, raster), 0.01);
  }
}

TEST(EmfRoundTrip, TextKeepsItsPlaceAndSizePlainAndRotated) {
  MORVANE_REQUIRE(fontsResolve(), "Liberation Sans and Carlito fonts");
  const QByteArray emf = emftest::sceneEmf();
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    const QImage played = emf::rasterizeEmf(emf, QSize(kWidthPx * scale, kHeightPx * scale));
    const QImage raster = emftest::sceneRaster(scale);
    ASSERT_FALSE(played.isNull());
    const QRect areas[] = {QRect(10, 215, 200, 35), QRect(425, 200, 50, 115)};
    for (const QRect& area : areas) {
      const QRect scaled(area.topLeft() * scale, area.size() * scale);
      const Ink want = inkIn(raster, scaled);
      const Ink got = inkIn(played, scaled);
      ASSERT_GT(want.count, 40 * scale);
      EXPECT_NEAR(got.count, want.count, want.count * 0.15);
      EXPECT_NEAR(got.box.left(), want.box.left(), 2 * scale);
      EXPECT_NEAR(got.box.right(), want.box.right(), 2 * scale);
      EXPECT_NEAR(got.box.top(), want.box.top(), 2 * scale);
      EXPECT_NEAR(got.box.bottom(), want.box.bottom(), 2 * scale);
    }
  }
}

TEST(EmfRoundTrip, PlaysIntoATargetRectangleAndStaysInsideIt) {
  const QByteArray emf = emftest::sceneEmf();
  QImage canvas(800, 600, QImage::Format_RGB32);
  canvas.fill(QColor(200, 200, 200));
  QPainter painter(&canvas);
  const QRectF target(100, 50, 240, 160);  // half size
  ASSERT_TRUE(emf::playEmf(emf, painter, target));
  painter.end();
  EXPECT_TRUE(colorNear(canvas, QPointF(100 + 40, 50 + 22), QColor(220, 0, 0), 6));
  // The doughnut's hole is a hole: the canvas shows through.
  EXPECT_TRUE(colorNear(canvas, QPointF(100 + 165, 50 + 100), QColor(200, 200, 200), 2));
  EXPECT_TRUE(colorNear(canvas, QPointF(100 + 183, 50 + 100), QColor(120, 0, 160), 6));
  EXPECT_TRUE(colorNear(canvas, QPointF(99, 49), QColor(200, 200, 200), 0));
  EXPECT_TRUE(colorNear(canvas, QPointF(341, 211), QColor(200, 200, 200), 0));
}

TEST(EmfRoundTrip, ClipsToRectanglesAndShapesAndDropsTheClip) {
  emf::EmfDevice device(QSizeF(150, 75));  // 200 x 100 px
  QPainter p(&device);
  p.setClipRect(QRectF(0, 0, 50, 50));
  p.fillRect(QRectF(0, 0, 100, 100), Qt::red);
  QPainterPath circle;
  circle.addEllipse(QPointF(150, 50), 30, 30);
  p.setClipPath(circle);
  p.fillRect(QRectF(100, 0, 100, 100), Qt::blue);
  p.setClipping(false);
  p.fillRect(QRectF(60, 80, 20, 20), Qt::green);
  p.end();
  const QImage played = emf::rasterizeEmf(device.finish(), QSize(200, 100));
  ASSERT_FALSE(played.isNull());
  EXPECT_TRUE(colorNear(played, {25, 25}, Qt::red, 4));
  EXPECT_TRUE(colorNear(played, {75, 75}, Qt::white, 4));
  EXPECT_TRUE(colorNear(played, {150, 50}, Qt::blue, 4));
  EXPECT_TRUE(colorNear(played, {110, 10}, Qt::white, 4));  // outside the circle
  EXPECT_TRUE(colorNear(played, {70, 90}, Qt::green, 4));
}

TEST(EmfRoundTrip, DrawnImagesComeBackAsPictures) {
  QImage tile(2, 2, QImage::Format_ARGB32);
  tile.setPixelColor(0, 0, Qt::red);
  tile.setPixelColor(1, 0, Qt::green);
  tile.setPixelColor(0, 1, Qt::blue);
  tile.setPixelColor(1, 1, QColor(0, 0, 0, 0));  // transparent: white in the metafile
  emf::EmfDevice device(QSizeF(75, 75));         // 100 x 100 px
  QPainter p(&device);
  p.drawImage(QRectF(10, 10, 80, 80), tile);
  p.end();
  const QImage played = emf::rasterizeEmf(device.finish(), QSize(100, 100));
  ASSERT_FALSE(played.isNull());
  EXPECT_TRUE(colorNear(played, {15, 15}, Qt::red, 4));
  EXPECT_TRUE(colorNear(played, {85, 15}, Qt::green, 4));
  EXPECT_TRUE(colorNear(played, {15, 85}, Qt::blue, 4));
  EXPECT_TRUE(colorNear(played, {85, 85}, Qt::white, 4));
  EXPECT_TRUE(colorNear(played, {5, 5}, Qt::white, 0));
}

namespace {

// Transforms and brushes the metafile cannot state directly: rotated and stretched shapes,
// a pen under a non-uniform scale, a hairline, a radial gradient, a hatch, sheared text.
void drawTransformedScene(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  p.save();
  p.translate(80, 60);
  p.rotate(30);
  p.setPen(QPen(Qt::darkBlue, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(QColor(0, 180, 180));
  p.drawRect(QRectF(-40, -25, 80, 50));
  p.restore();
  p.save();
  p.translate(200, 40);
  p.scale(3, 1);  // the pen is three times wider across than along
  p.setPen(QPen(QColor(150, 0, 0), 4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(-15, 0, 30, 50));
  p.restore();
  p.setPen(QPen(Qt::black, 0));  // hairline
  p.drawLine(QPointF(10, 150), QPointF(300, 150));
  QRadialGradient radial(QPointF(360, 60), 50);
  radial.setColorAt(0, Qt::yellow);
  radial.setColorAt(1, QColor(0, 0, 120));
  p.setPen(Qt::NoPen);
  p.setBrush(radial);
  p.drawEllipse(QPointF(360, 60), 50, 50);
  p.setBrush(QBrush(QColor(0, 120, 0), Qt::CrossPattern));
  p.drawRect(QRectF(20, 170, 120, 40));
  p.setBrush(QBrush(QColor(120, 0, 0), Qt::DiagCrossPattern));
  p.drawRect(QRectF(150, 165, 60, 45));
  p.setPen(Qt::black);
  QFont sans(QStringLiteral("Liberation Sans"));
  sans.setPixelSize(24);
  p.setFont(sans);
  p.setTransform(QTransform(1, 0, -0.4, 1, 0, 0), true);  // sheared: drawn as outlines
  p.drawText(QPointF(300, 200), QStringLiteral("Slant"));
}

}  // namespace

TEST(EmfRoundTrip, TransformedShapesStretchedPensAndGradientsMatchTheRaster) {
  emf::EmfDevice device(QSizeF(330, 165));  // 440 x 220 px
  QPainter painter(&device);
  drawTransformedScene(painter);
  painter.end();
  const QByteArray emf = device.finish();
  QImage raster(440, 220, QImage::Format_RGB32);
  raster.fill(Qt::white);
  QPainter rp(&raster);
  drawTransformedScene(rp);
  rp.end();
  const QImage played = emf::rasterizeEmf(emf, QSize(440, 220));
  ASSERT_FALSE(played.isNull());
  played.save(testenv::outputDir("emf") + QStringLiteral("/transformed-played.png"));
  raster.save(testenv::outputDir("emf") + QStringLiteral("/transformed-raster.png"));
  EXPECT_TRUE(colorNear(played, {80, 60}, QColor(0, 180, 180), 4));  // rotated rectangle
  EXPECT_TRUE(colorNear(played, {30, 110}, Qt::white, 4));           // beside it
  EXPECT_TRUE(
      colorNear(played, {155, 65}, QColor(150, 0, 0), 4));  // wide side of the stretched pen
  EXPECT_TRUE(colorNear(played, {200, 41}, raster.pixelColor(200, 41), 30));  // its thin side
  EXPECT_TRUE(colorNear(played, {200, 46}, Qt::white, 4));
  EXPECT_TRUE(colorNear(played, {360, 60}, raster.pixelColor(360, 60), 12));
  EXPECT_TRUE(colorNear(played, {395, 60}, raster.pixelColor(395, 60), 12));
  EXPECT_LT(qGray(played.pixel(150, 150)), 160);  // the hairline
  EXPECT_LT(differingShare(played, raster), 0.01);
}

TEST(EmfRoundTrip, OfficeFaceNamesAreKeptAndPlayWithTheirMetricTwins) {
  MORVANE_REQUIRE(QFontInfo(QFont(QStringLiteral("Calibri"))).family() == QLatin1String("Carlito"),
                  "Calibri resolving to Carlito through fontconfig");
  const auto draw = [](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QFont calibri(QStringLiteral("Calibri"));
    calibri.setPointSizeF(14);
    p.setFont(calibri);
    p.drawText(QPointF(10, 40), QStringLiteral("Calibri stays Calibri"));
  };
  emf::EmfDevice device(QSizeF(180, 45));  // 240 x 60 px
  QPainter painter(&device);
  draw(painter);
  painter.end();
  const QByteArray emf = device.finish();
  // The face the caller asked for is what another program will look for.
  EXPECT_TRUE(emf.contains(QByteArray(reinterpret_cast<const char*>(u"Calibri"), 14)));
  EXPECT_FALSE(emf.contains(QByteArray(reinterpret_cast<const char*>(u"Carlito"), 14)));
  QImage raster(240, 60, QImage::Format_RGB32);
  raster.fill(Qt::white);
  QPainter rp(&raster);
  draw(rp);
  rp.end();
  const QImage played = emf::rasterizeEmf(emf, QSize(240, 60));
  ASSERT_FALSE(played.isNull());
  const Ink want = inkIn(raster, raster.rect()), got = inkIn(played, played.rect());
  ASSERT_GT(want.count, 100);
  EXPECT_NEAR(got.count, want.count, want.count * 0.15);
  EXPECT_NEAR(got.box.right(), want.box.right(), 2);
}

TEST(EmfRoundTrip, CharactersTheFontLacksPlayThroughFallbackFonts) {
  MORVANE_REQUIRE(fontsResolve(), "Liberation Sans and Carlito fonts");
  const auto draw = [](QPainter& p) {
    QFont sans(QStringLiteral("Liberation Sans"));
    sans.setPixelSize(40);
    p.setFont(sans);
    p.drawText(QPointF(10, 50), QStringLiteral("A\u2713"));  // the check mark is not in Liberation
  };
  emf::EmfDevice device(QSizeF(90, 48));  // 120 x 64 px
  QPainter painter(&device);
  draw(painter);
  painter.end();
  const QByteArray emf = device.finish();
  const auto records = emf::parseEmfRecords(emf);
  ASSERT_TRUE(records);
  QStringList texts;
  for (const auto& r : *records)
    if (!r.text.isEmpty()) texts << r.text;
  EXPECT_EQ(texts.join(QString()), QStringLiteral("A\u2713"));
  QImage raster(120, 64, QImage::Format_RGB32);
  raster.fill(Qt::white);
  QPainter rp(&raster);
  draw(rp);
  rp.end();
  const QImage played = emf::rasterizeEmf(emf, QSize(120, 64));
  ASSERT_FALSE(played.isNull());
  const QRect mark(40, 0, 80, 64);
  const Ink want = inkIn(raster, mark), got = inkIn(played, mark);
  ASSERT_GT(want.count, 50);
  EXPECT_NEAR(got.count, want.count, want.count * 0.25);
  EXPECT_NEAR(got.box.center().x(), want.box.center().x(), 3);
}

TEST(EmfRoundTrip, PlayedIntoAPdfTheTextStaysTextAndNothingBecomesAnImage) {
  MORVANE_REQUIRE(!testenv::findTool(QStringLiteral("pdftotext")).isEmpty() &&
                      !testenv::findTool(QStringLiteral("pdfimages")).isEmpty(),
                  "poppler-utils (pdftotext, pdfimages)");
  MORVANE_REQUIRE(fontsResolve(), "Liberation Sans and Carlito fonts");
  const QString pdfPath = testenv::outputDir(QStringLiteral("emf")) + QStringLiteral("/scene.pdf");
  {
    QPdfWriter pdf(pdfPath);
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(360, 240), QPageSize::Point),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    ASSERT_TRUE(
        emf::playEmf(emftest::sceneEmf(), painter, QRectF(0, 0, pdf.width(), pdf.height())));
  }
  const auto run = [](const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(testenv::findTool(tool), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
  };
  const QString text = run(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
  EXPECT_TRUE(text.contains(QStringLiteral("Revenue 2024"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Q1 sales"))) << text.toStdString();
  const QStringList images = run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdfPath})
                                 .split('\n', Qt::SkipEmptyParts);
  EXPECT_EQ(images.size(), 2) << images.join('\n').toStdString();  // the table's two header lines
}
