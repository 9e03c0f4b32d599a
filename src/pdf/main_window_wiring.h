// Joins the PDF command to the main window and the tool's forms: the button SonicClick10
// ("Create  PDF") of every main window MainForms loads, Dialog1 counted as a loaded form,
// and its buttons run through MainForms' guarded entry point. Header-only, like the paste
// commands' wiring.
#pragma once

#include "mainwindow/main_forms.h"
#include "mainwindow/user_form_obj.h"
#include "paste/main_window_wiring.h"
#include "pdf/export_list.h"
#include "pdf/pdf_commands.h"

#include <memory>

namespace morvane::pdf {

using MainWindowExportList = FormExportList<mainwindow::UserFormObj>;

// Sets the PDF button's command in `commands` (the others are left as they are).
// REQUIRES: `pdf` and `forms` outlive every main window loaded with `commands`.
inline void wirePdfCommand(mainwindow::UserFormObj::Commands& commands, PdfCommands& pdf,
                           mainwindow::MainForms& forms) {
  commands.createPdf = [&pdf](mainwindow::UserFormObj& window) {
    pdf.SonicClick10_Click(std::make_shared<MainWindowExportList>(&window));
  };
  pdf.setEntryPoint([&forms](const std::function<void()>& command) { forms.runUserCommand(command); });
}

}  // namespace morvane::pdf
