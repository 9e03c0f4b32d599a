// NumberFormat: one parsed spreadsheet number format code ("#,##0.00;[Red]-#,##0.00",
// "d mmm yyyy", "0.0%") that turns cell values into the text the spreadsheet program shows
// (en-US). Values are plain copies sharing immutable parsed state; safe to use from any thread.
#pragma once

#include <QChar>
#include <QColor>
#include <QString>
#include <memory>
#include <optional>

namespace morvane::render::numfmt {

struct ParsedFormat;

// A value as a cell shows it.
struct FormattedValue {
  QString text;                 // what the cell shows (without fill expansion)
  std::optional<QColor> color;  // from [Red], [Color10] ...; nullopt: the cell's own font colour
  // '*x' repeat-fill: the character, and the index in `text` where copies of it are inserted
  // until the text fills the cell width (renderers expand it); nullopt / -1 when none.
  std::optional<QChar> fillChar;
  int fillPosition = -1;
  bool rightAligned = true;  // numbers and dates right, texts left (General alignment)
};

class NumberFormat {
 public:
  // The General format.
  NumberFormat();

  // Parses a format code. Never fails: a malformed code (unterminated quote or bracket, more
  // than four sections) gives the General format.
  static NumberFormat parse(const QString& code);

  // The text for a number. `date1904`: serials count days from 1 Jan 1904 instead of the
  // 1900 system (with its fictional 29 Feb 1900). A date or time that cannot be shown
  // (negative, past 31 Dec 9999), or a number no conditional section accepts, gives
  // "########" with '#' as fill at position 0, so an expanding renderer fills the cell with
  // '#' as the program does. NaN and infinities give "#NUM!".
  FormattedValue format(double value, bool date1904 = false) const;

  // The text for a text cell: the text section (the fourth, or a last section holding '@')
  // with '@' replaced by `text`; without a text section, `text` as is. Left aligned.
  FormattedValue formatText(const QString& text) const;

  // True when numbers are shown as dates or times (the first section has date/time codes).
  bool isDate() const;
  // True for "General" (and a code that failed to parse).
  bool isGeneral() const;
  // True for the text format "@".
  bool isText() const;

  // The code this format was parsed from ("General" for the default).
  QString code() const;

 private:
  explicit NumberFormat(std::shared_ptr<const ParsedFormat> parsed);
  std::shared_ptr<const ParsedFormat> m_parsed;
};

// The format code of one of the program's built-in number format ids (0-49, en-US), e.g.
// 14 -> "m/d/yyyy"; "" for an id with no built-in code.
QString builtinNumberFormat(int numFmtId);

// `value` as the General format shows it in a cell of standard width: at most `maxChars`
// characters not counting a minus sign, at most 15 significant digits, switching to
// scientific notation ("1.23457E+11", "1E-05") for large and very small magnitudes.
// Requires: maxChars >= 6.
QString formatGeneral(double value, int maxChars = 11);

// Colour n (1-56) of the program's default palette, as [Color n] uses it; nullopt outside.
std::optional<QColor> defaultPaletteColor(int n);

}  // namespace morvane::render::numfmt
