// The office double: an OfficeSession whose spreadsheet and presentation programs live in
// memory, plus recording stand-ins for the message boxes and the desktop. The tool's logic
// is tested on it; failure paths by arming failures in `log`.
#pragma once

#include "office/office_session.h"
#include "startup/message_box.h"
#include "startup/tool.h"
#include "support/call_log.h"
#include "support/excel_double.h"
#include "support/powerpoint_double.h"
#include "support/workbook_outline.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace morvane::fake {

class Office : public office::OfficeSession {
 public:
  Office();

  CallLog log;
  std::shared_ptr<ExcelState> excel = std::make_shared<ExcelState>();
  std::shared_ptr<PowerPointState> powerPoint = std::make_shared<PowerPointState>();
  bool excelRunning = true;
  bool powerPointRunning = true;
  int commandSaves = 0;

  // Opens `outline` as the spreadsheet program's active workbook.
  void openWorkbook(const testbook::WorkbookOutline& outline);
  WorkbookState& workbook() { return *excel->workbook; }
  std::shared_ptr<SheetState> sheet(const QString& name) { return excel->workbook->findSheet(name); }
  // Opens an empty presentation with `slides` blank slides.
  void openPresentation(int slides = 0, const QString& name = QStringLiteral("Deck.pptx"));

  std::shared_ptr<excel::Application> attachExcel() override;
  std::shared_ptr<ppt::Application> attachPowerPoint() override;
  std::shared_ptr<ppt::Application> createPowerPoint() override;
  void saveAfterCommand() override;

 private:
  std::shared_ptr<excel::Application> m_excelApp;
  std::shared_ptr<ppt::Application> m_pptApp;
};

struct ShownMessage {
  QString prompt;
  int style;
  QString title;
};

class RecordingMessages : public morvane::startup::MessageBoxes {
 public:
  int msgBox(const QString& prompt, int style, const QString& title) override;
  std::vector<ShownMessage> shown;
  int answer = morvane::startup::vbOK;  // what the user presses
  // Runs while the box is "open", e.g. to check state at that moment.
  std::function<void(const ShownMessage&)> onShow;
};

class RecordingDesktop : public morvane::startup::Desktop {
 public:
  void yield() override;
  void sleepMs(int milliseconds) override { sleeps.push_back(milliseconds); }
  bool openFile(const QString& path) override {
    opened.append(path);
    return openSucceeds;
  }
  bool activateWindow(const QString& title) override {
    activated.append(title);
    return false;
  }
  int yields = 0;
  std::vector<int> sleeps;
  QStringList opened;
  QStringList activated;
  bool openSucceeds = true;
  bool processEvents = true;  // really yield to the Qt event loop
  std::function<void()> onYield;
};

// A Tool on the double, with recording messages and desktop.
struct ToolFixture {
  Office office;
  RecordingMessages messages;
  RecordingDesktop desktop;
  morvane::startup::Tool tool{office, messages, desktop};
};

}  // namespace morvane::fake
