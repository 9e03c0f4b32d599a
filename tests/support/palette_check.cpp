#include "support/palette_check.h"

#include <QColor>
#include <QHash>
#include <algorithm>
#include <cmath>

namespace morvane::testenv {

namespace {

double luminance(QRgb rgb) {
  const auto channel = [](int v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

}  // namespace

QPalette darkPalette() {
  QPalette p;
  const QColor window(53, 53, 53), base(42, 42, 42), text(240, 240, 240);
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, window);
    p.setColor(group, QPalette::Button, window);
    p.setColor(group, QPalette::Base, base);
    p.setColor(group, QPalette::AlternateBase, window);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      p.setColor(group, role, text);
    p.setColor(group, QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  return p;
}

double textContrast(const QImage& picture, const QRect& area) {
  const qreal ratio = picture.devicePixelRatio();
  const QRect pixels = QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio)
                           .toAlignedRect()
                           .intersected(picture.rect());
  QHash<QRgb, int> counts;
  for (int y = pixels.top(); y <= pixels.bottom(); ++y)
    for (int x = pixels.left(); x <= pixels.right(); ++x)
      ++counts[picture.pixel(x, y) | 0xff000000];
  if (counts.isEmpty()) return 1;
  const QRgb background =
      std::max_element(counts.constKeyValueBegin(), counts.constKeyValueEnd(),
                       [](const auto& a, const auto& b) { return a.second < b.second; })
          ->first;
  const double lb = luminance(background);
  double best = 1;
  for (auto it = counts.constKeyValueBegin(); it != counts.constKeyValueEnd(); ++it) {
    const double l = luminance(it->first);
    best = std::max(best, (std::max(l, lb) + 0.05) / (std::min(l, lb) + 0.05));
  }
  return best;
}

}  // namespace morvane::testenv
