// ModelessForm: a modeless window of the tool (the confirmation dialogs). Its buttons run
// through a guarded entry point; unloading hides it and hands it to its release handler
// (deleted later); while one of its handlers runs the hand-over waits until the handler has
// returned, so a form whose handler runs is never deleted. Closing it is its Cancel, and so
// is Esc; Enter presses OK while OK is shown, else Cancel.
#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

namespace morvane::paste {

class ModelessForm : public QWidget {
  Q_OBJECT

 public:
  using EntryPoint = std::function<void(const std::function<void()>&)>;

  explicit ModelessForm(QWidget* parent = nullptr);

  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }
  void setRelease(std::function<void(QWidget*)> release) { m_release = std::move(release); }

  bool isUnloaded() const { return m_unloaded; }
  // True while a handler started with runHeld() is under way.
  bool isRunning() const { return m_running; }
  void unload();

 protected:
  // Runs `handler` through the entry point (directly when none is set).
  void guarded(const std::function<void()>& handler);
  // Runs `body`; an unload asked for meanwhile takes effect once it has returned or thrown.
  void runHeld(const std::function<void()>& body);
  // What closing the window does, once, through the entry point.
  virtual void cancelClicked() = 0;
  // The buttons Enter and Esc press. REQUIRES: both are children of this form.
  void setKeyButtons(QPushButton* ok, QPushButton* cancel);
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void release();
  QPushButton* defaultButton() const;

  EntryPoint m_entry;
  std::function<void(QWidget*)> m_release;
  bool m_unloaded = false;
  bool m_running = false;
  bool m_released = false;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace morvane::paste
