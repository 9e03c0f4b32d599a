// The batch front end: `morvane list|paste|pdf|export ...`, run offscreen with the same
// start-up, scan, windows and handlers as the GUI.
#pragma once

#include "app/batch_options.h"

namespace morvane::app {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUnreadable = 2;
inline constexpr int kExitUnwritable = 3;
inline constexpr int kExitUsage = 64;  // the command line was wrong

// `morvane list WORKBOOK [--save-workbook]`: prints name, sheet, include flag and numerator of
// every object, tab-separated, in numerator order.
int runList(BatchOptions options);

// `morvane paste WORKBOOK PRESENTATION [options]`: pastes every included object into the
// presentation (a new deck when the file does not exist) through the main window's own
// "Paste to PowerPoint" and its dialog, then saves the presentation.
int runPaste(BatchOptions options);

// `morvane pdf WORKBOOK [OUT.pdf] [options]`: writes every included object, a page each, into
// OUT.pdf (by default Morvane©.pdf in the documents folder) through the main window's own
// "Create  PDF" and its dialog; the file is never opened.
int runPdf(BatchOptions options);

// `morvane refresh WORKBOOK PRESENTATION [--dry-run] [--from NAME] [--labels|--no-labels]`:
// draws every object pasted from WORKBOOK (or from the file NAME) again where it stands in
// PRESENTATION and saves the deck once; 1 when something was reported.
int runRefresh(BatchOptions options);

// `morvane export WORKBOOK DIR [--format png|emf|svg]`: every object of the list, whatever
// its include flag, as an image file named after its sheet and name (clashes numbered).
int runExport(BatchOptions options);

}  // namespace morvane::app
