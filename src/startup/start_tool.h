// Start-up: from the entry point to the open main window, and the close command.
#pragma once

#include "startup/tool.h"

namespace morvane::startup {

inline const QString kNoExcelMessage = QStringLiteral("No running Excel instance found");
inline const QString kNoWorkbookMessage =
    QStringLiteral("An Excel instance found but no Activeworkbook");
inline const QString kNoObjectsMessage = QStringLiteral(
    "No objects to paste found! Please create a least one object in order to make Morvane© "
    "form visible");
// The protection refusal, lines joined by carriage returns.
QString protectedWorkbookMessage();
// One line per name the scan left out, "left out: NAME refers to several areas", joined by
// carriage returns: the notice start-up shows and the batch front end prints.
QString leftOutMessage(const QStringList& names);

// Attaches to the spreadsheet program, takes its active workbook, refuses a structure-
// protected workbook without the registry sheet, creates the registry sheet, renames every
// embedded chart "Chart k" by position, counts the objects, then shows the splash, loads and
// shows the main window and unloads the splash; when the window's scan left names out, one
// information message then names them. Each refusal shows its message and ends the tool.
// Throws AutomationError on any other failing call (the caller's guard reports it).
void StartTool(Tool& tool);

// Runs start-up's checks, the registry sheet creation and the chart renaming only (steps
// before any window): true when the main window may open; false after a refusal, whose
// message was shown and which ended the tool. Used by StartTool and the batch front end.
bool PrepareWorkbook(Tool& tool);

// The close command: the closing form, one yield, the main window unloaded, the closing form
// unloaded. The forms end the tool when no window is left.
void CloseTool(Tool& tool);

}  // namespace morvane::startup
