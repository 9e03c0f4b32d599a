// The fonts office files ask for and the metric-compatible families installed in their place:
// pictures name the requested family (the audience has it), and measure and draw with the
// stand-in. Shared by the renderers, the metafile writer and the player.
#pragma once

#include <QFont>
#include <QString>

namespace morvane::emf {

// The installed metric-compatible family for an office font: Calibri -> Carlito, Cambria ->
// Caladea, Arial -> Liberation Sans, Times New Roman -> Liberation Serif, Courier New ->
// Liberation Mono (and a few near relatives); other names come back unchanged.
QString standInFamily(const QString& requested);

// A font whose families() are {requested, stand-in}: Qt measures and draws with the stand-in
// when the requested family is not installed, while family() (what QSvgGenerator and the
// metafile writer name) stays the requested one. Just {requested} when it has no stand-in.
QFont officeFont(const QString& requested);

// LOGFONT's lfPitchAndFamily for `family`: pitch in the low bits, the FF_* class above, from
// the office fonts' own values; for other families `fixedPitch` chooses FIXED_PITCH | FF_MODERN
// or VARIABLE_PITCH | FF_DONTCARE.
quint8 pitchAndFamily(const QString& family, bool fixedPitch);

// LOGFONT's lfCharSet for drawing `text` in `family`: SYMBOL_CHARSET for symbol fonts, else
// the character set of the first script in `text` that Windows names one for (Greek, Cyrillic,
// Hebrew, Arabic, Thai, Japanese, Korean, Chinese), else ANSI_CHARSET. Never DEFAULT_CHARSET,
// which each reader would resolve to its own locale's set.
quint8 charSetFor(const QString& family, const QString& text);

}  // namespace morvane::emf
