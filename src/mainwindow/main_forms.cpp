#include "mainwindow/main_forms.h"

#include "mainwindow/splash_forms.h"

#include <QApplication>

#include <algorithm>

namespace morvane::mainwindow {

namespace {
void unloadWidget(QWidget* w) {
  w->hide();
  w->deleteLater();
}
}  // namespace

MainForms::MainForms(startup::Tool& tool, QObject* parent) : QObject(parent), m_tool(tool) {
  QApplication::setQuitOnLastWindowClosed(false);
  m_tool.forms = this;
  m_previousOnEnd = std::move(m_tool.onEnd);
  m_tool.onEnd = [this] {
    unloadAll();
    if (m_previousOnEnd) m_previousOnEnd();
  };
}

MainForms::~MainForms() {
  if (m_tool.forms == this) m_tool.forms = nullptr;
  m_tool.onEnd = std::move(m_previousOnEnd);
  delete m_main.data();
  delete m_splash.data();
  delete m_closing.data();
  for (const auto& form : m_others) delete form.data();
}

int MainForms::loadedFormCount() const {
  int count = 0;
  if (m_main && !m_main->isUnloaded()) ++count;
  if (m_splash) ++count;
  if (m_closing) ++count;
  count += int(std::count_if(m_others.begin(), m_others.end(), [](const auto& f) { return !f.isNull(); }));
  return count;
}

void MainForms::formUnloaded() {
  if (m_commandDepth == 0 && loadedFormCount() == 0) m_tool.end();
}

void MainForms::runUserCommand(const std::function<void()>& command) {
  ++m_commandDepth;
  startup::RunGuarded(m_tool, command);
  --m_commandDepth;
  formUnloaded();
}

void MainForms::showSplash() {
  if (!m_splash) m_splash = createSplashForm();
  m_splash->show();
}

void MainForms::unloadSplash() {
  if (!m_splash) return;  // already unloaded: harmless
  unloadWidget(m_splash);
  m_splash = nullptr;
  formUnloaded();
}

void MainForms::showClosing() {
  if (!m_closing) m_closing = createClosingForm();
  m_closing->show();
}

void MainForms::unloadClosing() {
  if (!m_closing) return;
  unloadWidget(m_closing);
  m_closing = nullptr;
  formUnloaded();
}

void MainForms::loadMainWindow() {
  if (m_main && !m_main->isUnloaded()) return;  // loading a loaded form does nothing
  auto* window = new UserFormObj(m_tool);
  window->setCommands(m_commands);
  window->setEntryPoint([this](const std::function<void()>& command) { runUserCommand(command); });
  m_main = window;
  try {
    window->UserForm_Initialize();
  } catch (...) {
    // A set-up that fails leaves no window loaded; the caller reports the failure.
    m_main = nullptr;
    window->unload();
    throw;
  }
}

void MainForms::showMainWindow() {
  if (!m_main) return;
  m_main->show();
  m_main->activateWindow();
}

void MainForms::unloadMainWindow() {
  if (!m_main) return;
  UserFormObj* window = m_main;
  m_main = nullptr;
  window->unload();  // hidden now, deleted once its running methods have returned
  formUnloaded();
}

void MainForms::registerForm(QWidget* form) {
  if (!form) return;
  if (std::none_of(m_others.begin(), m_others.end(), [form](const auto& f) { return f == form; }))
    m_others.emplace_back(form);
}

void MainForms::unloadForm(QWidget* form) {
  const auto it = std::find_if(m_others.begin(), m_others.end(), [form](const auto& f) { return f == form; });
  if (it == m_others.end()) return;
  m_others.erase(it);
  unloadWidget(form);
  formUnloaded();
}

void MainForms::unloadAll() {
  if (m_main) {
    m_main->unload();
    m_main = nullptr;
  }
  for (QPointer<SplashWindow>* form : {&m_splash, &m_closing}) {
    if (*form) unloadWidget(*form);
    *form = nullptr;
  }
  for (const auto& form : m_others)
    if (form) unloadWidget(form);
  m_others.clear();
}

}  // namespace morvane::mainwindow
