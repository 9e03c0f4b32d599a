#include "paste/modeless_form.h"

#include <QCloseEvent>

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

}  // namespace morvane::paste
