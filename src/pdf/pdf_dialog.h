// Dialog1: the modeless confirmation of "Create  PDF": how many objects go into which file,
// whether each page gets a footer naming its source, whether the file is opened when done,
// OK and Cancel. Unloading follows ModelessForm: never deleted while OK's run is under way.
#pragma once

#include "paste/modeless_form.h"

#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace morvane::pdf {

inline const QString kDialogCaption = QStringLiteral("Dialog Caption");
inline const QString kFooterCaption =
    QStringLiteral("Include path, name and sheet at the bottom of each page");
inline const QString kOpenCaption = QStringLiteral("Open PDF file when done");

// "N object(s) will be inserted in " path CR CR "Continue?".
QString confirmationText(int count, const QString& outputPath);

class Dialog1 : public paste::ModelessForm {
  Q_OBJECT

 public:
  explicit Dialog1(QWidget* parent = nullptr);

  // What OK runs (the export of the mode at that moment); the unload follows.
  void setOk(std::function<void()> ok) { m_ok = std::move(ok); }

  // The load: Label1's text, both boxes ticked, OK hidden when there is nothing to write.
  void load(int count, const QString& outputPath);
  // The boxes' values: 1 ticked, 0 not.
  int check1Value() const;
  int check2Value() const;
  // Label1's text as set (carriage returns kept).
  const QString& label1Text() const { return m_label1Text; }

  void SonicClick2_Click();  // OK
  void SonicClick1_Click();  // Cancel

  QLabel* Label1 = nullptr;
  QCheckBox* Check1 = nullptr;
  QCheckBox* Check2 = nullptr;
  QPushButton* SonicClick2 = nullptr;
  QPushButton* SonicClick1 = nullptr;

 protected:
  void cancelClicked() override { SonicClick1_Click(); }

 private:
  void createControls();

  std::function<void()> m_ok;
  QString m_label1Text;
};

}  // namespace morvane::pdf
