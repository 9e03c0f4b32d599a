// Message boxes for the batch front end: each message goes to stderr as a terminal shows text
// (terminalText) and is answered with OK. A refusal makes the exit status 1.
#pragma once

#include "startup/message_box.h"

#include <QStringList>

namespace morvane::app {

// A box's text for a terminal: carriage returns as line breaks, each line from its margin
// (boxes centre lines with blanks), no empty lines before or after.
QString terminalText(const QString& prompt);

class ConsoleMessages : public startup::MessageBoxes {
 public:
  int msgBox(const QString& prompt, int style, const QString& title) override;
  const QStringList& shown() const { return m_shown; }

 private:
  QStringList m_shown;
};

}  // namespace morvane::app
