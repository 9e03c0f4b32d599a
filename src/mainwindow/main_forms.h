// MainForms: the tool's windows behind the Forms seam: the splash, the main window, the
// closing form, and any further form (the progress window) registered with it. The tool
// ends when the last loaded form is unloaded; the last window closing never quits Qt.
#pragma once

#include "mainwindow/splash_forms.h"
#include "mainwindow/user_form_obj.h"
#include "startup/tool.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

namespace morvane::mainwindow {

class MainForms final : public QObject, public startup::Forms {
  Q_OBJECT

 public:
  // Installs itself as tool.forms and chains tool.onEnd, so that ending the tool unloads
  // every form before the front end's own ending runs (set onEnd before this). The
  // destructor gives the tool its own onEnd back.
  explicit MainForms(startup::Tool& tool, QObject* parent = nullptr);
  ~MainForms() override;

  // The commands each new main window's buttons start.
  void setCommands(UserFormObj::Commands commands) { m_commands = std::move(commands); }
  const UserFormObj::Commands& commands() const { return m_commands; }

  void showSplash() override;
  void unloadSplash() override;
  void loadMainWindow() override;
  void showMainWindow() override;
  void unloadMainWindow() override;
  void showClosing() override;
  void unloadClosing() override;

  // The loaded main window; nullptr when none is loaded.
  UserFormObj* mainWindow() const { return m_main; }
  SplashWindow* splash() const { return m_splash; }
  SplashWindow* closing() const { return m_closing; }

  // Another form (the progress window) counts as loaded until unloadForm.
  void registerForm(QWidget* form);
  // Hides the form, deletes it later, and ends the tool when it was the last one.
  void unloadForm(QWidget* form);
  int loadedFormCount() const;
  // Unloads every form without ending the tool by itself.
  void unloadAll();

  // The guarded entry point for a user's action on any form: RunGuarded, and then, when
  // the action left no form loaded, the end of the tool. A form unloaded inside an action
  // ends the tool only if no other form was loaded by the time the action returns, so
  // Refresh (main window out, splash in) keeps the tool alive.
  void runUserCommand(const std::function<void()>& command);

 private:
  void formUnloaded();

  startup::Tool& m_tool;
  UserFormObj::Commands m_commands;
  QPointer<UserFormObj> m_main;
  QPointer<SplashWindow> m_splash;
  QPointer<SplashWindow> m_closing;
  std::vector<QPointer<QWidget>> m_others;
  int m_commandDepth = 0;
  std::function<void()> m_previousOnEnd;
};

}  // namespace morvane::mainwindow
