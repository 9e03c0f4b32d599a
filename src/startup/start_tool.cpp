#include "startup/start_tool.h"

#include "office/automation_error.h"
#include "registry/registry.h"

#include <QStringList>

namespace morvane::startup {

using office::AutomationError;

QString protectedWorkbookMessage() {
  return QStringList{QStringLiteral("              The workbook looks protected"), QString(),
                     QStringLiteral("Please remove the protection and reopen Morvane©"),
                     QStringLiteral("After that you may reprotect the workbook."),
                     QStringLiteral("The message will not longer appear")}
      .join(QChar(13));
}

namespace {

void refuse(Tool& tool, const QString& message, int icon) {
  tool.messages.msgBox(message, vbOKOnly + icon, kToolTitle);
  tool.end();
}

void createRegistrySheet(excel::Workbook& workbook) {
  auto sheet = workbook.worksheetsAdd();
  sheet->setName(registry::kRegistrySheet);
  workbook.namesAdd(registry::kRegistryName, registry::kRegistryRefersToR1C1);
  workbook.sheet(registry::kRegistrySheet)
      ->range(registry::kRegistryName)
      ->setNumberFormat(QStringLiteral("@"));
  workbook.sheet(registry::kRegistrySheet)
      ->columns(QStringLiteral("D:D"))
      ->setNumberFormat(QStringLiteral("0"));
  workbook.sheet(registry::kRegistrySheet)->setVisible(excel::xlSheetVeryHidden);
}

// Names every embedded chart "Chart k" by its position across the workbook, so the registry
// recognises objects from one run to the next.
void renameEmbeddedCharts(excel::Workbook& workbook) {
  long long k = 0;
  for (const auto& worksheet : workbook.worksheets()) {
    for (const auto& chartObject : worksheet->chartObjects()) {
      ++k;
      chartObject->activate();
      workbook.activeChart()->parent()->setName(QStringLiteral("Chart %1").arg(k));
    }
  }
}

}  // namespace

bool PrepareWorkbook(Tool& tool) {
  try {
    tool.excel = tool.office.attachExcel();
  } catch (const AutomationError&) {
    tool.excel = nullptr;
  }
  if (!tool.excel) {
    refuse(tool, kNoExcelMessage, vbExclamation);
    return false;
  }
  // The version text is "16.0" whatever the user's locale, so it is read in the C locale.
  tool.majorVersion = office::toInt16(office::Variant(tool.excel->version()), QLocale::c());

  tool.workbook = tool.excel->activeWorkbook();
  if (!tool.workbook) {
    refuse(tool, kNoWorkbookMessage, vbExclamation);
    return false;
  }
  excel::Workbook& workbook = *tool.workbook;
  if (workbook.protectStructure() && !registry::WorksheetExists(workbook, registry::kRegistrySheet)) {
    refuse(tool, protectedWorkbookMessage(), vbExclamation);
    return false;
  }
  if (!registry::WorksheetExists(workbook, registry::kRegistrySheet)) createRegistrySheet(workbook);
  renameEmbeddedCharts(workbook);

  registry::CountObjects(workbook, tool.counts);
  if (tool.counts.objectCount == 0) {
    refuse(tool, kNoObjectsMessage, vbInformation);
    return false;
  }
  return true;
}

QString leftOutMessage(const QStringList& names) {
  QStringList lines;
  for (const QString& name : names)
    lines << QStringLiteral("left out: %1 refers to several areas").arg(name);
  return lines.join(QChar(13));
}

void StartTool(Tool& tool) {
  if (!PrepareWorkbook(tool)) return;
  tool.leftOutNames.clear();  // filled by the main window's scan
  tool.forms->showSplash();
  tool.desktop.yield();
  tool.forms->loadMainWindow();
  tool.forms->showMainWindow();
  tool.forms->unloadSplash();
  // A name the list silently lacked would look like a fault of the tool.
  if (!tool.leftOutNames.isEmpty())
    tool.messages.msgBox(leftOutMessage(tool.leftOutNames), vbInformation, kToolTitle);
}

void CloseTool(Tool& tool) {
  tool.forms->showClosing();
  tool.desktop.yield();
  tool.forms->unloadMainWindow();
  tool.forms->unloadClosing();
}

}  // namespace morvane::startup
