// Refresh: every shape an earlier paste tagged with this workbook is drawn again from the
// workbook, in the shape's own paste format, where it stands; source labels get their text
// again. Objects the workbook no longer has, and listed objects the deck does not show, are
// reported; nothing else is touched.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "office/clipboard_formats.h"
#include "office/excel.h"
#include "office/powerpoint.h"

namespace morvane::paste {

// An object of the workbook's list, as the list names it (name column, sheet column).
struct ListedObject {
  QString name;
  QString sheet;
};

struct RefreshRequest {
  // The workbook file name the shapes were tagged with; empty: this workbook's own name.
  QString taggedWith;
  bool dryRun = false;
  bool labels = true;                // give the source labels their text again
  std::vector<ListedObject> listed;  // the included objects, to report those on no slide
  // Called before each tagged shape (done of total); false stops the run there.
  std::function<bool(int done, int total)> onProgress;
};

struct RefreshItem {
  enum class Outcome { Refreshed, WouldRefresh, Gone, Failed };
  int slide = 0;                // from 1
  QString shape;                // the shape's name
  office::SourceRecord record;  // as the shape is tagged
  Outcome outcome = Outcome::Refreshed;
  QString detail;  // what changes or changed; why not
};

struct RefreshReport {
  std::vector<RefreshItem> items;
  std::vector<ListedObject> notInDeck;
  bool stopped = false;  // onProgress asked to stop
  int count(RefreshItem::Outcome outcome) const;
  // True when something was reported: an object gone or failing, or one on no slide.
  bool reportedAnything() const;
};

// The shapes of `presentation` tagged with `workbookName` (source labels not counted).
int countTaggedObjects(ppt::Presentation& presentation, const QString& workbookName);

// Refreshes the deck (or, with dryRun, only plans it). Failures of single objects are
// reported in the items; an AutomationError from the presentation itself goes to the caller.
RefreshReport RefreshDeck(excel::Workbook& workbook, ppt::Presentation& presentation,
                          const RefreshRequest& request);

// One line per item, and one per object not in the deck, as the command prints them; with
// `reportsOnly`, only the objects gone, failing or not in the deck.
std::vector<QString> describe(const RefreshReport& report, bool reportsOnly = false);

}  // namespace morvane::paste
