// The General format: the shortest faithful text that fits a cell of standard width.
#include <QString>
#include <algorithm>
#include <cmath>

#include "render/numfmt/decimal_digits.h"
#include "render/numfmt/number_format.h"

namespace morvane::render::numfmt {

namespace {

QString withoutTrailingZeros(QString text) {
  if (!text.contains(u'.')) return text;
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  return text;
}

// Fixed-point text of at most maxChars characters, or "" when it does not fit.
QString fixedGeneral(double magnitude, int maxChars) {
  DecimalDigits d(magnitude);
  const int integerCount = std::max(d.leadingExponent() + 1, 1);
  if (integerCount > maxChars) return QString();
  d.roundTo(std::max(maxChars - integerCount - 1, 0));
  if (d.isZero()) return QString();
  QByteArray integer = d.integerDigits();
  if (integer.isEmpty()) integer = "0";
  if (integer.size() > maxChars) return QString();
  const int decimals = std::max(maxChars - int(integer.size()) - 1, 0);
  return withoutTrailingZeros(QString::fromLatin1(integer + '.' + d.fractionDigits(decimals)));
}

QString scientificGeneral(double magnitude, int maxChars) {
  DecimalDigits d(magnitude);
  int exponent = d.leadingExponent();
  auto exponentText = [](int e) {
    return QString(e < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
           QStringLiteral("%1").arg(std::abs(e), 2, 10, QChar(u'0'));
  };
  const int decimals = std::clamp(maxChars - 2 - int(exponentText(exponent).size()), 0, 14);
  d.scale(-exponent);
  d.roundTo(decimals);
  if (d.integerDigits().size() > 1) {  // 9.99999 rounded up to 10
    d.scale(-1);
    ++exponent;
  }
  const QString mantissa =
      QString::fromLatin1(d.integerDigits() + '.' + d.fractionDigits(decimals));
  return withoutTrailingZeros(mantissa) + exponentText(exponent);
}

}  // namespace

QString formatGeneral(double value, int maxChars) {
  if (!std::isfinite(value)) return QStringLiteral("#NUM!");
  if (value == 0) return QStringLiteral("0");
  maxChars = std::max(maxChars, 6);
  const QString sign = value < 0 ? QStringLiteral("-") : QString();
  const double magnitude = std::fabs(value);
  const DecimalDigits d(magnitude);
  if (!d.isZero() && d.leadingExponent() >= -4) {
    const QString fixed = fixedGeneral(magnitude, maxChars);
    if (!fixed.isEmpty()) return sign + fixed;
  }
  if (d.isZero()) return QStringLiteral("0");  // below the smallest double's 15 digits
  return sign + scientificGeneral(magnitude, maxChars);
}

}  // namespace morvane::render::numfmt
