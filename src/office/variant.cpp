#include "office/variant.h"

#include "office/automation_error.h"

#include <cmath>
#include <limits>

namespace morvane::office {

Variant Variant::error(const QString& code) {
  Variant v;
  v.m_value = ErrorValue{code};
  return v;
}

Variant::Type Variant::type() const {
  switch (m_value.index()) {
    case 1: return Type::Boolean;
    case 2: return Type::Number;
    case 3: return Type::Text;
    case 4: return Type::Error;
    default: return Type::Empty;
  }
}

QString Variant::errorCode() const { return std::get<ErrorValue>(m_value).code; }

static QString numberText(double d) {
  if (d == 0) return QStringLiteral("0");
  if (!std::isfinite(d)) return std::isnan(d) ? QStringLiteral("NaN") : QStringLiteral("Infinity");
  const double magnitude = std::fabs(d);
  QString s;
  if (magnitude >= 1e15 || magnitude < 1e-5) {
    s = QString::number(d, 'E', 14);  // d.ddddE+xx, then strip zeros of the mantissa
    const qsizetype e = s.indexOf(QLatin1Char('E'));
    QString mantissa = s.left(e);
    QString exponent = s.mid(e + 1);
    if (mantissa.contains(QLatin1Char('.'))) {
      while (mantissa.endsWith(QLatin1Char('0'))) mantissa.chop(1);
      if (mantissa.endsWith(QLatin1Char('.'))) mantissa.chop(1);
    }
    const QChar sign = exponent.at(0);
    int expValue = exponent.mid(1).toInt();
    s = mantissa + QLatin1Char('E') + sign + QString::number(expValue).rightJustified(2, QLatin1Char('0'));
  } else {
    s = QString::number(d, 'g', 15);
    if (s.contains(QLatin1Char('e'))) s = QString::number(d, 'f', 15);
    if (s.contains(QLatin1Char('.'))) {
      while (s.endsWith(QLatin1Char('0'))) s.chop(1);
      if (s.endsWith(QLatin1Char('.'))) s.chop(1);
    }
  }
  return s;
}

QString Variant::toText() const {
  switch (type()) {
    case Type::Empty: return QString();
    case Type::Boolean: return boolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Number: return numberText(number());
    case Type::Text: return text();
    case Type::Error: return errorCode();
  }
  return QString();
}

bool Variant::operator==(const Variant& other) const { return m_value == other.m_value; }

namespace {

// Numeric view for comparison: booleans count as numbers, True = -1.
std::optional<double> numericView(const Variant& v) {
  if (v.isNumber()) return v.number();
  if (v.isBoolean()) return v.boolean() ? -1.0 : 0.0;
  return std::nullopt;
}

std::strong_ordering compareTexts(const QString& a, const QString& b) {
  const int c = QString::compare(a, b, Qt::CaseSensitive);  // by UTF-16 code unit
  return c < 0 ? std::strong_ordering::less
               : (c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal);
}

std::strong_ordering compareNumbers(double a, double b) {
  if (a < b) return std::strong_ordering::less;
  if (a > b) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

}  // namespace

std::strong_ordering compareVariants(const Variant& a, const Variant& b) {
  if (a.isEmpty() && b.isEmpty()) return std::strong_ordering::equal;
  const auto na = numericView(a);
  const auto nb = numericView(b);
  if (na && nb) return compareNumbers(*na, *nb);
  if (a.isEmpty() && nb) return compareNumbers(0, *nb);
  if (na && b.isEmpty()) return compareNumbers(*na, 0);
  // From here at least one side is a text (or an error, compared as its code).
  if (na) return std::strong_ordering::less;
  if (nb) return std::strong_ordering::greater;
  return compareTexts(a.toText(), b.toText());
}

std::optional<double> parseNumericText(const QString& text, const QLocale& locale) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  const QChar decimal = locale.decimalPoint().at(0);
  const QChar group = locale.groupSeparator().isEmpty() ? QChar() : locale.groupSeparator().at(0);
  qsizetype i = 0;
  QString normalized;
  if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) normalized += t[i++];
  bool digits = false, seenDecimal = false;
  for (; i < t.size(); ++i) {
    const QChar c = t[i];
    if (c.isDigit() && c.unicode() < 128) {
      normalized += c;
      digits = true;
    } else if (c == decimal && !seenDecimal) {
      normalized += QLatin1Char('.');
      seenDecimal = true;
    } else if (!group.isNull() && c == group && !seenDecimal && digits) {
      continue;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  if (i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'))) {
    qsizetype j = i + 1;
    QString exponent = QStringLiteral("e");
    if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-'))) exponent += t[j++];
    bool expDigits = false;
    for (; j < t.size() && t[j].isDigit() && t[j].unicode() < 128; ++j) {
      exponent += t[j];
      expDigits = true;
    }
    if (!expDigits) return std::nullopt;
    normalized += exponent;
    i = j;
  }
  if (i != t.size()) return std::nullopt;
  bool ok = false;
  const double value = normalized.toDouble(&ok);
  if (!ok) return std::nullopt;
  return value;
}

bool isNumericText(const QString& text, const QLocale& locale) {
  return parseNumericText(text, locale).has_value();
}

double bankersRound(double value) { return std::nearbyint(value); }  // FE_TONEAREST is ties-to-even

double toDouble(const Variant& value, const QLocale& locale) {
  switch (value.type()) {
    case Variant::Type::Empty: return 0;
    case Variant::Type::Boolean: return value.boolean() ? -1 : 0;
    case Variant::Type::Number: return value.number();
    case Variant::Type::Text:
      if (auto n = parseNumericText(value.text(), locale)) return *n;
      throw AutomationError::typeMismatch();
    case Variant::Type::Error: throw AutomationError::typeMismatch();
  }
  throw AutomationError::typeMismatch();
}

template <typename T>
static T toInteger(const Variant& value, const QLocale& locale) {
  const double rounded = bankersRound(toDouble(value, locale));
  if (!std::isfinite(rounded) || rounded < double(std::numeric_limits<T>::min()) ||
      rounded > double(std::numeric_limits<T>::max()))
    throw AutomationError::overflow();
  return static_cast<T>(rounded);
}

std::int16_t toInt16(const Variant& value, const QLocale& locale) {
  return toInteger<std::int16_t>(value, locale);
}

std::int32_t toInt32(const Variant& value, const QLocale& locale) {
  return toInteger<std::int32_t>(value, locale);
}

Int16::Int16(long long v) {
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
    throw AutomationError::overflow();
  m_value = static_cast<std::int16_t>(v);
}

Int16& Int16::operator+=(long long d) {
  *this = Int16(static_cast<long long>(m_value) + d);
  return *this;
}

}  // namespace morvane::office
