// Effects on series shapes, as the file's a:effectLst and a:sp3d or the chart style ask:
// sampled on the picture beside the bar they belong to, and drawn on the metafile device as
// solid shapes only (no bitmap record).
#include <gtest/gtest.h>

#include <QPainter>

#include "emf/emf_device.h"
#include "emf/emf_format.h"
#include "emf/emf_records.h"
#include "inline_chart.h"
#include "render/chart/chart_renderer.h"
#include "render/chart/chart_style.h"

using namespace morvane;

namespace {

struct EffectCase {
  const char* name;
  int style;
  const char* spPr;      // the series' c:spPr content
  QPointF sample;        // where to look: fractions of the bar's box (outside when < 0 or > 1)
  QPointF sampleOffset;  // and this many points further
  const char* expect;    // "shadow", "glow", "lighter", "darker", "background", "face"
  bool threeD = false;   // a 3-D column (sampled round its front faces), with a legend whose
                         // key is sampled too ("key" + the expectation)
  const char* shape = "box";  // the 3-D column's
};

void PrintTo(const EffectCase& c, std::ostream* os) { *os << c.name; }

ooxml::chart::ChartModel columnChart(const EffectCase& c) {
  return charttest::chartFromXml(
      QString("%3<c:plotArea><c:%2><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>%1"
              "<c:gapWidth val=\"300\"/>%5<c:axId val=\"1\"/><c:axId val=\"2\"/></c:%2>"
              "<c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId "
              "val=\"2\"/><c:crossAx val=\"1\"/></c:valAx></c:plotArea>%4")
          .arg(charttest::series(0, "s", charttest::strRef({"a"}), charttest::numRef({10}),
                                 QString("<c:spPr>%1</c:spPr>").arg(c.spPr)),
               c.threeD ? "bar3DChart" : "barChart",
               c.threeD ? "<c:view3D><c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx "
                          "val=\"1\"/></c:view3D>"
                        : "",
               c.threeD ? "<c:legend><c:legendPos val=\"r\"/></c:legend>" : "",
               c.threeD ? QString("<c:shape val=\"%1\"/>").arg(c.shape) : QString()),
      QString("<c:style val=\"%1\"/>").arg(c.style));
}

int spread(const QColor& c) {
  return std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()});
}

class ChartEffects : public ::testing::TestWithParam<EffectCase> {};

}  // namespace

