// The paste commands wired to the real main window and forms, opened by start-up on the
// office double, as the GUI front end wires them.
#pragma once

#include "mainwindow/main_forms.h"
#include "mainwindow/user_form_obj.h"
#include "paste/main_window_wiring.h"
#include "startup/start_tool.h"
#include "support/office_double.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::pastetest {

class MainWindowPasteTest : public ::testing::Test {
 protected:
  MainWindowPasteTest() {
    testbook::WorkbookOutline outline;
    testbook::SheetOutline data;
    data.name = QStringLiteral("Data");
    data.charts = {testbook::ChartOutline{QStringLiteral("first"), {}}, testbook::ChartOutline{QStringLiteral("second"), {}}};
    data.cells[{1, 1}] = office::Variant(1.0);
    outline.sheets = {data};
    outline.names = {testbook::NameOutline{QStringLiteral("Sales"), QStringLiteral("Data!$A$1:$B$3"), false, {}}};
    f.office.openWorkbook(outline);
    f.office.openPresentation(2);
    forms = std::make_unique<mainwindow::MainForms>(f.tool);
    registry = std::make_unique<paste::MainFormsRegistry>(*forms);
    paste = std::make_unique<paste::PasteCommands>(f.tool, registry.get());
    mainwindow::UserFormObj::Commands commands;
    paste::wirePasteCommands(commands, *paste, *forms);
    forms->setCommands(commands);
    morvane::startup::StartTool(f.tool);
  }
  ~MainWindowPasteTest() override {
    paste.reset();
    forms.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  mainwindow::UserFormObj& w() { return *forms->mainWindow(); }
  // Include flags of the list rows, in list order.
  void include(const QStringList& flags) {
    for (int r = 0; r < flags.size(); ++r) w().setListText(r, 2, flags[r]);
  }
  std::shared_ptr<fake::SlideState> slide(int index) { return f.office.powerPoint->slide(index); }
  int slideCount() const { return int(f.office.powerPoint->presentation->slides.size()); }

  fake::ToolFixture f;
  std::unique_ptr<mainwindow::MainForms> forms;
  std::unique_ptr<paste::MainFormsRegistry> registry;
  std::unique_ptr<paste::PasteCommands> paste;
};

}  // namespace morvane::pastetest
