// What the workbook host's copy operations put on the desktop clipboard and what the
// presentation host's PasteSpecial takes from it.
//
//   bitmap          QMimeData::setImageData (a QImage at 192 dpi, device pixel ratio 2: twice
//                   the pixels of 96 dpi at the same size in points; its dotsPerMeter say so)
//   EMF             kEmfMime: the bytes of a genuine enhanced metafile (src/emf writes it)
//   SVG             kSvgMime: an SVG document whose units are points, offered beside the bitmap
//   JPEG            kJpegMime: the bitmap as a JPEG of kJpegQuality (jpegOnWhite), beside it
//   native object   kNativeObjectMime: a NativeObject (below), for pastes as embedded objects
//   source          kSourceMime: the SourceRecord (below) of the object the pictures show, as
//                   its compact UTF-8 text; absent for anything that is no workbook object
//
// Hosts offer formats lazily (QMimeData::retrieveData) so nothing is drawn that nobody reads.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <optional>

namespace morvane::office {

inline constexpr char kEmfMime[] = "image/x-emf";
inline constexpr char kSvgMime[] = "image/svg+xml";
inline constexpr char kNativeObjectMime[] = "application/x-morvane-native-object";
inline constexpr char kSourceMime[] = "application/x-morvane-source";
inline constexpr char kJpegMime[] = "image/jpeg";
// The quality of the JPEG a bitmap copy offers: the one the PDF export stores its pages at, so
// a picture drawn ahead for a page is encoded ahead too.
inline constexpr int kJpegQuality = 75;

// `image` as a JPEG of `quality` (0..100): flattened onto white, as a page shows a transparent
// picture (JPEG has no alpha), with all its pixels and its dots per metre. Empty when it cannot
// be encoded.
QByteArray jpegOnWhite(const QImage& image, int quality);

// A chart or range copied "as an object": the whole source workbook, which object of it was
// copied, and its natural size. The presentation host embeds `workbook` under
// ppt/embeddings/ with a fallback picture taken from the EMF (or bitmap) on the same clipboard.
struct NativeObject {
  enum class Kind { Chart, ChartSheet, Range };
  Kind kind = Kind::Chart;
  QString workbookName;  // file name of the source workbook, "Sales.xlsx"
  QString sheet;         // worksheet or chart sheet name
  QString name;          // chart object name or defined name; empty for a chart sheet
  QSizeF sizePoints;     // natural size of the object in points
  QByteArray workbook;   // the workbook's .xlsx bytes as they stand in memory

  QByteArray serialize() const;
  static std::optional<NativeObject> deserialize(const QByteArray& data);
};

// Where a pasted object came from, so a later run can find it in its workbook again: the
// workbook's file name (never its folder), the object's kind, sheet and name (empty for a
// chart sheet), the embedded chart's stable key (empty for other kinds) and how it was
// pasted. The workbook host offers it with every copy of a workbook object (format empty);
// the presentation host keeps it, with the format it pasted in, on each shape it pastes.
struct SourceRecord {
  enum class Kind { Chart, ChartSheet, Range };
  // Paste formats; kLabel marks the source label written beside a pasted object.
  static constexpr char kBitmap[] = "bitmap";
  static constexpr char kEmf[] = "emf";
  static constexpr char kSvg[] = "svg";
  static constexpr char kObject[] = "object";
  static constexpr char kLabel[] = "label";

  QString workbook;
  Kind kind = Kind::Chart;
  QString sheet;
  QString name;
  QString key;
  QString format;

  // One line, "morvane:1|Sales.xlsx|chart|Sheet1|Chart 1|{GUID}|emf"; '%' and '|' inside
  // fields are written %25 and %7C.
  QString compact() const;
  // nullopt for any text compact() does not write.
  static std::optional<SourceRecord> fromCompact(const QString& text);
  bool operator==(const SourceRecord&) const = default;
};

// The source record the desktop clipboard's data offers; nullopt when it offers none.
std::optional<SourceRecord> clipboardSource();
// Puts the clipboard's data back without its source record, so what is pasted from it next
// carries none (every other form is kept as it is).
void dropClipboardSource();

}  // namespace morvane::office
