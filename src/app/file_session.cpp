#include "app/file_session.h"

#include "office/automation_error.h"
#include "office/powerpoint.h"

namespace morvane::app {

FileSession::FileSession(office::files::OpenedWorkbook workbook) : m_workbook(std::move(workbook)) {}

std::shared_ptr<excel::Application> FileSession::attachExcel() {
  if (!m_workbook.application) throw office::AutomationError::cantCreateObject();
  return m_workbook.application;
}

std::shared_ptr<ppt::Application> FileSession::attachPowerPoint() {
  if (!m_powerPoint) throw office::AutomationError::cantCreateObject();
  return m_powerPoint;
}

std::shared_ptr<ppt::Application> FileSession::createPowerPoint() { return attachPowerPoint(); }

void FileSession::saveAfterCommand() {
  if (m_powerPoint) m_powerPoint->save();
}

}  // namespace morvane::app
