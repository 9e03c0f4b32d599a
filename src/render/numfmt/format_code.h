// The parsed form of a number format code: sections of tokens with the roles the analysis
// gave them. Internal to the number-format engine; NumberFormat is the public face.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <vector>

namespace morvane::render::numfmt {

enum class TokenKind {
  Literal,           // `text` shown as is (quoted text, escapes, '_x' spaces, '%', separators)
  Digit,             // a digit placeholder '0', '#' or '?' (`ch`), its role in `part`
  Point,             // the decimal point of a number section
  Comma,             // ',' before analysis, which turns it into a separator, a scaling or a literal
  Exponent,          // "E+" / "E-": `ch` is '+' or '-'
  Slash,             // the bar of a fraction
  FixedDenominator,  // a fraction's literal denominator, value in `count`
  At,                // '@': the text of a text cell
  General,           // "General" inside a section
  Fill,              // '*x': repeat `ch` to fill the cell
  Year,              // y, yy (count <= 2: two digits) / yyy, yyyy, e (four digits)
  Month,             // m mm mmm mmmm mmmmm (count letters)
  Day,               // d dd ddd dddd
  Hour,              // h hh
  Minute,            // m mm after an hour or before a second
  Second,            // s ss
  ElapsedHour,       // [h] [hh]: total hours
  ElapsedMinute,     // [m] [mm]: total minutes
  ElapsedSecond,     // [s] [ss]: total seconds
  SubSecond,         // the 0s after "s." : count digits of the second's fraction
  AmPm,              // AM/PM or A/P as written (`text`)
};

// Roles of digit placeholders.
enum class DigitPart { Integer, Fraction, Exponent, Numerator, Denominator };

struct Token {
  TokenKind kind = TokenKind::Literal;
  QString text;
  QChar ch;
  int count = 0;
  DigitPart part = DigitPart::Integer;
};

// A section's [<100]-style condition.
struct Condition {
  enum class Op { Always, Lt, Le, Gt, Ge, Eq, Ne };
  Op op = Op::Always;
  double value = 0;
  bool matches(double v) const;
};

enum class SectionKind { Number, Scientific, Fraction, Date, Text };

struct Section {
  std::vector<Token> tokens;
  SectionKind kind = SectionKind::Number;
  std::optional<QColor> color;
  std::optional<Condition> condition;
  bool hasFill = false;  // a '*' was read (only the first one fills)
  // Number, scientific and fraction layout.
  int scale = 0;          // power of ten applied: +2 per '%', -3 per scaling comma
  bool grouping = false;  // a thousands separator between integer placeholders
  int integerDigits = 0;  // placeholders in the integer part (the mantissa's for scientific)
  int fractionDigits = 0;
  int denominatorDigits = 0;  // placeholders of a fraction's denominator
  int fixedDenominator = 0;   // a fraction's literal denominator, 0 when none
  // Date layout.
  bool twelveHour = false;  // has AM/PM or A/P
  int subSecondDigits = 0;  // the most sub-second digits shown
};

struct ParsedFormat {
  QString code;
  bool general = true;  // the whole code is General (or failed to parse)
  std::vector<Section> sections;
  int numberSections = 0;  // sections that format numbers (from the front)
  int textSection = -1;    // index of the section for texts, -1 when none
};

// Parses `code`; nullopt when it is malformed or is General.
std::optional<ParsedFormat> parseFormatCode(const QString& code);

}  // namespace morvane::render::numfmt
