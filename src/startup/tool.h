// Tool: the program-wide state of one run and the seams to the world outside the office
// programs (windows, the desktop, message boxes). Start-up fills it; the windows and
// commands read it. One instance lives for the whole run.
#pragma once

#include "office/excel.h"
#include "office/office_session.h"
#include "office/variant.h"
#include "registry/object_table.h"
#include "registry/registry.h"
#include "registry/registry_edits.h"
#include "startup/message_box.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace morvane::startup {

// The windows start-up and the commands open and close. The main-window code implements it.
class Forms {
 public:
  virtual ~Forms() = default;
  virtual void showSplash() = 0;
  virtual void unloadSplash() = 0;
  // Loads the main window, running its set-up; an AutomationError from set-up propagates.
  virtual void loadMainWindow() = 0;
  virtual void showMainWindow() = 0;
  // Unloads the main window (safe when none is loaded, and while one of its methods runs).
  virtual void unloadMainWindow() = 0;
  virtual void showClosing() = 0;
  virtual void unloadClosing() = 0;
};

// The desktop: the message loop, pauses, opening files, activating other programs' windows.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // Lets the user interface process its pending messages once.
  virtual void yield() = 0;
  virtual void sleepMs(int milliseconds) = 0;
  // Opens a file with the desktop's viewer for its type; false when nothing could open it.
  virtual bool openFile(const QString& path) = 0;
  // Brings a top-level window with this title (exact, else the first beginning with it) to
  // the front; false when there is none or the desktop offers no way.
  virtual bool activateWindow(const QString& title) = 0;
};

// A picture format beyond the window's two ("Enhanced Metafile", "Bitmap") that a batch run
// may choose. The window's ComboBox1 and its preview know nothing of it: when set, the
// selection handling copies pictures in it and the picture paste pastes it.
enum class PictureOverride { None, Svg };

struct Tool {
  Tool(office::OfficeSession& office, MessageBoxes& messages, Desktop& desktop)
      : office(office), messages(messages), desktop(desktop) {}

  office::OfficeSession& office;
  MessageBoxes& messages;
  Desktop& desktop;
  Forms* forms = nullptr;

  // Held for the whole run from start-up on.
  std::shared_ptr<excel::Application> excel;
  std::shared_ptr<excel::Workbook> workbook;
  std::int16_t majorVersion = 0;

  // Rebuilt by every scan.
  registry::ObjectTable objectTable;
  registry::Counts counts;
  // The visible names the main window's scan left out for referring to several areas.
  QStringList leftOutNames;

  // The list of the last main window unloaded, as the user left it, for the front end to
  // write into the registry when the user saves the workbook at the end. None when no window
  // finished loading its list, and after Refresh (whose old window's edits are lost).
  std::optional<registry::ListEdits> keptEdits;

  // None in the window; Svg for `--format svg`.
  PictureOverride pictureOverride = PictureOverride::None;

  // Program-wide counts of the confirmed paste or export.
  office::Int16 confirmationCount;
  office::Int16 progressTotal;

  // Told of each object a paste or PDF run is about to handle: its place among the run's
  // objects, its name and sheet (the batch commands' progress line).
  std::function<void(int done, int total, const QString& name, const QString& sheet)> onObject;
  void reportObject(int done, int total, const QString& name, const QString& sheet) const {
    if (onObject) onObject(done, total, name, sheet);
  }

  // Ends the tool: no window is left and the program quits once the running command returns.
  void end();
  bool ended() const { return m_ended; }
  // What ending does besides marking it (the front end quits its event loop).
  std::function<void()> onEnd;

 private:
  bool m_ended = false;
};

// Runs a command the user started. An AutomationError it raises is shown in a message that
// gives the error, the hosts save what they must, and the tool ends. Returns true when the
// command finished without an automation failure. Never throws.
bool RunGuarded(Tool& tool, const std::function<void()>& command);

}  // namespace morvane::startup
