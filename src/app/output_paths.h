// What the batch commands may write: never the workbook they read, a presentation that is a
// deck, a PDF over nothing but a PDF. Each check returns the refusal to print, or nothing.
#pragma once

#include <QString>
#include <optional>

namespace morvane::app {

// True when the two paths name one file (the same canonical path, or the same device and
// inode through links); false when either does not exist.
bool sameFile(const QString& a, const QString& b);

// `output` must not be `workbook`.
std::optional<QString> refuseWorkbookAsOutput(const QString& workbook, const QString& output);

// A new presentation must end in .pptx; an existing one must be a .pptx, .pptm or .potx deck.
std::optional<QString> refuseNonDeck(const QString& presentation);

// `path` with ".pdf" added when it names no existing file and does not end in it (any case);
// an existing file is taken as named.
QString withPdfSuffix(const QString& path);

// An existing file that is not a PDF is replaced only when `force`.
std::optional<QString> refuseNonPdf(const QString& path, bool force);

}  // namespace morvane::app
