#include "mainwindow/help_launcher.h"

#include "startup/tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace morvane::mainwindow {

QStringList helpFileCandidates() {
  QStringList candidates;
  const QString appDir = QCoreApplication::applicationDirPath();
  if (!appDir.isEmpty())
    candidates << QDir::cleanPath(appDir + QStringLiteral("/../share/morvane/help/index.html"));
#ifdef MORVANE_HELP_SOURCE_DIR
  candidates << QStringLiteral(MORVANE_HELP_SOURCE_DIR "/index.html");
#endif
  return candidates;
}

void ShowHelp(startup::Tool& tool, const QStringList& candidates) {
  for (const QString& path : candidates) {
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) continue;
    if (tool.desktop.openFile(file.absoluteFilePath())) return;
    break;  // found but the desktop could not open it
  }
  tool.messages.msgBox(kHelpFailedMessage, startup::vbOKOnly, QString());
}

}  // namespace morvane::mainwindow
