// The window's edits written back into the registry sheet when the user saves the workbook:
// each object's include flag, numerator, slide number, slide title and paste-as setting into
// its registry row (columns C to G, the format unchanged), and the list mode into T2.
#pragma once

#include <optional>

#include "office/excel.h"
#include "registry/object_table.h"

namespace morvane::registry {

// The list as the user left it: one table row per list row (column c is list column c-1, the
// list's texts) and the mode (true title mode, false slide-number mode, nullopt neither).
struct ListEdits {
  ObjectTable rows;
  std::optional<bool> titleMode;
};

// Writes `edits` into the registry sheet. Each row goes into the registry row the scan takes
// the object's values from: the last one holding its name in A and, unless it is a named
// range (the kind read from the name, as the selection handler reads it), its sheet in B; a
// row that matches none is passed over. A numerator is written as a number (one that does
// not read as a number is left alone), so the registry's maximum still counts it. A cell
// already holding its value is not written: a list without edits changes nothing.
// REQUIRES: the registry sheet exists. Throws AutomationError on a failing call.
void WriteListEdits(excel::Workbook& workbook, const ListEdits& edits);

}  // namespace morvane::registry
