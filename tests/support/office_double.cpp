#include "support/office_double.h"

#include <QCoreApplication>

using namespace morvane;

namespace morvane::fake {

Office::Office() {
  m_excelApp = makeExcel(excel, log);
  m_pptApp = makePowerPoint(powerPoint, log);
}

void Office::openWorkbook(const testbook::WorkbookOutline& outline) { excel->workbook = buildWorkbook(outline); }

void Office::openPresentation(int slides, const QString& name) {
  powerPoint->presentation = std::make_shared<PresentationState>();
  powerPoint->presentation->name = name;
  for (int i = 0; i < slides; ++i) {
    auto s = std::make_shared<SlideState>();
    s->id = powerPoint->nextSlideId++;
    powerPoint->presentation->slides.push_back(s);
  }
  powerPoint->shownSlide = slides > 0 ? 1 : 0;
}

std::shared_ptr<excel::Application> Office::attachExcel() {
  log.call(QStringLiteral("GetObject(Excel.Application)"));
  if (!excelRunning) throw office::AutomationError::cantCreateObject();
  return m_excelApp;
}

std::shared_ptr<ppt::Application> Office::attachPowerPoint() {
  log.call(QStringLiteral("GetObject(PowerPoint.Application)"));
  if (!powerPointRunning) throw office::AutomationError::cantCreateObject();
  return m_pptApp;
}

std::shared_ptr<ppt::Application> Office::createPowerPoint() {
  log.call(QStringLiteral("CreateObject(PowerPoint.Application)"));
  powerPointRunning = true;
  return m_pptApp;
}

void Office::saveAfterCommand() {
  log.call(QStringLiteral("SaveAfterCommand"));
  ++commandSaves;
}

int RecordingMessages::msgBox(const QString& prompt, int style, const QString& title) {
  shown.push_back({prompt, style, title});
  if (onShow) onShow(shown.back());
  return answer;
}

void RecordingDesktop::yield() {
  ++yields;
  if (onYield) onYield();
  if (processEvents) QCoreApplication::processEvents();
}

}  // namespace morvane::fake
