#include "render/numfmt/format_code.h"

#include <algorithm>

#include "render/numfmt/number_format.h"

namespace morvane::render::numfmt {

bool Condition::matches(double v) const {
  switch (op) {
    case Op::Always:
      return true;
    case Op::Lt:
      return v < value;
    case Op::Le:
      return v <= value;
    case Op::Gt:
      return v > value;
    case Op::Ge:
      return v >= value;
    case Op::Eq:
      return v == value;
    case Op::Ne:
      return v != value;
  }
  return false;
}

namespace {

bool isDateKind(TokenKind k) { return k >= TokenKind::Year && k <= TokenKind::AmPm; }

Token literal(const QString& text) {
  Token t;
  t.text = text;
  if (text.size() == 1) t.ch = text[0];
  return t;
}

Token make(TokenKind kind, int count = 0, QChar ch = QChar()) {
  Token t;
  t.kind = kind;
  t.count = count;
  t.ch = ch;
  return t;
}

std::optional<QColor> namedColor(const QString& name) {
  static const char* const kNames[] = {"black", "white",  "red",     "green",
                                       "blue",  "yellow", "magenta", "cyan"};
  const QString lower = name.toLower();
  for (int i = 0; i < 8; ++i)
    if (lower == QLatin1String(kNames[i])) return defaultPaletteColor(i + 1);
  if (lower.startsWith(QLatin1String("color"))) {
    bool ok = false;
    const int n = lower.mid(5).toInt(&ok);
    if (ok) return defaultPaletteColor(n);
  }
  return std::nullopt;
}

// Reads one [...] block into `sec`. False for a malformed condition.
bool parseBracket(const QString& content, Section& sec) {
  if (content.isEmpty()) return true;
  const QChar first = content[0];
  if (first == u'$') {  // [$€-407], [$USD], [$-409]: the symbol before '-' is shown
    const QString symbol = content.mid(1).section(u'-', 0, 0);
    if (!symbol.isEmpty()) sec.tokens.push_back(literal(symbol));
    return true;
  }
  if (first == u'<' || first == u'>' || first == u'=') {
    static const std::pair<const char*, Condition::Op> kOps[] = {
        {"<=", Condition::Op::Le}, {">=", Condition::Op::Ge}, {"<>", Condition::Op::Ne},
        {"<", Condition::Op::Lt},  {">", Condition::Op::Gt},  {"=", Condition::Op::Eq}};
    for (const auto& [text, op] : kOps) {
      if (!content.startsWith(QLatin1String(text))) continue;
      bool ok = false;
      const double value = content.mid(int(qstrlen(text))).trimmed().toDouble(&ok);
      if (!ok) return false;
      sec.condition = Condition{op, value};
      return true;
    }
  }
  const QChar unit = first.toLower();
  if ((unit == u'h' || unit == u'm' || unit == u's') &&
      std::all_of(content.begin(), content.end(), [&](QChar c) { return c.toLower() == unit; })) {
    const TokenKind kind = unit == u'h'   ? TokenKind::ElapsedHour
                           : unit == u'm' ? TokenKind::ElapsedMinute
                                          : TokenKind::ElapsedSecond;
    sec.tokens.push_back(make(kind, int(content.size())));
    return true;
  }
  if (const auto color = namedColor(content)) sec.color = color;
  return true;  // [DBNum1], [NatNum1] and other locale switches change nothing in en-US
}

int runLength(const QString& code, int i) {
  const QChar c = code[i].toLower();
  int j = i;
  while (j < code.size() && code[j].toLower() == c) ++j;
  return j - i;
}

// Reads the punctuation token at code[i] into `sec`: the index after it, `i` when code[i] is
// not punctuation, -1 when malformed (an unterminated quote or bracket).
int readPunctuation(const QString& code, int i, Section& sec) {
  auto& toks = sec.tokens;
  const QChar c = code[i];
  const QChar next = i + 1 < code.size() ? code[i + 1] : QChar();
  switch (c.unicode()) {
    case '"': {
      const int end = int(code.indexOf(u'"', i + 1));
      if (end < 0) return -1;
      toks.push_back(literal(code.mid(i + 1, end - i - 1)));
      return end + 1;
    }
    case '[': {
      const int end = int(code.indexOf(u']', i + 1));
      if (end < 0 || !parseBracket(code.mid(i + 1, end - i - 1), sec)) return -1;
      return end + 1;
    }
    case '\\':
      if (!next.isNull()) toks.push_back(literal(QString(next)));
      return i + 2;
    case '_':
      toks.push_back(literal(QStringLiteral(" ")));
      return i + 2;
    case '*':
      if (!next.isNull() && !sec.hasFill) toks.push_back(make(TokenKind::Fill, 0, next));
      sec.hasFill = sec.hasFill || !next.isNull();
      return i + 2;
    case '%':
      toks.push_back(literal(QStringLiteral("%")));
      sec.scale += 2;
      return i + 1;
    case '0':
    case '#':
    case '?':
      toks.push_back(make(TokenKind::Digit, 0, c));
      return i + 1;
    case '.':
      toks.push_back(make(TokenKind::Point));
      return i + 1;
    case ',':
      toks.push_back(make(TokenKind::Comma));
      return i + 1;
    case '/':
      toks.push_back(make(TokenKind::Slash));
      return i + 1;
    case '@':
      toks.push_back(make(TokenKind::At));
      return i + 1;
    default:
      return i;
  }
}

bool startsWithWord(const QString& code, int i, const char* word) {
  const QLatin1String w(word);
  return code.mid(i, w.size()).compare(w, Qt::CaseInsensitive) == 0;
}

// Reads the letters at code[i] (date and time codes, General, AM/PM, exponents) or a literal
// character into `sec`; returns the index after them.
int readLetters(const QString& code, int i, Section& sec) {
  auto& toks = sec.tokens;
  const QChar c = code[i];
  const QChar lower = c.toLower();
  const QChar next = i + 1 < code.size() ? code[i + 1] : QChar();
  if (lower == u'e' && (next == u'+' || next == u'-')) {
    toks.push_back(make(TokenKind::Exponent, 0, next));
    return i + 2;
  }
  if (startsWithWord(code, i, "General")) {
    toks.push_back(make(TokenKind::General));
    return i + 7;
  }
  const int ampm = startsWithWord(code, i, "AM/PM") ? 5 : startsWithWord(code, i, "A/P") ? 3 : 0;
  if (ampm > 0) {
    Token t = make(TokenKind::AmPm);
    t.text = ampm == 5 ? QStringLiteral("AM/PM") : code.mid(i, 3);  // a/p keeps its case
    toks.push_back(t);
    return i + ampm;
  }
  static const std::pair<char16_t, TokenKind> kDateLetters[] = {
      {u'y', TokenKind::Year}, {u'e', TokenKind::Year}, {u'm', TokenKind::Month},
      {u'd', TokenKind::Day},  {u'h', TokenKind::Hour}, {u's', TokenKind::Second}};
  for (const auto& [letter, kind] : kDateLetters) {
    if (lower != letter) continue;
    const int count = runLength(code, i);
    toks.push_back(make(kind, letter == u'e' ? 4 : count));
    return i + count;
  }
  if (lower == u'g') return i + runLength(code, i);  // the era: nothing to show in en-US
  toks.push_back(literal(QString(c)));
  return i + 1;
}

// Splits `code` into sections of raw tokens. False when malformed.
bool tokenize(const QString& code, std::vector<Section>& sections) {
  sections.assign(1, Section());
  int i = 0;
  while (i < code.size()) {
    if (code[i] == u';') {
      sections.emplace_back();
      ++i;
      continue;
    }
    const int next = readPunctuation(code, i, sections.back());
    if (next < 0) return false;
    i = next > i ? next : readLetters(code, i, sections.back());
  }
  return sections.size() <= 4;
}

bool isLiteralDigit(const Token& t) {
  return t.kind == TokenKind::Literal && t.text.size() == 1 && t.ch.isDigit();
}

// Turns commas into grouping (dropped, `grouping` set), scaling (dropped, scale -3) or
// literal commas. `integerEnd`: the first token after the integer part.
void resolveCommas(Section& sec, int integerEnd) {
  auto& toks = sec.tokens;
  int firstDigit = -1, lastIntegerDigit = -1;
  for (int k = 0; k < int(toks.size()); ++k) {
    if (toks[k].kind != TokenKind::Digit) continue;
    if (firstDigit < 0) firstDigit = k;
    if (k < integerEnd) lastIntegerDigit = k;
  }
  std::vector<Token> kept;
  bool afterNumber = false;  // the previous token was a digit, the point or a scaling comma
  for (int k = 0; k < int(toks.size()); ++k) {
    Token t = toks[k];
    if (t.kind == TokenKind::Comma) {
      if (firstDigit >= 0 && firstDigit < k && k < lastIntegerDigit) {
        sec.grouping = true;
        continue;
      }
      if (afterNumber) {
        sec.scale -= 3;
        continue;
      }
      t = literal(QStringLiteral(","));
    }
    afterNumber = t.kind == TokenKind::Digit || t.kind == TokenKind::Point;
    kept.push_back(t);
  }
  toks = std::move(kept);
}

int findKind(const std::vector<Token>& toks, TokenKind kind, int from = 0) {
  for (int k = from; k < int(toks.size()); ++k)
    if (toks[k].kind == kind) return k;
  return -1;
}

// A Slash with a numerator placeholder before it and a denominator after it, or -1.
int findFractionBar(const std::vector<Token>& toks) {
  for (int k = 1; k + 1 < int(toks.size()); ++k) {
    if (toks[k].kind != TokenKind::Slash || toks[k - 1].kind != TokenKind::Digit) continue;
    const Token& after = toks[k + 1];
    if (after.kind == TokenKind::Digit || (isLiteralDigit(after) && after.ch != u'0')) return k;
  }
  return -1;
}

void analyseFraction(Section& sec, int bar) {
  auto& toks = sec.tokens;
  int numeratorStart = bar;
  while (numeratorStart > 0 && toks[numeratorStart - 1].kind == TokenKind::Digit) --numeratorStart;
  for (int k = numeratorStart; k < bar; ++k) toks[k].part = DigitPart::Numerator;
  int end = bar + 1;
  if (toks[end].kind == TokenKind::Digit) {
    while (end < int(toks.size()) && toks[end].kind == TokenKind::Digit) {
      toks[end].part = DigitPart::Denominator;
      ++sec.denominatorDigits;
      ++end;
    }
  } else {
    QString digits;
    while (end < int(toks.size()) &&
           (isLiteralDigit(toks[end]) ||
            (toks[end].kind == TokenKind::Digit && toks[end].ch == u'0'))) {
      digits += toks[end].ch;
      ++end;
    }
    sec.fixedDenominator = digits.size() > 8 ? 99999999 : digits.toInt();
    toks.erase(toks.begin() + bar + 1, toks.begin() + end);
    toks.insert(toks.begin() + bar + 1, make(TokenKind::FixedDenominator, sec.fixedDenominator));
    end = bar + 2;
  }
  for (int k = 0; k < int(toks.size()); ++k) {
    Token& t = toks[k];
    if (t.kind == TokenKind::Digit && k < numeratorStart) {
      t.part = DigitPart::Integer;
      ++sec.integerDigits;
    } else if (t.kind == TokenKind::Digit && k >= end) {
      t = literal(QString(t.ch));  // placeholders after the fraction have nothing to show
    } else if ((t.kind == TokenKind::Slash && k != bar) || t.kind == TokenKind::Point) {
      t = literal(t.kind == TokenKind::Slash ? QStringLiteral("/") : QStringLiteral("."));
    }
  }
  sec.kind = SectionKind::Fraction;
  resolveCommas(sec, numeratorStart);
}

void analyseNumber(Section& sec) {
  auto& toks = sec.tokens;
  int exponent = findKind(toks, TokenKind::Exponent);
  const int firstDigit = findKind(toks, TokenKind::Digit);
  if (firstDigit < 0 || firstDigit > exponent) exponent = -1;  // "E+" with no mantissa
  int point = findKind(toks, TokenKind::Point);
  if (exponent >= 0 && point > exponent) point = -1;
  if (exponent < 0 && point < 0) {
    const int bar = findFractionBar(toks);
    if (bar >= 0) return analyseFraction(sec, bar);
  }
  const int integerEnd = point >= 0 ? point : (exponent >= 0 ? exponent : int(toks.size()));
  const int fractionEnd = exponent >= 0 ? exponent : int(toks.size());
  for (int k = 0; k < int(toks.size()); ++k) {
    Token& t = toks[k];
    if (t.kind == TokenKind::Digit) {
      if (k < integerEnd) {
        t.part = DigitPart::Integer;
        ++sec.integerDigits;
      } else if (k < fractionEnd) {
        t.part = DigitPart::Fraction;
        ++sec.fractionDigits;
      } else {
        t.part = DigitPart::Exponent;
      }
    } else if (t.kind == TokenKind::Point && k != point) {
      t = literal(QStringLiteral("."));
    } else if (t.kind == TokenKind::Slash) {
      t = literal(QStringLiteral("/"));
    } else if (t.kind == TokenKind::Exponent && k != exponent) {
      t = literal(QStringLiteral("E") + t.ch);
    }
  }
  if (exponent >= 0) sec.kind = SectionKind::Scientific;
  resolveCommas(sec, integerEnd);
}

// The nearest date/time token before (step -1) or after (step +1) index k, or nullptr.
const Token* nearestDateToken(const std::vector<Token>& toks, int k, int step) {
  for (int j = k + step; j >= 0 && j < int(toks.size()); j += step)
    if (isDateKind(toks[j].kind)) return &toks[j];
  return nullptr;
}

// m and mm are minutes right after an hour or right before a second, months elsewhere.
void resolveMinutes(std::vector<Token>& toks) {
  for (int k = 0; k < int(toks.size()); ++k) {
    Token& t = toks[k];
    if (t.kind != TokenKind::Month || t.count > 2) continue;
    const Token* before = nearestDateToken(toks, k, -1);
    const Token* after = nearestDateToken(toks, k, +1);
    if ((before && (before->kind == TokenKind::Hour || before->kind == TokenKind::ElapsedHour)) ||
        (after && (after->kind == TokenKind::Second || after->kind == TokenKind::ElapsedSecond)))
      t.kind = TokenKind::Minute;
  }
}

void analyseDate(Section& sec) {
  auto& toks = sec.tokens;
  std::vector<Token> out;
  for (int k = 0; k < int(toks.size()); ++k) {
    Token t = toks[k];
    switch (t.kind) {
      case TokenKind::Point: {
        int zeros = 0;
        while (k + 1 + zeros < int(toks.size()) && toks[k + 1 + zeros].kind == TokenKind::Digit &&
               toks[k + 1 + zeros].ch == u'0')
          ++zeros;
        out.push_back(literal(QStringLiteral(".")));
        if (zeros > 0) {
          out.push_back(make(TokenKind::SubSecond, zeros));
          sec.subSecondDigits = std::max(sec.subSecondDigits, std::min(zeros, 3));
          k += zeros;
        }
        continue;
      }
      case TokenKind::Digit:
        t = literal(QString(t.ch));
        break;
      case TokenKind::Comma:
        t = literal(QStringLiteral(","));
        break;
      case TokenKind::Slash:
        t = literal(QStringLiteral("/"));
        break;
      case TokenKind::At:
        t = literal(QStringLiteral("@"));
        break;
      case TokenKind::Exponent:
        t = literal(QStringLiteral("E") + t.ch);
        break;
      case TokenKind::General:
        t = literal(QStringLiteral("General"));
        break;
      case TokenKind::AmPm:
        sec.twelveHour = true;
        break;
      default:
        break;
    }
    out.push_back(t);
  }
  resolveMinutes(out);
  toks = std::move(out);
  sec.kind = SectionKind::Date;
}

}  // namespace

std::optional<ParsedFormat> parseFormatCode(const QString& code) {
  if (code.trimmed().isEmpty() ||
      code.trimmed().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
    return std::nullopt;
  ParsedFormat parsed;
  parsed.code = code;
  parsed.general = false;
  if (!tokenize(code, parsed.sections)) return std::nullopt;

  const int count = int(parsed.sections.size());
  const auto& last = parsed.sections.back().tokens;
  if (count == 4 || findKind(last, TokenKind::At) >= 0) parsed.textSection = count - 1;
  parsed.numberSections = parsed.textSection >= 0 ? parsed.textSection : count;

  for (int s = 0; s < count; ++s) {
    Section& sec = parsed.sections[s];
    if (sec.tokens.empty() && (sec.color || sec.condition))
      sec.tokens.push_back(make(TokenKind::General));  // "[Red]" alone shows General in red
    if (s == parsed.textSection) {
      sec.kind = SectionKind::Text;
    } else if (std::any_of(sec.tokens.begin(), sec.tokens.end(),
                           [](const Token& t) { return isDateKind(t.kind); })) {
      analyseDate(sec);
    } else {
      analyseNumber(sec);
    }
  }
  return parsed;
}

}  // namespace morvane::render::numfmt
