// What the workbook host's copy operations put on the desktop clipboard: pictures of a chart
// or a range, drawn only when someone reads them (QMimeData::retrieveData), as a 192 dpi
// bitmap (device pixel ratio 2), a genuine EMF (image/x-emf), an SVG in points
// (image/svg+xml) and, for native copies, the NativeObject a presentation pastes as an
// embedded workbook.
#pragma once

#include "office/clipboard_formats.h"

#include <QSizeF>

#include <functional>

class QPainter;
class QRectF;

namespace morvane::hosts::workbook {

class WorkbookHost;

struct ClipboardPicture {
  // Draws the object into a rectangle whose units are points (the caller scales).
  std::function<void(QPainter&, const QRectF&)> draw;
  QSizeF sizePoints;
};

enum ClipboardFormat { kOfferBitmap = 1, kOfferEmf = 2, kOfferNative = 4, kOfferSvg = 8 };
// A native copy (ChartArea.Copy, Range.Copy) offers every picture form and the object.
inline constexpr int kOfferNativeCopy = kOfferBitmap | kOfferEmf | kOfferSvg | kOfferNative;
// What CopyPicture offers for its Format argument: the bitmap for xlBitmap, the SVG with the
// bitmap as its fallback for xlSvg, the EMF for anything else.
int pictureFormats(int copyPictureFormat);

// Replaces the clipboard's content. `formats` is a combination of ClipboardFormat; `native`
// is produced on demand too (it carries the workbook's bytes).
void offerOnClipboard(ClipboardPicture picture, int formats,
                      std::function<office::NativeObject()> native = {});

// The picture of chart object `object` of sheet `sheet` (object < 0: the chart sheet's
// chart), drawn from the chart part's caches, those its file left out filled from the cells
// (fillChartCaches). Failure: AutomationError 9 for a sheet index out of range, 1004
// "Method '<member>' of object '<objectClass>' failed" for an object the sheet does not
// have; AutomationError::invalidPicture() with the reader's message for a chart part that
// cannot be read, and for a size no picture can have, after clearing the clipboard (the
// copy asking for the picture fails, and no earlier picture may be pasted in its place).
ClipboardPicture chartPicture(const WorkbookHost& host, int sheet, int object, const QString& member,
                              const QString& objectClass);
// The picture of cells rows/columns of `sheet`; fails as chartPicture() does for its size.
ClipboardPicture rangePicture(const WorkbookHost& host, int sheet, int firstRow, int firstColumn,
                              int lastRow, int lastColumn);
// The whole workbook as it stands, for an embedded copy.
QByteArray workbookBytes(const WorkbookHost& host);

}  // namespace morvane::hosts::workbook