TEST_P(ChartEffects, DrawnAroundTheShapeInSolidColours) {
  const EffectCase& c = GetParam();
  const ooxml::chart::ChartModel chart = columnChart(c);
  const render::chart::ChartLayout l = charttest::layOut(chart);
  ASSERT_EQ(l.series.size(), 1u);
  QRectF bar = l.series.front().points.front().bar;
  if (c.threeD) {
    bar = QRectF();
    for (const render::chart::Face3D& f : l.scene.faces)
      if (f.kind == render::chart::Face3D::Kind::Front) bar |= f.polygon.boundingRect();
    ASSERT_EQ(l.legend.size(), 1u);
    // The legend's key: a column of a few points, sampled as the bar is.
    const QRectF key = l.legend.front().keyRect;
    if (std::string(c.expect).rfind("key", 0) == 0) bar = key;
  }
  ASSERT_GT(bar.width(), std::string(c.expect).rfind("key", 0) == 0 ? 4 : 20);
  const QImage image = charttest::picture(chart);
  charttest::savePng(image, "chart-effects", c.name);
  const QColor face = charttest::pixelAt(image, bar.center());
  const QPointF at = bar.topLeft() +
                     QPointF(bar.width() * c.sample.x(), bar.height() * c.sample.y()) +
                     c.sampleOffset;
  const QColor seen = charttest::pixelAt(image, at);
  std::string expect = c.expect;
  if (expect.rfind("key", 0) == 0) expect = expect.substr(3);
  SCOPED_TRACE(seen.name().toStdString() + " against the face " + face.name().toStdString());
  if (expect == "shadow") {
    EXPECT_LT(seen.lightness(), 235);
    EXPECT_LT(spread(seen), 12);  // a grey, not the bar's colour
  } else if (expect == "glow") {
    EXPECT_GT(seen.red() - seen.green(), 40);
  } else if (expect == "lighter") {
    EXPECT_GT(seen.lightness(), face.lightness() + 8);
  } else if (expect == "darker") {
    EXPECT_LT(seen.lightness(), face.lightness() - 8);
  } else if (expect == "background") {
    EXPECT_TRUE(charttest::sameColour(seen, Qt::white, 3));
  } else {
    // Nearly solid: the face's middle is the series colour within a few levels.
    const QColor own = render::chart::autoSeriesColor(ooxml::chart::defaultTheme(), c.style, 0, 1);
    EXPECT_TRUE(charttest::sameColour(face, own, 10)) << own.name().toStdString();
  }
  // The metafile: the effects as shapes, never a picture.
  emf::EmfDevice device(QSizeF(360, 216));
  {
    QPainter painter(&device);
    painter.scale(96.0 / 72.0, 96.0 / 72.0);
    render::chart::drawChart(painter, QRectF(0, 0, 360, 216), chart, ooxml::chart::defaultTheme());
  }
  const auto records = emf::parseEmfRecords(device.finish());
  ASSERT_TRUE(records);
  for (const emf::EmfRecord& r : *records) {
    EXPECT_NE(r.type, emf::record::StretchDiBits);
    EXPECT_NE(r.type, emf::record::CreateDibPatternBrushPt);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Effects, ChartEffects,
    ::testing::Values(
        // 6 pt towards the bottom right, 60 % black: grey beyond the bar's bottom right corner.
        EffectCase{
            "outerShadow",
            2,
            "<a:solidFill><a:schemeClr val=\"accent1\"/></a:solidFill><a:effectLst>"
            "<a:outerShdw blurRad=\"25400\" dist=\"76200\" dir=\"2700000\"><a:srgbClr "
            "val=\"000000\"><a:alpha val=\"60000\"/></a:srgbClr></a:outerShdw></a:effectLst>",
            {1, 0.5},
            {3, 3},
            "shadow"},
        EffectCase{"glow",
                   2,
                   "<a:effectLst><a:glow rad=\"101600\"><a:srgbClr val=\"FF0000\"><a:alpha "
                   "val=\"60000\"/></a:srgbClr></a:glow></a:effectLst>",
                   {0, 0.5},
                   {-3, 0},
                   "glow"},
        EffectCase{"softEdges",
                   2,
                   "<a:effectLst><a:softEdge rad=\"127000\"/></a:effectLst>",
                   {0, 0.5},
                   {0.8, 0},
                   "lighter"},
        EffectCase{"bevelLitTop",
                   2,
                   "<a:sp3d><a:bevelT w=\"101600\" h=\"25400\"/></a:sp3d>",
                   {0.5, 0},
                   {0, 1.5},
                   "lighter"},
        EffectCase{"bevelShadedBottom",
                   2,
                   "<a:sp3d><a:bevelT w=\"101600\" h=\"25400\"/></a:sp3d>",
                   {0.5, 1},
                   {0, -1.5},
                   "darker"},
        EffectCase{"style30ShadowBelow", 30, "", {0.5, 1}, {0, 1.6}, "shadow"},
        EffectCase{"style30NearlySolid", 30, "", {0.5, 0.5}, {0, 0}, "face"},
        EffectCase{"style22NearlySolid", 22, "", {0.5, 0.5}, {0, 0}, "face"},
        EffectCase{"style30EffectsOff", 30, "<a:effectLst/>", {0.5, 1}, {0, 1.6}, "background"},
        EffectCase{"style38Outline", 38, "", {0, 0.5}, {0.2, 0}, "darker"},
        // 3-D columns: a shadow and glow round the solid, box or round, a bevel on each face, the
        // legend's key bevelled as its series.
        EffectCase{"glow3D",
                   2,
                   "<a:effectLst><a:glow rad=\"101600\"><a:srgbClr val=\"FF0000\"><a:alpha "
                   "val=\"60000\"/></a:srgbClr></a:glow></a:effectLst>",
                   {0, 0.5},
                   {-3, 0},
                   "glow",
                   true},
        EffectCase{"bevel3DLitTop",
                   2,
                   "<a:sp3d><a:bevelT w=\"101600\" h=\"25400\"/></a:sp3d>",
                   {0.5, 0},
                   {0, 1.5},
                   "lighter",
                   true},
        EffectCase{"glowCylinder",
                   2,
                   "<a:effectLst><a:glow rad=\"101600\"><a:srgbClr val=\"FF0000\"><a:alpha "
                   "val=\"60000\"/></a:srgbClr></a:glow></a:effectLst>",
                   {0, 0.5},
                   {-6, 0},  // beyond the round side, which reaches past the front strips
                   "glow",
                   true,
                   "cylinder"},
        EffectCase{"bevel3DKeyLitTop",
                   2,
                   "<a:sp3d><a:bevelT w=\"101600\" h=\"25400\"/></a:sp3d>",
                   {0.5, 0},
                   {0, 0.6},
                   "keylighter",
                   true}),
    [](const auto& info) { return std::string(info.param.name); });
