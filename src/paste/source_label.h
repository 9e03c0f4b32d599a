// LabelInSlide: the one-line source label (workbook path, object name, sheet) at the
// bottom left of the slide the active window shows.
#pragma once

#include <QPointF>
#include <QString>

#include "office/powerpoint.h"
#include "paste/placement.h"

namespace morvane::paste {

// "FullName ,  name ,  sheet".
QString labelText(const QString& fullName, const QString& name, const QString& sheet);

// The label's top-left corner on a slide of `slide` size; (20.25, 515) on 720 × 540. The top
// keeps its place relative to the slide's height (× height ÷ 540), never so low that the first
// line leaves the slide. The left keeps lining up with the picture: scaled by width ÷ 720 with
// the built-in box, which is scaled so; at 20.25 points beside a box the option cells give in
// points.
QPointF labelPosition(const SlideSize& slide, bool builtInBox);

// Adds the label through the active window's selection: a horizontal label at `topLeft`,
// 8.5 × 28.875 points, no word wrap, left aligned, Tahoma 10, then unselects.
// REQUIRES: the selection is on the slide to label. Throws AutomationError from any call.
void LabelInSlide(ppt::Application& app, const QString& text, QPointF topLeft);

}  // namespace morvane::paste
