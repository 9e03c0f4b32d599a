// PasteList: what the paste commands need of the main window's object list, and
// FormPasteList, which offers it over any window with the list's public operations
// (UserFormObj, or a test's stand-in).
//
// A paste run can outlive the window it reads (closing the progress window unloads the main
// window between two objects), so the adapter holds the window weakly: once the window is
// unloaded or gone every query answers empty and every action does nothing.
#pragma once

#include "office/variant.h"

#include <QPointer>
#include <QString>

namespace morvane::paste {

// List columns the paste commands read.
inline constexpr int kColName = 0;
inline constexpr int kColSheet = 1;
inline constexpr int kColInclude = 2;
inline constexpr int kColSlideNumber = 4;
inline constexpr int kColTitle = 5;
inline constexpr int kColPasteAs = 6;

class PasteList {
 public:
  virtual ~PasteList() = default;
  // True once the window holding the list is unloaded or deleted.
  virtual bool isUnloaded() const = 0;
  virtual int listCount() const = 0;
  // REQUIRES: 0 <= row < listCount().
  virtual QString listText(int row, int column) const = 0;
  virtual int listIndex() const = 0;
  // Selects `row`; the selection handler runs at once and its AutomationError propagates.
  // Selecting the row already selected runs nothing.
  virtual void setListIndex(int row) = 0;
  // Runs the selection handler for the selected row; its AutomationError propagates.
  virtual void runSelection() = 0;
  // Why the last selection handling could make no picture of its row (the clipboard then
  // holds none); empty when it made one.
  virtual QString pictureProblem() const = 0;
  virtual bool isTitleMode() const = 0;
  virtual bool isNumberMode() const = 0;
  virtual QString pasteFormat() const = 0;
  // The current row counter the runs keep and the source label reads.
  virtual office::Int16 currentRow() const = 0;
  virtual void setCurrentRow(office::Int16 row) = 0;
  // Hides the window without unloading it.
  virtual void hideWindow() = 0;
};

// Form: a QWidget with isUnloaded(), listCount(), listText(), listIndex(), setListIndex(),
// listCharts_Change(), pictureProblem(), isTitleMode(), isNumberMode(), pasteFormat(),
// currentRow(), setCurrentRow(). `Base` is PasteList or an interface derived from it, whose extra
// members a further class adds.
template <class Form, class Base = PasteList>
class FormPasteList : public Base {
 public:
  explicit FormPasteList(Form* form) : m_form(form) {}

  bool isUnloaded() const override { return !m_form || m_form->isUnloaded(); }
  int listCount() const override { return isUnloaded() ? 0 : m_form->listCount(); }
  QString listText(int row, int column) const override {
    return isUnloaded() ? QString() : m_form->listText(row, column);
  }
  int listIndex() const override { return isUnloaded() ? -1 : m_form->listIndex(); }
  void setListIndex(int row) override {
    if (!isUnloaded()) m_form->setListIndex(row);
  }
  void runSelection() override {
    if (!isUnloaded()) m_form->listCharts_Change();
  }
  QString pictureProblem() const override {
    return isUnloaded() ? QString() : m_form->pictureProblem();
  }
  bool isTitleMode() const override { return !isUnloaded() && m_form->isTitleMode(); }
  bool isNumberMode() const override { return !isUnloaded() && m_form->isNumberMode(); }
  QString pasteFormat() const override { return isUnloaded() ? QString() : m_form->pasteFormat(); }
  office::Int16 currentRow() const override {
    return isUnloaded() ? office::Int16() : m_form->currentRow();
  }
  void setCurrentRow(office::Int16 row) override {
    if (!isUnloaded()) m_form->setCurrentRow(row);
  }
  void hideWindow() override {
    if (!isUnloaded()) m_form->hide();
  }

 protected:
  Form* form() const { return isUnloaded() ? nullptr : m_form.data(); }

 private:
  QPointer<Form> m_form;
};

}  // namespace morvane::paste
