// Reading a saved deck back as a package: its slide parts in show order and what each slide
// holds (pictures, embedded objects and their workbook parts), for the front-end tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "ooxml/package.h"

namespace morvane::apptest {

// The whole file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

struct DeckParts {
  std::unique_ptr<ooxml::Package> package;
  std::vector<QString> slides;  // slide part names in show order
  QString error;                // why the deck could not be read; empty on success

  int slideCount() const { return int(slides.size()); }
  // The XML of slide `number` (1-based); empty when there is no such slide.
  QByteArray slideXml(int number) const;
  // Top-level pictures on the slide (those inside an embedded object's frame excluded).
  int pictureCount(int number) const;
  // Embedded objects (p:oleObj) on the slide.
  int embeddedObjectCount(int number) const;
  // The parts the slide's embedded objects point at, in document order.
  std::vector<QString> embeddedParts(int number) const;
};

DeckParts readDeck(const QString& path);

}  // namespace morvane::apptest
