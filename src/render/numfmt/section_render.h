// Writers of one parsed section: numbers (plain, scientific, fractions), dates and times,
// texts. Internal to the number-format engine.
#pragma once

#include <QString>

#include "render/numfmt/format_code.h"

namespace morvane::render::numfmt {

// The text being built for one cell and where its '*' fill goes.
struct CellText {
  QString text;
  int fillPosition = -1;
  QChar fillChar;
};

// Appends a Literal or records a Fill; false for any other token.
bool appendCommon(const Token& token, CellText& out);

// Writes `magnitude` (>= 0, finite) through a Number, Scientific or Fraction section. The
// caller adds any minus sign.
void renderNumber(const Section& section, double magnitude, CellText& out);

// Writes a date/time serial through a Date section. False when the serial cannot be shown as
// a date (negative, or past 31 Dec 9999); `out` is then unspecified.
bool renderDate(const Section& section, double serial, bool date1904, CellText& out);

// Writes `text` through a Text section ('@' is the text).
void renderText(const Section& section, const QString& text, CellText& out);

}  // namespace morvane::render::numfmt
