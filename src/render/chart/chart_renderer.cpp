#include "render/chart/chart_renderer.h"

#include "render/chart/chart_painter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

namespace {

void paintFrame(detail::PaintContext& pc) {
  QPainter& p = pc.painter;
  const ChartLayout& l = pc.layout;
  const ooxml::chart::ChartModel& chart = pc.chart;
  const QBrush fill = brushForFill(chart.format.fill, pc.theme,
                                   defaultChartAreaFill(pc.theme, chart.style));
  QPen border = penForLine(chart.format.line, pc.theme,
                           QPen(defaultAxisLineColor(pc.theme, chart.style), 0.75));
  const double inset = border.style() == Qt::NoPen ? 0 : border.widthF() / 2;
  const QRectF r = l.chartArea.adjusted(inset, inset, -inset, -inset);
  p.setPen(border);
  p.setBrush(fill);
  if (chart.roundedCorners) p.drawRoundedRect(r, 6, 6);
  else p.drawRect(r);
}

void paintPlotBackground(detail::PaintContext& pc) {
  const ooxml::chart::ChartModel& chart = pc.chart;
  const QRectF& r = pc.layout.plotArea;
  const QBrush fill = brushForFill(chart.plotArea.format.fill, pc.theme,
                                   defaultPlotAreaFill(pc.theme, chart.style));
  const QPen border = penForLine(chart.plotArea.format.line, pc.theme, QPen(Qt::NoPen));
  if (fill.style() == Qt::NoBrush && border.style() == Qt::NoPen) return;
  pc.painter.setPen(border);
  pc.painter.setBrush(fill);
  pc.painter.drawRect(r);
}

void paintTitle(detail::PaintContext& pc) {
  const ChartLayout& l = pc.layout;
  if (l.title.isEmpty()) return;
  drawTextCentered(pc.painter, l.titleStyle, l.titleCenter, l.title);
}

void paintPlaceholder(QPainter& p, const QRectF& target, const ooxml::chart::ChartModel& chart,
                      const ChartLayout& layout) {
  p.setPen(QPen(QColor(0x86, 0x86, 0x86), 0.75));
  p.setBrush(QColor(0xF2, 0xF2, 0xF2));
  p.drawRect(target.adjusted(0.5, 0.5, -0.5, -0.5));
  // A crossed box says "no picture here" on any device.
  p.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), 0.75));
  const QRectF inner = target.adjusted(target.width() * 0.1, target.height() * 0.1,
                                       -target.width() * 0.1, -target.height() * 0.1);
  p.drawLine(inner.topLeft(), inner.bottomRight());
  p.drawLine(inner.topRight(), inner.bottomLeft());
  const ooxml::chart::Theme theme = ooxml::chart::defaultTheme();
  const double size = std::clamp(target.height() / 12, 4.0, 14.0);
  TextStyle style =
      makeTextStyle(theme, ooxml::chart::TextFormat(), size, true, QColor(0x40, 0x40, 0x40));
  QString title = chartTitleText(chart);
  if (title.isEmpty()) title = "Chart";
  const QString kind = layout.kindName.isEmpty() ? QString("chart") : layout.kindName + " chart";
  drawTextCentered(p, style, target.center() - QPointF(0, size * 0.8), title);
  style.font.setBold(false);
  style.font.setPointSizeF(size * 0.8);
  drawTextCentered(p, style, target.center() + QPointF(0, size * 0.8),
                   QString("%1: %2").arg(kind, layout.placeholderReason));
}

}  // namespace

void drawChart(QPainter& painter, const QRectF& target, const ooxml::chart::ChartModel& chart,
               const ooxml::chart::Theme& theme) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  const ChartLayout layout = layoutChart(chart, theme, target);
  if (layout.placeholder) {
    paintPlaceholder(painter, target, chart, layout);
    painter.restore();
    return;
  }
  painter.setClipRect(target, Qt::IntersectClip);
  detail::PaintContext pc{painter, chart, theme, layout};
  paintFrame(pc);
  if (layout.scene.present) {
    detail::paintScene3D(pc);
    detail::paintDataLabels(pc);
    paintTitle(pc);
    detail::paintLegend(pc);
    painter.restore();
    return;
  }
  paintPlotBackground(pc);
  detail::paintRadarGrid(pc);
  detail::paintGridlines(pc);
  painter.save();
  painter.setClipRect(layout.plotArea.adjusted(-8, -8, 8, 8), Qt::IntersectClip);
  detail::paintSeries(pc);
  painter.restore();
  detail::paintRadarSpokesOver(pc);
  detail::paintAxes(pc);
  detail::paintDataTable(pc);
  detail::paintDataLabels(pc);
  paintTitle(pc);
  detail::paintLegend(pc);
  painter.restore();
}

QImage chartToImage(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                    QSizeF sizeInPoints) {
  const double w = std::clamp(sizeInPoints.width(), 1.0, 20000.0);
  const double h = std::clamp(sizeInPoints.height(), 1.0, 20000.0);
  const double scale = 96.0 / 72.0;
  QImage image(std::max(1, int(std::lround(w * scale))), std::max(1, int(std::lround(h * scale))),
               QImage::Format_ARGB32_Premultiplied);
  image.setDotsPerMeterX(3780);  // 96 dpi
  image.setDotsPerMeterY(3780);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.scale(scale, scale);
  drawChart(painter, QRectF(0, 0, w, h), chart, theme);
  painter.end();
  return image;
}

}  // namespace morvane::render::chart
