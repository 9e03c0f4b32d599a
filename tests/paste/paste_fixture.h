// Test support for the paste commands: a list window stand-in with the main window's public
// list operations and a selection handler that copies through the office double, window
// bookkeeping that ends the tool when the last form is unloaded, and a fixture joining them.
#pragma once

#include "paste/paste_commands.h"
#include "paste/paste_list.h"
#include "support/office_double.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace morvane::pastetest {

// The main window's list as the paste commands see it: eight text columns, the mode, the
// paste format, the current row counter; selecting a row copies its object to the clipboard
// as the selection handler does (a picture in the paste format; EMF bytes for a metafile),
// noting, as it does, why no picture could be made.
class ListForm : public QWidget {
  Q_OBJECT
 public:
  explicit ListForm(morvane::startup::Tool& tool) : m_tool(tool) {}

  std::vector<QStringList> rows;
  bool titleMode = true;
  QString format = QStringLiteral("Bitmap");
  int selectionRuns = 0;
  std::function<void(int)> onSelect;  // runs at the start of the selection handler

  bool isUnloaded() const { return m_unloaded; }
  void unload();
  int listCount() const { return int(rows.size()); }
  QString listText(int row, int column) const { return rows.at(row).at(column); }
  int listIndex() const { return m_index; }
  void setListIndex(int row);
  void listCharts_Change();
  const QString& pictureProblem() const { return m_pictureProblem; }
  bool isTitleMode() const { return titleMode; }
  bool isNumberMode() const { return !titleMode; }
  QString pasteFormat() const { return format; }
  office::Int16 currentRow() const { return m_currentRow; }
  void setCurrentRow(office::Int16 row) { m_currentRow = row; }

 private:
  morvane::startup::Tool& m_tool;
  int m_index = -1;
  office::Int16 m_currentRow;
  QString m_pictureProblem;
  bool m_unloaded = false;
};

// The tool's form bookkeeping: the main window plus registered forms; the tool ends when the
// last is unloaded, not while a user's command still runs.
class TestForms : public morvane::startup::Forms, public paste::FormRegistry {
 public:
  explicit TestForms(morvane::startup::Tool& tool);
  QPointer<ListForm> main;

  void showSplash() override {}
  void unloadSplash() override {}
  void loadMainWindow() override {}
  void showMainWindow() override {}
  void unloadMainWindow() override;
  void showClosing() override {}
  void unloadClosing() override {}
  void registerForm(QWidget* form) override;
  void unloadForm(QWidget* form) override;
  void runUserCommand(const std::function<void()>& command);
  int loadedFormCount() const;
  int mainWindowUnloads = 0;

 private:
  void formUnloaded();
  morvane::startup::Tool& m_tool;
  std::vector<QPointer<QWidget>> m_others;
  int m_depth = 0;
};

inline const QString kRegistry = QStringLiteral("kukukukuZichron");

class PasteTest : public ::testing::Test {
 protected:
  PasteTest();
  ~PasteTest() override;

  // Appends a list row: name, sheet, include, numerator, slide number, title, paste-as, "".
  void addRow(const QString& name, const QString& sheet, const QString& include = QStringLiteral("Y"),
              const QString& slide = QString(), const QString& title = QString(),
              const QString& pasteAs = QStringLiteral("Picture"));
  void setOption(int column, const office::Variant& value);
  // "Paste to PowerPoint" as the main window's button runs it.
  void pasteToPowerPoint();
  // The dialog's OK (with the check box ticked or not), as a user's click.
  void clickOk(bool labels = false);
  void pasteExpress();
  std::shared_ptr<fake::SlideState> slide(int index) { return f.office.powerPoint->slide(index); }
  int slideCount() const { return int(f.office.powerPoint->presentation->slides.size()); }
  const fake::CallLog& log() const { return f.office.log; }
  QStringList prompts() const;

  fake::ToolFixture f;
  TestForms forms{f.tool};
  paste::PasteCommands commands{f.tool, &forms};
  QPointer<ListForm> window;
  std::shared_ptr<paste::PasteList> list;
};

}  // namespace morvane::pastetest
