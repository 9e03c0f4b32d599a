// UiScript: plays a user's part against a front end that runs its own event loops. Steps run
// in order; each waits for a widget (a visible window, or the active modal dialog) and then
// acts on it, as a click would, from the event loop. A message box no step waits for is
// recorded and closed, and a step that waits too long fails the run, so a test ends instead
// of hanging on a window nobody answers.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

class QFileDialog;
class QMessageBox;

namespace morvane::apptest {

class UiScript : public QObject {
 public:
  using Find = std::function<QWidget*()>;
  using Act = std::function<void(QWidget*)>;

  explicit UiScript(int timeoutMs = 60000);
  ~UiScript() override;

  // Waits for the first visible top-level widget of type T, once no earlier action is still
  // running and no modal dialog is up, then acts on it.
  template <typename T>
  UiScript& onWindow(const QString& what, std::function<void(T*)> act,
                     std::function<bool(T*)> ready = {}) {
    return addStep(
        what, false,
        [ready]() -> QWidget* {
          for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* t = qobject_cast<T*>(w);
            if (t && t->isVisible() && (!ready || ready(t))) return t;
          }
          return nullptr;
        },
        [act](QWidget* w) { act(static_cast<T*>(w)); });
  }
  // Waits for the active modal widget to be a T, then acts on it.
  template <typename T>
  UiScript& onModal(const QString& what, std::function<void(T*)> act) {
    return addStep(
        what, true,
        []() -> QWidget* { return qobject_cast<T*>(QApplication::activeModalWidget()); },
        [act](QWidget* w) { act(static_cast<T*>(w)); });
  }
  // A message box: its text is recorded in messages(), then `button` is clicked.
  UiScript& answerMessage(const QString& what, int button);
  // A file dialog: chooses `path`, or cancels when `path` is empty.
  UiScript& answerFileDialog(const QString& what, const QString& path);

  // Starts polling; call before the front end's event loop runs.
  void start();
  // Stops polling, so a finished script cannot answer a later run's dialogs.
  void stop();

  bool finished() const { return m_next >= m_steps.size() && m_acting == 0; }
  // Empty while no step timed out; else the step it waited for.
  const QString& timedOut() const { return m_timedOut; }
  // Texts of the message boxes the steps answered, in order.
  const QStringList& messages() const { return m_messages; }
  // Texts of message boxes no step waited for (each was closed).
  const QStringList& unexpected() const { return m_unexpected; }
  // Titles of the file dialogs the steps answered.
  const QStringList& fileDialogs() const { return m_fileDialogs; }

 private:
  struct Step {
    QString what;
    bool modal = false;
    Find find;
    Act act;
  };

  UiScript& addStep(const QString& what, bool modal, Find find, Act act);
  void tick();
  void closeUnexpected(QWidget* modal);
  void giveUp();

  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  int m_acting = 0;
  int m_timeoutMs;
  QTimer m_timer;
  QElapsedTimer m_clock;
  QString m_timedOut;
  QStringList m_messages;
  QStringList m_unexpected;
  QStringList m_fileDialogs;
  std::vector<QPointer<QWidget>> m_handled;  // modal dialogs already answered or closed
};

}  // namespace morvane::apptest
