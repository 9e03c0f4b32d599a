#include "app/console_messages.h"

#include <QRegularExpression>
#include <cstdio>

namespace morvane::app {

QString terminalText(const QString& prompt) {
  // Boxes centre their lines with blanks and break them with carriage returns; a terminal
  // shows each line from its margin.
  QStringList lines = QString(prompt)
                          .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                          .split(QRegularExpression(QStringLiteral("[\r\n]")));
  for (QString& line : lines) line = line.trimmed();
  while (!lines.isEmpty() && lines.front().isEmpty()) lines.removeFirst();
  while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  return lines.join(QLatin1Char('\n'));
}

int ConsoleMessages::msgBox(const QString& prompt, int style, const QString& title) {
  const QString text = terminalText(prompt);
  m_shown.append(text);
  if (m_progress) m_progress->clear();
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  return startup::vbOK;
}

void ConsoleMessages::showProgress(startup::Tool& tool, ProgressLine& line) {
  m_progress = &line;
  tool.onObject = [&line](int done, int total, const QString& name, const QString& sheet) {
    line.show(done, total, name + QStringLiteral(" on ") + sheet);
  };
}

}  // namespace morvane::app
