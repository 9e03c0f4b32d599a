// PasteSpecial of the presentation host: takes the desktop clipboard and makes it the shown
// slide's last shape, at its natural size and centred on the slide, and the selection.
//   ppPasteBitmap            a PNG picture of the clipboard image (size from its dots per
//                            metre, 96 dpi when it has none)
//   ppPasteEnhancedMetafile  an EMF picture of the image/x-emf bytes (size from the EMF frame)
//   ppPasteSVG               a PNG picture of the clipboard image whose vector form is the
//                            image/svg+xml document beside it (size from the image)
//   ppPasteOLEObject         an embedded workbook from the native-object format, shown by the
//                            EMF on the clipboard, else the bitmap
//   ppPasteDefault           as ppPasteOLEObject when the clipboard holds a native object,
//                            else an EMF picture, else a bitmap picture
// Throws AutomationError when the clipboard lacks the format or its data is unusable, or the
// window shows no slide; nothing is added then.
#pragma once

#include <QImage>
#include <QSizeF>
#include <optional>

#include "hosts/presentation/state.h"

namespace morvane::hosts::presentation {

void pasteClipboard(PresentationState& state, int dataType);
// Shape.ReplaceWithClipboard: the clipboard's data, read as pasteClipboard reads it, becomes
// what the shape shows (see powerpoint.h). Throws AutomationError, changing nothing, when the
// clipboard lacks the data, or the shape shows no picture or is no embedded object for
// ppPasteOLEObject (and the reverse).
void replaceWithClipboard(PresentationState& state, const ShapeKey& key, int dataType);

// Natural sizes in points; nullopt for unusable data.
std::optional<QSizeF> naturalSizeOfImage(const QImage& image);
std::optional<QSizeF> naturalSizeOfEmf(const QByteArray& emf);

}  // namespace morvane::hosts::presentation
