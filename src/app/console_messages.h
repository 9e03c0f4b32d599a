// Message boxes for the batch front end: each message goes to stderr as a terminal shows text
// (terminalText) and is answered with OK. A refusal makes the exit status 1.
#pragma once

#include <QStringList>

#include "app/progress_line.h"
#include "startup/message_box.h"
#include "startup/tool.h"

namespace morvane::app {

// A box's text for a terminal: carriage returns as line breaks, each line from its margin
// (boxes centre lines with blanks), no empty lines before or after.
QString terminalText(const QString& prompt);

class ConsoleMessages : public startup::MessageBoxes {
 public:
  int msgBox(const QString& prompt, int style, const QString& title) override;
  const QStringList& shown() const { return m_shown; }
  // A message printed while a progress line shows takes the line's place first.
  void setProgressLine(ProgressLine* line) { m_progress = line; }
  // Shows each object `tool`'s runs report on `line`, which this object's messages clear.
  void showProgress(startup::Tool& tool, ProgressLine& line);

 private:
  QStringList m_shown;
  ProgressLine* m_progress = nullptr;
};

}  // namespace morvane::app
