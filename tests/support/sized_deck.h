// Generated decks for slide sizes the corpus may lack: the built-in blank presentation with
// its slide size, and the positions on its master and layouts, scaled to any size in points.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

namespace morvane::pptxfixture {

// The blank presentation (no slides) on slides of `points`.
QByteArray blankDeck(const QSizeF& points);
// Writes blankDeck(points) to `path`; false when it cannot be written.
bool writeBlankDeck(const QString& path, const QSizeF& points);

}  // namespace morvane::pptxfixture
