// What the workbook host's copy operations put on the desktop clipboard and what the
// presentation host's PasteSpecial takes from it.
//
//   bitmap          QMimeData::setImageData (a QImage at 192 dpi, device pixel ratio 2: twice
//                   the pixels of 96 dpi at the same size in points; its dotsPerMeter say so)
//   EMF             kEmfMime: the bytes of a genuine enhanced metafile (src/emf writes it)
//   SVG             kSvgMime: an SVG document whose units are points, offered beside the bitmap
//   native object   kNativeObjectMime: a NativeObject (below), for pastes as embedded objects
//
// Hosts offer formats lazily (QMimeData::retrieveData) so nothing is drawn that nobody reads.
#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <optional>

namespace morvane::office {

inline constexpr char kEmfMime[] = "image/x-emf";
inline constexpr char kSvgMime[] = "image/svg+xml";
inline constexpr char kNativeObjectMime[] = "application/x-morvane-native-object";

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

}  // namespace morvane::office
