#include "app/file_session.h"

#include "office/automation_error.h"
#include "office/powerpoint.h"

namespace morvane::app {

namespace {

// The spreadsheet program with no workbook open: start-up finds no active workbook.
class EmptySpreadsheet : public excel::Application {
 public:
  QString version() override { return QStringLiteral("16.0"); }
  std::shared_ptr<excel::Workbook> activeWorkbook() override { return nullptr; }
  std::shared_ptr<excel::Sheet> worksheet(const QString&) override {
    throw office::AutomationError::subscriptOutOfRange();
  }
  std::shared_ptr<excel::Chart> activeChart() override { return nullptr; }
  void setActiveWindowVisible(bool) override {}
  double min(const std::vector<office::Variant>&) override { return 0; }
  double max(excel::Range&) override { return 0; }
};

}  // namespace

FileSession::FileSession(hosts::workbook::OpenedWorkbook workbook)
    : m_workbook(std::move(workbook)), m_empty(std::make_shared<EmptySpreadsheet>()) {}

std::shared_ptr<excel::Application> FileSession::attachExcel() {
  return m_workbook.application ? m_workbook.application : m_empty;
}

std::shared_ptr<ppt::Application> FileSession::attachPowerPoint() {
  if (!m_presentation.application) throw office::AutomationError::cantCreateObject();
  return m_presentation.application;
}

std::shared_ptr<ppt::Application> FileSession::createPowerPoint() { return attachPowerPoint(); }

// A new deck is written once something was pasted into it: a run that opens the window and
// closes it, or pastes nothing, leaves no file behind.
void FileSession::saveAfterCommand() {
  if (!m_presentation.application) return;
  if (m_presentation.created &&
      m_presentation.application->activePresentation()->slidesCount() == 0)
    return;
  m_presentation.application->save();
}

}  // namespace morvane::app
