// Theme: the parts of a workbook theme (a:theme) that drawings use: the twelve scheme
// colours and the major/minor Latin fonts, and the resolution of DrawingML colours
// (scheme slots and modifiers) against them.
#pragma once

#include "ooxml/chart/drawing_format.h"
#include "ooxml/result.h"

#include <QColor>
#include <QString>

#include <array>

namespace morvane::ooxml {
class Package;
}

namespace morvane::ooxml::chart {

struct Theme {
  // dk1, lt1, dk2, lt2, accent1..accent6, hlink, folHlink.
  std::array<QColor, 12> colors;
  QString majorLatinFont = "Cambria";
  QString minorLatinFont = "Calibri";

  // The slot of a scheme name: "dk1"/"tx1", "lt1"/"bg1", "dk2"/"tx2", "lt2"/"bg2",
  // "accent1".."accent6", "hlink", "folHlink"; invalid colour for anything else.
  QColor schemeColor(const QString& name) const;
  QColor accent(int i) const { return colors[4 + ((i % 6) + 6) % 6]; }

  // The colour `c` stands for, modifiers applied in file order. "phClr" takes
  // `placeholder`. An unset colour gives an invalid QColor.
  QColor resolve(const DrawingColor& c, const QColor& placeholder = QColor()) const;
  // "+mn-lt" / "+mj-lt" to the theme's fonts; other names unchanged; empty -> minor font.
  QString resolveFont(const QString& typeface) const;
};

// The Office 2007-2010 theme ("Office"): Calibri/Cambria, accents 4F81BD, C0504D ...
Theme defaultTheme();

// Reads the theme part `themePartName`. Missing colours or fonts keep the default theme's.
// Fails (NotFound, BadXml, Unsafe) when the part cannot be read or parsed; callers that
// only need colours may fall back to defaultTheme().
Result<Theme> readThemePart(const Package& package, const QString& themePartName);
// As readThemePart, but never fails: the default theme when the part is absent or bad.
Theme readTheme(const Package& package, const QString& themePartName);
// Parses theme XML directly (for callers holding the bytes).
Result<Theme> readThemeXml(const QByteArray& xml, const QString& partName);

// DrawingML colour modifiers, applied to `c`: lumMod/lumOff/satMod/... in HSL, tint/shade in
// linear RGB as the office programs do. `value` in 1/1000 % (100000 = 100 %).
QColor applyColorModifier(const QColor& c, const QString& name, int value);

}  // namespace morvane::ooxml::chart
