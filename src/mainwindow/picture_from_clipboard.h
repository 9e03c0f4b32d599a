// The picture the spreadsheet program has just put on the desktop clipboard, as an owned
// picture the preview can show.
#pragma once

#include "office/picture.h"

#include <memory>

namespace morvane::mainwindow {

// `code` 2 asks for the clipboard's bitmap; any other code for its enhanced metafile
// (image/x-emf). No conversion between the two is attempted. Returns a private copy the
// caller owns, or nullptr when the clipboard has no data of that kind or the data cannot
// be read. The clipboard is left as it was.
std::unique_ptr<office::Picture> PictureFromClipboard(int code);

}  // namespace morvane::mainwindow
