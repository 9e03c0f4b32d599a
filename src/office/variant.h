// Variant: the value of a table cell, a list cell or an office property, with the
// conversion and comparison rules the tool's logic relies on (the original runtime's).
// Also Int16, the checked 16-bit count every counter and loop index of the tool uses.
#pragma once

#include <QLocale>
#include <QString>

#include <compare>
#include <cstdint>
#include <optional>
#include <variant>

namespace morvane::office {

class Variant {
 public:
  enum class Type { Empty, Boolean, Number, Text, Error };

  Variant() = default;
  Variant(bool b) : m_value(b) {}
  Variant(int n) : m_value(double(n)) {}
  Variant(double d) : m_value(d) {}
  Variant(const QString& s) : m_value(s) {}
  Variant(const char* s) : m_value(QString::fromUtf8(s)) {}
  // A cell error such as "#N/A" or "#REF!".
  static Variant error(const QString& code);

  Type type() const;
  bool isEmpty() const { return type() == Type::Empty; }
  bool isNumber() const { return type() == Type::Number; }
  bool isText() const { return type() == Type::Text; }
  bool isBoolean() const { return type() == Type::Boolean; }
  bool isError() const { return type() == Type::Error; }

  // Raw accessors. REQUIRES: the matching type.
  double number() const { return std::get<double>(m_value); }
  const QString& text() const { return std::get<QString>(m_value); }
  bool boolean() const { return std::get<bool>(m_value); }
  QString errorCode() const;

  // The value as a list shows it: numbers in their shortest decimal form ("1", "0.5",
  // "1E+20"), booleans "True"/"False", empty as "", errors as their code.
  QString toText() const;

  // Exact equality of type and value (texts by code unit). Not the ordering comparison.
  bool operator==(const Variant& other) const;

 private:
  struct ErrorValue {
    QString code;
    bool operator==(const ErrorValue&) const = default;
  };
  std::variant<std::monostate, bool, double, QString, ErrorValue> m_value;
};

// Orders two values the way the original runtime's `<`/`>` on variants does: numbers (and
// booleans, True = -1) numerically; texts by UTF-16 code unit, case-sensitive, a prefix
// first; a number before any text; empty as 0 against a number, as "" against a text, and
// equal to empty. Errors compare as their code text.
std::strong_ordering compareVariants(const Variant& a, const Variant& b);
inline bool variantGreater(const Variant& a, const Variant& b) {
  return compareVariants(a, b) == std::strong_ordering::greater;
}

// True when the text reads as a number: optional blanks, an optional sign, digits with
// at most one decimal separator and optional group separators of `locale`, an optional
// exponent, optional blanks. "", a lone sign and "." are not numeric.
bool isNumericText(const QString& text, const QLocale& locale = QLocale());
// The number a numeric text reads as; nullopt when it is not numeric.
std::optional<double> parseNumericText(const QString& text, const QLocale& locale = QLocale());

// Round half to even, the rounding of the runtime's integer conversions.
double bankersRound(double value);

// Conversions with the runtime's failures: a text that is not numeric is a type mismatch
// (AutomationError 13); a result outside the target range is an overflow (6). Empty is 0,
// True is -1, False 0.
double toDouble(const Variant& value, const QLocale& locale = QLocale());
std::int16_t toInt16(const Variant& value, const QLocale& locale = QLocale());
std::int32_t toInt32(const Variant& value, const QLocale& locale = QLocale());

// A 16-bit signed count. Arithmetic past -32768..32767 throws AutomationError::overflow()
// instead of wrapping, as the tool's counters must.
class Int16 {
 public:
  constexpr Int16() = default;
  Int16(long long v);  // throws overflow when out of range
  std::int16_t value() const { return m_value; }
  operator std::int16_t() const { return m_value; }

  Int16& operator+=(long long d);
  Int16& operator-=(long long d) { return *this += -d; }
  Int16& operator++() { return *this += 1; }
  Int16& operator--() { return *this += -1; }

 private:
  std::int16_t m_value = 0;
};

}  // namespace morvane::office
