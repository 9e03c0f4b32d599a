#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>
#include <cstdio>
#include <optional>

#include "app/batch.h"
#include "app/batch_options.h"
#include "app/console_messages.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "app/output_paths.h"
#include "app/tool_session.h"

namespace morvane::app {

int runPdf(BatchOptions options) {
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
  ProgressLine progress(stderr, ProgressLine::onTerminal(stderr, options.quiet));
  ConsoleMessages messages;
  BatchDesktop desktop;
  ToolSession run(session, messages, desktop);
  messages.showProgress(run.tool(), progress);
  if (options.files.size() == 2)
    run.pdf().setOutputPath(QFileInfo(withPdfSuffix(options.files[1])).absoluteFilePath());
  const QString output = run.pdf().outputPath();
  if (auto refusal = refuseWorkbookAsOutput(options.files[0], output);
      refusal || (refusal = refuseNonPdf(output, options.force))) {
    printBatchError(QStringLiteral("morvane pdf: ") + *refusal);
    return kExitRefused;
  }
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
  progress.clear();
  QCoreApplication::processEvents();
  if (run.tool().ended()) return kExitRefused;  // an automation failure, already reported
  switch (run.pdf().lastOutcome()) {
    case pdf::PdfCommands::Outcome::Written: {
      // The rows without their pictures were named on stderr when the run ended.
      const int missing = int(run.pdf().lastMissingPictures().size());
      std::fprintf(stdout, "%d page(s) written to %s%s\n", run.pdf().lastPageCount(),
                   qPrintable(run.pdf().outputPath()), qPrintable(withoutPictures(missing)));
      return finishRun(options, run, missing);
    }
    case pdf::PdfCommands::Outcome::NotCreated:
    case pdf::PdfCommands::Outcome::NotFinished:
      return kExitUnwritable;  // the message is on stderr
    case pdf::PdfCommands::Outcome::NotRun:
      break;
  }
  return kExitRefused;
}

}  // namespace morvane::app
