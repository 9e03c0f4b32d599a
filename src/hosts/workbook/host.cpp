#include "hosts/workbook/host.h"

#include <QFileInfo>
#include <QThread>

#include "hosts/workbook/objects.h"
#include "hosts/workbook/picture_pool.h"
#include "office/automation_error.h"
#include "ooxml/chart/theme.h"
#include "ooxml/xlsx/formula_reference.h"

namespace morvane::hosts::workbook {

using ooxml::xlsx::SheetEntry;

ooxml::Result<std::shared_ptr<WorkbookHost>> WorkbookHost::open(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  auto document = ooxml::xlsx::WorkbookDocument::open(absolute);
  if (!document) return document.error();
  std::shared_ptr<WorkbookHost> host(new WorkbookHost);
  host->m_document = std::move(document.value());
  host->m_path = absolute;
  // The program opens on the saved active tab; a hidden one gives way to the first visible.
  const auto& sheets = host->m_document->model().sheets;
  int active = host->m_document->model().activeTab;
  if (sheets[size_t(active)].state != SheetEntry::State::Visible) {
    for (size_t i = 0; i < sheets.size(); ++i) {
      if (sheets[i].state == SheetEntry::State::Visible) {
        active = int(i);
        break;
      }
    }
  }
  host->m_activeSheet = active;
  return host;
}

WorkbookHost::WorkbookHost()
    : m_pictures(std::make_unique<PicturePool>(QThread::idealThreadCount())) {}

WorkbookHost::~WorkbookHost() = default;

std::shared_ptr<const ooxml::xlsx::WorkbookModel> WorkbookHost::snapshot() const {
  if (!m_snapshot)
    m_snapshot = std::make_shared<const ooxml::xlsx::WorkbookModel>(m_document->model());
  return m_snapshot;
}

std::shared_ptr<const ooxml::chart::Theme> WorkbookHost::theme() const {
  if (!m_theme) {
    m_theme = std::make_shared<const ooxml::chart::Theme>(
        ooxml::chart::readTheme(m_document->package(), m_document->model().themePart));
  }
  return m_theme;
}

ooxml::xlsx::WorkbookDocument& WorkbookHost::editableDocument() {
  m_snapshot.reset();
  m_pictures->cancel();
  return *m_document;
}

std::shared_ptr<excel::Application> WorkbookHost::application() {
  return std::make_shared<HostApplication>(shared_from_this());
}

ooxml::Status WorkbookHost::save(const QString& path) { return m_document->save(path); }

void WorkbookHost::setActiveSheet(int index) {
  m_activeSheet = index;
  m_activeChart.reset();
}

ooxml::Result<OpenedWorkbook> openWorkbook(const QString& path) {
  auto host = WorkbookHost::open(path);
  if (!host) return host.error();
  return OpenedWorkbook{host.value()->application(), host.value()};
}

office::AutomationError programError(const QString& description) {
  return office::AutomationError(office::AutomationError::kMethodFailed, description);
}

std::shared_ptr<HostRange> resolveNameRange(const HostPtr& host, int nameIndex) {
  const auto& model = host->document().model();
  const auto& name = model.names.at(size_t(nameIndex));
  const auto area = ooxml::xlsx::parseSheetArea(name.formula);
  if (!area) return nullptr;
  const int sheet = model.sheetIndex(area->sheet);
  if (sheet < 0 || model.sheets[size_t(sheet)].kind != SheetEntry::Kind::Worksheet) return nullptr;
  return std::make_shared<HostRange>(host, sheet, area->area);
}

// Application -------------------------------------------------------------------------------

std::shared_ptr<excel::Workbook> HostApplication::activeWorkbook() {
  return std::make_shared<HostWorkbook>(m_host);
}

std::shared_ptr<excel::Sheet> HostApplication::worksheet(const QString& name) {
  return activeWorkbook()->worksheet(name);
}

std::shared_ptr<excel::Chart> HostApplication::activeChart() { return activeWorkbook()->activeChart(); }

double HostApplication::min(const std::vector<office::Variant>& values) {
  // Values passed directly count when they are numbers, booleans (TRUE is 1) or numeric
  // texts; any other text makes the function fail, as it does in the program.
  std::optional<double> result;
  for (const office::Variant& v : values) {
    std::optional<double> d;
    if (v.isNumber()) d = v.number();
    else if (v.isBoolean()) d = v.boolean() ? 1.0 : 0.0;
    else if (v.isText()) {
      d = office::parseNumericText(v.text());
      if (!d) throw programError(QStringLiteral("Unable to get the Min property of the WorksheetFunction class"));
    } else if (v.isError()) {
      throw programError(QStringLiteral("Unable to get the Min property of the WorksheetFunction class"));
    }
    if (d) result = result ? std::min(*result, *d) : *d;
  }
  return result.value_or(0);
}

double HostApplication::max(excel::Range& range) {
  auto* hostRange = dynamic_cast<HostRange*>(&range);
  if (!hostRange) throw office::AutomationError::typeMismatch();
  return hostRange->maxNumber();
}

}  // namespace morvane::hosts::workbook
