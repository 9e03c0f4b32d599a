// A main window opened by start-up on the office double, with the real forms behind it.
#pragma once

#include "mainwindow/main_forms.h"
#include "mainwindow/user_form_obj.h"
#include "startup/start_tool.h"
#include "support/office_double.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::mwtest {

using testbook::ChartOutline;
using testbook::NameOutline;
using testbook::SheetOutline;
using testbook::WorkbookOutline;

inline SheetOutline worksheet(const QString& name, const QStringList& charts = {}) {
  SheetOutline s;
  s.name = name;
  for (const auto& c : charts) s.charts.push_back(ChartOutline{c, {}});
  return s;
}

inline SheetOutline chartSheet(const QString& name) {
  SheetOutline s;
  s.kind = SheetOutline::Kind::ChartSheet;
  s.name = name;
  return s;
}

// One worksheet "Data" holding `charts` embedded charts (named Chart 1..n by start-up).
inline WorkbookOutline chartsWorkbook(int charts) {
  WorkbookOutline outline;
  QStringList names;
  for (int i = 1; i <= charts; ++i) names << QStringLiteral("c%1").arg(i);
  outline.sheets.push_back(worksheet(QStringLiteral("Data"), names));
  return outline;
}

// Adds a registry sheet whose mode cell T2 holds `mode`.
inline WorkbookOutline withModeCell(WorkbookOutline outline, const office::Variant& mode) {
  SheetOutline registry = worksheet(QStringLiteral("kukukukuZichron"));
  registry.visible = 2;
  registry.cells[{2, 20}] = mode;
  outline.sheets.push_back(registry);
  return outline;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { f.desktop.processEvents = false; }
  ~MainWindowTest() override {
    forms.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // Opens `outline` and runs start-up with the real forms; `before` runs just before start-up.
  void open(const WorkbookOutline& outline, bool withPresentation = true) {
    f.office.openWorkbook(outline);
    if (withPresentation) f.office.openPresentation(1, QStringLiteral("Deck.pptx"));
    forms = std::make_unique<mainwindow::MainForms>(f.tool);
    morvane::startup::StartTool(f.tool);
  }
  mainwindow::UserFormObj& w() { return *forms->mainWindow(); }

  // Clicks row `row` of the list as a user does.
  void clickRow(int row) {
    auto* list = w().listCharts;
    const QRect r = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
  }
  // Clicks an option button on its indicator, as a user does.
  static void clickOption(QRadioButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
  }
  QStringList column(int c) {
    QStringList out;
    for (int r = 0; r < w().listCount(); ++r) out << w().listText(r, c);
    return out;
  }
  void activate() {
    w().show();
    QApplication::setActiveWindow(&w());
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
  }

  fake::ToolFixture f;
  std::unique_ptr<mainwindow::MainForms> forms;
};

}  // namespace morvane::mwtest
