// PasteCommands: the "Paste to PowerPoint" command with its confirmation dialog and the two
// paste runs it starts (YesPaste6 onto new titled slides, YesPaste8 onto numbered slides),
// and "Paste Express" (YesPasteToActiveSlide). One instance lives for the whole tool; it
// holds the program-wide paste state: the presentation program and presentation references,
// the current slide, the dialog and the progress window (loaded on first use, kept after a
// run in its finished state).
//
// Every command that pastes saves the presentation when it ends, also after a failure, so
// what was pasted is never lost. A run stops before its next object once the progress
// window or the main window has been unloaded (Cancel, the close box, Go to PPT).
#pragma once

#include "office/powerpoint.h"
#include "paste/confirm_dialog.h"
#include "paste/missing_pictures.h"
#include "paste/paste_list.h"
#include "paste/progress_window.h"
#include "startup/tool.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace morvane::paste {

inline const QString kNoPresentationMessage = QStringLiteral("No Active presentation found!");
inline const QString kNoSelectionMessage =
    QStringLiteral("No item is selected in the list.\rPlease select the item to paste first.");
inline const QString kBusyMessage =
    QStringLiteral("A paste is still running.\rPlease wait until it is done.");
inline const QString kDoneMessage = QStringLiteral("Done!");
inline const QString kObjectsOutOf = QStringLiteral(" Object(s) out of ");
// The refusal of a slide number beyond the last slide, lines joined by carriage returns.
QString slideNumberTooGreatMessage();
// The refusal of a slide number that is not a whole number from 1 to the slide count.
QString slideNumberInvalidMessage(const QString& text, const QString& name, const QString& sheet,
                                  int slideCount);

enum class SlideNumberCheck { Valid, TooGreat, Invalid };
// Valid: a whole number from 1 to `slideCount`. TooGreat: a whole number above it.
// Invalid: anything else (0, negatives, fractions, texts that are no 16-bit whole number).
SlideNumberCheck checkSlideNumber(const QString& text, int slideCount);

// The tool's window bookkeeping for the dialog and the progress window: a registered form
// keeps the tool running; unloading the last loaded form ends it. (MainForms offers both.)
class FormRegistry {
 public:
  virtual ~FormRegistry() = default;
  virtual void registerForm(QWidget* form) = 0;
  // Hides the form and deletes it later.
  virtual void unloadForm(QWidget* form) = 0;
};

class PasteCommands {
 public:
  using EntryPoint = std::function<void(const std::function<void()>&)>;

  // `forms` may be null (the windows then delete themselves when unloaded).
  explicit PasteCommands(startup::Tool& tool, FormRegistry* forms = nullptr);
  ~PasteCommands();
  PasteCommands(const PasteCommands&) = delete;
  PasteCommands& operator=(const PasteCommands&) = delete;

  // The guarded entry point the dialog's and the progress window's buttons use
  // (RunGuarded on the tool by default).
  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }
  // Where the presentation lives on disk, for "Go to PPT" to open it after saving.
  void setPresentationPath(std::function<QString()> path) { m_presentationPath = std::move(path); }

  // "Paste to PowerPoint": checks, counts and shows the confirmation dialog, whose OK runs
  // the paste of the current mode. Ends with a message when there is no presentation or a
  // slide number is refused. Throws AutomationError from the unprotected steps.
  void ChartsToPresentation(std::shared_ptr<PasteList> list);
  // "Paste Express": the selected row onto the slide the presentation shows, then "Done!".
  // With no row selected: a message, nothing pasted. Throws AutomationError from a failing
  // step (the presentation is saved first).
  void YesPasteToActiveSlide(PasteList& list);

  // The paste runs the dialog's OK starts. Throw AutomationError from a step that is not
  // run with errors ignored; what was pasted stays. An object whose picture could not be made
  // is not pasted (a new slide still gets its title, a numbered slide is left as it was) and
  // is noted in missingPictures(); the run goes on, and OK lists such objects in one message.
  void YesPaste6(PasteList& list);
  void YesPaste8(PasteList& list);

  // The objects the last paste run left without their pictures, in list order.
  const std::vector<MissingPicture>& missingPictures() const { return m_missing; }

  // The loaded windows; nullptr when not loaded.
  Dialog* dialog() const { return m_dialog; }
  Progress* progress() const { return m_progress; }
  bool isRunning() const { return m_running; }

 private:
  bool attachWithWindow();
  bool refuseWhileRunning();
  bool countSlideNumbers(PasteList& list);
  void showDialog(std::shared_ptr<PasteList> list);
  void dialogOk();
  void dialogRefresh();
  void goToPowerPoint();
  void release(QWidget* form);

  // paste_runs.cpp
  Progress& loadProgress();
  bool stopRequested(const PasteList& list) const;
  void reportProgress(const PasteList& list, int row, office::Int16 pasted, office::Int16 total);
  bool pasteRowObject(PasteList& list, int row, bool titleRun);
  void pasteOntoNewSlide(PasteList& list, int row, int labelChoice);
  void pasteOntoNumberedSlide(PasteList& list, int row, int labelChoice);
  void labelSlide(PasteList& list);
  ppt::Application& app();
  excel::Workbook& workbook();

  startup::Tool& m_tool;
  FormRegistry* m_forms;
  EntryPoint m_entry;
  std::function<QString()> m_presentationPath;

  std::shared_ptr<ppt::Application> m_app;
  std::shared_ptr<ppt::Presentation> m_presentation;
  std::shared_ptr<ppt::Slide> m_currentSlide;
  std::shared_ptr<PasteList> m_dialogList;
  QPointer<Dialog> m_dialog;
  QPointer<Progress> m_progress;
  std::vector<MissingPicture> m_missing;
  bool m_running = false;
};

}  // namespace morvane::paste
