// GoToPowerPoint: "Go to PPT" of the progress window: closes the tool's windows and brings
// the presentation that received the objects to the front.
#pragma once

#include "startup/tool.h"

#include <QString>

#include <functional>

namespace morvane::startup {

// "Microsoft PowerPoint - [" + the name with "]" appended and every ".ppt" (exact case)
// removed: "Deck.ppt" -> "Microsoft PowerPoint - [Deck]".
QString powerPointWindowTitle(const QString& presentationName);

// Unloads the main window, attaches to the presentation program (and creates the single
// instance), makes it visible, activates its window by title (ignored when that fails),
// saves the presentation and opens `presentationPath` (when not empty) in the desktop's
// viewer, then runs `unloadProgress`. With no form left the tool ends.
// Throws AutomationError when no presentation program runs (the main window is gone by then).
void GoToPowerPoint(Tool& tool, const QString& presentationPath,
                    const std::function<void()>& unloadProgress);

}  // namespace morvane::startup
