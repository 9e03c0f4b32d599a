// Numbers through digit placeholders: plain decimals, scientific notation and fractions.
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/numfmt/decimal_digits.h"
#include "render/numfmt/number_format.h"
#include "render/numfmt/section_render.h"

namespace morvane::render::numfmt {

bool appendCommon(const Token& token, CellText& out) {
  if (token.kind == TokenKind::Literal) {
    out.text += token.text;
    return true;
  }
  if (token.kind == TokenKind::Fill) {
    if (out.fillPosition < 0) {
      out.fillPosition = int(out.text.size());
      out.fillChar = token.ch;
    }
    return true;
  }
  return false;
}

namespace {

// The placeholder characters of one role, in order.
QString placeholders(const Section& sec, DigitPart part) {
  QString out;
  for (const Token& t : sec.tokens)
    if (t.kind == TokenKind::Digit && t.part == part) out += t.ch;
  return out;
}

// The text of each integer placeholder (leftmost first) for `digits`: digits fill the
// placeholders from the right and the leftmost takes any excess; a placeholder without a
// digit shows '0', a space ('?') or nothing ('#'). With grouping a ',' follows every third
// digit counted from the right.
std::vector<QString> placeInteger(const QByteArray& digits, const QString& marks, bool grouping) {
  const int places = int(marks.size());
  const int count = int(digits.size());
  std::vector<QString> chunks(std::max(places, 1));
  for (int k = std::max(places, count) - 1; k >= 0; --k) {  // k: position from the right
    QChar c;
    if (k < count) {
      c = QChar(digits[count - 1 - k]);
    } else {
      const QChar mark = marks[places - 1 - k];
      if (mark == u'0') c = u'0';
      if (mark == u'?') c = u' ';
    }
    if (c.isNull()) continue;
    QString& chunk = chunks[k < places ? places - 1 - k : 0];
    chunk += c;
    if (grouping && k > 0 && k % 3 == 0) chunk += c == u' ' ? u' ' : u',';
  }
  return chunks;
}

// The text of each fraction placeholder: digits from the left; trailing zeros vanish at '#'
// and become spaces at '?'.
std::vector<QString> placeFraction(const QByteArray& digits, const QString& marks) {
  int last = -1;
  for (int i = 0; i < marks.size(); ++i)
    if (digits[i] != '0' || marks[i] == u'0') last = i;
  std::vector<QString> chunks(marks.size());
  for (int i = 0; i < marks.size(); ++i) {
    if (i <= last)
      chunks[i] = QChar(digits[i]);
    else if (marks[i] == u'?')
      chunks[i] = QStringLiteral(" ");
  }
  return chunks;
}

QByteArray integerText(long long n) { return n == 0 ? QByteArray() : QByteArray::number(n); }

void renderDecimal(const Section& sec, double magnitude, CellText& out) {
  DecimalDigits d(magnitude);
  d.scale(sec.scale);
  d.roundTo(sec.fractionDigits);
  const QByteArray integer = d.integerDigits();
  const QString integerMarks = placeholders(sec, DigitPart::Integer);
  const auto ints = placeInteger(integer, integerMarks, sec.grouping);
  const auto fracs =
      placeFraction(d.fractionDigits(sec.fractionDigits), placeholders(sec, DigitPart::Fraction));
  size_t i = 0, f = 0;
  for (const Token& t : sec.tokens) {
    if (appendCommon(t, out)) continue;
    if (t.kind == TokenKind::Digit && t.part == DigitPart::Integer) {
      out.text += ints[i++];
    } else if (t.kind == TokenKind::Digit && t.part == DigitPart::Fraction) {
      out.text += fracs[f++];
    } else if (t.kind == TokenKind::Point) {
      if (integerMarks.isEmpty()) out.text += QString::fromLatin1(integer);  // ".00" with 12.5
      out.text += u'.';
    } else if (t.kind == TokenKind::General) {
      out.text += formatGeneral(magnitude);
    }
  }
}

void renderScientific(const Section& sec, double magnitude, CellText& out) {
  DecimalDigits d(magnitude);
  d.scale(sec.scale);
  const int step = std::max(sec.integerDigits, 1);  // the exponent is a multiple of it
  int exponent = 0;
  if (!d.isZero()) {
    const int lead = d.leadingExponent();
    exponent = (lead >= 0 ? lead / step : -((-lead + step - 1) / step)) * step;
    d.scale(-exponent);
    d.roundTo(sec.fractionDigits);
    if (d.integerDigits().size() > step) {  // 9.996 rounded up to 10.00
      d.scale(-step);
      exponent += step;
      d.roundTo(sec.fractionDigits);
    }
  }
  const auto ints = placeInteger(d.integerDigits(), placeholders(sec, DigitPart::Integer), false);
  const auto fracs =
      placeFraction(d.fractionDigits(sec.fractionDigits), placeholders(sec, DigitPart::Fraction));
  const QString exponentMarks = placeholders(sec, DigitPart::Exponent);
  const auto exps = placeInteger(integerText(std::abs(exponent)), exponentMarks, false);
  size_t i = 0, f = 0, e = 0;
  for (const Token& t : sec.tokens) {
    if (appendCommon(t, out)) continue;
    if (t.kind == TokenKind::Digit && t.part == DigitPart::Integer) {
      out.text += ints[i++];
    } else if (t.kind == TokenKind::Digit && t.part == DigitPart::Fraction) {
      out.text += fracs[f++];
    } else if (t.kind == TokenKind::Digit && t.part == DigitPart::Exponent) {
      out.text += exps[e++];
    } else if (t.kind == TokenKind::Point) {
      out.text += u'.';
    } else if (t.kind == TokenKind::Exponent) {
      out.text += u'E';
      if (exponent < 0)
        out.text += u'-';
      else if (t.ch == u'+')
        out.text += u'+';
      if (exponentMarks.isEmpty()) out.text += QString::number(std::abs(exponent));  // "0E+"
    }
  }
}

// The nearest fraction n/d to `x` (0 <= x < 1) with d <= maxDenominator, in lowest terms:
// the last continued-fraction convergent within the bound, or the semiconvergent past it
// when that is nearer (ties go to the smaller denominator).
std::pair<long long, long long> nearestFraction(double x, long long maxDenominator) {
  long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;  // the two previous convergents
  double rest = x;
  for (int step = 0; step < 64; ++step) {
    const double a = std::floor(rest);
    if (q1 > 0 && (a > double(maxDenominator) || q0 + (long long)a * q1 > maxDenominator)) {
      const long long k = (maxDenominator - q0) / q1;
      const long long p = p0 + k * p1, q = q0 + k * q1;
      if (std::fabs(x - double(p) / double(q)) < std::fabs(x - double(p1) / double(q1)))
        return {p, q};
      break;
    }
    const long long p2 = p0 + (long long)a * p1, q2 = q0 + (long long)a * q1;
    p0 = p1, q0 = q1, p1 = p2, q1 = q2;
    if (rest == a) break;
    rest = 1 / (rest - a);
  }
  return {p1, q1};
}

// Denominator digits left-aligned: missing '?' places become trailing spaces, missing '0'
// places leading zeros.
QString placeDenominator(long long den, const QString& marks) {
  QString digits = QString::number(den);
  const QString missing = marks.mid(digits.size());
  return QString(int(missing.count(u'0')), u'0') + digits + QString(int(missing.count(u'?')), u' ');
}

void renderFraction(const Section& sec, double magnitude, CellText& out) {
  const double value = magnitude * std::pow(10.0, sec.scale);
  const bool hasInteger = sec.integerDigits > 0;
  long long num = 0, den = 1;
  QByteArray wholeDigits, numDigits;
  if (value >= 1e15) {  // no fractional digit survives the 15 significant digits
    den = std::max(sec.fixedDenominator, 1);
    DecimalDigits d(hasInteger ? value : value * double(den));
    d.roundTo(0);
    (hasInteger ? wholeDigits : numDigits) = d.integerDigits();
  } else {
    const double wholePart = std::floor(value);
    const double rest = value - wholePart;
    if (sec.fixedDenominator > 0) {
      den = sec.fixedDenominator;
      num = std::llround(rest * double(den));
    } else {
      // The program stops at seven denominator digits however many placeholders there are.
      const int digits = std::clamp(sec.denominatorDigits, 1, 7);
      std::tie(num, den) = nearestFraction(rest, (long long)std::pow(10, digits) - 1);
    }
    long long whole = (long long)wholePart;
    if (hasInteger && num == den) {
      ++whole;
      num = 0;
    }
    wholeDigits = hasInteger && whole == 0 && num == 0 ? "0" : integerText(whole);
    // Without an integer part the numerator carries the whole number too. Past 15 digits it
    // is shown as other large numbers are, to 15 significant digits (the product could also
    // overflow 64 bits: ?/99999999 of 1.7e13).
    const double wideNumerator =
        hasInteger ? double(num) : double(whole) * double(den) + double(num);
    if (wideNumerator >= 1e15) {
      DecimalDigits d(wideNumerator);
      d.roundTo(0);
      numDigits = d.integerDigits();
    } else {
      if (!hasInteger) num += whole * den;
      numDigits = num == 0 && !hasInteger ? "0" : integerText(num);  // "0/1"
    }
  }
  const bool blankFraction = hasInteger && num == 0;  // "5    " for 5 with "# ?/?"

  const auto ints = placeInteger(wholeDigits, placeholders(sec, DigitPart::Integer), sec.grouping);
  const auto nums = placeInteger(numDigits, placeholders(sec, DigitPart::Numerator), false);
  const QString denText = sec.fixedDenominator > 0
                              ? QString::number(sec.fixedDenominator)
                              : placeDenominator(den, placeholders(sec, DigitPart::Denominator));
  auto put = [&](const QString& text) {
    out.text += blankFraction ? QString(text.size(), u' ') : text;
  };
  size_t i = 0, n = 0;
  bool denominatorDone = false;
  for (const Token& t : sec.tokens) {
    if (appendCommon(t, out)) continue;
    if (t.kind == TokenKind::Digit && t.part == DigitPart::Integer) {
      out.text += ints[i++];
    } else if (t.kind == TokenKind::Digit && t.part == DigitPart::Numerator) {
      put(nums[n++]);
    } else if (t.kind == TokenKind::Slash) {
      put(QStringLiteral("/"));
    } else if ((t.kind == TokenKind::Digit && t.part == DigitPart::Denominator) ||
               t.kind == TokenKind::FixedDenominator) {
      if (!denominatorDone) put(denText);
      denominatorDone = true;
    }
  }
}

}  // namespace

void renderNumber(const Section& section, double magnitude, CellText& out) {
  switch (section.kind) {
    case SectionKind::Scientific:
      return renderScientific(section, magnitude, out);
    case SectionKind::Fraction:
      return renderFraction(section, magnitude, out);
    default:
      return renderDecimal(section, magnitude, out);
  }
}

void renderText(const Section& section, const QString& text, CellText& out) {
  for (const Token& t : section.tokens) {
    if (appendCommon(t, out)) continue;
    if (t.kind == TokenKind::At || t.kind == TokenKind::General)
      out.text += text;
    else if (t.kind == TokenKind::Digit)
      out.text += t.ch;
    else if (t.kind == TokenKind::Point)
      out.text += u'.';
    else if (t.kind == TokenKind::Comma)
      out.text += u',';
    else if (t.kind == TokenKind::Slash)
      out.text += u'/';
  }
}

}  // namespace morvane::render::numfmt
