// What the portable form writes for other readers: no pens and no pattern brushes, font records
// that name the requested family with its pitch, family and character set, and gradients in
// every coordinate mode banded where the raster draws them.
#include <gtest/gtest.h>

#include <QLinearGradient>

#include "emf/emf_device.h"
#include "emf/emf_format.h"
#include "emf/emf_player.h"
#include "emf/font_stand_ins.h"
#include "emf_test_drawing.h"

using namespace morvane;

namespace {

using emftest::fieldAt;
using emftest::recordsOfType;

TEST(EmfPortableForm, StrokesAreFilledOutlinesAndNoPenOrPatternBrushIsCreated) {
  const QByteArray emf = emftest::sceneEmf();
  for (quint32 type :
       {emf::record::CreatePen, emf::record::ExtCreatePen, emf::record::CreateDibPatternBrushPt})
    EXPECT_TRUE(recordsOfType(emf, type).empty()) << type;
  EXPECT_GE(recordsOfType(emf, emf::record::PolyPolygon16).size(), 2u);  // outline rings
}

// A pattern over a huge area would take millions of pieces: it becomes its average colour.
TEST(EmfPortableForm, PatternsOverHugeAreasFallBackToTheirAverageColour) {
  QImage stripes(8, 8, QImage::Format_RGB32);
  stripes.fill(Qt::white);
  for (int x = 0; x < 8; ++x) stripes.setPixel(x, 0, qRgb(0, 0, 0));
  emf::EmfDevice device(QSizeF(30000, 30000));
  {
    QPainter p(&device);
    p.fillRect(QRectF(0, 0, 40000, 40000), QBrush(stripes));
  }
  const QByteArray emf = device.finish();
  EXPECT_LT(emf.size(), 2048);
  const auto brushes = recordsOfType(emf, emf::record::CreateBrushIndirect);
  ASSERT_EQ(brushes.size(), 1u);
  EXPECT_EQ(fieldAt(emf, brushes.front() + 16), 0xDFDFDFu);  // 7/8 white, 1/8 black
}

struct FontCase {
  const char* family;
  const char* text;
  quint8 pitchAndFamily;
  quint8 charSet;
};

class EmfFontRecords : public ::testing::TestWithParam<FontCase> {};

// Text drawn with the renderers' font (requested family first, stand-in behind it) names the
// requested family; Windows picks a font by face, pitch and family, and character set.
TEST_P(EmfFontRecords, NameTheRequestedFamilyWithItsPitchFamilyAndCharacterSet) {
  const FontCase c = GetParam();
  QFont font = emf::officeFont(QString::fromUtf8(c.family));
  font.setPixelSize(16);
  emf::EmfDevice device(QSizeF(150, 30));
  {
    QPainter p(&device);
    p.setFont(font);
    p.drawText(QPointF(4, 24), QString::fromUtf8(c.text));
  }
  const QByteArray emf = device.finish();
  const auto fonts = recordsOfType(emf, emf::record::ExtCreateFontIndirectW);
  ASSERT_EQ(fonts.size(), 1u);
  const qsizetype at = fonts.front();
  EXPECT_EQ(emftest::fontFace(emf, at), QString::fromUtf8(c.family));
  EXPECT_EQ(quint8(emf.at(at + 35)), c.charSet);
  EXPECT_EQ(quint8(emf.at(at + 39)), c.pitchAndFamily);
}

INSTANTIATE_TEST_SUITE_P(
    Families, EmfFontRecords,
    ::testing::Values(FontCase{"Calibri", "Revenue", 0x22, 0},
                      FontCase{"Cambria", "Total", 0x12, 0},
                      FontCase{"Courier New", "x = 1", 0x31, 0},
                      FontCase{"Arial", "Σύνολο", 0x22, 161},
                      FontCase{"Times New Roman", "Итого", 0x12, 204},
                      FontCase{"Calibri", "データ", 0x22, 128},  // kana: Japanese
                      FontCase{"Calibri", "销售额", 0x22, 134},  // Han alone: Chinese
                      FontCase{"Wingdings", "ab", 0x02, 2},
                      FontCase{"Verdana", "Plain", 0x02, 0},  // neither known nor fixed
                      FontCase{"DejaVu Sans Mono", "x = 1", 0x31, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct GradientCase {
  const char* name;
  QGradient::CoordinateMode mode;
  QTransform brushTransform;
};

class EmfGradientModes : public ::testing::TestWithParam<GradientCase> {};

// The chart renderer's gradients span each shape's box (ObjectMode); every mode lands where the
// raster puts it.
TEST_P(EmfGradientModes, BandsFollowTheRaster) {
  const GradientCase c = GetParam();
  const QRectF rect(20, 10, 200, 100);
  const auto draw = [&](QPainter& p) {
    const bool logical = c.mode == QGradient::LogicalMode;
    QLinearGradient g(logical ? rect.topLeft() : QPointF(0, 0),
                      logical ? rect.topRight() : QPointF(1, 0));
    g.setCoordinateMode(c.mode);
    g.setColorAt(0, QColor(200, 0, 0));
    g.setColorAt(0.5, QColor(240, 240, 100));
    g.setColorAt(1, QColor(0, 0, 200));
    QBrush brush(g);
    brush.setTransform(c.brushTransform);
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawRect(rect);
  };
  emf::EmfDevice device(QSizeF(180, 90));  // 240 x 120 px
  {
    QPainter p(&device);
    draw(p);
  }
  QImage raster(240, 120, QImage::Format_RGB32);
  raster.fill(Qt::white);
  {
    QPainter p(&raster);
    draw(p);
  }
  const QImage played = emf::rasterizeEmf(device.finish(), raster.size());
  ASSERT_FALSE(played.isNull());
  for (int x = 25; x < 220; x += 15)
    for (int y = 15; y < 110; y += 15) {
      const QColor a = played.pixelColor(x, y), b = raster.pixelColor(x, y);
      EXPECT_LE(std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                    std::abs(a.blue() - b.blue()),
                24)
          << "at " << x << "," << y << ": " << a.name().toStdString() << " vs "
          << b.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EmfGradientModes,
    ::testing::Values(GradientCase{"logical", QGradient::LogicalMode, QTransform()},
                      GradientCase{"bounding", QGradient::ObjectBoundingMode, QTransform()},
                      GradientCase{"object", QGradient::ObjectMode, QTransform()},
                      GradientCase{"object_turned", QGradient::ObjectMode,
                                   QTransform(0, 1, -1, 0, 1, 0)},
                      GradientCase{"bounding_shifted", QGradient::ObjectBoundingMode,
                                   QTransform::fromTranslate(40, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
