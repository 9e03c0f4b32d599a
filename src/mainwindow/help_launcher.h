// The help command: the HTML user guide opened with the desktop's browser.
#pragma once

#include <QString>
#include <QStringList>

namespace morvane::startup {
struct Tool;
}

namespace morvane::mainwindow {

inline const QString kHelpFailedMessage = QStringLiteral("Sorry, couldn't launch the help file...");

// Where the guide may be: share/morvane/help/index.html beside the installed program, then
// docs/help/index.html of the source tree the program was built from.
QStringList helpFileCandidates();

// Opens the first existing candidate with the desktop. When none exists or the desktop
// cannot open it, shows the failure message with an OK button and no title of its own.
void ShowHelp(startup::Tool& tool, const QStringList& candidates = helpFileCandidates());

}  // namespace morvane::mainwindow
