// What the writer puts in the file: record kinds, objects, header fields; and that LibreOffice
// opens the result.
#include "emf/emf_records.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QtEndian>

#include "emf/emf_device.h"
#include "emf/emf_format.h"
#include "emf/emf_player.h"
#include "emf_test_drawing.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using emftest::fieldAt;
using emftest::fontFace;
using emftest::recordsOfType;

int countOf(const std::vector<emf::EmfRecord>& records, quint32 type) {
  return int(std::count_if(records.begin(), records.end(),
                           [type](const auto& r) { return r.type == type; }));
}

}  // namespace

TEST(EmfRecords, TextIsWrittenAsTextRecordsCarryingTheExactStrings) {
  const auto records = emf::parseEmfRecords(emftest::sceneEmf());
  ASSERT_TRUE(records);
  QStringList texts;
  for (const auto& r : *records)
    if (r.type == emf::record::ExtTextOutW) texts << r.text;
  EXPECT_EQ(texts, QStringList({QStringLiteral("Revenue 2024"), QStringLiteral("Q1 sales")}));
}

TEST(EmfRecords, ShapesAreVectorRecordsAndNoBitmapUnlessAnImageIsDrawn) {
  const auto records = emf::parseEmfRecords(emftest::sceneEmf(emf::EmfForm::GdiObjects));
  ASSERT_TRUE(records);
  EXPECT_EQ(records->front().type, emf::record::Header);
  EXPECT_EQ(records->back().type, emf::record::Eof);
  EXPECT_EQ(countOf(*records, emf::record::StretchDiBits), 0);
  EXPECT_GE(countOf(*records, emf::record::Polygon16), 1);      // the triangle
  EXPECT_GE(countOf(*records, emf::record::PolyPolygon16), 1);  // the doughnut, hole included
  EXPECT_EQ(countOf(*records, emf::record::Ellipse), 1);
  EXPECT_GE(countOf(*records, emf::record::Polyline16), 2);  // solid and dashed lines
  EXPECT_GE(countOf(*records, emf::record::Rectangle), 1);
  // Text is not drawn as glyph outlines: few polygons for a scene with 20 characters.
  EXPECT_LT(
      countOf(*records, emf::record::Polygon16) + countOf(*records, emf::record::PolyPolygon16),
      40);

  emf::EmfDevice device(QSizeF(30, 30));
  QPainter p(&device);
  QImage pixel(1, 1, QImage::Format_RGB32);
  pixel.fill(Qt::red);
  p.drawImage(QRectF(0, 0, 40, 40), pixel);
  p.end();
  const auto withImage = emf::parseEmfRecords(device.finish());
  ASSERT_TRUE(withImage);
  EXPECT_EQ(countOf(*withImage, emf::record::StretchDiBits), 1);
}

TEST(EmfRecords, FontsCarryFaceEmHeightWeightAndEscapement) {
  const QByteArray emf = emftest::sceneEmf();
  const auto fonts = recordsOfType(emf, emf::record::ExtCreateFontIndirectW);
  ASSERT_EQ(fonts.size(), 2u);
  for (qsizetype at : fonts) {
    const QString face = fontFace(emf, at);
    const qint32 height = qint32(fieldAt(emf, at + 12));
    const qint32 escapement = qint32(fieldAt(emf, at + 20));
    const qint32 weight = qint32(fieldAt(emf, at + 28));
    if (face == QLatin1String("Liberation Sans")) {
      EXPECT_EQ(height, -20 * emf::kUnitsPerPixel);
      EXPECT_EQ(escapement, 0);
      EXPECT_EQ(weight, 400);
    } else {
      EXPECT_EQ(face, QStringLiteral("Carlito"));
      EXPECT_EQ(height, -18 * emf::kUnitsPerPixel);
      EXPECT_EQ(escapement, 900);  // reads upwards
      EXPECT_EQ(weight, 700);
    }
  }
}

