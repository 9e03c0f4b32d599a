// The pictures of a saved slide as the package holds them: the part each picture's blip
// shows and the SVG part its vector-picture extension names, for the tests of SVG pictures.
#pragma once

#include <QString>
#include <vector>

#include "ooxml/package.h"

namespace morvane::blips {

struct PictureBlip {
  QString image;  // part name of the blip's picture
  QString svg;    // part name of the SVG its extension names; empty when it has none
};

// Every a:blip of `slidePart` in document order; empty when the slide cannot be read.
std::vector<PictureBlip> pictureBlips(const ooxml::Package& package, const QString& slidePart);

}  // namespace morvane::blips
