#include "app/console_messages.h"

#include <cstdio>

namespace morvane::app {

int ConsoleMessages::msgBox(const QString& prompt, int style, const QString& title) {
  QString text = prompt;
  text.replace(QChar(13), QChar(10));
  m_shown.append(text);
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  return startup::vbOK;
}

}  // namespace morvane::app
