// Our charts against the program's pictures of ../shared/fidelity-3d (3-D, surface, bubble, pie
// and doughnut charts): the plot (walls, floor and series, or slices), the title and the legend
// found by the same pixel probe in both, as fractions of the chart size; the shading of a bar's
// faces; and a contact sheet of ours beside theirs for people to look at
// (test-output/chart-fidelity-3d/contact-sheet.png); and the order in which a 3-D chart's faces are
// drawn.
#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

#include "fidelity_fixture.h"
#include "inline_chart.h"
#include "picture_probe.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

using namespace morvane;

namespace {

using charttest::ChartInPicture;
using charttest::LegendSide;

struct Pair {
  ChartInPicture where;
  charttest::LoadedChart chart;
  QImage theirs;  // the reference picture cropped to the chart
  QImage ours;    // drawn at the picture's scale into the same size
};

LegendSide legendSide(const ooxml::chart::ChartModel& m) {
  if (!m.legend.present) return LegendSide::None;
  switch (m.legend.position) {
    case ooxml::chart::LegendPosition::Left:
      return LegendSide::Left;
    case ooxml::chart::LegendPosition::Top:
      return LegendSide::Top;
    case ooxml::chart::LegendPosition::Bottom:
      return LegendSide::Bottom;
    default:
      return LegendSide::Right;
  }
}

QImage drawOurs(const charttest::LoadedChart& c, QSize pixels, double scale) {
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter p(&image);
  p.scale(scale, scale);
  render::chart::drawChart(p, QRectF(0, 0, pixels.width() / scale, pixels.height() / scale),
                           c.model, c.theme);
  return image;
}

// Every pair of the table, drawn.
std::vector<Pair> comparedPairs() {
  const QDir dir(testenv::fidelity3dDir());
  std::vector<Pair> out;
  for (const ChartInPicture& w : charttest::readChartRects(
           QStringLiteral(MORVANE_SOURCE_DIR "/tests/render/chart/fidelity3d_rects.tsv"))) {
    auto chart = charttest::loadChart(dir.filePath(w.picture + ".xlsx"), w.chart);
    EXPECT_TRUE(chart) << w.picture.toStdString();
    if (!chart) continue;
    const QImage picture(dir.filePath(w.picture + ".png"));
    EXPECT_FALSE(picture.isNull()) << w.picture.toStdString();
    const QImage theirs = picture.copy(w.rect).convertToFormat(QImage::Format_ARGB32);
    out.push_back({w, *chart, theirs, drawOurs(*chart, w.rect.size(), w.pixelsPerPoint)});
  }
  return out;
}

QString name(const ChartInPicture& w) {
  return QString(w.picture).replace('/', '_') +
         (w.chart > 0 ? QString("_%1").arg(w.chart + 1) : QString());
}

QString edges(const std::optional<QRect>& r, const QRect& chart) {
  if (!r) return "   -                   ";
  const QRectF f = charttest::fractionOf(*r, chart);
  return QString::asprintf("%5.1f %5.1f %5.1f %5.1f", 100 * f.left(), 100 * f.top(),
                           100 * f.right(), 100 * f.bottom());
}

// The largest difference of the four edges, in percent of the chart's width or height.
double worstEdge(const QRect& a, const QRect& ca, const QRect& b, const QRect& cb) {
  const QRectF fa = charttest::fractionOf(a, ca), fb = charttest::fractionOf(b, cb);
  return 100 * std::max({std::abs(fa.left() - fb.left()), std::abs(fa.top() - fb.top()),
                         std::abs(fa.right() - fb.right()), std::abs(fa.bottom() - fb.bottom())});
}

// Ours beside theirs, one pair a row, each picture scaled to the same width.
QImage contactSheet(const std::vector<Pair>& pairs) {
  const int w = 480, gap = 12;
  std::vector<int> heights;
  int total = gap;
  for (const Pair& p : pairs) {
    heights.push_back(p.theirs.height() * w / p.theirs.width());
    total += heights.back() + gap;
  }
  QImage sheet(2 * w + 3 * gap, total, QImage::Format_RGB32);
  sheet.fill(QColor(0x80, 0x80, 0x80));
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  int y = gap;
  for (size_t i = 0; i < pairs.size(); ++i) {
    painter.drawImage(QRect(gap, y, w, heights[i]), pairs[i].ours);
    painter.drawImage(QRect(2 * gap + w, y, w, heights[i]), pairs[i].theirs);
    y += heights[i] + gap;
  }
  return sheet;
}

// How far each part may stand off the program's picture, in % of the chart: 2 for the plot,
// 1.5 for the title and the legend, unless the table keeps a pair's measured figure.
std::map<QString, double> limitsOf(const ChartInPicture& w) {
  std::map<QString, double> limits = {{"plot", 2.0}, {"title", 1.5}, {"legend", 1.5}};
  for (const QString& item : w.limits.split(',', Qt::SkipEmptyParts)) {
    const QStringList kv = item.split('=');
    if (kv.size() == 2 && limits.count(kv[0]))
      limits[kv[0]] = kv[1].toDouble();
    else
      ADD_FAILURE() << "bad limit " << item.toStdString();
  }
  return limits;
}

}  // namespace

// For every chart of the set: the probe finds at least three edges of the
// plot in both pictures; ours matches the plot, the title and the legend within the limits. Prints
// the edges (left top right bottom, % of the chart), ours then theirs, and the worst of each,
// and keeps the side-by-side pictures.
TEST(Chart3DFidelity, LayoutNearThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  const std::vector<Pair> pairs = comparedPairs();
  EXPECT_GE(pairs.size(), 20u);
  const QString out = testenv::outputDir("chart-fidelity-3d");
  for (const Pair& p : pairs) {
    SCOPED_TRACE(name(p.where).toStdString());
    const LegendSide side = legendSide(p.chart.model);
    int oursEdges = 0, theirEdges = 0;
    const auto ours = charttest::probe3D(p.ours, p.ours.rect(), side, &oursEdges);
    const auto theirs = charttest::probe3D(p.theirs, p.theirs.rect(), side, &theirEdges);
    std::printf(
        "%-32s plot %s | %s  title %s | %s  legend %s | %s\n", qPrintable(name(p.where)),
        qPrintable(edges(ours.plot, ours.chart)), qPrintable(edges(theirs.plot, theirs.chart)),
        qPrintable(edges(ours.title, ours.chart)), qPrintable(edges(theirs.title, theirs.chart)),
        qPrintable(edges(ours.legend, ours.chart)), qPrintable(edges(theirs.legend, theirs.chart)));
    EXPECT_GE(theirEdges, 3);
    EXPECT_GE(oursEdges, 3);
    const std::map<QString, double> limits = limitsOf(p.where);
    const bool titled = !render::chart::chartTitleText(p.chart.model).isEmpty();
    QString worst;
    for (const auto& [what, a, b, shown] :
         {std::tuple{"plot", ours.plot, theirs.plot, true},
          std::tuple{"title", ours.title, theirs.title, titled},
          std::tuple{"legend", ours.legend, theirs.legend, side != LegendSide::None}}) {
      if (!shown) continue;
      ASSERT_TRUE(a && b) << what;
      const double off = worstEdge(*a, ours.chart, *b, theirs.chart);
      worst += QString::asprintf(" %s %.1f", what, off);
      EXPECT_LE(off, limits.at(what)) << what;
    }
    std::printf("%-32s worst%s\n", qPrintable(name(p.where)), qPrintable(worst));
  }
  contactSheet(pairs).save(QDir(out).filePath("contact-sheet.png"));
  for (const Pair& p : pairs) contactSheet({p}).save(QDir(out).filePath(name(p.where) + ".png"));
}

