// Theme reading and DrawingML colour resolution.
#include "ooxml/chart/theme.h"

#include <gtest/gtest.h>

using namespace morvane;

namespace {

ooxml::chart::DrawingColor scheme(const char* name,
                                  std::vector<std::pair<QString, int>> mods = {}) {
  ooxml::chart::DrawingColor c = ooxml::chart::DrawingColor::fromScheme(name);
  c.modifiers = std::move(mods);
  return c;
}

TEST(Theme, DefaultIsTheOffice2007Theme) {
  const ooxml::chart::Theme t = ooxml::chart::defaultTheme();
  EXPECT_EQ(t.schemeColor("accent1"), QColor("#4F81BD"));
  EXPECT_EQ(t.schemeColor("tx2"), QColor("#1F497D"));
  EXPECT_EQ(t.schemeColor("bg1"), QColor(Qt::white));
  EXPECT_FALSE(t.schemeColor("accent7").isValid());
  EXPECT_EQ(t.accent(7), t.accent(1)) << "accents repeat";
  EXPECT_EQ(t.resolveFont("+mn-lt"), "Calibri");
  EXPECT_EQ(t.resolveFont("+mj-lt"), "Cambria");
  EXPECT_EQ(t.resolveFont("Arial"), "Arial");
}

TEST(Theme, ModifiersApplyInFileOrder) {
  const ooxml::chart::Theme t = ooxml::chart::defaultTheme();
  // The program's "accent1, darker 25%" and "lighter 40%".
  EXPECT_EQ(t.resolve(scheme("accent1", {{"lumMod", 75000}})), QColor("#376092"));
  const QColor lighter = t.resolve(scheme("accent1", {{"lumMod", 60000}, {"lumOff", 40000}}));
  EXPECT_NEAR(lighter.red(), 0x95, 2);
  EXPECT_NEAR(lighter.green(), 0xB3, 2);
  EXPECT_NEAR(lighter.blue(), 0xD7, 2);
  const QColor half = t.resolve(scheme("accent2", {{"alpha", 50000}}));
  EXPECT_NEAR(half.alphaF(), 0.5, 0.01);
  EXPECT_EQ(t.resolve(scheme("tx1", {{"shade", 0}})), QColor(Qt::black));
  EXPECT_EQ(t.resolve(scheme("tx1", {{"tint", 0}})), QColor(Qt::white));
  EXPECT_EQ(t.resolve(scheme("phClr"), QColor(Qt::green)), QColor(Qt::green));
  EXPECT_FALSE(t.resolve(ooxml::chart::DrawingColor()).isValid());
}

TEST(Theme, ReadsColoursAndFontsAndKeepsDefaultsForGaps) {
  const QByteArray xml =
      "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" name=\"T\">"
      "<a:themeElements><a:clrScheme name=\"S\"><a:dk1><a:sysClr val=\"windowText\" lastClr=\"111111\"/>"
      "</a:dk1><a:accent1><a:srgbClr val=\"5B9BD5\"/></a:accent1><a:accent2><a:srgbClr val=\"zz\"/>"
      "</a:accent2></a:clrScheme><a:fontScheme name=\"F\"><a:majorFont><a:latin typeface=\"Calibri Light\"/>"
      "</a:majorFont><a:minorFont><a:latin typeface=\"Calibri\"/></a:minorFont></a:fontScheme>"
      "</a:themeElements></a:theme>";
  auto t = ooxml::chart::readThemeXml(xml, "/xl/theme/theme1.xml");
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(t->schemeColor("dk1"), QColor("#111111"));
  EXPECT_EQ(t->schemeColor("accent1"), QColor("#5B9BD5"));
  EXPECT_EQ(t->schemeColor("accent2"), QColor(Qt::black)) << "a bad literal falls back to black";
  EXPECT_EQ(t->schemeColor("accent3"), QColor("#9BBB59"));
  EXPECT_EQ(t->majorLatinFont, "Calibri Light");
  auto bad = ooxml::chart::readThemeXml("<a:theme", "/xl/theme/theme1.xml");
  EXPECT_FALSE(bad.ok());
}

}  // namespace
