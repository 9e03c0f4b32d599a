// Joins the paste commands to the main window and the tool's forms: the buttons
// SonicClick19 ("Paste to PowerPoint") and SonicClick18 ("Paste Express") of every main
// window MainForms loads, the dialog and the progress window counted as loaded forms, and
// their buttons run through MainForms' guarded entry point. Header-only, so only the front
// ends that wire the two together depend on both.
#pragma once

#include "mainwindow/main_forms.h"
#include "mainwindow/user_form_obj.h"
#include "paste/paste_commands.h"
#include "paste/paste_list.h"

#include <memory>

namespace morvane::paste {

using MainWindowList = FormPasteList<mainwindow::UserFormObj>;

class MainFormsRegistry final : public FormRegistry {
 public:
  explicit MainFormsRegistry(mainwindow::MainForms& forms) : m_forms(forms) {}
  void registerForm(QWidget* form) override { m_forms.registerForm(form); }
  void unloadForm(QWidget* form) override { m_forms.unloadForm(form); }

 private:
  mainwindow::MainForms& m_forms;
};

// Sets the two paste buttons' commands in `commands` (the others are left as they are) and
// routes the dialog's and the progress window's buttons through `forms`.
// REQUIRES: `paste` and `forms` outlive every main window loaded with `commands`.
inline void wirePasteCommands(mainwindow::UserFormObj::Commands& commands, PasteCommands& paste,
                              mainwindow::MainForms& forms) {
  commands.pasteToPowerPoint = [&paste](mainwindow::UserFormObj& window) {
    paste.ChartsToPresentation(std::make_shared<MainWindowList>(&window));
  };
  commands.pasteExpress = [&paste](mainwindow::UserFormObj& window) {
    MainWindowList list(&window);
    paste.YesPasteToActiveSlide(list);
  };
  paste.setEntryPoint([&forms](const std::function<void()>& command) { forms.runUserCommand(command); });
}

}  // namespace morvane::paste
