// The plan file of the batch commands: per-object edits a user would make in the window.
// Tab-separated, header `name sheet include title slide paste_as`; a row names one object by
// its exact name and sheet; objects the plan does not name keep their defaults.
#pragma once

#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace morvane::app {

struct PlanRow {
  int line = 0;  // 1-based line in the file, for messages
  QString name;
  QString sheet;
  std::optional<bool> include;     // Y / N; empty keeps the default
  std::optional<QString> title;    // empty keeps the default (an empty title)
  std::optional<QString> slide;    // slide number text; empty keeps the default
  std::optional<QString> pasteAs;  // "Picture" / "Excel object"
};

struct PlanError {
  QString message;  // names the file and the line
};

// Parses `text` (the file's contents; `fileName` for messages). Fails on a missing or wrong
// header, a row with the wrong number of fields, an include flag other than Y/N, a paste_as
// other than Picture / Excel object, an empty name, or two rows for the same object.
std::variant<std::vector<PlanRow>, PlanError> parsePlan(const QString& text, const QString& fileName);

}  // namespace morvane::app
