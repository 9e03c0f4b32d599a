// The resolved appearance of one cell format: font, colours, fill, border lines, alignment
// and number format, with theme, indexed and tinted colours turned into QColors. Looks are
// cached per style index by CellLooks, which borrows the workbook model.
#pragma once

#include "ooxml/xlsx/styles_model.h"
#include "render/numfmt/number_format.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <array>
#include <optional>
#include <unordered_map>

namespace morvane::render::range {

// One border edge as drawn: `rank` orders edges by visual weight (0: none), the heavier of
// two edges meeting on one gridline wins.
struct BorderLine {
  QString style;  // "thin", "medium", "dashed", ... ("" none)
  QColor color = Qt::black;
  int rank = 0;
  bool isNone() const { return rank == 0; }
};

struct CellLook {
  QFont font;  // pointSizeF in points; the requested family, drawn with its stand-in
  QColor textColor = Qt::black;
  bool doubleUnderline = false;
  std::optional<QColor> fill;
  BorderLine left, right, top, bottom;
  ooxml::xlsx::Alignment alignment;
  numfmt::NumberFormat format;
};

// The visual weight rank of a border style name, 0 for none or unknown.
int borderRank(const QString& style);

// A stored colour as shown: rgb, theme slot (SpreadsheetML swaps the first two pairs: 0 is
// lt1, 1 is dk1), indexed palette entry (64 and 81 system text, 65 system background), with
// tint applied in HSL as the program does. `fallback` for unset and automatic colours.
QColor resolveCellColor(const ooxml::xlsx::Color& color, const std::array<QColor, 12>& theme,
                        const QColor& fallback);

class CellLooks {
 public:
  CellLooks(const ooxml::xlsx::Styles& styles, const std::array<QColor, 12>& theme);
  // The look of cell format `style`; out-of-range indexes (and their out-of-range font, fill
  // or border ids) fall back to the defaults. The reference stays valid while this lives.
  const CellLook& look(int style);

 private:
  CellLook build(int style) const;
  const ooxml::xlsx::Styles& m_styles;
  std::array<QColor, 12> m_theme;
  std::unordered_map<int, CellLook> m_cache;
};

}  // namespace morvane::render::range
