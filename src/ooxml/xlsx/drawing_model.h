// A spreadsheet drawing part: its anchors in file order, with the charts among them.
#pragma once

#include <QString>

#include <vector>

namespace morvane::ooxml::xlsx {

inline constexpr qint64 kEmuPerPoint = 12700;
inline constexpr qint64 kEmuPerPixel = 9525;  // at 96 dpi

// A cell corner: 0-based column and row, offsets in EMU into that cell.
struct AnchorMarker {
  int column = 0;
  qint64 columnOffset = 0;
  int row = 0;
  qint64 rowOffset = 0;
};

struct DrawingObject {
  enum class Anchor { TwoCell, OneCell, Absolute };
  enum class Kind { Chart, Other };
  Anchor anchor = Anchor::TwoCell;
  AnchorMarker from;  // TwoCell and OneCell
  AnchorMarker to;    // TwoCell
  qint64 x = 0, y = 0;          // Absolute: position in EMU
  qint64 width = 0, height = 0; // OneCell and Absolute: ext in EMU

  Kind kind = Kind::Other;
  // Charts (a top-level graphicFrame holding c:chart): the frame's cNvPr id and name, the
  // relationship id and the chart part it resolves to ("/xl/charts/chart1.xml").
  int id = 0;
  QString name;
  QString chartRelationshipId;
  QString chartPart;
  // The frame's creation id ("{GUID}", a16:creationId in the cNvPr extension list), which
  // office programs give each frame once and keep through renames and moves; empty when none.
  QString creationId;
};

// The extension of cNvPr that holds a16:creationId, and that element's namespace.
inline constexpr char kCreationIdExtUri[] = "{FF2B5EF4-FFF2-40B4-BE49-F238E27FC236}";
inline constexpr char kCreationIdNamespace[] =
    "http://schemas.microsoft.com/office/drawing/2014/main";

struct Drawing {
  QString partName;  // "/xl/drawings/drawing1.xml"
  std::vector<DrawingObject> objects;  // every top-level anchor, charts and other shapes
  // Indices into objects of the charts, in drawing order.
  std::vector<int> chartIndices() const;
};

}  // namespace morvane::ooxml::xlsx
