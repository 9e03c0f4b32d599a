// The cell formatting a workbook's styles part holds: number formats, cell formats (xf) and
// the fonts, fills and borders they point at, as plain values indexed as in the file.
#pragma once

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace morvane::ooxml::xlsx {

// A colour as written: rgb "FF112233", a theme index with tint, an indexed colour, or auto.
struct Color {
  QString rgb;
  std::optional<int> theme;
  double tint = 0;
  std::optional<int> indexed;
  bool automatic = false;
  bool isSet() const { return !rgb.isEmpty() || theme || indexed || automatic; }
};

struct Font {
  QString name = QStringLiteral("Calibri");
  double size = 11;
  bool bold = false;
  bool italic = false;
  QString underline;  // "" none, "single", "double", ...
  bool strike = false;
  Color color;
};

struct Fill {
  QString patternType;  // "" or "none" for no fill, "solid", "gray125", ...
  Color foreground;
  Color background;
  bool isGradient = false;  // gradient fills are kept only as a flag
};

struct BorderEdge {
  QString style;  // "" none, "thin", "medium", "dashed", ...
  Color color;
};

struct Border {
  BorderEdge left, right, top, bottom, diagonal;
};

struct Alignment {
  QString horizontal;  // "" general, "left", "center", "right", "fill", "justify", ...
  QString vertical;    // "" bottom, "top", "center", ...
  bool wrapText = false;
  bool shrinkToFit = false;
  int indent = 0;
  int textRotation = 0;
};

struct CellFormat {
  int numFmtId = 0;
  int fontId = 0;
  int fillId = 0;
  int borderId = 0;
  std::optional<int> xfId;
  bool applyNumberFormat = false;
  Alignment alignment;
  bool hasAlignment = false;
  bool operator==(const CellFormat& o) const;
};

struct Styles {
  std::map<int, QString> numberFormats;  // custom formats by id (164 and up, usually)
  std::vector<CellFormat> cellFormats;   // cellXfs; a cell's style index points here
  std::vector<Font> fonts;
  std::vector<Fill> fills;
  std::vector<Border> borders;

  // The format code of a numFmtId: a custom one, else the built-in code ("0", "@",
  // "m/d/yyyy"...), else "General".
  QString formatCode(int numFmtId) const;
  // The format code of cell format `xfIndex`; "General" when the index is out of range.
  QString formatCodeOfXf(int xfIndex) const;
  // The font of cell format `xfIndex` (the first font, or a default Calibri 11 when none).
  Font fontOfXf(int xfIndex) const;
  // The workbook's default font: the first font of the file.
  Font defaultFont() const;
};

// The built-in code of an id (0 "General", 1 "0", 49 "@", ...); empty for unknown ids.
QString builtInFormatCode(int numFmtId);
// The built-in id whose code equals `code`; nullopt when none does.
std::optional<int> builtInFormatId(const QString& code);

}  // namespace morvane::ooxml::xlsx
