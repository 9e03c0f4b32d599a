#include "ooxml/xlsx/formula_reference.h"

#include <QRegularExpression>

namespace morvane::ooxml::xlsx {

namespace {

// Splits "sheet!rest" into the unquoted sheet name and the rest. nullopt when the text has
// no sheet prefix, an unterminated quote, or a sheet part that cannot be a sheet name
// (other workbooks in brackets, 3-D ranges with ':').
std::optional<std::pair<QString, QStringView>> splitSheet(QStringView text) {
  if (text.isEmpty()) return std::nullopt;
  QString sheet;
  qsizetype i = 0;
  if (text[0] == u'\'') {
    i = 1;
    for (;;) {
      if (i >= text.size()) return std::nullopt;
      if (text[i] == u'\'') {
        if (i + 1 < text.size() && text[i + 1] == u'\'') {
          sheet += u'\'';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      sheet += text[i++];
    }
    if (i >= text.size() || text[i] != u'!') return std::nullopt;
  } else {
    const qsizetype bang = text.indexOf(u'!');
    if (bang <= 0) return std::nullopt;
    sheet = text.left(bang).toString();
    i = bang;
    // Unquoted names never hold these; their presence means a formula or a 3-D reference.
    static const QRegularExpression bad(QStringLiteral("[\\s'\"(),:;+\\-*/&^<>=%{}]"));
    if (sheet.contains(bad)) return std::nullopt;
  }
  if (sheet.isEmpty() || sheet.contains(u'[') || sheet.contains(u']') || sheet.contains(u':'))
    return std::nullopt;
  return std::make_pair(sheet, text.mid(i + 1));
}

QStringView stripEquals(QStringView formula) {
  QStringView t = formula.trimmed();
  if (t.startsWith(u'=')) t = t.mid(1).trimmed();
  return t;
}

// One R1C1 coordinate after its letter: "" (relative 0), "5" (absolute), "[-2]" (relative).
// Returns the absolute index against base 1, or 0 when malformed or out of `limit`.
int r1c1Index(QStringView s, int limit) {
  long long value = 0;
  if (s.isEmpty()) {
    value = 1;
  } else if (s.startsWith(u'[') && s.endsWith(u']')) {
    bool ok = false;
    value = 1 + s.mid(1, s.size() - 2).toLongLong(&ok);
    if (!ok) return 0;
  } else {
    for (QChar ch : s)
      if (!ch.isDigit() || ch.unicode() > 127) return 0;
    bool ok = false;
    value = s.toLongLong(&ok);
    if (!ok) return 0;
  }
  return value >= 1 && value <= limit ? int(value) : 0;
}

// One R1C1 corner: "R2C3", "R[1]C", "C4", "R7". row/column 0 when absent.
std::optional<std::pair<int, int>> parseR1C1Corner(QStringView s) {
  static const QRegularExpression re(
      QStringLiteral("^(?:[Rr](\\[-?\\d+\\]|\\d*))?(?:[Cc](\\[-?\\d+\\]|\\d*))?$"));
  const auto m = re.match(s.toString());
  if (s.isEmpty() || !m.hasMatch()) return std::nullopt;
  const bool hasRow = s[0] == u'R' || s[0] == u'r';
  const bool hasColumn = s.contains(u'C') || s.contains(u'c');
  int row = 0, column = 0;
  if (hasRow && (row = r1c1Index(m.capturedView(1), kMaxRows)) == 0) return std::nullopt;
  if (hasColumn && (column = r1c1Index(m.capturedView(2), kMaxColumns)) == 0)
    return std::nullopt;
  return std::make_pair(row, column);
}

}  // namespace

std::optional<SheetArea> parseSheetArea(QStringView formula) {
  const auto split = splitSheet(stripEquals(formula));
  if (!split) return std::nullopt;
  const auto area = parseA1Area(split->second);
  if (!area) return std::nullopt;
  return SheetArea{split->first, *area};
}

std::vector<SheetArea> parseSheetAreas(QStringView formula) {
  const QStringView text = stripEquals(formula);
  std::vector<SheetArea> areas;
  bool quoted = false;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] == u'\'') quoted = !quoted;  // '' toggles twice
    if (i < text.size() && (quoted || text[i] != u',')) continue;
    const auto area = parseSheetArea(text.mid(start, i - start));
    if (!area) return {};
    areas.push_back(*area);
    start = i + 1;
  }
  return areas;
}

std::optional<SheetArea> parseSheetAreaR1C1(QStringView formula) {
  const auto split = splitSheet(stripEquals(formula));
  if (!split) return std::nullopt;
  const QStringView rest = split->second.trimmed();
  const qsizetype colon = rest.indexOf(u':');
  const auto a = parseR1C1Corner(colon < 0 ? rest : rest.left(colon));
  if (!a) return std::nullopt;
  auto b = a;
  if (colon >= 0 && !(b = parseR1C1Corner(rest.mid(colon + 1)))) return std::nullopt;
  const auto [r1, c1] = *a;
  const auto [r2, c2] = *b;
  CellRange area;
  if (r1 && c1 && r2 && c2) {
    area = {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
  } else if (!r1 && !r2 && c1 && c2) {
    area = {1, std::min(c1, c2), kMaxRows, std::max(c1, c2)};
  } else if (!c1 && !c2 && r1 && r2) {
    area = {std::min(r1, r2), 1, std::max(r1, r2), kMaxColumns};
  } else {
    return std::nullopt;
  }
  return SheetArea{split->first, area};
}

bool sheetNameNeedsQuotes(const QString& sheet) {
  if (sheet.isEmpty()) return true;
  if (sheet[0].isDigit() || sheet[0] == u'.') return true;
  for (QChar ch : sheet) {
    if (!(ch.isLetterOrNumber() || ch == u'_' || ch == u'.')) return true;
  }
  // Names the program would read as a cell ("AB12") or an R1C1 reference ("R", "C3", "R2C2").
  static const QRegularExpression cellLike(QStringLiteral("^[A-Za-z]{1,3}\\d+$"));
  static const QRegularExpression r1c1Like(QStringLiteral("^([Rr]\\d*)?([Cc]\\d*)?$"));
  if (cellLike.match(sheet).hasMatch() && columnNumber(QStringView(sheet).left(
                                              sheet.indexOf(QRegularExpression("\\d"))))) {
    return true;
  }
  return r1c1Like.match(sheet).hasMatch();
}

QString quoteSheetName(const QString& sheet) {
  if (!sheetNameNeedsQuotes(sheet)) return sheet;
  QString s = sheet;
  s.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString formatSheetArea(const SheetArea& area) {
  return quoteSheetName(area.sheet) + QLatin1Char('!') + formatA1Area(area.area);
}

}  // namespace morvane::ooxml::xlsx
