// The desktop seams of the two front ends: message boxes and the desktop as the GUI shows
// them, and the desktop of a batch run, which never touches the user's screen.
#pragma once

#include "startup/message_box.h"
#include "startup/tool.h"

namespace morvane::app {

// QMessageBox with the style's buttons and icon; carriage returns shown as line breaks.
class QtMessages : public startup::MessageBoxes {
 public:
  int msgBox(const QString& prompt, int style, const QString& title) override;
};

class QtDesktop : public startup::Desktop {
 public:
  void yield() override;
  void sleepMs(int milliseconds) override;
  bool openFile(const QString& path) override;
  // No portable way to raise another program's window: always false.
  bool activateWindow(const QString& title) override;
};

// Batch runs: events are processed (the windows exist offscreen), nothing is opened.
class BatchDesktop : public startup::Desktop {
 public:
  void yield() override;
  void sleepMs(int milliseconds) override;
  bool openFile(const QString&) override { return false; }
  bool activateWindow(const QString&) override { return false; }
};

}  // namespace morvane::app
