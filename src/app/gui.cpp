#include "app/gui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QStandardPaths>

#include "app/batch.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "app/tool_session.h"
#include "office/automation_error.h"

namespace morvane::app {

namespace {

// A desktop's own file dialog has no screen to appear on under the offscreen platform and
// would wait there unanswerable; Qt's dialog works on every platform.
QFileDialog::Options fileDialogOptions() {
  QFileDialog::Options options;
  if (QGuiApplication::platformName() == QLatin1String("offscreen"))
    options |= QFileDialog::DontUseNativeDialog;
  return options;
}

QString askWorkbook() {
  return QFileDialog::getOpenFileName(
      nullptr, QStringLiteral("Morvane© - open a workbook"),
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
      QStringLiteral("Workbooks (*.xlsx *.xlsm)"), nullptr, fileDialogOptions());
}

// An existing deck or the name of a new one.
QString askPresentation() {
  return QFileDialog::getSaveFileName(
      nullptr, QStringLiteral("Morvane© - presentation to paste into"),
      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
      QStringLiteral("Presentations (*.pptx)"), nullptr,
      fileDialogOptions() | QFileDialog::DontConfirmOverwrite);
}

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

}  // namespace

int runGui(const QStringList& args) {
  QApplication::setQuitOnLastWindowClosed(false);
  const QString workbookPath = args.size() > 0 ? args[0] : askWorkbook();
  hosts::workbook::OpenedWorkbook workbook;
  if (!workbookPath.isEmpty()) {
    auto opened = hosts::workbook::openWorkbook(workbookPath);
    if (!opened) {
      cannotRead(opened.error().message);
      return kExitUnreadable;
    }
    workbook = opened.value();
  }
  FileSession session(workbook);
  if (workbook.application) {
    const QString presentationPath = args.size() > 1 ? args[1] : askPresentation();
    if (!presentationPath.isEmpty()) {
      auto presentation = hosts::presentation::openPresentation(presentationPath);
      if (!presentation) {
        cannotRead(presentation.error().message);
        return kExitUnreadable;
      }
      session.setPresentation(presentation.value());
    }
  }

  QtMessages messages;
  QtDesktop desktop;
  ToolSession run(session, messages, desktop, [] { QCoreApplication::quit(); });
  // A refusal at start-up (no workbook, no objects, a protected workbook) was shown already;
  // nothing was pasted then, so a deck that does not exist yet is not created.
  const bool started = run.start();
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

}  // namespace morvane::app
