// Charts written as chart-part XML in the tests themselves: builders for caches and series,
// reading through the real reader, laying out with the default theme, and saving a picture
// for people to look at.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "render/chart/chart_layout.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace morvane::charttest {

// The model of a chart part whose c:chart element holds `chartBody` (c:title, c:plotArea,
// c:legend ...); `spaceExtra` goes before c:chart (c:date1904 ...). Fails the test when the
// part does not read.
ooxml::chart::ChartModel chartFromXml(const QString& chartBody,
                                      const QString& spaceExtra = QString());

// c:numRef with a cache of `values` (nullopt: an absent point) and `formatCode`.
QString numRef(const std::vector<std::optional<double>>& values,
               const QString& formatCode = "General");
// c:strRef with a cache of `texts` (an empty text: an absent point).
QString strRef(const QStringList& texts);
// c:multiLvlStrRef; levels[0] is the innermost, an empty text an absent point.
QString multiLevelRef(const std::vector<QStringList>& levels);
// c:ser with c:idx/c:order `index`, a literal name, and c:cat / c:val holding `cat` / `val`.
QString series(int index, const QString& name, const QString& cat, const QString& val,
               const QString& extra = QString());

// The layout and the picture of `chart` at `size` points with the default theme.
render::chart::ChartLayout layOut(const ooxml::chart::ChartModel& chart,
                                  QSizeF size = QSizeF(360, 216));
QImage picture(const ooxml::chart::ChartModel& chart, QSizeF size = QSizeF(360, 216));
// Saves `image` as NAME.png in the test output folder `folder`; returns the path.
QString savePng(const QImage& image, const QString& folder, const QString& name);

// Pixels of `image` (96 dpi) at layout point `p` (points).
QColor pixelAt(const QImage& image, QPointF p);
// True when `a` and `b` differ by at most `tolerance` in each 8-bit channel.
bool sameColour(const QColor& a, const QColor& b, int tolerance = 2);
// Dark pixels (grey below 160) in the rectangle `r` (points) of a 96 dpi image.
int inkIn(const QImage& image, const QRectF& r);

}  // namespace morvane::charttest
