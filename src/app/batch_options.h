// The options the batch commands share, and applying them to a loaded main window as a
// user's clicks and edits would, in the order that keeps them: pasting order, mode, picture
// format, then the plan's edits (a change of pasting order refills the list).
#pragma once

#include "app/plan.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace morvane::mainwindow {
class UserFormObj;
}
namespace morvane::startup {
struct Tool;
}

namespace morvane::app {

class FileSession;
class ToolSession;

struct BatchOptions {
  QStringList files;                 // positional arguments
  std::optional<QString> mode;       // "title" | "number"
  std::optional<QString> format;     // "emf" | "bitmap" | "svg" (an override of the tool's)
  std::optional<QString> order;      // "name" | "sheet" | "numerator"
  std::optional<bool> labels;        // --labels / --footer, --no-footer
  bool saveWorkbook = false;
  bool json = false;   // list: JSON instead of tab-separated lines
  bool quiet = false;  // no progress line
  bool force = false;  // pdf: replace an output that is not a PDF
  bool dryRun = false;  // refresh: plan only
  QString from;         // refresh: the workbook file name the shapes were tagged with
  QString planFile;
  std::vector<PlanRow> plan;
};

// Reads and checks the plan file named in `options` (if any). Returns the error message.
std::optional<QString> loadPlan(BatchOptions& options);

// Applies the options to the window (and "svg", which the window does not offer, to the
// tool's picture override). Returns an error message (a plan row that matches no object
// names its line) before anything is changed in the presentation or the PDF.
std::optional<QString> applyBatchOptions(mainwindow::UserFormObj& window, startup::Tool& tool,
                                         const BatchOptions& options);

// Applies the options to the session's main window, then runs `press` (a command button's
// click) on it, both guarded as a user's actions are. False when the tool ended or an option
// was refused (the reason printed).
bool applyOptionsAndPress(ToolSession& run, const BatchOptions& options,
                          const std::function<void(mainwindow::UserFormObj&)>& press);

// One line on stderr, in the locale's encoding.
void printBatchError(const QString& text);

// With --save-workbook: writes the window's edits (the plan's) into the registry as the GUI's
// Save does, then saves the workbook over its file. kExitDone, or kExitUnwritable after
// printing why the save failed.
int saveWorkbookIfAsked(const BatchOptions& options, ToolSession& run);

// A summary line's count of the objects left without their pictures (", 1 without its
// picture"); empty when there are none.
QString withoutPictures(int missing);
// How a run that wrote its output ends: saveWorkbookIfAsked's status when the save failed,
// else kExitRefused when `missing` objects were left without their pictures, else kExitDone.
int finishRun(const BatchOptions& options, ToolSession& run, int missing);

}  // namespace morvane::app
