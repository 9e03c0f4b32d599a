// Decks generated for the tests, from the built-in blank presentation: any slide size (the
// corpus has few), and a slide whose placeholders take their places from a layout.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace morvane::pptxfixture {

// The blank presentation (no slides) on slides of `points`.
QByteArray blankDeck(const QSizeF& points);
// Writes blankDeck(points) to `path`; false when it cannot be written.
bool writeBlankDeck(const QString& path, const QSizeF& points);

// A 4:3 deck of one slide on a two-column layout ("twoObj"): a title; a left column (idx 1)
// placed and sized by the layout, its first level 24 points there, its bullets the
// master's; a right column (idx 2) with its own place and right alignment, which the layout
// anchors at the bottom and gives no bullet. Both columns hold a point and a detail below it.
QByteArray twoColumnDeck();

}  // namespace morvane::pptxfixture
