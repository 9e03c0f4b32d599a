#include "app/batch.h"

#include "app/console_messages.h"
#include "app/file_session.h"
#include "office/automation_error.h"
#include "registry/object_sort.h"
#include "registry/registry.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

#include <QDir>

#include <cstdio>

namespace morvane::app {

namespace {

class NoDesktop : public startup::Desktop {
 public:
  void yield() override {}
  void sleepMs(int) override {}
  bool openFile(const QString&) override { return false; }
  bool activateWindow(const QString&) override { return false; }
};

void printLine(const QString& line) { std::fprintf(stdout, "%s\n", line.toUtf8().constData()); }

}  // namespace

int runList(const QStringList& args) {
  QStringList files;
  bool saveWorkbook = false;
  for (const QString& a : args) {
    if (a == QLatin1String("--save-workbook")) saveWorkbook = true;
    else if (a.startsWith(QLatin1String("--"))) {
      std::fprintf(stderr, "morvane list: unknown option %s\n", qPrintable(a));
      return kExitUsage;
    } else files << a;
  }
  if (files.size() != 1) {
    std::fprintf(stderr, "usage: morvane list WORKBOOK [--save-workbook]\n");
    return kExitUsage;
  }
  auto opened = hosts::workbook::openWorkbook(files[0]);
  if (!opened) {
    std::fprintf(stderr, "%s\n", opened.error().message.toLocal8Bit().constData());
    return kExitUnreadable;
  }
  FileSession session(opened.value());
  ConsoleMessages messages;
  NoDesktop desktop;
  startup::Tool tool(session, messages, desktop);

  try {
    if (!startup::PrepareWorkbook(tool)) return kExitRefused;
    registry::SyncRegistry(*tool.workbook, tool.objectTable, tool.counts, tool.leftOutNames);
    if (!tool.leftOutNames.isEmpty())
      messages.msgBox(startup::leftOutMessage(tool.leftOutNames), startup::vbInformation,
                      startup::kToolTitle);
  } catch (const office::AutomationError& error) {
    messages.msgBox(error.userText(), startup::vbCritical, startup::kToolTitle);
    return kExitRefused;
  }
  registry::ExchangeSort(tool.objectTable, registry::kColNumerator);
  const auto& table = tool.objectTable;
  for (int r = 1; r <= table.rowCount(); ++r)
    printLine(QStringList{table.at(1, r).toText(), table.at(2, r).toText(), table.at(3, r).toText(),
                          table.at(4, r).toText()}
                  .join(QLatin1Char('\t')));
  if (saveWorkbook) {
    auto* host = session.workbookHost();
    const auto status = host->save(host->path());
    if (!status) {
      std::fprintf(stderr, "%s\n", status.error().message.toLocal8Bit().constData());
      return kExitUnwritable;
    }
  }
  return kExitDone;
}

}  // namespace morvane::app
