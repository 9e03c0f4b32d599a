// Dialog: the modeless confirmation the "Paste to PowerPoint" command shows: how many
// objects go to which presentation, the check box asking for source labels, OK and Cancel.
// Unloading follows ModelessForm: never deleted while OK's run is under way.
#pragma once

#include "paste/modeless_form.h"

#include <QString>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace morvane::paste {

inline const QString kCheckCaption =
    QStringLiteral("Include path, name and sheet at the bottom of each slide");

// "N object(s) will be pasted to " CR CR name CR CR "Continue?".
QString confirmationText(int count, const QString& presentationName);

class Dialog : public ModelessForm {
  Q_OBJECT

 public:
  explicit Dialog(QWidget* parent = nullptr);

  // What OK runs (the paste run of the current mode, then the unload).
  void setOk(std::function<void()> ok) { m_ok = std::move(ok); }

  // The load: Label1's text; OK hidden when there is nothing to paste.
  void load(int count, const QString& presentationName);
  // Check1's value: 1 ticked, 0 not.
  int check1Value() const;
  // Label1's text as set (carriage returns kept).
  const QString& label1Text() const { return m_label1Text; }

  void SonicClick1_Click();  // OK
  void SonicClick2_Click();  // Cancel

  // When the presentation already holds `count` objects pasted from this workbook: a third
  // button, left of OK and Cancel (which keep their places), runs `refresh`. Hidden otherwise.
  void offerRefresh(int count, std::function<void()> refresh);
  void RefreshButton_Click();

  QLabel* Label1 = nullptr;
  QCheckBox* Check1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* SonicClick1 = nullptr;
  QPushButton* SonicClick2 = nullptr;
  QPushButton* RefreshButton = nullptr;

 protected:
  void cancelClicked() override { SonicClick2_Click(); }

 private:
  void createControls();

  std::function<void()> m_ok;
  std::function<void()> m_refresh;
  QString m_label1Text;
};

}  // namespace morvane::paste
