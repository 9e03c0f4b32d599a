// OfficeSession: how the tool reaches "the running instances" of the two office programs.
// The GUI and batch front ends hand it the file hosts; the tests hand it the office double.
#pragma once

#include <memory>

namespace morvane::excel {
class Application;
}
namespace morvane::ppt {
class Application;
}

namespace morvane::office {

class OfficeSession {
 public:
  virtual ~OfficeSession() = default;
  // GetObject(, "Excel.Application"). Throws AutomationError::cantCreateObject() when no
  // spreadsheet program runs.
  virtual std::shared_ptr<excel::Application> attachExcel() = 0;
  // GetObject(, "PowerPoint.Application"). Throws cantCreateObject() when none runs.
  virtual std::shared_ptr<ppt::Application> attachPowerPoint() = 0;
  // CreateObject("PowerPoint.Application"): the single running instance, started if needed.
  virtual std::shared_ptr<ppt::Application> createPowerPoint() = 0;
  // Saves whatever the hosts must save when a command ends (the presentation).
  virtual void saveAfterCommand() = 0;
};

}  // namespace morvane::office
