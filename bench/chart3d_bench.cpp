// Times each 3-D chart kind against its 2-D twin (the same series and size, drawn flat) on a
// 96 dpi raster, and says whether the 3-D one stays under three times the 2-D one's cost.
// Usage: bench_chart3d [repetitions]; exit status 1 when a kind is over.
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"
#include "render/chart/chart_renderer.h"

using namespace morvane;
using ooxml::chart::ChartKind;

namespace {

ooxml::chart::DataCache numbers(std::vector<std::optional<double>> values) {
  ooxml::chart::DataCache c;
  c.present = c.numeric = true;
  c.formatCode = "General";
  for (const auto& v : values) c.texts.push_back(v ? QString::number(*v) : QString());
  c.numbers = std::move(values);
  return c;
}

ooxml::chart::DataCache texts(const QStringList& values) {
  ooxml::chart::DataCache c;
  c.present = true;
  for (const QString& t : values) c.texts.push_back(t);
  return c;
}

// Three series of six categories in a group of `kind`, 3-D or flat, with its axes.
ooxml::chart::ChartModel chart(ChartKind kind, bool threeD) {
  ooxml::chart::ChartModel m;
  m.title.present = true;
  m.legend.present = true;
  ooxml::chart::ChartGroup g;
  g.kind = kind;
  g.is3D = threeD;
  g.grouping =
      kind == ChartKind::Bar ? ooxml::chart::Grouping::Clustered : ooxml::chart::Grouping::Standard;
  g.varyColors = kind == ChartKind::Pie;
  const int seriesCount = kind == ChartKind::Pie ? 1 : 3;
  for (int s = 0; s < seriesCount; ++s) {
    ooxml::chart::Series series;
    series.index = series.order = s;
    series.name = QString("Series %1").arg(s + 1);
    series.hasName = true;
    series.categories = texts({"Mon", "Tue", "Wed", "Thu", "Fri", "Sat"});
    std::vector<std::optional<double>> v;
    for (int i = 0; i < 6; ++i) v.push_back(3 + (i * 7 + s * 5) % 11);
    series.values = numbers(v);
    g.series.push_back(series);
  }
  if (kind != ChartKind::Pie) {
    g.axisIds = {1, 2};
    ooxml::chart::Axis cat, val;
    cat.kind = ooxml::chart::AxisKind::Category;
    cat.id = 1;
    cat.crossAxis = 2;
    cat.position = ooxml::chart::AxisPosition::Bottom;
    val.id = 2;
    val.crossAxis = 1;
    val.majorGridlines.present = true;
    m.plotArea.axes = {cat, val};
    if (threeD) {
      ooxml::chart::Axis depth;
      depth.kind = ooxml::chart::AxisKind::Series;
      depth.id = 3;
      depth.crossAxis = 2;
      g.axisIds.push_back(3);
      m.plotArea.axes.push_back(depth);
    }
  }
  m.plotArea.groups.push_back(g);
  if (threeD) {
    m.view3D.present = true;
    m.view3D.rotX = 15;
    m.view3D.rotY = 20;
    m.view3D.rightAngleAxes = kind != ChartKind::Pie;
  }
  return m;
}

// Milliseconds per drawing of `m` at 480 x 288 points.
double timePerChart(const ooxml::chart::ChartModel& m, const ooxml::chart::Theme& theme, int reps) {
  QImage image(640, 384, QImage::Format_ARGB32_Premultiplied);
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < reps; ++i) {
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(96.0 / 72.0, 96.0 / 72.0);
    render::chart::drawChart(p, QRectF(0, 0, 480, 288), m, theme);
  }
  return double(timer.nsecsElapsed()) / 1e6 / reps;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  const ooxml::chart::Theme theme = ooxml::chart::defaultTheme();
  bool over = false;
  std::printf("%-8s %10s %10s %7s\n", "kind", "2-D ms", "3-D ms", "ratio");
  for (const auto& [name, kind] : {std::pair{"column", ChartKind::Bar},
                                   {"line", ChartKind::Line},
                                   {"area", ChartKind::Area},
                                   {"pie", ChartKind::Pie}}) {
    const ooxml::chart::ChartModel flat = chart(kind, false), deep = chart(kind, true);
    // Both must really be drawn: no placeholder, the 3-D one as a scene.
    const QRectF area(0, 0, 480, 288);
    const auto l2 = render::chart::layoutChart(flat, theme, area);
    const auto l3 = render::chart::layoutChart(deep, theme, area);
    if (l2.placeholder || l3.placeholder || !l3.scene.present || l2.scene.present) {
      std::fprintf(stderr, "%s: the charts are not drawn as they should be\n", name);
      return 2;
    }
    timePerChart(flat, theme, 5);  // warm the font caches
    const double t2 = timePerChart(flat, theme, reps), t3 = timePerChart(deep, theme, reps);
    const double ratio = t3 / std::max(t2, 1e-9);
    over = over || ratio >= 3;
    std::printf("%-8s %10.3f %10.3f %6.2fx%s\n", name, t2, t3, ratio,
                ratio >= 3 ? "  over 3x" : "");
  }
  return over ? 1 : 0;
}
