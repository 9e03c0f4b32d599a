// Automatic colours of the program's chart styles, and the office font substitutions.
#include "render/chart/chart_style.h"

#include <gtest/gtest.h>

#include <QFontInfo>

#include "emf/font_stand_ins.h"
#include "render/chart/chart_text.h"

using namespace morvane;

namespace {

TEST(ChartStyle, StyleNumbersPickVariantAndColourScheme) {
  EXPECT_EQ(render::chart::styleInfo(2).scheme, 1);
  EXPECT_EQ(render::chart::styleInfo(2).variant, 0);
  EXPECT_EQ(render::chart::styleInfo(11).scheme, 2);  // accent 1 shades
  EXPECT_EQ(render::chart::styleInfo(37).scheme, 4);  // accent 3 shades, tinted plot area
  EXPECT_EQ(render::chart::styleInfo(37).variant, 4);
  EXPECT_EQ(render::chart::styleInfo(48).variant, 5);
  EXPECT_EQ(render::chart::styleInfo(0).scheme, render::chart::styleInfo(1).scheme)
      << "out of range clamps";
}

TEST(ChartStyle, ColourfulStylesCycleTheAccentsThenDarken) {
  const ooxml::chart::Theme t = ooxml::chart::defaultTheme();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(render::chart::autoSeriesColor(t, 2, i, 8), t.accent(i));
  const QColor seventh = render::chart::autoSeriesColor(t, 2, 6, 8);
  EXPECT_NE(seventh, t.accent(0));
  EXPECT_LT(seventh.lightness(), t.accent(0).lightness());
  EXPECT_EQ(render::chart::autoSeriesColor(t, 26, 1, 3), t.accent(1));
}

TEST(ChartStyle, MonochromeStylesRunFromDarkToLight) {
  const ooxml::chart::Theme t = ooxml::chart::defaultTheme();
  EXPECT_EQ(render::chart::autoSeriesColor(t, 3, 0, 1), t.accent(0))
      << "one series keeps the accent";
  int last = -1;
  for (int i = 0; i < 5; ++i) {
    const QColor c = render::chart::autoSeriesColor(t, 13, i, 5);
    EXPECT_GT(c.lightness(), last) << i;
    last = c.lightness();
  }
  const QColor grey = render::chart::autoSeriesColor(t, 1, 0, 1);
  EXPECT_EQ(grey.red(), grey.green());
  EXPECT_EQ(grey.green(), grey.blue());
}

TEST(ChartStyle, ExplicitFillsAndLinesBeatTheStyle) {
  ooxml::chart::Fill fill;
  fill.kind = ooxml::chart::Fill::Kind::Solid;
  fill.color = ooxml::chart::DrawingColor::fromRgb(QColor("#5ABA10"));
  const ooxml::chart::Theme t = ooxml::chart::defaultTheme();
  EXPECT_EQ(render::chart::brushForFill(fill, t, QBrush(Qt::red)).color(), QColor("#5ABA10"));
  fill.kind = ooxml::chart::Fill::Kind::None;
  EXPECT_EQ(render::chart::brushForFill(fill, t, QBrush(Qt::red)).style(), Qt::NoBrush);
  fill.kind = ooxml::chart::Fill::Kind::Unset;
  EXPECT_EQ(render::chart::brushForFill(fill, t, QBrush(Qt::red)).color(), QColor(Qt::red));
  ooxml::chart::LineFormat line;
  line.widthPt = 3;
  line.dash = "dash";
  const QPen pen = render::chart::penForLine(line, t, QPen(Qt::blue, 1));
  EXPECT_EQ(pen.color(), QColor(Qt::blue));
  EXPECT_DOUBLE_EQ(pen.widthF(), 3);
  EXPECT_EQ(pen.style(), Qt::CustomDashLine);
  line.fill.kind = ooxml::chart::Fill::Kind::None;
  EXPECT_EQ(render::chart::penForLine(line, t, QPen(Qt::blue, 1)).style(), Qt::NoPen);
}

// Qt falls back silently to another family, so each substitute must really be installed; the
// style keeps naming the office family, for the pictures we write.
TEST(ChartText, OfficeFontsResolveToInstalledSubstitutes) {
  const std::pair<const char*, const char*> cases[] = {
      {"Calibri", "Carlito"},
      {"Cambria", "Caladea"},
      {"Arial", "Liberation Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
  };
  for (const auto& [office, open] : cases) {
    EXPECT_EQ(emf::standInFamily(office), open);
    const render::chart::TextStyle style = render::chart::makeTextStyle(
        ooxml::chart::defaultTheme(),
        ooxml::chart::TextFormat{std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                 std::nullopt, office},
        10, false, Qt::black);
    EXPECT_EQ(QFontInfo(style.font).family(), open) << office;
    EXPECT_EQ(style.font.family(), office);
  }
  EXPECT_EQ(emf::standInFamily("DejaVu Sans"), "DejaVu Sans");
}

TEST(ChartText, MeasuresInPoints) {
  render::chart::TextStyle style = render::chart::makeTextStyle(
      ooxml::chart::defaultTheme(), ooxml::chart::TextFormat(), 10, false, Qt::black);
  const QSizeF one = render::chart::measureText(style, "Batch 1");
  EXPECT_GT(one.height(), 10);
  EXPECT_LT(one.height(), 15);
  EXPECT_NEAR(render::chart::measureText(style, "Batch 1\nBatch 2").height(), 2 * one.height(),
              0.01);
  style.rotationDeg = -90;
  const QSizeF turned = render::chart::measureRotated(style, "Batch 1");
  EXPECT_NEAR(turned.width(), one.height(), 0.01);
  EXPECT_NEAR(turned.height(), one.width(), 0.01);
}

}  // namespace
