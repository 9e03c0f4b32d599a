#include "app/gui.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include "app/batch.h"
#include "app/desktop_seams.h"
#include "app/file_choosers.h"
#include "app/file_session.h"
#include "app/tool_session.h"
#include "office/automation_error.h"

namespace morvane::app {

namespace {

void cannotRead(const QString& message) {
  QMessageBox::critical(nullptr, QStringLiteral("Morvane©"), message);
}

// At the end, as the spreadsheet program asks on closing: save the changed workbook? False
// when the save was asked for and failed (the message was shown).
bool offerWorkbookSave(FileSession& session) {
  auto* host = session.workbookHost();
  if (!host || !host->isModified()) return true;
  const auto answer = QMessageBox::question(
      nullptr, QStringLiteral("Morvane©"),
      QStringLiteral("Save the changes Morvane© made to %1 (its object registry and chart names)?")
          .arg(QFileInfo(host->path()).fileName()),
      QMessageBox::Save | QMessageBox::Discard, QMessageBox::Save);
  if (answer != QMessageBox::Save) return true;
  const auto status = host->save(host->path());
  if (!status) cannotRead(status.error().message);
  return status.ok();
}

// One run of the tool on `workbook` until its last window closes, then the deck's save and
// the save question. `dropped` receives a workbook dropped on the main window, which closed
// the tool to start again on it.
int runSession(const hosts::workbook::OpenedWorkbook& workbook,
               const hosts::presentation::LoadedPresentation& presentation, QString& dropped) {
  FileSession session(workbook);
  if (presentation.application) session.setPresentation(presentation);
  QtMessages messages;
  QtDesktop desktop;
  ToolSession run(session, messages, desktop, [] { QCoreApplication::quit(); });
  auto commands = run.forms().commands();
  commands.openWorkbook = [&dropped](mainwindow::UserFormObj& window, const QString& path) {
    dropped = path;
    window.SonicClick6_Click();
  };
  run.forms().setCommands(commands);
  // A refusal at start-up (no workbook, no objects, a protected workbook) was shown already;
  // nothing was pasted then, so a deck that does not exist yet is not created.
  const bool started = run.start();
  // The benchmark times start-up to the listed window, then ends the run, saving nothing.
  if (started && qEnvironmentVariableIsSet("MORVANE_BENCH_EXIT_WHEN_LISTED")) {
    QCoreApplication::processEvents();
    return kExitDone;
  }
  int status = started ? QApplication::exec() : kExitRefused;
  try {
    if (started) session.saveAfterCommand();
  } catch (const std::exception& error) {
    cannotRead(QString::fromUtf8(error.what()));
    status = kExitUnwritable;
  }
  // The windows' edits join the workbook's changes; only Save writes them to the file.
  try {
    run.writeListEdits();
  } catch (const office::AutomationError& error) {
    cannotRead(error.userText());
  }
  if (!offerWorkbookSave(session)) status = kExitUnwritable;
  return status;
}

}  // namespace

int runGui(const QStringList& args) {
  QApplication::setQuitOnLastWindowClosed(false);
  // A workbook named on the command line that cannot be read ends the run; one chosen or
  // dropped brings the chooser back.
  bool chosen = args.isEmpty();
  QString workbookPath = chosen ? chooseWorkbook() : args[0];
  hosts::presentation::LoadedPresentation presentation;
  bool presentationAsked = false;
  for (;;) {
    hosts::workbook::OpenedWorkbook workbook;
    if (!workbookPath.isEmpty()) {
      auto opened = hosts::workbook::openWorkbook(workbookPath);
      if (!opened) {
        cannotRead(opened.error().message);
        if (!chosen) return kExitUnreadable;
        workbookPath = chooseWorkbook();
        if (workbookPath.isEmpty()) return kExitUnreadable;
        continue;
      }
      workbook = opened.value();
      rememberWorkbook(workbookPath);
    }
    if (workbook.application && !presentationAsked) {
      presentationAsked = true;
      const QString presentationPath = args.size() > 1 ? args[1] : choosePresentation();
      if (!presentationPath.isEmpty()) {
        auto opened = hosts::presentation::openPresentation(presentationPath);
        if (!opened) {
          cannotRead(opened.error().message);
          return kExitUnreadable;
        }
        presentation = opened.value();
      }
    }
    QString dropped;
    const int status = runSession(workbook, presentation, dropped);
    if (dropped.isEmpty()) return status;
    workbookPath = dropped;
    chosen = true;
  }
}

}  // namespace morvane::app
