#include "support/a1_ref.h"

#include <QRegularExpression>

using namespace morvane;

namespace morvane::fake {

QString columnLetters(int column) {
  QString s;
  while (column > 0) {
    const int r = (column - 1) % 26;
    s.prepend(QChar('A' + r));
    column = (column - 1) / 26;
  }
  return s;
}

static int columnNumber(const QString& letters) {
  int n = 0;
  for (QChar c : letters) n = n * 26 + (c.toUpper().unicode() - 'A' + 1);
  return n;
}

std::optional<CellRect> parseA1(const QString& address) {
  static const QRegularExpression cell(
      QStringLiteral("^\\$?([A-Za-z]{1,3})\\$?(\\d{1,7})(?::\\$?([A-Za-z]{1,3})\\$?(\\d{1,7}))?$"));
  static const QRegularExpression cols(QStringLiteral("^\\$?([A-Za-z]{1,3}):\\$?([A-Za-z]{1,3})$"));
  static const QRegularExpression rows(QStringLiteral("^\\$?(\\d{1,7}):\\$?(\\d{1,7})$"));
  CellRect r;
  if (auto m = cell.match(address); m.hasMatch()) {
    r.col1 = columnNumber(m.captured(1));
    r.row1 = m.captured(2).toInt();
    r.col2 = m.captured(3).isEmpty() ? r.col1 : columnNumber(m.captured(3));
    r.row2 = m.captured(4).isEmpty() ? r.row1 : m.captured(4).toInt();
  } else if (auto m2 = cols.match(address); m2.hasMatch()) {
    r = {1, columnNumber(m2.captured(1)), kMaxRows, columnNumber(m2.captured(2))};
  } else if (auto m3 = rows.match(address); m3.hasMatch()) {
    r = {m3.captured(1).toInt(), 1, m3.captured(2).toInt(), kMaxColumns};
  } else {
    return std::nullopt;
  }
  if (r.row1 < 1 || r.col1 < 1 || r.row2 > kMaxRows || r.col2 > kMaxColumns) return std::nullopt;
  if (r.row1 > r.row2) std::swap(r.row1, r.row2);
  if (r.col1 > r.col2) std::swap(r.col1, r.col2);
  return r;
}

QString formatA1(const CellRect& r) {
  if (r.wholeColumns())
    return QStringLiteral("$%1:$%2").arg(columnLetters(r.col1), columnLetters(r.col2));
  if (r.wholeRows()) return QStringLiteral("$%1:$%2").arg(r.row1).arg(r.row2);
  const QString first = QStringLiteral("$%1$%2").arg(columnLetters(r.col1)).arg(r.row1);
  if (r.row1 == r.row2 && r.col1 == r.col2) return first;
  return first + QStringLiteral(":$%1$%2").arg(columnLetters(r.col2)).arg(r.row2);
}

std::optional<SheetRef> parseSheetRef(const QString& formula) {
  QString f = formula.startsWith(QLatin1Char('=')) ? formula.mid(1) : formula;
  QString sheet;
  qsizetype bang;
  if (f.startsWith(QLatin1Char('\''))) {
    qsizetype i = 1;
    for (; i < f.size(); ++i) {
      if (f[i] == QLatin1Char('\'')) {
        if (i + 1 < f.size() && f[i + 1] == QLatin1Char('\'')) {
          sheet += QLatin1Char('\'');
          ++i;
          continue;
        }
        break;
      }
      sheet += f[i];
    }
    bang = i + 1;
    if (bang >= f.size() || f[bang] != QLatin1Char('!')) return std::nullopt;
  } else {
    bang = f.indexOf(QLatin1Char('!'));
    if (bang <= 0) return std::nullopt;
    sheet = f.left(bang);
    if (sheet.contains(QLatin1Char('[')) || sheet.contains(QLatin1Char(' '))) return std::nullopt;
  }
  const auto rect = parseA1(f.mid(bang + 1));
  if (!rect) return std::nullopt;
  return SheetRef{sheet, *rect};
}

std::vector<SheetRef> parseSheetRefs(const QString& formula) {
  const QString f = formula.startsWith(QLatin1Char('=')) ? formula.mid(1) : formula;
  std::vector<SheetRef> refs;
  bool quoted = false;
  qsizetype start = 0;
  for (qsizetype i = 0; i <= f.size(); ++i) {
    if (i < f.size() && f[i] == QLatin1Char('\'')) quoted = !quoted;
    if (i < f.size() && (quoted || f[i] != QLatin1Char(','))) continue;
    const auto ref = parseSheetRef(f.mid(start, i - start));
    if (!ref) return {};
    refs.push_back(*ref);
    start = i + 1;
  }
  return refs;
}

std::optional<QString> r1c1ToA1(const QString& formula) {
  static const QRegularExpression re(QStringLiteral("^=?(.+)!(?:C(\\d+):C(\\d+)|R(\\d+)C(\\d+))$"));
  const auto m = re.match(formula);
  if (!m.hasMatch()) return std::nullopt;
  if (!m.captured(2).isEmpty())
    return QStringLiteral("%1!$%2:$%3")
        .arg(m.captured(1), columnLetters(m.captured(2).toInt()), columnLetters(m.captured(3).toInt()));
  return QStringLiteral("%1!$%2$%3").arg(m.captured(1), columnLetters(m.captured(5).toInt()), m.captured(4));
}

QString quoteSheetName(const QString& sheet) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.]*$"));
  if (plain.match(sheet).hasMatch()) return sheet;
  QString q = sheet;
  q.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + q + QLatin1Char('\'');
}

}  // namespace morvane::fake
