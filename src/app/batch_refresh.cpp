#include <QFileInfo>
#include <cstdio>

#include "app/batch.h"
#include "app/console_messages.h"
#include "app/desktop_seams.h"
#include "app/file_session.h"
#include "app/output_paths.h"
#include "app/progress_line.h"
#include "office/automation_error.h"
#include "paste/refresh_run.h"
#include "registry/registry.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

namespace morvane::app {

namespace {

void printLine(std::FILE* to, const QString& line) {
  std::fprintf(to, "%s\n", line.toUtf8().constData());
}

// The included objects of the list as the start-up scan leaves it.
std::vector<paste::ListedObject> includedObjects(const registry::ObjectTable& table) {
  std::vector<paste::ListedObject> out;
  for (int r = 1; r <= table.rowCount(); ++r)
    if (table.at(registry::kColInclude, r).toText() == QLatin1String("Y"))
      out.push_back(
          {table.at(registry::kColName, r).toText(), table.at(registry::kColSheet, r).toText()});
  return out;
}

std::optional<QString> refuseDeck(const QString& workbook, const QString& deck) {
  if (!QFileInfo(deck).isFile())
    return QStringLiteral("%1 does not exist: refresh works on a deck an earlier paste wrote")
        .arg(deck);
  if (auto refusal = refuseWorkbookAsOutput(workbook, deck)) return refusal;
  return refuseNonDeck(deck);
}

}  // namespace

int runRefresh(BatchOptions options) {
  const QString& deck = options.files[1];
  if (auto refusal = refuseDeck(options.files[0], deck)) {
    printBatchError(QStringLiteral("morvane refresh: ") + *refusal);
    return kExitRefused;
  }
  auto workbook = hosts::workbook::openWorkbook(options.files[0]);
  if (!workbook) {
    printBatchError(workbook.error().message);
    return kExitUnreadable;
  }
  auto presentation = hosts::presentation::openPresentation(deck);
  if (!presentation) {
    printBatchError(presentation.error().message);
    return kExitUnreadable;
  }
  FileSession session(workbook.value());
  session.setPresentation(presentation.value());
  ConsoleMessages messages;
  BatchDesktop desktop;
  startup::Tool tool(session, messages, desktop);
  ProgressLine progress(stderr, ProgressLine::onTerminal(stderr, options.quiet));

  paste::RefreshReport report;
  try {
    if (!startup::PrepareWorkbook(tool)) return kExitRefused;
    registry::SyncRegistry(*tool.workbook, tool.objectTable, tool.counts, tool.leftOutNames);
    paste::RefreshRequest request;
    request.taggedWith = options.from;
    request.dryRun = options.dryRun;
    request.labels = options.labels.value_or(true);
    request.listed = includedObjects(tool.objectTable);
    request.onProgress = [&](int done, int total) {
      progress.show(done + 1, total, QStringLiteral("refreshing"));
      return true;
    };
    report = paste::RefreshDeck(*tool.workbook, *session.presentationHost()->activePresentation(),
                                request);
  } catch (const office::AutomationError& error) {
    progress.clear();
    printBatchError(error.userText());
    return kExitRefused;  // nothing was written
  }
  progress.clear();

  for (const QString& line : paste::describe(report, options.quiet)) printLine(stdout, line);
  using Outcome = paste::RefreshItem::Outcome;
  const int done = report.count(options.dryRun ? Outcome::WouldRefresh : Outcome::Refreshed);
  const int reported =
      report.count(Outcome::Gone) + report.count(Outcome::Failed) + int(report.notInDeck.size());
  if (!options.dryRun && done > 0) {
    try {
      session.presentationHost()->save();
    } catch (const office::AutomationError& error) {
      printBatchError(error.userText());
      return kExitUnwritable;
    }
  }
  printLine(stdout, QStringLiteral("%1 shape(s) %2, %3 reported%4")
                        .arg(done)
                        .arg(options.dryRun ? QStringLiteral("would be refreshed")
                                            : QStringLiteral("refreshed"))
                        .arg(reported)
                        .arg(options.dryRun ? QStringLiteral("; nothing written") : QString()));
  return report.reportedAnything() ? kExitRefused : kExitDone;
}

}  // namespace morvane::app
