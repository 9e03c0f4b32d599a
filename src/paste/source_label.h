// LabelInSlide: the one-line source label (workbook path, object name, sheet) at the
// bottom left of the slide the active window shows.
#pragma once

#include "office/powerpoint.h"

#include <QString>

namespace morvane::paste {

// "FullName ,  name ,  sheet".
QString labelText(const QString& fullName, const QString& name, const QString& sheet);

// Adds the label through the active window's selection: a horizontal label at (20.25, 515),
// 8.5 × 28.875 points, no word wrap, left aligned, Tahoma 10, then unselects.
// REQUIRES: the selection is on the slide to label. Throws AutomationError from any call.
void LabelInSlide(ppt::Application& app, const QString& text);

}  // namespace morvane::paste
