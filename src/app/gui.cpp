#include "app/gui.h"

#include "app/batch.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "app/tool_session.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace morvane::app {

namespace {

QString askWorkbook() {
  return QFileDialog::getOpenFileName(nullptr, QStringLiteral("Morvane© - open a workbook"),
                                      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                      QStringLiteral("Workbooks (*.xlsx *.xlsm)"));
}

// An existing deck or the name of a new one.
QString askPresentation() {
  return QFileDialog::getSaveFileName(nullptr, QStringLiteral("Morvane© - presentation to paste into"),
                                      QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                      QStringLiteral("Presentations (*.pptx)"), nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

void cannotRead(const QString& message) {
  QMessageBox::critical(nullptr, QStringLiteral("Morvane©"), message);
}

// At the end, as the spreadsheet program asks on closing: save the changed workbook?
void offerWorkbookSave(FileSession& session) {
  auto* host = session.workbookHost();
  if (!host || !host->isModified()) return;
  const auto answer = QMessageBox::question(
      nullptr, QStringLiteral("Morvane©"),
      QStringLiteral("Save the changes Morvane© made to %1 (its object registry and chart names)?")
          .arg(QFileInfo(host->path()).fileName()),
      QMessageBox::Save | QMessageBox::Discard, QMessageBox::Save);
  if (answer != QMessageBox::Save) return;
  if (const auto status = host->save(host->path()); !status) cannotRead(status.error().message);
}

}  // namespace

int runGui(const QStringList& args) {
  QApplication::setQuitOnLastWindowClosed(false);
  const QString workbookPath = args.size() > 0 ? args[0] : askWorkbook();
  office::files::OpenedWorkbook workbook;
  if (!workbookPath.isEmpty()) {
    auto opened = office::files::openWorkbook(workbookPath);
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
      auto presentation = office::files::openPresentation(presentationPath);
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
  int status = kExitDone;
  if (run.start()) status = QApplication::exec();
  try {
    session.saveAfterCommand();
  } catch (const std::exception& error) {
    cannotRead(QString::fromUtf8(error.what()));
    status = kExitUnwritable;
  }
  offerWorkbookSave(session);
  return status;
}

}  // namespace morvane::app
