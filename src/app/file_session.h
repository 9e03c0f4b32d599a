// FileSession: the office programs of this platform, a workbook host and (when the command
// needs one) a presentation host, behind the OfficeSession the tool attaches through.
#pragma once

#include "office/files/workbook_host.h"
#include "office/office_session.h"

#include <functional>
#include <memory>

namespace morvane::app {

class FileSession : public office::OfficeSession {
 public:
  // No workbook: the spreadsheet program runs with no workbook open.
  explicit FileSession(office::files::OpenedWorkbook workbook);

  std::shared_ptr<excel::Application> attachExcel() override;
  // Throws cantCreateObject when no presentation is attached.
  std::shared_ptr<ppt::Application> attachPowerPoint() override;
  std::shared_ptr<ppt::Application> createPowerPoint() override;
  void saveAfterCommand() override;

  void setPowerPoint(std::shared_ptr<ppt::Application> powerPoint) { m_powerPoint = std::move(powerPoint); }
  office::files::WorkbookHost* workbookHost() const { return m_workbook.host.get(); }

 private:
  office::files::OpenedWorkbook m_workbook;
  std::shared_ptr<ppt::Application> m_powerPoint;
};

}  // namespace morvane::app
