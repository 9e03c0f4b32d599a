#include "startup/go_to_powerpoint.h"

#include "office/powerpoint.h"

namespace morvane::startup {

QString powerPointWindowTitle(const QString& presentationName) {
  QString title = presentationName + QLatin1Char(']');
  title.remove(QStringLiteral(".ppt"), Qt::CaseSensitive);
  return QStringLiteral("Microsoft PowerPoint - [") + title;
}

void GoToPowerPoint(Tool& tool, const QString& presentationPath,
                    const std::function<void()>& unloadProgress) {
  if (tool.forms) tool.forms->unloadMainWindow();
  tool.office.attachPowerPoint();
  const auto app = tool.office.createPowerPoint();
  app->setVisible(true);
  const QString title = powerPointWindowTitle(app->activePresentation()->name());
  tool.desktop.activateWindow(title);  // nothing to bring forward is no failure
  app->save();
  if (!presentationPath.isEmpty()) tool.desktop.openFile(presentationPath);
  if (unloadProgress) unloadProgress();
}

}  // namespace morvane::startup
