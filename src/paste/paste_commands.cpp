#include "paste/paste_commands.h"

#include <QLabel>
#include <cmath>

#include "office/automation_error.h"
#include "paste/confirm_dialog.h"
#include "paste/paste_steps.h"
#include "paste/placement.h"
#include "paste/progress_window.h"
#include "paste/refresh_run.h"
#include "registry/registry.h"
#include "startup/go_to_powerpoint.h"

namespace morvane::paste {

using office::AutomationError;
using startup::kToolTitle;

namespace {

// The placeholder row of an empty list.
const QString kNothingFound = QStringLiteral("Nothing Found!");

// Saves the presentation when a paste command ends, however it ends.
class SaveWhenDone {
 public:
  SaveWhenDone(std::shared_ptr<ppt::Application> app, startup::MessageBoxes& messages)
      : m_app(std::move(app)), m_messages(messages) {}
  ~SaveWhenDone() {
    if (!m_app) return;
    try {
      m_app->save();
    } catch (const std::exception& error) {
      m_messages.msgBox(QStringLiteral("The presentation could not be saved:\r\r%1")
                            .arg(QString::fromUtf8(error.what())),
                        startup::vbOKOnly + startup::vbCritical, kToolTitle);
    }
  }
  SaveWhenDone(const SaveWhenDone&) = delete;
  SaveWhenDone& operator=(const SaveWhenDone&) = delete;

 private:
  std::shared_ptr<ppt::Application> m_app;
  startup::MessageBoxes& m_messages;
};

class RunningFlag {
 public:
  explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
  ~RunningFlag() { m_flag = false; }

