#include "startup/tool.h"

#include "office/automation_error.h"

namespace morvane::startup {

void Tool::end() {
  if (m_ended) return;
  m_ended = true;
  if (onEnd) onEnd();
}

bool RunGuarded(Tool& tool, const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const office::AutomationError& error) {
    tool.messages.msgBox(error.userText(), vbOKOnly + vbCritical, kToolTitle);
  } catch (const std::exception& error) {
    // Anything else escaping a command is a fault of the tool, reported the same way rather
    // than unwinding through the event loop.
    tool.messages.msgBox(QStringLiteral("Unexpected error:\r\r%1").arg(QString::fromUtf8(error.what())),
                         vbOKOnly + vbCritical, kToolTitle);
  }
  try {
    tool.office.saveAfterCommand();
  } catch (const std::exception& error) {
    tool.messages.msgBox(
        QStringLiteral("The presentation could not be saved:\r\r%1").arg(QString::fromUtf8(error.what())),
        vbOKOnly + vbCritical, kToolTitle);
  }
  tool.end();
  return false;
}

}  // namespace morvane::startup
