// How the GUI asks for its files: the workbook chooser (the last workbooks opened, or a file
// dialog) and the presentation chooser ("Open…" an existing deck or "New deck…"). The
// dialogs start in the folder last used; both that folder and the recent workbooks are kept
// between runs with QSettings.
#pragma once

#include <QString>
#include <QStringList>

namespace morvane::app {

inline constexpr int kRecentWorkbooks = 8;

// The workbooks opened last that still exist, the latest first, at most kRecentWorkbooks.
QStringList recentWorkbooks();
// Puts `path` first among the recent workbooks and keeps its folder as the last used.
void rememberWorkbook(const QString& path);

// The workbook to open: chosen from the recent ones or in a file dialog; empty when the user
// cancelled.
QString chooseWorkbook();
// The deck to paste into: an existing one, or a new name ending in .pptx; empty when the
// user cancelled.
QString choosePresentation();

}  // namespace morvane::app
