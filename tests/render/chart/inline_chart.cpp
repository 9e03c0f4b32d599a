#include "inline_chart.h"

#include "ooxml/chart/chart_reader.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_renderer.h"
#include "support/test_env.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace morvane;

namespace morvane::charttest {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;

QString escaped(const QString& text) { return text.toHtmlEscaped(); }

QString points(const QStringList& texts) {
  QString out;
  for (int i = 0; i < texts.size(); ++i)
    if (!texts[i].isEmpty())
      out += QString("<c:pt idx=\"%1\"><c:v>%2</c:v></c:pt>").arg(i).arg(escaped(texts[i]));
  return out;
}

}  // namespace

ooxml::chart::ChartModel chartFromXml(const QString& chartBody, const QString& spaceExtra) {
  const QString xml =
      "<c:chartSpace xmlns:c=\"http://schemas.openxmlformats.org/drawingml/2006/chart\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">" +
      spaceExtra + "<c:chart>" + chartBody + "</c:chart></c:chartSpace>";
  auto r = ooxml::chart::readChartXml(xml.toUtf8(), "/xl/charts/chart1.xml");
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message.toStdString());
  return r.ok() ? r.value() : ooxml::chart::ChartModel();
}

QString numRef(const std::vector<std::optional<double>>& values, const QString& formatCode) {
  QStringList texts;
  for (const auto& v : values) texts << (v ? QString::number(*v, 'g', 17) : QString());
  return QString(
             "<c:numRef><c:f>Sheet1!$A$1</c:f><c:numCache><c:formatCode>%1</c:formatCode>"
             "<c:ptCount val=\"%2\"/>%3</c:numCache></c:numRef>")
      .arg(escaped(formatCode))
      .arg(values.size())
      .arg(points(texts));
}

QString strRef(const QStringList& texts) {
  return QString(
             "<c:strRef><c:f>Sheet1!$A$1</c:f><c:strCache><c:ptCount val=\"%1\"/>%2"
             "</c:strCache></c:strRef>")
      .arg(texts.size())
      .arg(points(texts));
}

QString multiLevelRef(const std::vector<QStringList>& levels) {
  QString body;
  for (const QStringList& level : levels) body += "<c:lvl>" + points(level) + "</c:lvl>";
  return QString(
             "<c:multiLvlStrRef><c:f>Sheet1!$A$1</c:f><c:multiLvlStrCache>"
             "<c:ptCount val=\"%1\"/>%2</c:multiLvlStrCache></c:multiLvlStrRef>")
      .arg(levels.empty() ? 0 : levels.front().size())
      .arg(body);
}

QString series(int index, const QString& name, const QString& cat, const QString& val,
               const QString& extra) {
  return QString(
             "<c:ser><c:idx val=\"%1\"/><c:order val=\"%1\"/><c:tx><c:v>%2</c:v></c:tx>%3"
             "<c:cat>%4</c:cat><c:val>%5</c:val></c:ser>")
      .arg(index)
      .arg(escaped(name), extra, cat, val);
}

render::chart::ChartLayout layOut(const ooxml::chart::ChartModel& chart, QSizeF size) {
  return render::chart::layoutChart(chart, ooxml::chart::defaultTheme(),
                                    QRectF(QPointF(0, 0), size));
}

QImage picture(const ooxml::chart::ChartModel& chart, QSizeF size) {
  return render::chart::chartToImage(chart, ooxml::chart::defaultTheme(), size);
}

QString savePng(const QImage& image, const QString& folder, const QString& name) {
  const QString path = QDir(testenv::outputDir(folder)).filePath(name + ".png");
  EXPECT_TRUE(image.save(path)) << path.toStdString();
  return path;
}

QColor pixelAt(const QImage& image, QPointF p) {
  return image.pixelColor(int(std::floor(p.x() * kPixelsPerPoint)),
                          int(std::floor(p.y() * kPixelsPerPoint)));
}

bool sameColour(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

int inkIn(const QImage& image, const QRectF& r) {
  const QRect px =
      QRectF(r.topLeft() * kPixelsPerPoint, r.size() * kPixelsPerPoint).toAlignedRect() &
      image.rect();
  int ink = 0;
  for (int y = px.top(); y <= px.bottom(); ++y)
    for (int x = px.left(); x <= px.right(); ++x)
      if (qGray(image.pixel(x, y)) < 160) ++ink;
  return ink;
}

}  // namespace morvane::charttest
