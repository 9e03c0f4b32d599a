#include "app/ui_script.h"

#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

using namespace morvane;

namespace morvane::apptest {

namespace {

constexpr int kPollMs = 20;

}  // namespace

UiScript::UiScript(int timeoutMs) : m_timeoutMs(timeoutMs) {
  m_timer.setInterval(kPollMs);
  connect(&m_timer, &QTimer::timeout, this, &UiScript::tick);
}

UiScript::~UiScript() { m_timer.stop(); }

UiScript& UiScript::addStep(const QString& what, bool modal, Find find, Act act) {
  m_steps.push_back({what, modal, std::move(find), std::move(act)});
  return *this;
}

UiScript& UiScript::answerMessage(const QString& what, int button) {
  return onModal<QMessageBox>(what, [this, what, button](QMessageBox* box) {
    m_messages << box->text();
    if (QAbstractButton* b = box->button(QMessageBox::StandardButton(button))) {
      b->click();
    } else {
      m_unexpected << QStringLiteral("%1: the box has no such button").arg(what);
      box->reject();
    }
  });
}

UiScript& UiScript::answerFileDialog(const QString& what, const QString& path) {
  return onModal<QFileDialog>(what, [this, path](QFileDialog* dialog) {
    m_fileDialogs << dialog->windowTitle();
    if (path.isEmpty()) {
      dialog->reject();
      return;
    }
    // Typed into the file name box, as a user would: selectFile() leaves a focused box alone.
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      edit->setText(path);
    } else {
      m_unexpected << QStringLiteral("the file dialog has no file name box");
      dialog->selectFile(path);
    }
    static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, as its Open button
  });
}

void UiScript::start() {
  m_clock.start();
  m_timer.start();
}

void UiScript::stop() { m_timer.stop(); }

void UiScript::tick() {
  if (!m_timedOut.isEmpty()) {
    giveUp();
    return;
  }
  QWidget* modal = QApplication::activeModalWidget();
  const bool handled =
      modal && std::find(m_handled.begin(), m_handled.end(), modal) != m_handled.end();
  if (m_next < m_steps.size()) {
    const Step& step = m_steps[m_next];
    // A window waits for the action before it to return; a modal dialog opens inside one.
    const bool mayAct = step.modal ? !handled : (m_acting == 0 && !modal);
    if (QWidget* target = mayAct ? step.find() : nullptr) {
      ++m_next;
      ++m_acting;
      if (step.modal) m_handled.emplace_back(target);
      m_clock.restart();
      // Acting from a fresh timer event lets this poll go on inside any loop the action opens.
      QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(target), act = step.act] {
        if (w) act(w);
        --m_acting;
      });
      return;
    }
  }
  if (modal && !handled) closeUnexpected(modal);
  if (m_clock.elapsed() > m_timeoutMs) {
    m_timedOut = m_next < m_steps.size() ? m_steps[m_next].what
                                         : QStringLiteral("the last action to return");
    giveUp();
  }
}

// A dialog no step waits for would block the run for good: note it and close it.
void UiScript::closeUnexpected(QWidget* modal) {
  auto* dialog = qobject_cast<QDialog*>(modal);
  if (!dialog) return;
  if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
    m_unexpected << box->text();
  } else {
    m_unexpected << QStringLiteral("%1 \"%2\"")
                        .arg(QString::fromLatin1(dialog->metaObject()->className()),
                             dialog->windowTitle());
  }
  m_handled.emplace_back(dialog);
  dialog->reject();
}

// After a timeout: close whatever is modal and leave the front end's event loop, again at
// every poll until the front end returns.
void UiScript::giveUp() {
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  QCoreApplication::quit();
}

}  // namespace morvane::apptest
