#include <QCheckBox>
#include <QCoreApplication>
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
#include "office/automation_error.h"
#include "paste/confirm_dialog.h"

namespace morvane::app {

int saveWorkbookIfAsked(const BatchOptions& options, ToolSession& run) {
  auto* host = run.office().workbookHost();
  if (!options.saveWorkbook || !host) return kExitDone;
  try {
    run.writeListEdits();
  } catch (const office::AutomationError& error) {
    printBatchError(error.userText());
    return kExitUnwritable;
  }
  const auto status = host->save(host->path());
  if (status) return kExitDone;
  printBatchError(status.error().message);
  return kExitUnwritable;
}

QString withoutPictures(int missing) {
  return missing ? QStringLiteral(", %1 without its picture").arg(missing) : QString();
}

int finishRun(const BatchOptions& options, ToolSession& run, int missing) {
  const int saved = saveWorkbookIfAsked(options, run);
  return saved != kExitDone ? saved : missing ? kExitRefused : kExitDone;
}

int runPaste(BatchOptions options) {
  const QString& deck = options.files[1];
  if (auto refusal = refuseWorkbookAsOutput(options.files[0], deck);
      refusal || (refusal = refuseNonDeck(deck))) {
    printBatchError(QStringLiteral("morvane paste: ") + *refusal);
    return kExitRefused;
  }
  if (auto problem = loadPlan(options)) {
    printBatchError(*problem);
    return kExitRefused;
  }
  auto workbook = hosts::workbook::openWorkbook(options.files[0]);
  if (!workbook) {
    printBatchError(workbook.error().message);
    return kExitUnreadable;
  }
  auto presentation = hosts::presentation::openPresentation(options.files[1]);
  if (!presentation) {
    printBatchError(presentation.error().message);
    return kExitUnreadable;
  }
  FileSession session(workbook.value());
  session.setPresentation(presentation.value());
  ProgressLine progress(stderr, ProgressLine::onTerminal(stderr, options.quiet));
  ConsoleMessages messages;
  BatchDesktop desktop;
  ToolSession run(session, messages, desktop);
  messages.showProgress(run.tool(), progress);
  if (!run.start()) return kExitRefused;

  if (!applyOptionsAndPress(run, options, [](mainwindow::UserFormObj& w) { w.SonicClick19_Click(); }))
    return kExitRefused;
  auto* dialog = run.paste().dialog();
  if (run.tool().ended() || !dialog) return kExitRefused;  // refused; the message is on stderr
  if (!dialog->SonicClick1->isVisibleTo(dialog)) {
    printBatchError(QStringLiteral("Nothing to paste: no object is included."));
    return kExitRefused;
  }
  if (options.labels) dialog->Check1->setChecked(*options.labels);
  const int before = session.presentationHost()->activePresentation()->slidesCount();
  run.run([&] { dialog->SonicClick1_Click(); });  // OK: the paste run of the current mode
  progress.clear();
  QCoreApplication::processEvents();
  if (run.tool().ended()) return kExitRefused;  // an automation failure, reported and saved
  // The paste command saved the deck as it ended and reported a failure then: saving again
  // would only write the same bytes, or print the same failure twice.
  if (!session.presentationHost()->lastSaveError().isEmpty()) return kExitUnwritable;
  const int after = session.presentationHost()->activePresentation()->slidesCount();
  // The objects without their pictures were named on stderr when the run ended.
  const int missing = int(run.paste().missingPictures().size());
  std::fprintf(stdout, "%d object(s) pasted%s; %s has %d slide(s) (%d new)\n",
               int(run.tool().progressTotal), qPrintable(withoutPictures(missing)),
               qPrintable(options.files[1]), after, after - before);
  return finishRun(options, run, missing);
}

}  // namespace morvane::app
