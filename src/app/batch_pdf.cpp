#include "app/batch.h"

#include "app/batch_options.h"
#include "app/console_messages.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "app/tool_session.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>

#include <cstdio>
#include <optional>

namespace morvane::app {

namespace {

int usage(const QString& problem) {
  if (!problem.isEmpty()) std::fprintf(stderr, "morvane pdf: %s\n", qPrintable(problem));
  std::fprintf(stderr,
               "usage: morvane pdf WORKBOOK [OUT.pdf] [--mode title|number] [--order name|sheet|numerator]\n"
               "                   [--footer|--no-footer] [--save-workbook] [--plan FILE]\n");
  return kExitUsage;
}

}  // namespace

int runPdf(const QStringList& args) {
  BatchOptions options;
  if (auto problem = parseBatchOptions(args, {"--mode", "--order", "--footer", "--no-footer", "--save-workbook", "--plan"}, options))
    return usage(*problem);
  if (options.files.isEmpty() || options.files.size() > 2) return usage(QString());
  if (auto problem = loadPlan(options)) {
    printBatchError(*problem);
    return kExitRefused;
  }
  auto workbook = hosts::workbook::openWorkbook(options.files[0]);
  if (!workbook) {
    printBatchError(workbook.error().message);
    return kExitUnreadable;
  }
  FileSession session(workbook.value());
  ConsoleMessages messages;
  BatchDesktop desktop;
  ToolSession run(session, messages, desktop);
  if (options.files.size() == 2) run.pdf().setOutputPath(QFileInfo(options.files[1]).absoluteFilePath());
  if (!run.start()) return kExitRefused;

  if (!applyOptionsAndPress(run, options, [](mainwindow::UserFormObj& w) { w.SonicClick10_Click(); }))
    return kExitRefused;
  auto* dialog = run.pdf().dialog();
  if (run.tool().ended() || !dialog) return kExitRefused;
  if (!dialog->SonicClick2->isVisibleTo(dialog)) {
    printBatchError(QStringLiteral("Nothing to write: no object is included."));
    return kExitRefused;
  }
  dialog->Check1->setChecked(options.labels.value_or(true));
  dialog->Check2->setChecked(false);  // a batch run never opens the file
  run.run([&] { dialog->SonicClick2_Click(); });  // OK: the export of the current mode
  QCoreApplication::processEvents();
  if (run.tool().ended()) return kExitRefused;  // an automation failure, already reported
  switch (run.pdf().lastOutcome()) {
    case pdf::PdfCommands::Outcome::Written:
      std::fprintf(stdout, "%d page(s) written to %s\n", run.pdf().lastPageCount(),
                   qPrintable(run.pdf().outputPath()));
      return saveWorkbookIfAsked(options, session);
    case pdf::PdfCommands::Outcome::NotCreated:
    case pdf::PdfCommands::Outcome::NotFinished:
      return kExitUnwritable;  // the message is on stderr
    case pdf::PdfCommands::Outcome::NotRun:
      break;
  }
  return kExitRefused;
}

}  // namespace morvane::app
