#include <unistd.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "app/batch.h"
#include "app/console_messages.h"
#include "app/file_session.h"
#include "office/automation_error.h"
#include "office/variant.h"
#include "registry/object_sort.h"
#include "registry/registry.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

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

// Tab-separated: name, sheet, include flag, numerator; a header only for a person reading.
void printLines(const registry::ObjectTable& table) {
  if (::isatty(STDOUT_FILENO)) printLine(QStringLiteral("name\tsheet\tinclude\tnumerator"));
  for (int r = 1; r <= table.rowCount(); ++r)
    printLine(QStringList{
        table.at(registry::kColName, r).toText(), table.at(registry::kColSheet, r).toText(),
        table.at(registry::kColInclude, r).toText(), table.at(registry::kColNumerator, r).toText()}
                  .join(QLatin1Char('\t')));
}

// Every column of the list, for scripts.
void printJson(const registry::ObjectTable& table) {
  QJsonArray objects;
  for (int r = 1; r <= table.rowCount(); ++r) {
    auto text = [&](int column) { return table.at(column, r).toText(); };
    const QString name = text(registry::kColName);
    const QString slide = text(registry::kColSlideNumber);
    bool isNumber = false;
    const double slideNumber = slide.toDouble(&isNumber);
    const office::Variant& numerator = table.at(registry::kColNumerator, r);
    objects.append(QJsonObject{
        {QStringLiteral("name"), name},
        {QStringLiteral("sheet"), text(registry::kColSheet)},
        {QStringLiteral("kind"), name == registry::kChartSheetMarker ? QStringLiteral("chartsheet")
                                 : name.startsWith(QLatin1String("Chart "))
                                     ? QStringLiteral("chart")
                                     : QStringLiteral("range")},
        {QStringLiteral("include"), text(registry::kColInclude) == QLatin1String("Y")},
        {QStringLiteral("numerator"),
         numerator.isNumber() ? numerator.number()
                              : office::parseNumericText(numerator.toText()).value_or(0)},
        {QStringLiteral("slide"),
         isNumber ? QJsonValue(slideNumber) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("title"), text(registry::kColSlideTitle)},
        {QStringLiteral("paste_as"), text(registry::kColPasteAs)},
    });
  }
  std::fprintf(stdout, "%s", QJsonDocument(objects).toJson(QJsonDocument::Indented).constData());
}

}  // namespace

int runList(BatchOptions options) {
  auto opened = hosts::workbook::openWorkbook(options.files[0]);
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
  if (options.json)
    printJson(tool.objectTable);
  else
    printLines(tool.objectTable);
  if (options.saveWorkbook) {
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
