// The objects a paste or export run could not give their picture (the spreadsheet program
// could not make it), and the one message that lists them when the run ends.
#pragma once

#include <QString>

#include <vector>

namespace morvane::paste {

struct MissingPicture {
  QString name;    // list column 0
  QString sheet;   // list column 1
  QString reason;  // why no picture could be made
};

// What the window says at the end of a run that left `missing` (not empty) without their
// pictures, one object a line ("Chart 2 (Sales): <reason>"); `place` names what stayed
// without a picture ("slides", "pages").
QString missingPicturesMessage(const std::vector<MissingPicture>& missing, const QString& place);

}  // namespace morvane::paste
