// Message boxes for the batch front end: each message goes to stderr as text (carriage
// returns turned into newlines) and is answered with OK. A refusal makes the exit status 1.
#pragma once

#include "startup/message_box.h"

#include <QStringList>

namespace morvane::app {

class ConsoleMessages : public startup::MessageBoxes {
 public:
  int msgBox(const QString& prompt, int style, const QString& title) override;
  const QStringList& shown() const { return m_shown; }

 private:
  QStringList m_shown;
};

}  // namespace morvane::app