TEST(EmfRecords, PensBrushesAndBlendedColours) {
  const QByteArray emf = emftest::sceneEmf(emf::EmfForm::GdiObjects);
  bool dashed = false;
  for (qsizetype at : recordsOfType(emf, emf::record::ExtCreatePen)) {
    const quint32 style = fieldAt(emf, at + 28);
    if ((style & emf::kPsStyleMask) != emf::kPsDash) continue;
    dashed = true;
    EXPECT_EQ(fieldAt(emf, at + 32), quint32(4 * emf::kUnitsPerPixel));
    EXPECT_EQ(fieldAt(emf, at + 40), 0x009600u);  // green as COLORREF
    EXPECT_EQ(style & emf::kPsEndcapMask, emf::kPsEndcapFlat);
    EXPECT_TRUE(style & emf::kPsGeometric);
  }
  EXPECT_TRUE(dashed);
  // Blue at half opacity is stored as its blend onto white.
  bool blended = false;
  for (qsizetype at : recordsOfType(emf, emf::record::CreateBrushIndirect)) {
    const quint32 c = fieldAt(emf, at + 16);
    if ((c & 0xFF) >= 126 && (c & 0xFF) <= 128 && ((c >> 8) & 0xFF) >= 126 &&
        ((c >> 8) & 0xFF) <= 128 && (c >> 16) == 0xFF)
      blended = true;
  }
  EXPECT_TRUE(blended);
  // Objects are released before the end, so every handle slot is free again.
  const auto creates = recordsOfType(emf, emf::record::ExtCreatePen).size() +
                       recordsOfType(emf, emf::record::CreateBrushIndirect).size() +
                       recordsOfType(emf, emf::record::ExtCreateFontIndirectW).size();
  EXPECT_EQ(recordsOfType(emf, emf::record::DeleteObject).size(), creates);
}

TEST(EmfRecords, HeaderDescribesAFrameOfTheRequestedSizeAt96Dpi) {
  for (const QSizeF size : {QSizeF(360, 240), QSizeF(123.4, 56.7), QSizeF(720, 540)}) {
    emf::EmfDevice device(size);
    EXPECT_EQ(device.width(), qRound(size.width() * 96 / 72));
    EXPECT_EQ(device.height(), qRound(size.height() * 96 / 72));
    QPainter p(&device);
    p.drawLine(0, 0, 10, 10);
    p.end();
    const QByteArray emf = device.finish();
    const std::optional<QSizeF> frame = emf::emfFrameSizeInPoints(emf);
    ASSERT_TRUE(frame);
    EXPECT_NEAR(frame->width(), size.width(), 0.02);
    EXPECT_NEAR(frame->height(), size.height(), 0.02);
    EXPECT_EQ(fieldAt(emf, 40), emf::kSignature);
    EXPECT_EQ(fieldAt(emf, 48), quint32(emf.size()));
    EXPECT_EQ(fieldAt(emf, 52), quint32(emf::parseEmfRecords(emf)->size()));
    // Reference device pixels per millimetre give 96 dpi on both axes.
    EXPECT_NEAR(fieldAt(emf, 72) * 25.4 / fieldAt(emf, 80), 96.0, 1e-9);
    EXPECT_NEAR(fieldAt(emf, 76) * 25.4 / fieldAt(emf, 84), 96.0, 1e-9);
    const QString description = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(emf.constData() + fieldAt(emf, 64)), 9);
    EXPECT_EQ(description, QString::fromUtf8("Morvane©") + QChar());
  }
}

TEST(EmfRecords, FinishWaitsForThePainterAndEndsTheRecording) {
  emf::EmfDevice device(QSizeF(72, 72));
  QPainter p(&device);
  p.drawLine(0, 0, 50, 50);
  EXPECT_TRUE(device.finish().isEmpty());
  p.end();
  const QByteArray bytes = device.finish();
  EXPECT_TRUE(emf::parseEmfRecords(bytes));
  EXPECT_EQ(device.finish(), bytes);
  QPainter late;
  EXPECT_FALSE(late.begin(&device));
}

