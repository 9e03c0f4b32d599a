// DecimalDigits: a non-negative number as the spreadsheet program sees it for display, its
// 15 significant decimal digits, with exact decimal scaling and rounding half away from zero
// (so 2.675 shows as 2.68 although the double lies just below it).
#pragma once

#include <QByteArray>

namespace morvane::render::numfmt {

class DecimalDigits {
 public:
  // |value| to 15 significant digits. Requires: value is finite.
  explicit DecimalDigits(double value);

  bool isZero() const { return m_digits.isEmpty(); }
  // Multiplies by 10^power (exact).
  void scale(int power);
  // Rounds to `decimals` places after the point, half away from zero (decimals may be < 0).
  void roundTo(int decimals);
  // The power of ten of the leading digit (12.5 -> 1, 0.05 -> -2). Requires: !isZero().
  int leadingExponent() const { return m_exponent - 1; }
  // The digits before the point without leading zeros; "" for values below 1.
  QByteArray integerDigits() const;
  // The first `count` digits after the point, zero-padded.
  QByteArray fractionDigits(int count) const;

 private:
  QByteArray m_digits;  // significant digits, no leading or trailing zeros
  int m_exponent = 0;   // value = 0.<m_digits> * 10^m_exponent
};

}  // namespace morvane::render::numfmt
