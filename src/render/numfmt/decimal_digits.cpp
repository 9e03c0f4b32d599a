#include "render/numfmt/decimal_digits.h"

#include <cmath>

namespace morvane::render::numfmt {

DecimalDigits::DecimalDigits(double value) {
  if (value == 0 || !std::isfinite(value)) return;
  // "d.dddddddddddddde±x": 15 significant digits, correctly rounded from the binary value.
  const QByteArray text = QByteArray::number(std::fabs(value), 'e', 14);
  const int e = int(text.indexOf('e'));
  m_digits = text.left(1) + text.mid(2, e - 2);
  m_exponent = text.mid(e + 1).toInt() + 1;
  while (m_digits.endsWith('0')) m_digits.chop(1);
}

void DecimalDigits::scale(int power) {
  if (!isZero()) m_exponent += power;
}

void DecimalDigits::roundTo(int decimals) {
  if (isZero()) return;
  const int keep = m_exponent + decimals;  // digits that stay
  if (keep >= m_digits.size()) return;
  if (keep < 0) {
    m_digits.clear();
    return;
  }
  const bool up = m_digits[keep] >= '5';
  m_digits.truncate(keep);
  if (up) {
    int k = keep - 1;
    while (k >= 0 && m_digits[k] == '9') m_digits[k--] = '0';
    if (k >= 0) {
      m_digits[k] = char(m_digits[k] + 1);
    } else {
      m_digits.prepend('1');
      ++m_exponent;
    }
  }
  while (m_digits.endsWith('0')) m_digits.chop(1);
  if (m_digits.isEmpty()) m_exponent = 0;
}

QByteArray DecimalDigits::integerDigits() const {
  if (isZero() || m_exponent <= 0) return QByteArray();
  QByteArray out = m_digits.left(m_exponent);
  out.append(QByteArray(m_exponent - int(out.size()), '0'));
  return out;
}

QByteArray DecimalDigits::fractionDigits(int count) const {
  QByteArray out(count, '0');
  for (int i = 0; i < count && !isZero(); ++i) {
    const int index = m_exponent + i;
    if (index >= 0 && index < m_digits.size()) out[i] = m_digits[index];
  }
  return out;
}

}  // namespace morvane::render::numfmt
