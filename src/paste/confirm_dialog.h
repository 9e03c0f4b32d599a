// Dialog: the modeless confirmation the "Paste to PowerPoint" command shows: how many
// objects go to which presentation, the check box asking for source labels, OK and Cancel.
// Unloading hides it and hands it to its release handler (deleted later); while OK's run is
// under way the hand-over waits until the run has returned, so the dialog whose handler runs
// is never deleted.
#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace paste {

inline const QString kCheckCaption =
    QStringLiteral("Include path, name and sheet at the bottom of each slide");

// "N object(s) will be pasted to " CR CR name CR CR "Continue?".
QString confirmationText(int count, const QString& presentationName);

class Dialog : public QWidget {
  Q_OBJECT

 public:
  using EntryPoint = std::function<void(const std::function<void()>&)>;

  explicit Dialog(QWidget* parent = nullptr);

  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }
  // What OK runs (the paste run of the current mode, then the unload).
  void setOk(std::function<void()> ok) { m_ok = std::move(ok); }
  void setRelease(std::function<void(QWidget*)> release) { m_release = std::move(release); }

  // The load: Label1's text; OK hidden when there is nothing to paste.
  void load(int count, const QString& presentationName);
  // Check1's value: 1 ticked, 0 not.
  int check1Value() const;
  // Label1's text as set (carriage returns kept).
  const QString& label1Text() const { return m_label1Text; }

  bool isUnloaded() const { return m_unloaded; }
  // True while OK's run is under way.
  bool isRunning() const { return m_running; }
  void unload();

  void SonicClick1_Click();  // OK
  void SonicClick2_Click();  // Cancel

  QLabel* Label1 = nullptr;
  QCheckBox* Check1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* SonicClick1 = nullptr;
  QPushButton* SonicClick2 = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void guarded(void (Dialog::*handler)());
  void finishOk();
  void release();

  EntryPoint m_entry;
  std::function<void()> m_ok;
  std::function<void(QWidget*)> m_release;
  QString m_label1Text;
  bool m_unloaded = false;
  bool m_running = false;
  bool m_released = false;
};

}  // namespace paste
