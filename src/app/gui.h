// The GUI front end: `morvane [WORKBOOK [PRESENTATION]]`. Missing files are asked for with
// file dialogs; cancelling the workbook leaves the spreadsheet program without a workbook
// (start-up then says so), cancelling the presentation leaves none open.
#pragma once

#include <QStringList>

namespace morvane::app {

// Runs the tool until its last window closes, then saves the presentation and, when the
// workbook changed, asks whether to save it. Returns the exit status: 0 done; 1 start-up
// refused (its message was shown); 2 a file could not be read (a message names it; nothing is
// written); 3 the presentation or the workbook could not be written.
int runGui(const QStringList& args);

}  // namespace morvane::app
