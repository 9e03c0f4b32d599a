// The two paste runs of the confirmation dialog's OK: onto new titled slides (YesPaste6)
// and onto numbered slides (YesPaste8).
#include "office/automation_error.h"
#include "paste/confirm_dialog.h"
#include "paste/paste_commands.h"
#include "paste/paste_steps.h"
#include "paste/placement.h"
#include "paste/progress_window.h"
#include "paste/source_label.h"
#include "registry/registry.h"

#include <QLabel>

namespace morvane::paste {

using office::AutomationError;
using office::Int16;

namespace {

// The list's selection copies the row's object to the clipboard. Selecting the row that is
// already selected runs nothing, and the clipboard may hold anything by now (another
// program's copy), so the handling then runs directly. When it fails the run goes on and
// pastes whatever the clipboard holds.
void selectRowIgnoringErrors(PasteList& list, int row) {
  try {
    if (list.listIndex() == row)
      list.runSelection();
    else
      list.setListIndex(row);
  } catch (const AutomationError&) {
  }
}

// The rows `visited` picks, as (name, sheet), for the run's look-ahead.
template <typename Visited>
std::vector<std::pair<QString, QString>> rowsOf(const PasteList& list, Visited visited) {
  std::vector<std::pair<QString, QString>> rows;
  for (int row = 0; row < list.listCount(); ++row)
    if (visited(row))
      rows.emplace_back(list.listText(row, kColName), list.listText(row, kColSheet));
  return rows;
}

}  // namespace

// The first use loads the window; a window left open by an earlier run is reused.
Progress& PasteCommands::loadProgress() {
  if (m_progress && !m_progress->isUnloaded()) return *m_progress;
  auto* progress = new Progress;
  progress->setEntryPoint(m_entry);
  progress->setGoToPowerPoint([this] { goToPowerPoint(); });
  progress->setQueryClose([this] {
    if (m_tool.forms) m_tool.forms->unloadMainWindow();
  });
  progress->setRelease([this](QWidget* form) { release(form); });
  if (m_forms) m_forms->registerForm(progress);
  m_progress = progress;
  return *progress;
}

// Cancel or closing the progress window (which unloads the main window), cancelling the
// dialog before it is hidden, or the tool ending under the run, stops the run before its
// next object; nothing already pasted is undone.
bool PasteCommands::stopRequested(const PasteList& list) const {
  return !m_progress || m_progress->isUnloaded() || list.isUnloaded() || m_tool.ended() ||
         (m_dialog && m_dialog->isUnloaded());
}

void PasteCommands::reportProgress(const PasteList& list, int row, Int16 pasted, Int16 total) {
  m_tool.reportObject(pasted, total, list.listText(row, kColName), list.listText(row, kColSheet));
  const float fraction = float(pasted) / float(total);
  m_progress->ProgressStyle1(fraction, true);
  Progress::setCaption(m_progress->Label1,
                       QString::number(pasted) + kObjectsOutOf + QString::number(total));
}

void PasteCommands::YesPaste6(PasteList& list) {
  Int16 pasted = 0;
  m_missing.clear();
  const int labelChoice = m_dialog ? m_dialog->check1Value() : 0;
  if (m_dialog) m_dialog->hide();
  list.hideWindow();
  loadProgress();
  const Int16 total = m_tool.progressTotal;
  const int count = list.listCount();
  const PictureLookAhead lookAhead(
      m_tool.workbook.get(),
      rowsOf(list,
             [&list](int row) {
               return list.listText(row, kColInclude) == registry::kYes && list.isTitleMode();
             }),
      pasteUse(list.pasteFormat(), m_tool.pictureOverride));
  for (Int16 row = 0; row < count; ++row) {
    list.setCurrentRow(row);
    if (list.listText(row, kColInclude) != registry::kYes || !list.isTitleMode()) continue;
    if (stopRequested(list)) break;
    ++pasted;
    reportProgress(list, row, pasted, total);
    m_tool.desktop.yield();
    if (stopRequested(list)) break;
    m_progress->showForm();
    if (pasted == total) m_progress->showFinished();
    selectRowIgnoringErrors(list, row);
    pasteOntoNewSlide(list, row, labelChoice);
  }
  m_tool.desktop.sleepMs(100);
  m_currentSlide.reset();
  m_app.reset();
}

// Pastes the row's object onto the slide shown (an Excel object copied first, as a title-mode
// run or a numbered-slide run copies it). False, with nothing pasted and the object noted,
// when its picture could not be made.
bool PasteCommands::pasteRowObject(PasteList& list, int row, bool titleRun) {
  const QString name = list.listText(row, kColName);
  const QString sheet = list.listText(row, kColSheet);
  if (const QString problem = list.pictureProblem(); !problem.isEmpty()) {
    m_missing.push_back({name, sheet, problem});
    return false;
  }
  if (list.listText(row, kColPasteAs) == registry::kPicture) {
    pastePicture(app(), list.pasteFormat(), m_tool.pictureOverride);
    return true;
  }
  try {
    copyExcelObject(workbook(), name, sheet, titleRun);
  } catch (const AutomationError& error) {
    if (!error.isInvalidPicture()) throw;
    m_missing.push_back({name, sheet, error.description()});
    return false;
  }
  if (titleRun)
    pasteExcelObjectByVersion(app());
  else
    pasteExcelObject(app());
  return true;
}

void PasteCommands::pasteOntoNewSlide(PasteList& list, int row, int labelChoice) {
  const int slides = m_presentation->slidesCount();
  m_currentSlide = m_presentation->slidesAdd(slides + 1, ppt::ppLayoutBlank);
  app().activeWindow()->view()->gotoSlide(m_currentSlide->slideIndex());

  // A slide whose object has no picture still gets its title (and label), so the deck keeps
  // one slide for every object.
  const bool pasted = pasteRowObject(list, row, true);
  if (pasted) {
    PPTSLIDESLAYOUT(app(), workbook(), m_presentation);
    describeSelected(app(),
                     alternativeText(list.listText(row, kColName), list.listText(row, kColSheet),
                                     list.listText(row, kColTitle)));
  }

  const auto slide = app().activePresentation()->slide(m_currentSlide->slideIndex());
  slide->setLayout(ppt::ppLayoutTitleOnly);
  slide->select();
  // The title placeholder the layout added comes after the pasted object.
  slide->shapes()->item(pasted ? 2 : 1)->select(ppt::msoTrue);
  app().activeWindow()->selection()->textRange()->setText(list.listText(row, kColTitle));
  if (labelChoice == 1) labelSlide(list);
}

void PasteCommands::YesPaste8(PasteList& list) {
  Int16 pasted = 0;
  m_missing.clear();
  loadProgress();
  const Int16 total = m_tool.progressTotal;
  const int count = list.listCount();
  const auto includedRow = [&list](int row) {
    return !list.listText(row, kColSlideNumber).isEmpty() &&
           list.listText(row, kColInclude) == registry::kYes && !list.isTitleMode();
  };
  const PictureLookAhead lookAhead(m_tool.workbook.get(), rowsOf(list, includedRow),
                                   pasteUse(list.pasteFormat(), m_tool.pictureOverride));
  for (Int16 row = 0; row < count; ++row) {
    list.setCurrentRow(row);
    if (stopRequested(list)) break;
    const bool included = includedRow(row);
    if (included) {
      ++pasted;
      reportProgress(list, row, pasted, total);
      if (pasted == total) m_progress->showFinished();
      const int labelChoice = m_dialog ? m_dialog->check1Value() : 0;
      m_tool.desktop.yield();
      if (stopRequested(list)) break;
      if (m_dialog) m_dialog->hide();
      pasteOntoNumberedSlide(list, row, labelChoice);
    }
    m_progress->showForm();
    if (pasted == total) Progress::setCaption(m_progress->Label2, kDone);
  }
  m_tool.desktop.sleepMs(100);
  m_app.reset();
}

void PasteCommands::pasteOntoNumberedSlide(PasteList& list, int row, int labelChoice) {
  // Checked before the run; a number that no longer converts (the list was edited since)
  // leaves 0, which names no slide, so the layout step below fails rather than reusing the
  // slide of an earlier row.
  int number = 0;
  try {
    number = office::toInt16(list.listText(row, kColSlideNumber));
  } catch (const AutomationError&) {
  }
  try {
    app().activePresentation()->slide(number)->select();
  } catch (const AutomationError&) {
  }
  selectRowIgnoringErrors(list, row);

  // Without its picture the numbered slide is left as it was.
  if (!pasteRowObject(list, row, false)) return;
  PPTSLIDESLAYOUT(app(), workbook(), m_presentation);
  describeSelected(app(),
                   alternativeText(list.listText(row, kColName), list.listText(row, kColSheet)));

  const auto slide = app().activePresentation()->slide(number);
  slide->setLayout(ppt::ppLayoutTitleOnly);
  slide->select();
  slide->shapes()->item(2)->select(ppt::msoTrue);
  if (labelChoice == 1) labelSlide(list);
}

void PasteCommands::labelSlide(PasteList& list) {
  const int row = list.currentRow();
  const QPointF at =
      labelPosition(slideSize(*app().activePresentation()), readPlacementBox(workbook()).builtIn);
  LabelInSlide(
      app(),
      labelText(workbook().fullName(), list.listText(row, kColName), list.listText(row, kColSheet)),
      at);
}

}  // namespace morvane::paste
