// PPTSLIDESLAYOUT: fits the object just pasted into the placement box the registry sheet's
// option cells give (or the built-in box, fitted to the slide) and moves it to the box's
// top-left corner.
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
  bool builtIn = true;  // false: the option cells gave it
};

// A slide's size in points; 720 × 540 is the size the built-in box was laid out for.
struct SlideSize {
  float width = 720;
  float height = 540;
};

// PageSetup.SlideWidth and SlideHeight. Throws AutomationError from a failing call.
SlideSize slideSize(ppt::Presentation& presentation);

// J2, L2, O2, P2 of the registry sheet; the built-in box when O2 and P2 are both 0 (or
// empty), else the four cells as they stand (an empty cell is 0).
// Throws AutomationError: the registry sheet is missing, or a cell holds non-numeric text.
PlacementBox readPlacementBox(excel::Workbook& workbook);

// The built-in box on a slide of `slide` size: left and width scaled by width ÷ 720, top
// and height by height ÷ 540, so it covers the same part of any slide (on 720 × 540 it is
// unchanged). A box from the option cells is in points as the user gave it: returned as is.
PlacementBox onSlide(const PlacementBox& box, const SlideSize& slide);

// Selects the last shape of the slide in the active window's selection, scales it by one
// factor so that it fills the box as far as its proportions allow (small objects grow, large
// ones shrink; an object exactly the box's width is left as it is), then sets Top and Left
// to the box's corner. `presentation` is refreshed to the active presentation.
// A box with a maximum of 0 or less (one of O2/P2 set, the other empty) leaves the object at
// its pasted size: a factor of 0 would give it no size at all. So does an object of no width.
// A box from the option cells never leaves the object outside the slide: a corner beyond the
// slide's edge comes back inside, then the object shrinks (keeping its proportions) to end at
// the slide's right and bottom edges.
// Throws AutomationError from any failing call; the caller's run ends there.
void PPTSLIDESLAYOUT(ppt::Application& app, excel::Workbook& workbook,
                     std::shared_ptr<ppt::Presentation>& presentation);

}  // namespace morvane::paste