// A box's value axis is as long as the box's edge, not the plot: its automatic unit gives it
// the labels the program's pictures show. So does a flat plot's vertical axis, whose length
// alone limits its intervals.
TEST(Chart3DFidelity, ValueAxisLabelsFollowTheBoxEdge) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  const std::map<QString, QStringList> shown = {
      {"excelize_area3D", {"0", "2", "4", "6", "8"}},
      {"excelize_area3DStacked", {"0", "5", "10", "15"}},
      {"excelize_col3D", {"0", "1", "2", "3", "4", "5", "6", "7", "8"}},
      {"excelize_col3DStacked", {"0", "2", "4", "6", "8", "10", "12", "14", "16"}},
      {"excelize_col3DPercentStacked",
       {"0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"}},
      {"excelize_bar3DPercentStacked", {"0%", "20%", "40%", "60%", "80%", "100%"}},
      {"openpyxl_bar3D", {"0", "1", "2", "3", "4", "5", "6", "7", "8"}},
      // Flat plots: as many intervals as the axis' length holds, up to ten here.
      {"extra/excelize_bubble", {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"openpyxl_bubble",
       {"-10000", "0", "10000", "20000", "30000", "40000", "50000", "60000", "70000"}},
  };
  int checked = 0;
  for (const Pair& p : comparedPairs()) {
    const auto it = shown.find(p.where.picture);
    if (it == shown.end()) continue;
    SCOPED_TRACE(p.where.picture.toStdString());
    const QSizeF size = QSizeF(p.where.rect.size()) / p.where.pixelsPerPoint;
    const render::chart::ChartLayout l =
        render::chart::layoutChart(p.chart.model, p.chart.theme, QRectF(QPointF(0, 0), size));
    for (const render::chart::AxisLayout& a : l.axes) {
      // A bubble chart's x axis is a value axis too; the pictures' labels are its y axis'.
      if (!a.valueScale || (a.horizontal && p.where.picture.contains("bubble"))) continue;
      EXPECT_EQ(QStringList(a.labels.begin(), a.labels.end()).join(' ').toStdString(),
                it->second.join(' ').toStdString());
    }
    ++checked;
  }
  EXPECT_EQ(checked, int(shown.size()));
}

namespace {

// The shades of a picture's most common strong colour (a bar's front): the darkening factor
// most pixels of that hue show in the side band (0.50-0.72) and the top band (0.72-0.92);
// 0 where fewer than 15 pixels show one.
struct Shades {
  double side = 0, top = 0;
};

Shades shadesOf(const QImage& image) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.hsvSaturation() > 90 && c.value() > 120) ++counts[c.rgb() & 0xFFFFFF];
    }
  if (counts.empty()) return {};
  const QColor front(std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                       return a.second < b.second;
                     })->first);
  const double f[3] = {front.redF(), front.greenF(), front.blueF()};
  std::map<int, int> bins;  // darkening factor in hundredths
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const double p[3] = {c.redF(), c.greenF(), c.blueF()};
      const double k =
          (p[0] * f[0] + p[1] * f[1] + p[2] * f[2]) / (f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
      bool scaled = true;
      for (int i = 0; i < 3; ++i) scaled = scaled && std::abs(p[i] - k * f[i]) < 8 / 255.0;
      if (scaled && k >= 0.5 && k < 0.92) ++bins[int(std::lround(k * 100))];
    }
  auto mode = [&](int lo, int hi) {
    int best = 0, at = 0;
    for (const auto& [k, n] : bins)
      if (k >= lo && k < hi && n > best) best = n, at = k;
    return best >= 15 ? at / 100.0 : 0.0;
  };
  return {mode(50, 72), mode(72, 92)};
}

}  // namespace

// The bars' sides and tops are darker than their fronts by about as much as in the program's
// pictures.
TEST(Chart3DFidelity, FacesShadedAsThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  int bars = 0;
  for (const Pair& p : comparedPairs()) {
    const ooxml::chart::ChartGroup& g = p.chart.model.plotArea.groups.front();
    // The probe samples a box's flat side and top: cylinders and cones have none, pyramids no top.
    // The first series' ends hide under the next one on stacked horizontal bars.
    const bool stacked = g.grouping == ooxml::chart::Grouping::Stacked ||
                         g.grouping == ooxml::chart::Grouping::PercentStacked;
    if (g.kind != ooxml::chart::ChartKind::Bar || g.shape != "box" || (stacked && g.horizontal))
      continue;
    SCOPED_TRACE(name(p.where).toStdString());
    ++bars;
    const Shades ours = shadesOf(p.ours), theirs = shadesOf(p.theirs);
    std::printf("%-32s shades side %.2f top %.2f | %.2f %.2f\n", qPrintable(name(p.where)),
                ours.side, ours.top, theirs.side, theirs.top);
    ASSERT_GT(theirs.side, 0) << "the program's picture shows no shaded side";
    EXPECT_NEAR(ours.side, theirs.side, 0.06);
    // The first series' tops show only where nothing stands on them, and barely on
    // horizontal bars.
    if (g.horizontal || stacked) continue;
    ASSERT_GT(theirs.top, 0) << "the program's picture shows no shaded top";
    EXPECT_NEAR(ours.top, theirs.top, 0.06);
  }
  EXPECT_GE(bars, 4);
}

