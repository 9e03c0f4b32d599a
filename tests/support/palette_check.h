// Readability on a grab: a dark desktop palette to open windows under, and the contrast a
// region of a window's picture shows between its background and its text.
#pragma once

#include <QImage>
#include <QPalette>
#include <QRect>

namespace morvane::testenv {

// A dark palette as dark desktop themes set it: light text on dark grey, a blue highlight.
QPalette darkPalette();

// In `area` of `picture` (logical coordinates; the picture may have a device pixel ratio):
// the most frequent colour is taken for the background, and the result is the highest
// contrast ratio (1 to 21) any pixel there reaches against it; 1 for an empty area.
double textContrast(const QImage& picture, const QRect& area);

}  // namespace morvane::testenv
