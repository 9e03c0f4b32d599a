#include "paste/modeless_form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace morvane::paste {

ModelessForm::ModelessForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
  setAttribute(Qt::WA_QuitOnClose, false);
}

void ModelessForm::guarded(const std::function<void()>& handler) {
  if (m_entry) m_entry(handler);
  else handler();
}

void ModelessForm::unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  hide();
  if (!m_running) release();
}

void ModelessForm::release() {
  if (m_released) return;
  m_released = true;
  if (m_release) m_release(this);
  else deleteLater();
}

void ModelessForm::runHeld(const std::function<void()>& body) {
  const bool outer = !m_running;
  m_running = true;
  auto finish = [this, outer] {
    if (!outer) return;
    m_running = false;
    if (m_unloaded) release();
  };
  try {
    body();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void ModelessForm::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!m_unloaded) guarded([this] { cancelClicked(); });
}

void ModelessForm::setKeyButtons(QPushButton* ok, QPushButton* cancel) {
  m_ok = ok;
  m_cancel = cancel;
  // A button that has the focus answers Enter itself, as in any dialog.
  for (QPushButton* b : {ok, cancel}) b->setAutoDefault(true);
}

QPushButton* ModelessForm::defaultButton() const {
  return m_ok && !m_ok->isHidden() ? m_ok : m_cancel;
}

void ModelessForm::showEvent(QShowEvent* event) {
  if (m_cancel) {
    QPushButton* chosen = defaultButton();
    for (QPushButton* b : {m_ok, m_cancel}) b->setDefault(b == chosen);
  }
  QWidget::showEvent(event);
}

// Keys a control left unanswered (a check box has Enter and Esc pass by) reach the form.
void ModelessForm::keyPressEvent(QKeyEvent* event) {
  const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
  if (m_cancel && plain && event->key() == Qt::Key_Escape) {
    m_cancel->click();
  } else if (m_cancel && plain &&
             (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    defaultButton()->click();
  } else {
    QWidget::keyPressEvent(event);
  }
}

}  // namespace morvane::paste
