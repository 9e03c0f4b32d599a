// FileSession: the office programs of this platform, a workbook host and (when the command
// needs one) a presentation host, behind the OfficeSession the tool attaches through.
#pragma once

#include "hosts/presentation/loader.h"
#include "hosts/workbook/host.h"
#include "office/office_session.h"

#include <memory>

namespace morvane::app {

class FileSession : public office::OfficeSession {
 public:
  // With an empty `workbook` (no file chosen) the spreadsheet program runs with no
  // workbook open.
  explicit FileSession(hosts::workbook::OpenedWorkbook workbook);

  std::shared_ptr<excel::Application> attachExcel() override;
  // Throws cantCreateObject when no presentation was opened.
  std::shared_ptr<ppt::Application> attachPowerPoint() override;
  std::shared_ptr<ppt::Application> createPowerPoint() override;
  // Saves the presentation (atomically), unless it is a new one still without slides; throws
  // AutomationError when that fails.
  void saveAfterCommand() override;

  void setPresentation(hosts::presentation::LoadedPresentation presentation) {
    m_presentation = std::move(presentation);
  }
  hosts::workbook::WorkbookHost* workbookHost() const { return m_workbook.host.get(); }
  hosts::presentation::PresentationHost* presentationHost() const {
    return m_presentation.host.get();
  }

 private:
  hosts::workbook::OpenedWorkbook m_workbook;
  hosts::presentation::LoadedPresentation m_presentation;
  std::shared_ptr<excel::Application> m_empty;
};

}  // namespace morvane::app