namespace {

// A 3-D pie's rim brightness at fractions of its half-width from its middle, against the rim's
// at the middle: sampled 4 px above the pie's lower edge, inside the chart's outline, on its
// left four fifths (the legend stands right of them) below its title.
std::vector<double> rimProfile(const QImage& image, const std::vector<double>& at) {
  const int top = image.height() / 4, right = image.width() * 4 / 5;
  auto bottomOf = [&](int x) {
    for (int y = image.height() * 19 / 20; y >= top; --y)
      if (image.pixelColor(x, y).lightness() < 235) return y;
    return -1;
  };
  int left = -1, last = -1;
  for (int x = image.width() / 20; x < right; ++x)
    if (bottomOf(x) >= 0) (left < 0 ? left : last) = x;
  const double middle = (left + last) / 2.0, half = (last - left) / 2.0;
  auto brightness = [&](double t) {
    const int x = int(std::lround(middle + t * half));
    return image.pixelColor(x, bottomOf(x) - 4).redF();
  };
  std::vector<double> out;
  for (double t : at) out.push_back(brightness(t) / brightness(0));
  return out;
}

}  // namespace

// A 3-D pie's rim is lit from the left as the program lights it: its Cherry slice, across the
// front, from 1.14 of its middle's brightness left of it to 0.69 right.
TEST(Chart3DFidelity, PieRimLitAsThePrograms) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  const std::vector<double> at = {-0.4, -0.2, 0.2, 0.4, 0.6};
  for (const Pair& p : comparedPairs()) {
    if (p.where.picture != "openpyxl_pie3D") continue;
    const std::vector<double> ours = rimProfile(p.ours, at), theirs = rimProfile(p.theirs, at);
    for (size_t i = 0; i < at.size(); ++i) {
      std::printf("rim %.1f ours %.3f theirs %.3f\n", at[i], ours[i], theirs[i]);
      EXPECT_NEAR(ours[i], theirs[i], 0.05) << at[i];
    }
    return;
  }
  FAIL() << "openpyxl_pie3D is not in the table";
}

namespace {

struct OrderCase {
  const char* name;
  const char* view3D;
  bool horizontal;
  const char* shape = "box";
  bool area = false;  // two slabs across six categories instead of two bars
};

// Standard grouping: series 0 stands in the front row, series 1 (taller) close behind it.
ooxml::chart::ChartModel twoRows(const OrderCase& c) {
  const QString cat =
      c.area ? charttest::strRef({"A", "B", "C", "D", "E", "F"}) : charttest::strRef({"A"});
  const QString kind = c.area ? "area3DChart" : "bar3DChart";
  const QString bars =
      c.area ? QString() : QString("<c:barDir val=\"%1\"/>").arg(c.horizontal ? "bar" : "col");
  return charttest::chartFromXml(
      QString("<c:view3D>%1</c:view3D><c:plotArea><c:%2>%3"
              "<c:grouping val=\"standard\"/>%4%5<c:gapDepth val=\"0\"/>%6"
              "<c:axId val=\"1\"/><c:axId "
              "val=\"2\"/><c:axId val=\"3\"/>"
              "</c:%2><c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx>"
              "<c:valAx><c:axId val=\"2\"/><c:crossAx val=\"1\"/></c:valAx>"
              "<c:serAx><c:axId val=\"3\"/><c:crossAx val=\"2\"/></c:serAx></c:plotArea>")
          .arg(c.view3D, kind, bars,
               charttest::series(
                   0, "near", cat,
                   c.area ? charttest::numRef({4, 3, 3, 2, 2, 1}) : charttest::numRef({5})),
               charttest::series(
                   1, "far", cat,
                   c.area ? charttest::numRef({6, 5, 6, 4, 4, 5}) : charttest::numRef({9})),
               c.area ? QString() : QString("<c:shape val=\"%1\"/>").arg(c.shape)));
}

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.name; }

class Chart3DOrder : public ::testing::TestWithParam<OrderCase> {};

}  // namespace

// Where the near bar and the far bar overlap in the picture, the near bar's faces show.
TEST_P(Chart3DOrder, NearerBarHidesFartherOne) {
  const ooxml::chart::ChartModel chart = twoRows(GetParam());
  const render::chart::ChartLayout l = charttest::layOut(chart);
  ASSERT_TRUE(l.scene.present);
  const QImage image = charttest::picture(chart);
  charttest::savePng(image, "chart-3d-order", GetParam().name);
  std::vector<const render::chart::Face3D*> nearFaces;
  QPainterPath far;
  for (const render::chart::Face3D& f : l.scene.faces) {
    if (l.series[size_t(f.series)].seriesInGroup == 1) {
      far.addPolygon(f.polygon);
      EXPECT_TRUE(nearFaces.empty()) << "a face of the far bar drawn after the near bar's";
    } else if (f.series >= 0) {
      nearFaces.push_back(&f);
    }
  }
  ASSERT_FALSE(nearFaces.empty());
  QRectF box;
  for (const render::chart::Face3D* face : nearFaces) box |= face->polygon.boundingRect();
  int overlap = 0;
  for (double y = box.top() + 2; y < box.bottom() - 2; y += 1.5)
    for (double x = box.left() + 2; x < box.right() - 2; x += 1.5) {
      const QPointF q(x, y);
      if (!far.contains(q)) continue;
      // The near face drawn last here, well inside it, away from the antialiased edges.
      const render::chart::Face3D* top = nullptr;
      for (const render::chart::Face3D* face : nearFaces) {
        bool inside = true;
        for (const QPointF d :
             {QPointF(0, 0), QPointF(1.5, 0), QPointF(-1.5, 0), QPointF(0, 1.5), QPointF(0, -1.5)})
          inside = inside && face->polygon.containsPoint(q + d, Qt::OddEvenFill);
        if (inside)
          top = face;
        else if (face->polygon.containsPoint(q, Qt::OddEvenFill))
          top = nullptr;  // an edge
      }
      if (!top) continue;
      ++overlap;
      ASSERT_TRUE(charttest::sameColour(charttest::pixelAt(image, q), top->brush.color(), 3))
          << x << "," << y;
    }
  EXPECT_GT(overlap, 10) << "the two bars do not overlap in this view";
}

