// PPTSLIDESLAYOUT: fits the object just pasted into the placement box the registry sheet's
// option cells give (or the built-in box) and moves it to the box's top-left corner.
#pragma once

#include "office/excel.h"
#include "office/powerpoint.h"

#include <memory>

namespace morvane::paste {

struct PlacementBox {
  float left = 20;
  float top = 120;
  float maxWidth = 680;
  float maxHeight = 400;
};

// J2, L2, O2, P2 of the registry sheet; the built-in box when O2 and P2 are both 0 (or
// empty), else the four cells as they stand (an empty cell is 0).
// Throws AutomationError: the registry sheet is missing, or a cell holds non-numeric text.
PlacementBox readPlacementBox(excel::Workbook& workbook);

// Selects the last shape of the slide in the active window's selection, scales it by one
// factor so that it fills the box as far as its proportions allow (small objects grow, large
// ones shrink; an object exactly the box's width is left as it is), then sets Top and Left
// to the box's corner. `presentation` is refreshed to the active presentation.
// A box with a maximum of 0 or less (one of O2/P2 set, the other empty) leaves the object at
// its pasted size: a factor of 0 would give it no size at all. So does an object of no width.
// Throws AutomationError from any failing call; the caller's run ends there.
void PPTSLIDESLAYOUT(ppt::Application& app, excel::Workbook& workbook,
                     std::shared_ptr<ppt::Presentation>& presentation);

}  // namespace morvane::paste
