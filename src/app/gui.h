// The GUI front end: `morvane [WORKBOOK [PRESENTATION]]`. Missing files are asked for with
// file dialogs; cancelling the workbook leaves the spreadsheet program without a workbook
// (start-up then says so), cancelling the presentation leaves none open.
#pragma once

#include <QStringList>

namespace morvane::app {

int runGui(const QStringList& args);

}  // namespace morvane::app