TEST(EmfRecords, LibreOfficeOpensTheMetafileAndShowsTheDrawing) {
  const QString loRender = testenv::sharedDir() + QStringLiteral("/tools/lo-render");
  MORVANE_REQUIRE(
      !testenv::findTool(QStringLiteral("soffice")).isEmpty() && QFile::exists(loRender),
      "LibreOffice (soffice) and lo-render");
  const QString dir = testenv::outputDir(QStringLiteral("emf"));
  const QString emfPath = dir + QStringLiteral("/scene.emf");
  QFile file(emfPath);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(emftest::sceneEmf());
  file.close();
  QFile::remove(dir + QStringLiteral("/scene.png"));
  QProcess lo;
  lo.start(loRender, {emfPath, dir});
  ASSERT_TRUE(lo.waitForFinished(240000));
  ASSERT_EQ(lo.exitCode(), 0) << lo.readAllStandardError().toStdString();
  const QImage png(dir + QStringLiteral("/scene.png"));
  ASSERT_FALSE(png.isNull());
  // LibreOffice places the picture on a page; find it by its ink and map our probes into it.
  const QImage raster = emftest::sceneRaster();
  const auto inkBox = [](const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 235 && qAlpha(image.pixel(x, y)) > 128)
          box |= QRect(x, y, 1, 1);
    return box;
  };
  const QRect want = inkBox(raster), got = inkBox(png);
  ASSERT_FALSE(got.isEmpty());
  EXPECT_NEAR(double(got.width()) / got.height(), double(want.width()) / want.height(), 0.03);
  const auto map = [&](QPointF p) {
    return QPoint(qRound(got.left() + (p.x() - want.left()) * got.width() / want.width()),
                  qRound(got.top() + (p.y() - want.top()) * got.height() / want.height()));
  };
  const auto near = [&](QPointF p, QColor c) {
    const QColor g = png.pixelColor(map(p));
    return std::abs(g.red() - c.red()) < 40 && std::abs(g.green() - c.green()) < 40 &&
           std::abs(g.blue() - c.blue()) < 40;
  };
  EXPECT_TRUE(near({80, 45}, QColor(220, 0, 0)));      // triangle
  EXPECT_TRUE(near({320, 60}, QColor(255, 140, 0)));   // ellipse
  EXPECT_TRUE(near({367, 200}, QColor(120, 0, 160)));  // ring
  EXPECT_TRUE(near({330, 200}, Qt::white));            // its hole
  EXPECT_TRUE(near({190, 80}, QColor(127, 127, 255)));
  EXPECT_TRUE(near({120, 150}, QColor(0, 0, 200)));
  // Both texts left ink where we drew them.
  const auto inkNear = [&](QRect area) {
    const QRect mapped(map(area.topLeft()), map(area.bottomRight()));
    int dark = 0;
    for (int y = mapped.top(); y <= mapped.bottom(); ++y)
      for (int x = mapped.left(); x <= mapped.right(); ++x) dark += qGray(png.pixel(x, y)) < 128;
    return dark;
  };
  EXPECT_GT(inkNear(QRect(15, 220, 150, 28)), 100);
  EXPECT_GT(inkNear(QRect(428, 220, 30, 90)), 80);
}

TEST(EmfRecords, CoordinatesBeyondSixteenBitsUseThirtyTwoBitRecords) {
  emf::EmfDevice device(QSizeF(1800, 150));  // 2400 x 200 px: 38400 logical units wide
  QPainter p(&device);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::blue);
  p.drawPolygon(QPolygonF({QPointF(2200, 20), QPointF(2380, 20), QPointF(2290, 180)}));
  p.setBrush(Qt::red);
  p.drawPolygon(QPolygonF({QPointF(20, 20), QPointF(200, 20), QPointF(110, 180)}));
  p.end();
  const QByteArray emf = device.finish();
  const auto records = emf::parseEmfRecords(emf);
  ASSERT_TRUE(records);
  EXPECT_EQ(countOf(*records, emf::record::Polygon), 1);    // far right: 32-bit points
  EXPECT_EQ(countOf(*records, emf::record::Polygon16), 1);  // near the origin: 16-bit
  const QImage played = emf::rasterizeEmf(emf, QSize(1200, 100));
  ASSERT_FALSE(played.isNull());
  EXPECT_EQ(played.pixelColor(1145, 40), QColor(Qt::blue));
  EXPECT_EQ(played.pixelColor(55, 40), QColor(Qt::red));
}