 private:
  bool& m_flag;
};

}  // namespace

QString slideNumberTooGreatMessage() {
  return QStringLiteral("At least one Slide Number in the list is greater\r"
                        "than the number of slides in the PowerPoint file.\r"
                        "Operation is aborted");
}

QString slideNumberInvalidMessage(const QString& text, const QString& name, const QString& sheet,
                                  int slideCount) {
  return QStringLiteral("The Slide Number \"%1\" of %2 (%3) is not a whole number\r"
                        "from 1 to %4, the number of slides in the PowerPoint file.\r"
                        "Operation is aborted")
      .arg(text, name, sheet)
      .arg(slideCount);
}

SlideNumberCheck checkSlideNumber(const QString& text, int slideCount) {
  const std::optional<double> number = office::parseNumericText(text);
  if (!number || *number != std::floor(*number) || *number < 1 || *number > 32767)
    return SlideNumberCheck::Invalid;
  return *number > slideCount ? SlideNumberCheck::TooGreat : SlideNumberCheck::Valid;
}

PasteCommands::PasteCommands(startup::Tool& tool, FormRegistry* forms)
    : m_tool(tool), m_forms(forms) {
  m_entry = [this](const std::function<void()>& command) { startup::RunGuarded(m_tool, command); };
}

PasteCommands::~PasteCommands() {
  delete m_dialog.data();
  delete m_progress.data();
}

void PasteCommands::release(QWidget* form) {
  if (m_forms) m_forms->unloadForm(form);
  else form->deleteLater();
}

bool PasteCommands::refuseWhileRunning() {
  if (!m_running) return false;
  m_tool.messages.msgBox(kBusyMessage, startup::vbExclamation, kToolTitle);
  return true;
}

// Attaches afresh, with errors ignored: false when no presentation program runs or it shows
// no window.
bool PasteCommands::attachWithWindow() {
  m_app.reset();
  try {
    m_app = m_tool.office.attachPowerPoint();
  } catch (const AutomationError&) {
  }
  bool open = false;
  try {
    open = m_app && m_app->windowsCount() != 0;
  } catch (const AutomationError&) {
  }
  return open;
}

void PasteCommands::ChartsToPresentation(std::shared_ptr<PasteList> list) {
  if (refuseWhileRunning()) return;
  if (!attachWithWindow()) {
    m_tool.messages.msgBox(kNoPresentationMessage, startup::vbExclamation, kToolTitle);
    return;
  }
  m_presentation = m_app->activePresentation();
  m_app->activeWindow()->setViewType(ppt::ppViewSlide);

  if (list->isTitleMode()) {
    m_tool.confirmationCount = 0;
    for (office::Int16 row = 0; row < list->listCount(); ++row)
      if (list->listText(row, kColInclude) == registry::kYes) ++m_tool.confirmationCount;
    m_tool.progressTotal = m_tool.confirmationCount;
  }
  if (list->isNumberMode() && !countSlideNumbers(*list)) return;
  showDialog(std::move(list));
}

// Counts the included rows with a slide number and checks every such number before anything
// is pasted; false after a refusal, whose message was shown.
bool PasteCommands::countSlideNumbers(PasteList& list) {
  m_tool.confirmationCount = 0;
  const int slides = m_presentation->slidesCount();
  for (office::Int16 row = 0; row < list.listCount(); ++row) {
    const QString number = list.listText(row, kColSlideNumber);
    if (number.isEmpty() || list.listText(row, kColInclude) != registry::kYes) continue;
    ++m_tool.confirmationCount;
    switch (checkSlideNumber(number, slides)) {
      case SlideNumberCheck::Valid:
        break;
      case SlideNumberCheck::TooGreat:
        m_tool.messages.msgBox(slideNumberTooGreatMessage(),
                               startup::vbOKCancel + startup::vbInformation, kToolTitle);
        return false;
      case SlideNumberCheck::Invalid:
        m_tool.messages.msgBox(slideNumberInvalidMessage(number, list.listText(row, kColName),
                                                         list.listText(row, kColSheet), slides),
                               startup::vbOKCancel + startup::vbInformation, kToolTitle);
        return false;
    }
  }
  m_tool.progressTotal = m_tool.confirmationCount;
  return true;
}

void PasteCommands::showDialog(std::shared_ptr<PasteList> list) {
  const QString presentationName = m_app->activePresentation()->name();
  // A dialog left open by an earlier command gives way to a freshly loaded one.
  if (m_dialog) m_dialog->unload();
  auto* dialog = new Dialog;
  dialog->setEntryPoint(m_entry);
  dialog->setOk([this] { dialogOk(); });
  dialog->setRelease([this](QWidget* form) { release(form); });
  dialog->load(m_tool.confirmationCount, presentationName);
  if (const int tagged = countTaggedObjects(*m_presentation, workbook().name()))
    dialog->offerRefresh(tagged, [this] { dialogRefresh(); });
  m_dialog = dialog;
  m_dialogList = std::move(list);
  if (m_forms) m_forms->registerForm(dialog);
  dialog->show();
}

void PasteCommands::dialogOk() {
  if (refuseWhileRunning()) return;
  const std::shared_ptr<PasteList> list = m_dialogList;
  const QPointer<Dialog> dialog = m_dialog;
  // Paste Express, run while this dialog was open, released the reference the runs use.
  if (!m_app) m_app = m_tool.office.attachPowerPoint();
  {
    RunningFlag running(m_running);
    SaveWhenDone save(m_app, m_tool.messages);
    if (list->isTitleMode()) YesPaste6(*list);
    if (list->isNumberMode()) YesPaste8(*list);
  }
  // Said once the deck is saved, so what the message speaks of is already on disk.
  if (!m_missing.empty())
    m_tool.messages.msgBox(missingPicturesMessage(m_missing, QStringLiteral("slides")),
                           startup::vbExclamation, kToolTitle);
  if (dialog) dialog->unload();
}

// The dialog's third way: the objects already in the deck drawn again where they stand. The
// deck is saved once, at the end, and only when the run got there: a failure leaves the file
// as it was.
void PasteCommands::dialogRefresh() {
  if (refuseWhileRunning()) return;
  const std::shared_ptr<PasteList> list = m_dialogList;
  const QPointer<Dialog> dialog = m_dialog;
  if (!m_app) m_app = m_tool.office.attachPowerPoint();
  RefreshReport report;
  {
    RunningFlag running(m_running);
    if (dialog) dialog->hide();
    list->hideWindow();
    Progress& progress = loadProgress();
    progress.showForm();
    RefreshRequest request;
    for (int row = 0; row < list->listCount(); ++row)
      if (list->listText(row, kColInclude) == registry::kYes)
        request.listed.push_back({list->listText(row, kColName), list->listText(row, kColSheet)});
    request.onProgress = [&](int done, int total) {
      if (stopRequested(*list)) return false;
      m_progress->ProgressStyle1(float(done + 1) / float(total), true);
      Progress::setCaption(m_progress->Label1,
                           QString::number(done + 1) + kObjectsOutOf + QString::number(total));
      if (done + 1 == total) m_progress->showFinished();
      m_tool.desktop.yield();
      return !stopRequested(*list);
    };
    report = RefreshDeck(workbook(), *m_app->activePresentation(), request);
    if (report.count(RefreshItem::Outcome::Refreshed)) m_app->save();
  }
  QString message = QString::number(report.count(RefreshItem::Outcome::Refreshed)) +
                    QStringLiteral(" object(s) refreshed.");
  for (const QString& line : describe(report, true)) message += QStringLiteral("\r") + line;
  m_tool.messages.msgBox(
      message, report.reportedAnything() ? startup::vbExclamation : startup::vbInformation,
      kToolTitle);
  m_app.reset();
  if (dialog) dialog->unload();
}

void PasteCommands::YesPasteToActiveSlide(PasteList& list) {
  if (refuseWhileRunning()) return;
  const int row = list.listIndex();
  if (row < 0 || row >= list.listCount() || list.listText(row, kColName) == kNothingFound) {
    m_tool.messages.msgBox(kNoSelectionMessage, startup::vbExclamation, kToolTitle);
    return;
  }
  if (!attachWithWindow()) {
    m_tool.messages.msgBox(kNoPresentationMessage, startup::vbExclamation, kToolTitle);
    return;
  }
  {
    SaveWhenDone save(m_app, m_tool.messages);
    m_presentation = m_app->activePresentation();
    m_app->activeWindow()->setViewType(ppt::ppViewSlide);
    list.setCurrentRow(row);
    if (list.listText(row, kColPasteAs) == registry::kPicture) {
      // The clipboard may hold something else by now; only the row's own copy names its source.
      if (!isCopyOf(office::clipboardSource(), workbook().name(), list.listText(row, kColName),
                    list.listText(row, kColSheet)))
        office::dropClipboardSource();
      pastePicture(*m_app, list.pasteFormat(), m_tool.pictureOverride);
    } else {
      copyExcelObject(workbook(), list.listText(row, kColName), list.listText(row, kColSheet), true);
      pasteExcelObjectByVersion(*m_app);
    }
    PPTSLIDESLAYOUT(*m_app, workbook(), m_presentation);
    describeSelected(*m_app,
                     alternativeText(list.listText(row, kColName), list.listText(row, kColSheet)));
    const int index = m_app->activeWindow()->view()->slide()->slideIndex();
    m_app->activePresentation()->slide(index)->setLayout(ppt::ppLayoutTitleOnly);
    m_tool.desktop.sleepMs(100);
    m_app.reset();
  }
  m_tool.messages.msgBox(kDoneMessage, startup::vbInformation, kToolTitle);
}

void PasteCommands::goToPowerPoint() {
  const QString path = m_presentationPath ? m_presentationPath() : QString();
  const QPointer<Progress> progress = m_progress;
  startup::GoToPowerPoint(m_tool, path, [progress] {
    if (progress) progress->unload();
  });
}

ppt::Application& PasteCommands::app() {
  if (!m_app) throw AutomationError(AutomationError::kObjectRequired, QStringLiteral("Object required"));
  return *m_app;
}

excel::Workbook& PasteCommands::workbook() {
  if (!m_tool.workbook)
    throw AutomationError(AutomationError::kObjectRequired, QStringLiteral("Object required"));
  return *m_tool.workbook;
}

}  // namespace morvane::paste
