// The built-in blank presentation: 4:3 (720 x 540 points), one master with its theme, a Title
// Only and a Blank layout, no slides. Generated here, so no template file ships.
#pragma once

#include <memory>

#include "ooxml/package.h"

namespace morvane::ooxml::pptx {

// A fresh package holding the blank presentation; never fails.
std::unique_ptr<ooxml::Package> createBlankPackage();

}  // namespace morvane::ooxml::pptx
