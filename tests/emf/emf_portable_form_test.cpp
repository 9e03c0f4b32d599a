// Font records as other readers pick fonts by them: the requested family with its pitch and
// family and a character set.
#include <gtest/gtest.h>

#include "emf/emf_device.h"
#include "emf/emf_format.h"
#include "emf/font_stand_ins.h"
#include "emf_test_drawing.h"

using namespace morvane;

namespace {

using emftest::recordsOfType;

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

}  // namespace
