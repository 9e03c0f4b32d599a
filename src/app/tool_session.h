// ToolSession: one run of the tool over a workbook (and presentation): the program-wide
// state, the windows and the commands wired together, the same for the GUI and the batch.
#pragma once

#include "app/file_session.h"
#include "mainwindow/main_forms.h"
#include "paste/main_window_wiring.h"
#include "paste/paste_commands.h"
#include "pdf/pdf_commands.h"
#include "startup/tool.h"

#include <functional>
#include <memory>

namespace morvane::app {

class ToolSession {
 public:
  // REQUIRES: the references outlive the session. `onEnd` runs when the tool ends.
  ToolSession(FileSession& office, startup::MessageBoxes& messages, startup::Desktop& desktop,
              std::function<void()> onEnd = {});

  // Runs start-up (the splash, the checks, the main window) through the guarded entry point.
  // False when the tool ended instead (a refusal or a failure, already reported).
  bool start();
  // Runs `command` as a user's action would: an automation failure is shown, the hosts save
  // and the tool ends. False when the tool has ended.
  bool run(const std::function<void()>& command);

  // Writes the edits of the last main window (the loaded one, else the one the tool kept when
  // it was unloaded) into the registry sheet of the workbook in memory; nothing without one.
  // Throws AutomationError.
  void writeListEdits();

  startup::Tool& tool() { return m_tool; }
  FileSession& office() { return m_office; }
  mainwindow::MainForms& forms() { return *m_forms; }
  paste::PasteCommands& paste() { return *m_paste; }
  pdf::PdfCommands& pdf() { return *m_pdf; }
  mainwindow::UserFormObj* mainWindow() const { return m_forms->mainWindow(); }

 private:
  FileSession& m_office;
  startup::Tool m_tool;
  std::unique_ptr<mainwindow::MainForms> m_forms;
  std::unique_ptr<paste::MainFormsRegistry> m_registry;
  std::unique_ptr<paste::PasteCommands> m_paste;
  std::unique_ptr<pdf::PdfCommands> m_pdf;
};

}  // namespace morvane::app
