// What the workbook host's copy operations put on the desktop clipboard: pictures of a chart
// or a range, drawn only when someone reads them (QMimeData::retrieveData), as a 192 dpi
// bitmap (device pixel ratio 2; lower for pictures past the pixel budget) with its PNG and
// JPEG, a genuine EMF
// (image/x-emf), an SVG in points (image/svg+xml), the source record of the object and, for
// native copies, the NativeObject a presentation pastes as an embedded workbook.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "office/clipboard_formats.h"

class QPainter;
class QRectF;

namespace morvane::ooxml::xlsx {
struct WorkbookModel;
}
namespace morvane::ooxml::chart {
struct Theme;
}

namespace morvane::hosts::workbook {

class WorkbookHost;

// Forms of a picture drawn ahead (PicturePool); a null or empty one was not drawn.
struct DrawnForms {
  QImage image;
  QByteArray png, jpeg, emf, svg;
};

struct ClipboardPicture {
  // Draws the object into a rectangle whose units are points (the caller scales). Touches
  // only what it owns, immutable, so any thread may call it.
  std::function<void(QPainter&, const QRectF&)> draw;
  QSizeF sizePoints;
  // The forms already drawn, when it was drawn ahead.
  std::shared_ptr<const DrawnForms> drawn;
};

enum ClipboardFormat { kOfferBitmap = 1, kOfferEmf = 2, kOfferNative = 4, kOfferSvg = 8 };
// Beside kOfferBitmap in drawForms(): the bitmap encoded as PNG, or as the JPEG it offers, too.
inline constexpr int kEncodePng = 16;
inline constexpr int kEncodeJpeg = 32;

// Draws the forms `formats` names (ClipboardFormat, kEncodePng) of `picture`, as its copies
// offer them; safe on any thread.
DrawnForms drawForms(const ClipboardPicture& picture, int formats);
// A native copy (ChartArea.Copy, Range.Copy) offers every picture form and the object.
inline constexpr int kOfferNativeCopy = kOfferBitmap | kOfferEmf | kOfferSvg | kOfferNative;
// What CopyPicture offers for its Format argument: the bitmap for xlBitmap, the SVG with the
// bitmap as its fallback for xlSvg, the EMF for anything else.
int pictureFormats(int copyPictureFormat);

// The most pixels a bitmap of a chart or range holds, its device pixels counted: a picture
// larger than that is drawn at a lower resolution, with its proportions and its size in
// points, so any picture stays a few hundred megabytes at most to draw, encode and paste.
inline constexpr int kMaxBitmapSide = 8000;
inline constexpr double kMaxBitmapPixels = 40e6;
struct BitmapGeometry {
  QSize pixels;
  double dotsPerInch = 96;
};
// The bitmap of a picture of `points` drawn at `scale` times 96 dpi, within those limits;
// never empty.
BitmapGeometry bitmapGeometry(const QSizeF& points, int scale);

// Replaces the clipboard's content. `formats` is a combination of ClipboardFormat; `native`
// is produced on demand too (it carries the workbook's bytes). `source`, when given, is
// offered beside every form.
void offerOnClipboard(ClipboardPicture picture, int formats,
                      std::function<office::NativeObject()> native = {},
                      std::optional<office::SourceRecord> source = {});

// A chart picture's inputs, read on the host's thread: the chart part, the cells its caches
// are filled from (an immutable snapshot), the theme and the size. Building the picture from
// them touches nothing shared.
struct ChartInputs {
  QString chartPart;
  QByteArray chartXml;
  QString readProblem;  // why the part could not be read; the picture is then refused
  const ooxml::xlsx::WorkbookModel* cells = nullptr;
  std::shared_ptr<const ooxml::xlsx::WorkbookModel> keepCells;  // holds `cells` when a snapshot
  std::shared_ptr<const ooxml::chart::Theme> theme;
  int maxXmlDepth = 0;
  QSizeF size;
};
// Fails as chartPicture() does for the sheet and the object. The cells are `snapshot`, or the
// workbook's own when it is null (the picture is then built at once, on the host's thread).
ChartInputs chartInputs(const WorkbookHost& host, int sheet, int object, const QString& member,
                        const QString& objectClass,
                        std::shared_ptr<const ooxml::xlsx::WorkbookModel> snapshot);
// The picture, or why none can be made (the reader's message, a size no picture can have).
using BuiltPicture = std::variant<ClipboardPicture, QString>;
BuiltPicture buildChartPicture(const ChartInputs& inputs);
// The range picture of cells rows/columns of `sheet`, drawn from the host's snapshot.
// Fails as rangePicture() does for the sheet.
BuiltPicture buildRangePicture(const WorkbookHost& host, int sheet, int firstRow, int firstColumn,
                               int lastRow, int lastColumn);
// Keys under which PicturePool keeps pictures drawn ahead.
QString chartKey(int sheet, int object);
QString rangeKey(int sheet, int firstRow, int firstColumn, int lastRow, int lastColumn);

// The picture of chart object `object` of sheet `sheet` (the one drawn ahead when the host's
// pool has it) (object < 0: the chart sheet's
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