INSTANTIATE_TEST_SUITE_P(
    Views, Chart3DOrder,
    ::testing::Values(
        OrderCase{"rightAngles", "<c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx val=\"1\"/>",
                  false},
        OrderCase{"perspectiveTurnedLeft",
                  "<c:rotX val=\"20\"/><c:rotY val=\"330\"/><c:rAngAx "
                  "val=\"0\"/><c:perspective val=\"30\"/>",
                  false},
        OrderCase{"horizontalBars", "<c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx val=\"1\"/>",
                  true},
        OrderCase{"cylindersPerspectiveTurnedLeft",
                  "<c:rotX val=\"20\"/><c:rotY val=\"330\"/><c:rAngAx "
                  "val=\"0\"/><c:perspective val=\"30\"/>",
                  false, "cylinder"},
        OrderCase{"horizontalCones",
                  "<c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx val=\"1\"/>", true, "cone"},
        // A long slab's middle stands nearer than the far end of the slab in front of it.
        OrderCase{"areaSlabsInPerspective",
                  "<c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx val=\"0\"/><c:perspective "
                  "val=\"30\"/>",
                  false, "box", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Whatever the view, the box fits the plot: no face leaves it, none is degenerate, round
// solids' neither, a pie's neither.
TEST(Chart3DScene, ExtremeViewsFitThePlot) {
  for (const char* view :
       {"<c:rotX val=\"90\"/><c:rotY val=\"0\"/><c:rAngAx val=\"0\"/><c:perspective val=\"240\"/>",
        "<c:rotX val=\"-90\"/><c:rotY val=\"359\"/><c:rAngAx val=\"1\"/><c:depthPercent "
        "val=\"2000\"/>",
        "<c:rotX val=\"0\"/><c:rotY val=\"90\"/><c:hPercent val=\"5\"/><c:depthPercent "
        "val=\"20\"/>",
        "<c:rotX val=\"45\"/><c:rotY val=\"180\"/><c:hPercent val=\"500\"/><c:perspective "
        "val=\"0\"/>"}) {
    SCOPED_TRACE(view);
    const ooxml::chart::ChartModel pie = charttest::chartFromXml(
        QString("<c:view3D>%1</c:view3D><c:plotArea><c:pie3DChart>").arg(view) +
        charttest::series(0, "s", charttest::strRef({"a", "b"}), charttest::numRef({1, 2}),
                          "<c:explosion val=\"40\"/>") +
        "</c:pie3DChart></c:plotArea>");
    for (const auto& [horizontal, shape] :
         {std::pair{false, "box"}, std::pair{true, "box"}, std::pair{false, "cone"},
          std::pair{true, "cylinder"}, std::pair{false, "pie"}}) {
      const render::chart::ChartLayout l = charttest::layOut(
          shape == std::string("pie") ? pie : twoRows(OrderCase{"", view, horizontal, shape}));
      ASSERT_TRUE(l.scene.present);
      ASSERT_FALSE(l.scene.faces.empty());
      EXPECT_TRUE(l.plotArea.adjusted(-0.5, -0.5, 0.5, 0.5).contains(l.scene.bounds))
          << l.scene.bounds.x() << "," << l.scene.bounds.y() << " " << l.scene.bounds.width() << "x"
          << l.scene.bounds.height();
      for (const render::chart::Face3D& f : l.scene.faces)
        for (const QPointF& q : f.polygon)
          ASSERT_TRUE(std::isfinite(q.x()) && std::isfinite(q.y()));
    }
  }
}

// A 3-D chart's axis titles stand 4 pt off the labels on the box's edges, not where a flat
// plot's labels would have been.
TEST(Chart3DScene, AxisTitlesBesideTheirLabels) {
  MORVANE_REQUIRE(!testenv::fidelity3dDir().isEmpty(), "fidelity-3d set");
  for (const char* name : {"openpyxl_area3D", "openpyxl_line3D"}) {
    SCOPED_TRACE(name);
    const auto c =
        charttest::loadChart(QDir(testenv::fidelity3dDir()).filePath(QString(name) + ".xlsx"), 0);
    ASSERT_TRUE(c && c->layout.scene.present);
    int titles = 0;
    for (const render::chart::AxisLayout& a : c->layout.axes) {
      if (a.title.isEmpty() || !a.visible) continue;
      QRectF labels;
      for (const render::chart::Label3D& l : c->layout.scene.labels)
        if (std::find(a.labels.begin(), a.labels.end(), l.text) != a.labels.end())
          labels = labels.isNull() ? l.rect : labels.united(l.rect);
      QRectF title(QPointF(), render::chart::measureRotated(a.titleStyle, a.title));
      title.moveCenter(a.titleCenter);
      EXPECT_NEAR(a.horizontal ? title.top() - labels.bottom() : labels.left() - title.right(), 4,
                  0.01);
      ++titles;
    }
    EXPECT_EQ(titles, 2);
  }
}

// A 3-D pie: the tops lie over every rim and cut face, and an exploded slice stands apart
// from its neighbours while the others touch.
TEST(Chart3DScene, PieTopsOverRimsExplodedSliceApart) {
  const QString cat = charttest::strRef({"a", "b", "c", "d"});
  const ooxml::chart::ChartModel chart = charttest::chartFromXml(
      "<c:plotArea><c:pie3DChart><c:varyColors val=\"1\"/>" +
      charttest::series(0, "s", cat, charttest::numRef({40, 30, 20, 10}),
                        "<c:dPt><c:idx val=\"2\"/><c:explosion val=\"25\"/></c:dPt>") +
      "</c:pie3DChart></c:plotArea>");
  const render::chart::ChartLayout l = charttest::layOut(chart);
  ASSERT_TRUE(l.scene.present);
  charttest::savePng(charttest::picture(chart), "chart-3d-order", "pieExploded");
  using Kind = render::chart::Face3D::Kind;
  std::vector<QPolygonF> tops(4);
  bool topSeen = false;
  for (const render::chart::Face3D& f : l.scene.faces) {
    if (f.kind == Kind::Top) {
      topSeen = true;
      tops[size_t(f.point)] = f.polygon;
    } else {
      EXPECT_FALSE(topSeen) << "a rim or cut face drawn over a slice's top";
    }
  }
  // Neighbouring tops share their centre and an end of their arcs.
  auto touch = [](const QPolygonF& a, const QPolygonF& b) {
    double nearest = 1e9;
    for (const QPointF& p : a)
      for (const QPointF& q : b) nearest = std::min(nearest, QLineF(p, q).length());
    return nearest < 0.5;
  };
  EXPECT_TRUE(touch(tops[0], tops[1]));
  EXPECT_TRUE(touch(tops[3], tops[0]));
  EXPECT_FALSE(touch(tops[1], tops[2]));
  EXPECT_FALSE(touch(tops[2], tops[3]));
}

// In perspective the disc's near half stands deeper on the picture than its far half: the
// program's default view shows 0.6 of the near half's depth beyond the centre.
TEST(Chart3DScene, PieInPerspectiveDeeperNearTheViewer) {
  for (const auto& [view, farOverNear] :
       {std::pair{QString(), 0.6}, std::pair{QString("<c:perspective val=\"0\"/>"), 1.0}}) {
    SCOPED_TRACE(view.toStdString());
    const ooxml::chart::ChartModel chart = charttest::chartFromXml(
        "<c:view3D>" + view + "</c:view3D><c:plotArea><c:pie3DChart><c:varyColors val=\"1\"/>" +
        charttest::series(0, "s", charttest::strRef({"a", "b"}), charttest::numRef({1, 1})) +
        "</c:pie3DChart></c:plotArea>");
    const render::chart::ChartLayout l = charttest::layOut(chart);
    QRectF tops;
    QPointF apex;
    for (const render::chart::Face3D& f : l.scene.faces)
      if (f.kind == render::chart::Face3D::Kind::Top) {
        tops |= f.polygon.boundingRect();
        apex = f.polygon.front();
      }
    ASSERT_FALSE(tops.isEmpty());
    EXPECT_NEAR((apex.y() - tops.top()) / (tops.bottom() - apex.y()), farOverNear, 0.03);
  }
}

// Surfaces are cut into bands of the value axis' major unit: the legend lists the bands from
// the highest down (a 3-D surface's series axis ticked at and between its labels, its walls
// lined at the value axis' gridlines), and every piece of the mesh takes its band's colour (lit
// as it turns where filled, its line's colour in a wireframe). A wireframe also draws
// the bands' boundaries: on a contour, across the mesh's straight lines.
TEST(Chart3DScene, SurfaceBandsColourTheMesh) {
  const QString cat = charttest::strRef({"a", "b", "c"});
  const QString rows = charttest::series(0, "s", cat, charttest::numRef({2, 3, 3})) +
                       charttest::series(1, "m", cat, charttest::numRef({5, 2, 4})) +
                       charttest::series(2, "l", cat, charttest::numRef({6, 7, 8}));
  for (const char* kind :
       {"<c:surfaceChart>", "<c:surface3DChart>", "<c:surface3DChart><c:wireframe val=\"1\"/>",
        "<c:surfaceChart><c:wireframe val=\"1\"/>"}) {
    SCOPED_TRACE(kind);
    const QString open = kind, close = open.startsWith("<c:surface3D") ? "</c:surface3DChart>"
                                                                       : "</c:surfaceChart>";
    const ooxml::chart::ChartModel chart = charttest::chartFromXml(
        // Right-angled, so that the series axis' ticks stand evenly in the picture.
        "<c:view3D><c:rAngAx val=\"1\"/></c:view3D><c:plotArea>" + open + rows +
        "<c:axId val=\"1\"/><c:axId val=\"2\"/><c:axId val=\"3\"/>" + close +
        "<c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId "
        "val=\"2\"/><c:majorGridlines/><c:crossAx val=\"1\"/></c:valAx><c:serAx><c:axId "
        "val=\"3\"/><c:crossAx val=\"2\"/></c:serAx></c:plotArea><c:legend/>");
    const render::chart::ChartLayout l = charttest::layOut(chart);
    ASSERT_FALSE(l.placeholder) << l.placeholderReason.toStdString();
    ASSERT_TRUE(l.scene.present);
    EXPECT_EQ(charttest::legendTexts(l), QStringList({"6-8", "4-6", "2-4", "0-2"}));
    // A 3-D surface's series axis: ticks at its three labels and half-way between them,
    // off the floor's right side. Its value axis' line up the side wall's front edge, with
    // ticks at 0, 2, .. 8 off it; the categories' ticks down from the front edge.
    std::vector<QPointF> ticks;
    int upright = 0, valueTicks = 0, categoryTicks = 0;
    for (const QLineF& t : l.scene.axisLines) {
      if (t.length() > 10)
        upright += std::abs(t.dy()) > 3 * std::abs(t.dx());
      else if (t.dx() > 0)
        ticks.push_back(t.p1());
      else
        ++(t.dx() < 0 ? valueTicks : categoryTicks);
    }
    EXPECT_EQ(upright, open.startsWith("<c:surface3D") ? 1 : 0);
    EXPECT_EQ(valueTicks, open.startsWith("<c:surface3D") ? 5 : 0);
    EXPECT_EQ(categoryTicks, open.startsWith("<c:surface3D") ? 3 : 0);
    std::sort(ticks.begin(), ticks.end(), [](auto& a, auto& b) { return a.x() < b.x(); });
    ASSERT_EQ(ticks.size(), open.startsWith("<c:surface3D") ? 5u : 0u);
    // Its gridlines at 0, 2, .. 8 round the back and side walls; a contour has no walls.
    EXPECT_EQ(l.scene.gridlines.size(), open.startsWith("<c:surface3D") ? 10u : 0u);
    for (size_t i = 1; i + 1 < ticks.size(); ++i)
      EXPECT_NEAR(QLineF(ticks[i - 1], ticks[i]).length() / QLineF(ticks[i], ticks[i + 1]).length(),
                  1, 0.15);
    std::set<int> used;
    std::set<long> lights;
    const bool lit = QString(kind) == "<c:surface3DChart>" || QString(kind) == "<c:surfaceChart>";
    int across = 0;
    for (const render::chart::Face3D& f : l.scene.faces) {
      const QLineF d = f.polygon.size() == 2 ? QLineF(f.polygon[0], f.polygon[1]) : QLineF();
      across += std::abs(d.dx()) > 0.1 && std::abs(d.dy()) > 0.1;
      ASSERT_GE(f.point, 0);
      const render::chart::SeriesLook& key = l.legend[l.legend.size() - 1 - size_t(f.point)].look;
      const bool wire = f.brush.style() == Qt::NoBrush;
      const QColor c = wire ? f.pen.color() : f.brush.color(), base = key.baseColor;
      if (wire || !lit) {
        EXPECT_EQ(c, base);
      } else {
        // A filled surface's facet, contours' too, is its band's colour, lit as it turns.
        const double light = c.redF() / base.redF();
        EXPECT_NEAR(c.greenF(), std::min(1.0, base.greenF() * light), 0.01);
        EXPECT_NEAR(c.blueF(), std::min(1.0, base.blueF() * light), 0.01);
        lights.insert(std::lround(light * 100));
      }
      used.insert(f.point);
    }
    EXPECT_EQ(used, std::set<int>({1, 2, 3}));  // 2 to 8: no piece lies below 2
    if (lit) {
      EXPECT_GT(lights.size(), 2u) << "facets turned differently, lit differently";
    }
    if (QString(kind) == "<c:surfaceChart><c:wireframe val=\"1\"/>") {
      EXPECT_GT(across, 0);
    }
    EXPECT_TRUE(l.plotArea.adjusted(-0.5, -0.5, 0.5, 0.5).contains(l.scene.bounds));
  }
}

// A surface cell is cut as the program of its look cut it, with 5 over 2 and 3 over 2 (bands by
// 2): in the 2013 look through the odd corner, so that the 4-6 band reaches the cell's centre,
// where the 2-2 diagonal would keep it in the corner; before it into four through the centre,
// at the corners' mean, 3, which the 4-6 band does not reach.
TEST(Chart3DScene, SurfaceCellCutAsItsLookCutIt) {
  const QString cat = charttest::strRef({"a", "b"});
  const QString body =
      "<c:view3D><c:rotX val=\"90\"/><c:rotY val=\"0\"/><c:rAngAx val=\"0\"/>"
      "<c:perspective val=\"0\"/></c:view3D><c:plotArea><c:surfaceChart>" +
      charttest::series(0, "low", cat, charttest::numRef({2, 3})) +
      charttest::series(1, "high", cat, charttest::numRef({5, 2})) +
      "<c:axId val=\"1\"/><c:axId val=\"2\"/><c:axId val=\"3\"/></c:surfaceChart><c:catAx>"
      "<c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId val=\"2\"/>"
      "<c:scaling><c:max val=\"6\"/><c:min val=\"0\"/></c:scaling><c:crossAx val=\"1\"/>"
      "<c:majorUnit val=\"2\"/></c:valAx><c:serAx><c:axId val=\"3\"/><c:crossAx val=\"2\"/>"
      "</c:serAx></c:plotArea>";
  const QString modern =
      "<c:spPr><a:ln w=\"9525\"><a:solidFill><a:schemeClr val=\"tx1\"><a:lumMod val=\"15000\"/>"
      "<a:lumOff val=\"85000\"/></a:schemeClr></a:solidFill></a:ln></c:spPr>";
  for (const bool modernLook : {true, false}) {
    SCOPED_TRACE(modernLook);
    const render::chart::ChartLayout l =
        charttest::layOut(charttest::chartFromXml(body, modernLook ? modern : QString()));
    QRectF cell;
    for (const render::chart::Face3D& f : l.scene.faces) cell |= f.polygon.boundingRect();
    bool highReached = false;
    int atCentre = 0;
    for (const render::chart::Face3D& f : l.scene.faces) {
      bool touches = false;
      for (const QPointF& v : f.polygon) touches |= QLineF(v, cell.center()).length() < 0.5;
      atCentre += touches;
      highReached |= touches && f.point == 2;
    }
    EXPECT_EQ(highReached, modernLook);
    if (!modernLook) {
      EXPECT_GE(atCentre, 4);
    }
  }
}

// A surface's or a 3-D column chart's series labels less than a line apart are thinned from
// the first: every second, third...; those shown do not overlap.
TEST(Chart3DScene, CrowdedSeriesLabelsThinned) {
  const QString cat = charttest::strRef({"a", "b", "c"});
  for (const QString kind : {"surface3DChart", "bar3DChart"})
    for (const int count : {2, 9}) {
      SCOPED_TRACE(kind.toStdString() + " " + std::to_string(count));
      QString rows;
      QStringList names;
      for (int i = 0; i < count; ++i) {
        names << QString("S%1").arg(i);
        rows += charttest::series(i, names.back(), cat, charttest::numRef({1.0 + i, 2, 3}));
      }
      const QString bars =
          kind == "bar3DChart" ? "<c:barDir val=\"col\"/><c:grouping val=\"standard\"/>" : "";
      const render::chart::ChartLayout l = charttest::layOut(charttest::chartFromXml(
          "<c:view3D><c:rAngAx val=\"1\"/></c:view3D><c:plotArea><c:" + kind + ">" + bars + rows +
          "<c:axId val=\"1\"/><c:axId val=\"2\"/><c:axId val=\"3\"/></c:" + kind +
          "><c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId "
          "val=\"2\"/><c:crossAx val=\"1\"/></c:valAx><c:serAx><c:axId val=\"3\"/><c:crossAx "
          "val=\"2\"/></c:serAx></c:plotArea>"));
      std::vector<QRectF> shown;
      QStringList texts;
      for (const render::chart::Label3D& label : l.scene.labels)
        if (names.contains(label.text)) {
          for (const QRectF& other : shown)
            EXPECT_FALSE(other.intersects(label.rect)) << label.text.toStdString();
          shown.push_back(label.rect);
          texts << label.text;
        }
      ASSERT_FALSE(texts.isEmpty());
      EXPECT_EQ(texts.front(), "S0");
      EXPECT_EQ(texts.size() == count, count == 2) << texts.join(' ').toStdString();
    }
}

namespace {

// Two series over three categories in a 3-D `kind` group with a series axis: `before` goes
// before the plot area, `group` into the group, `axis` into each axis, `space` before the chart.
render::chart::ChartLayout twoSeries3D(const QString& kind, const QString& before = {},
                                       const QString& group = {}, const QString& axis = {},
                                       const QString& space = {}) {
  const QString cat = charttest::strRef({"a", "b", "c"});
  return charttest::layOut(charttest::chartFromXml(
      before + "<c:plotArea><c:" + kind + ">" + group +
          charttest::series(0, "s", cat, charttest::numRef({1, 3, 2})) +
          charttest::series(1, "t", cat, charttest::numRef({2, 1, 3})) +
          "<c:axId val=\"1\"/><c:axId val=\"2\"/><c:axId val=\"3\"/></c:" + kind +
          "><c:catAx><c:axId val=\"1\"/>" + axis + "<c:crossAx val=\"2\"/></c:catAx><c:valAx>" +
          "<c:axId val=\"2\"/>" + axis + "<c:crossAx val=\"1\"/></c:valAx><c:serAx>" +
          "<c:axId val=\"3\"/>" + axis + "<c:crossAx val=\"2\"/></c:serAx></c:plotArea>",
      space));
}

}  // namespace

// Walls show only the line the file gives them, whether it writes them or not; the floor the
// series stand on keeps its edges.
TEST(Chart3DScene, WallsShowOnlyTheirOwnLine) {
  const QString red =
      "<c:backWall><c:spPr><a:ln><a:solidFill><a:srgbClr val=\"FF0000\"/></a:solidFill></a:ln>"
      "</c:spPr></c:backWall>";
  struct Case {
    QString kind, walls;
    bool backLined;
  };
  for (const Case& c : {Case{"line3DChart", "", false}, Case{"bar3DChart", "<c:backWall/>", false},
                        Case{"surface3DChart", "", false}, Case{"line3DChart", red, true}}) {
    SCOPED_TRACE((c.kind + c.walls).toStdString());
    const render::chart::ChartLayout l =
        twoSeries3D(c.kind, c.walls, c.kind == "bar3DChart" ? "<c:barDir val=\"col\"/>" : "");
    ASSERT_EQ(l.scene.walls.size(), 3u);  // back, side, floor
    EXPECT_EQ(l.scene.walls[0].pen.style() != Qt::NoPen, c.backLined);
    EXPECT_EQ(l.scene.walls[1].pen.style(), Qt::NoPen);
    EXPECT_NE(l.scene.walls[2].pen.style(), Qt::NoPen);
  }
}

// A box's tick marks stand off its projected edges, flat in the picture: the value axis' at
// its labels, the categories' between their slots (an area's at its points), the series'
// between their rows; none where the file asks for none.
TEST(Chart3DScene, TickMarksOffTheirEdges) {
  struct Case {
    QString kind, marks;
    int categoryTicks, seriesTicks;
    bool horizontal;
  };
  const QString none = "<c:majorTickMark val=\"none\"/>";
  for (const Case& c :
       {Case{"line3DChart", "", 4, 3, false}, Case{"area3DChart", "", 3, 3, false},
        Case{"bar3DChart", "", 4, 0, true}, Case{"line3DChart", none, 0, 0, false}}) {
    SCOPED_TRACE((c.kind + c.marks).toStdString());
    const render::chart::ChartLayout l = twoSeries3D(
        c.kind, {}, c.horizontal ? "<c:barDir val=\"bar\"/><c:grouping val=\"clustered\"/>" : "",
        c.marks);
    int numbers = 0, left = 0, right = 0, down = 0;
    for (const render::chart::Label3D& label : l.scene.labels) {
      bool number = false;
      label.text.toDouble(&number);
      numbers += number;
    }
    for (const QLineF& t : l.scene.axisLines)
      if (t.length() < 5) ++(t.dy() > 0.5 ? down : t.dx() < 0 ? left : right);
    const int valueTicks = c.marks.isEmpty() ? numbers : 0;
    EXPECT_GT(numbers, 3);
    EXPECT_EQ(down, c.horizontal ? valueTicks : c.categoryTicks);
    EXPECT_EQ(left, c.horizontal ? c.categoryTicks : valueTicks);
    EXPECT_EQ(right, c.seriesTicks);
  }
}

// In the outlined styles (9-16) each segment of a 3-D line is outlined in white as a whole, once;
// in the others not at all. A segment falling to the right is lit more than one rising.
TEST(Chart3DScene, RibbonSegmentsSeamedAndLitBySlope) {
  for (const int style : {15, 2}) {
    SCOPED_TRACE(style);
    const render::chart::ChartLayout l =
        twoSeries3D("line3DChart", {}, {}, {}, QString("<c:style val=\"%1\"/>").arg(style));
    int seams = 0, outlinedFaces = 0;
    std::map<double, int> firstRowTops;  // lightness by the upper face's left edge
    for (const render::chart::Face3D& f : l.scene.faces) {
      if (f.series < 0) continue;
      if (f.brush.style() == Qt::NoBrush && f.pen.color() == Qt::white)
        ++seams;
      else
        outlinedFaces += f.pen.style() != Qt::NoPen;
      if (f.kind == render::chart::Face3D::Kind::Top &&
          l.series[size_t(f.series)].seriesInGroup == 0)
        firstRowTops[f.polygon.boundingRect().left()] = f.brush.color().lightness();
    }
    EXPECT_EQ(seams, style == 15 ? 4 : 0);  // two segments in each of two rows
    EXPECT_EQ(outlinedFaces, 0);
    ASSERT_EQ(firstRowTops.size(), 2u);  // 1 to 3, then 3 to 2
    EXPECT_LT(firstRowTops.begin()->second, firstRowTops.rbegin()->second);
  }
}

// An area's label sits amid its band half its slab's depth back, at the middle of the slab's
// closing side where it ends there, as the program's 3-D area pictures place it.
TEST(Chart3DScene, AreaLabelsAmidTheirSlab) {
  const render::chart::ChartLayout l =
      twoSeries3D("area3DChart", "<c:view3D><c:rAngAx val=\"1\"/></c:view3D>",
                  "<c:dLbls><c:showVal val=\"1\"/></c:dLbls>");
  int sides = 0;
  for (const render::chart::Face3D& f : l.scene.faces) {
    if (f.kind != render::chart::Face3D::Kind::Side) continue;
    ++sides;
    QPointF middle;
    for (const QPointF& p : f.polygon) middle += p / f.polygon.size();
    double nearest = 1e9;
    for (const render::chart::DataLabelLayout& d : l.dataLabels)
      if (d.series == f.series) nearest = std::min(nearest, QLineF(d.center, middle).length());
    EXPECT_LT(nearest, 0.5) << "series " << f.series;
  }
  EXPECT_EQ(sides, 2);
}

// A box's horizontal value axis gives every label, the widest at its unit included ("7.5", not
// only "8"), 8 pt to spare beside its neighbours.
TEST(Chart3DScene, HorizontalValueLabelsKeepApart) {
  const QString cat = charttest::strRef({"A", "B", "C"});
  const ooxml::chart::ChartModel chart = charttest::chartFromXml(
      "<c:view3D><c:rAngAx val=\"1\"/></c:view3D><c:plotArea><c:bar3DChart><c:barDir "
      "val=\"bar\"/><c:grouping val=\"clustered\"/>" +
      charttest::series(0, "s", cat, charttest::numRef({2, 5, 8})) +
      "<c:axId val=\"1\"/><c:axId val=\"2\"/></c:bar3DChart><c:catAx><c:axId val=\"1\"/>"
      "<c:crossAx val=\"2\"/></c:catAx><c:valAx><c:axId val=\"2\"/><c:crossAx val=\"1\"/>"
      "</c:valAx></c:plotArea>");
  for (const double width : {300.0, 395.0, 520.0}) {
    SCOPED_TRACE(width);
    const render::chart::ChartLayout l = charttest::layOut(chart, QSizeF(width, 217));
    std::vector<QRectF> values;
    for (const render::chart::Label3D& label : l.scene.labels) {
      bool number = false;
      label.text.toDouble(&number);
      if (number) values.push_back(label.rect);
    }
    ASSERT_GE(values.size(), 3u);
    std::sort(values.begin(), values.end(), [](auto& a, auto& b) { return a.left() < b.left(); });
    for (size_t i = 1; i < values.size(); ++i)
      EXPECT_GE(values[i].left() - values[i - 1].right(), 8 - 1e-6);
  }
}

namespace {

// Two series of two points, {3, 4} and {5, 2}, on a value axis up to 10.
ooxml::chart::ChartModel twoSeries(const char* grouping, const char* shape, bool horizontal,
                                   const char* view3D = "") {
  const QString cat = charttest::strRef({"A", "B"});
  return charttest::chartFromXml(
      QString("<c:view3D>%6</c:view3D><c:plotArea><c:bar3DChart><c:barDir val=\"%1\"/>"
              "<c:grouping val=\"%2\"/>%3%4<c:shape val=\"%5\"/><c:axId val=\"1\"/><c:axId "
              "val=\"2\"/></c:bar3DChart><c:catAx><c:axId val=\"1\"/><c:crossAx val=\"2\"/>"
              "</c:catAx><c:valAx><c:axId val=\"2\"/><c:scaling><c:max val=\"10\"/></c:scaling>"
              "<c:crossAx val=\"1\"/></c:valAx></c:plotArea>")
          .arg(horizontal ? "bar" : "col", grouping,
               charttest::series(0, "low", cat, charttest::numRef({3, 4})),
               charttest::series(1, "high", cat, charttest::numRef({5, 2})), shape, view3D));
}

struct PyramidCase {
  const char* grouping;
  const char* shape;
  bool horizontal;
  bool pointed;  // the stack's last slice ends in its apex
};

class Chart3DPyramids : public ::testing::TestWithParam<PyramidCase> {};

}  // namespace

// A pyramid's slices narrow towards its apex, each stacked slice going on where the one
// under it ends; the apex is the value, the stack's total, or with "pyramidToMax" the
// axis' end.
TEST_P(Chart3DPyramids, NarrowToTheirApex) {
  const PyramidCase c = GetParam();
  const ooxml::chart::ChartModel chart = twoSeries(c.grouping, c.shape, c.horizontal);
  const render::chart::ChartLayout l = charttest::layOut(chart);
  std::map<std::pair<int, int>, QPolygonF> fronts;  // [point, series in group]
  for (const render::chart::Face3D& f : l.scene.faces)
    if (f.kind == render::chart::Face3D::Kind::Front)
      fronts[{f.point, l.series[size_t(f.series)].seriesInGroup}] = f.polygon;
  ASSERT_EQ(fronts.size(), 4u);
  const bool stacked = QString(c.grouping) == "stacked";
  for (const auto& [key, q] : fronts) {
    ASSERT_EQ(q.size(), 4);
    const double foot = QLineF(q[0], q[1]).length(), cut = QLineF(q[2], q[3]).length();
    EXPECT_LT(cut, foot - 1) << key.first << key.second;  // foot edge 0-1, cut edge 2-3
    if (!stacked || key.second == 1) {
      EXPECT_EQ(cut < 0.01, c.pointed) << key.first;
    }
    if (stacked && key.second == 1) {
      EXPECT_EQ(fronts.at({key.first, 0})[3], q[0]) << "the slice goes on from the one under it";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Chart3DPyramids,
                         ::testing::Values(PyramidCase{"clustered", "pyramid", false, true},
                                           PyramidCase{"stacked", "pyramid", true, true},
                                           PyramidCase{"stacked", "pyramidToMax", false, false}));

class Chart3DShapes : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {};

// Each solid of a cylinder, cone or pyramid chart (clustered columns or bars, stacked columns),
// seen straight: it narrows from foot to cut end as its apex asks (none for a cylinder; the
// value, the stack's total or the axis' end); its end is as wide as the solid there and round
// for cylinders and cones; its sides darken from the lightest, facing the front, towards the
// side the view shows across the bar (right for columns, up for bars).
TEST_P(Chart3DShapes, RoundNarrowingAndShaded) {
  const QString shape = std::get<0>(GetParam()), layout = std::get<1>(GetParam());
  const bool bars = layout == "bars", stacked = layout == "stacked";
  const ooxml::chart::ChartModel chart =
      twoSeries(stacked ? "stacked" : "clustered", std::get<0>(GetParam()), bars,
                "<c:rotX val=\"15\"/><c:rotY val=\"20\"/><c:rAngAx val=\"1\"/>");
  const render::chart::ChartLayout l = charttest::layOut(chart);
  charttest::savePng(charttest::picture(chart), "chart-3d-shapes", shape + "_" + layout);
  const auto endKind = bars ? render::chart::Face3D::Kind::Side : render::chart::Face3D::Kind::Top;
  auto across = [&](const QPointF& p) { return bars ? -p.y() : p.x(); };
  std::map<std::pair<int, int>, std::vector<const render::chart::Face3D*>> solids;
  for (const render::chart::Face3D& f : l.scene.faces)
    solids[{l.series[size_t(f.series)].seriesInGroup, f.point}].push_back(&f);
  ASSERT_EQ(solids.size(), 4u);
  const double values[2][2] = {{3, 4}, {5, 2}};
  for (const auto& [key, faces] : solids) {
    const auto [series, point] = key;
    SCOPED_TRACE(QString("series %1 point %2").arg(series).arg(point).toStdString());
    const double v0 = stacked && series == 1 ? values[0][point] : 0,
                 v1 = v0 + values[series][point];
    const double apex = shape == "coneToMax" ? 10
                        : stacked            ? values[0][point] + values[1][point]
                                             : v1;
    const double narrowing = shape == "cylinder" ? 1 : (apex - v1) / (apex - v0);
    QPolygonF foot, cut, end;
    std::vector<std::pair<double, double>> sides;  // across, lightness
    for (const render::chart::Face3D* f : faces) {
      if (f->kind == endKind) {
        end = f->polygon;
        continue;
      }
      ASSERT_EQ(f->polygon.size(), 4);  // foot edge 0-1, cut edge 2-3
      foot << f->polygon[0] << f->polygon[1];
      cut << f->polygon[2] << f->polygon[3];
      sides.emplace_back(across(f->polygon.boundingRect().center()), f->brush.color().valueF());
    }
    auto width = [&](const QPolygonF& q) {
      const QRectF r = q.boundingRect();
      return bars ? r.height() : r.width();
    };
    EXPECT_NEAR(width(cut) / width(foot), narrowing, 0.02);
    ASSERT_EQ(!end.isEmpty(), narrowing > 0.01);
    if (!end.isEmpty()) {
      EXPECT_NEAR(width(end), width(cut), 0.01 * width(cut));
      EXPECT_TRUE(shape == "pyramid" ? end.size() == 4 : end.size() >= 24) << end.size();
    }
    std::sort(sides.begin(), sides.end());
    const auto lightest = std::max_element(sides.begin(), sides.end(),
                                           [](auto& a, auto& b) { return a.second < b.second; });
    for (auto it = lightest; it + 1 != sides.end(); ++it) EXPECT_GE(it->second, (it + 1)->second);
    EXPECT_LT(sides.back().second, lightest->second * 0.85);
    if (shape != "pyramid") {
      EXPECT_LT(sides.front().second, lightest->second);  // lit front-left
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Chart3DShapes,
                         ::testing::Combine(::testing::Values("cylinder", "cone", "coneToMax",
                                                              "pyramid"),
                                            ::testing::Values("columns", "bars", "stacked")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)) + "_" +
                                  std::get<1>(info.param);
                         });
