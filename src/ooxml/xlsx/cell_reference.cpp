#include "ooxml/xlsx/cell_reference.h"

#include <algorithm>

namespace morvane::ooxml::xlsx {

int columnNumber(QStringView letters) {
  if (letters.isEmpty() || letters.size() > 3) return 0;
  int n = 0;
  for (QChar ch : letters) {
    const char16_t u = ch.toUpper().unicode();
    if (u < u'A' || u > u'Z') return 0;
    n = n * 26 + (u - u'A' + 1);
  }
  return n <= kMaxColumns ? n : 0;
}

QString columnLetters(int column) {
  QString s;
  while (column > 0) {
    const int rest = (column - 1) % 26;
    s.prepend(QChar(u'A' + rest));
    column = (column - 1) / 26;
  }
  return s;
}

QString cellName(int row, int column) { return columnLetters(column) + QString::number(row); }

namespace {

// One corner: optional "$", letters, optional "$", digits; either part may be absent.
struct Corner {
  int row = 0;     // 0 when the corner has no row part
  int column = 0;  // 0 when the corner has no column part
};

std::optional<Corner> parseCorner(QStringView s) {
  qsizetype i = 0;
  if (i < s.size() && s[i] == u'$') ++i;
  const qsizetype letterStart = i;
  while (i < s.size() && s[i].isLetter() && s[i].unicode() < 128) ++i;
  const QStringView letters = s.mid(letterStart, i - letterStart);
  if (i < s.size() && s[i] == u'$') {
    if (letters.isEmpty()) return std::nullopt;
    ++i;
  }
  const qsizetype digitStart = i;
  while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) ++i;
  const QStringView digits = s.mid(digitStart, i - digitStart);
  if (i != s.size() || (letters.isEmpty() && digits.isEmpty())) return std::nullopt;
  // "$A$" or a leading dollar before digits only ("$7") are the only legal dollar forms
  // besides "$A$1"; reject a dollar followed by nothing.
  if (s.endsWith(u'$')) return std::nullopt;
  Corner c;
  if (!letters.isEmpty()) {
    c.column = columnNumber(letters);
    if (c.column == 0) return std::nullopt;
  }
  if (!digits.isEmpty()) {
    if (digits.size() > 7) return std::nullopt;
    c.row = digits.toInt();
    if (c.row < 1 || c.row > kMaxRows) return std::nullopt;
  }
  return c;
}

}  // namespace

std::optional<CellRange> parseA1Area(QStringView text, bool allowLoneLine) {
  const QStringView t = text.trimmed();
  const qsizetype colon = t.indexOf(u':');
  if (colon >= 0 && t.indexOf(u':', colon + 1) >= 0) return std::nullopt;
  const auto a = parseCorner(colon < 0 ? t : t.left(colon));
  if (!a) return std::nullopt;
  Corner b = *a;
  if (colon >= 0) {
    const auto parsed = parseCorner(t.mid(colon + 1));
    if (!parsed) return std::nullopt;
    b = *parsed;
  }
  const bool aCell = a->row && a->column, bCell = b.row && b.column;
  CellRange r;
  if (aCell && bCell) {
    r = {std::min(a->row, b.row), std::min(a->column, b.column), std::max(a->row, b.row),
         std::max(a->column, b.column)};
  } else if (!a->row && !b.row) {  // columns
    if (colon < 0 && !allowLoneLine) return std::nullopt;
    r = {1, std::min(a->column, b.column), kMaxRows, std::max(a->column, b.column)};
  } else if (!a->column && !b.column) {  // rows
    if (colon < 0 && !allowLoneLine) return std::nullopt;
    r = {std::min(a->row, b.row), 1, std::max(a->row, b.row), kMaxColumns};
  } else {
    return std::nullopt;
  }
  return r;
}

QString formatA1Area(const CellRange& r, bool absolute) {
  const QString d = absolute ? QStringLiteral("$") : QString();
  if (r.isWholeColumns() && !(r.firstColumn == 1 && r.lastColumn == kMaxColumns)) {
    return d + columnLetters(r.firstColumn) + QLatin1Char(':') + d + columnLetters(r.lastColumn);
  }
  if (r.isWholeRows()) {
    return d + QString::number(r.firstRow) + QLatin1Char(':') + d + QString::number(r.lastRow);
  }
  const QString first = d + columnLetters(r.firstColumn) + d + QString::number(r.firstRow);
  if (r.rows() == 1 && r.columns() == 1) return first;
  return first + QLatin1Char(':') + d + columnLetters(r.lastColumn) + d +
         QString::number(r.lastRow);
}

}  // namespace morvane::ooxml::xlsx
