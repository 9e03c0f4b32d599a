// ExportList: what the PDF export needs of the main window's object list beyond what the
// paste runs need: setting the paste format, and running the selection handling for the row
// that is already selected (selecting it again would run nothing).
#pragma once

#include "paste/paste_list.h"

namespace morvane::pdf {

class ExportList : public paste::PasteList {
 public:
  // Sets the paste format as the format selector would (its change handler runs).
  virtual void setPasteFormat(const QString& format) = 0;
  // Runs the selection handling for the selected row; its AutomationError propagates.
  virtual void runSelection() = 0;
};

// Form: as for paste::FormPasteList, plus setPasteFormat() and listCharts_Change().
template <class Form>
class FormExportList final : public paste::FormPasteList<Form, ExportList> {
 public:
  using paste::FormPasteList<Form, ExportList>::FormPasteList;

  void setPasteFormat(const QString& format) override {
    if (Form* f = this->form()) f->setPasteFormat(format);
  }
  void runSelection() override {
    if (Form* f = this->form()) f->listCharts_Change();
  }
};

}  // namespace morvane::pdf
