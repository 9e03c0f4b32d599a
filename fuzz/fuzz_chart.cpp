// A chart part read and drawn onto a raster, an EMF and an SVG device, as the workbook host
// draws pictures of it.
#include "emf/emf_device.h"
#include "fuzz_support.h"
#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_renderer.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

using namespace morvane;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::startQt(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto chart = ooxml::chart::readChartXml(fuzz::bytesOf(data, size),
                                          QStringLiteral("/xl/charts/chart1.xml"));
  if (!chart.ok()) return 0;
  static const ooxml::chart::Theme theme = ooxml::chart::defaultTheme();
  const QSizeF points(240, 160);
  (void)render::chart::chartToImage(*chart, theme, points);
  {
    emf::EmfDevice device(points);
    QPainter painter(&device);
    render::chart::drawChart(painter, QRectF(QPointF(), points), *chart, theme);
    painter.end();
    (void)device.finish();
  }
  QBuffer svg;
  QSvgGenerator generator;
  generator.setOutputDevice(&svg);
  generator.setSize(points.toSize());
  generator.setViewBox(QRectF(QPointF(), points));
  QPainter painter(&generator);
  render::chart::drawChart(painter, QRectF(QPointF(), points), *chart, theme);
  return 0;
}
