// The message-box seam: every message the tool shows goes through it, so tests read the
// title, text and style, and batch runs print instead of showing a window.
#pragma once

#include <QString>

namespace morvane::startup {

// Buttons and icons (added together into a style), and the buttons a box returns.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;
inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;

inline const QString kToolTitle = QStringLiteral("Morvane©");

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `prompt` (carriage returns as line breaks) with the buttons and icon of `style`
  // under `title` (empty: no title of its own) and returns the button pressed.
  virtual int msgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {}) = 0;
};

}  // namespace morvane::startup
