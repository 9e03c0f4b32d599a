#include "app/plan.h"

#include <QSet>
#include <QStringList>

namespace morvane::app {

namespace {

const QStringList kHeader{QStringLiteral("name"),  QStringLiteral("sheet"), QStringLiteral("include"),
                          QStringLiteral("title"), QStringLiteral("slide"), QStringLiteral("paste_as")};

std::optional<QString> optionalField(const QString& field) {
  if (field.isEmpty()) return std::nullopt;
  return field;
}

}  // namespace

std::variant<std::vector<PlanRow>, PlanError> parsePlan(const QString& text, const QString& fileName) {
  auto fail = [&](int line, const QString& what) {
    return PlanError{QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(what)};
  };
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& l : lines)
    if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
  while (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  if (lines.isEmpty() || lines[0].split(QLatin1Char('\t')) != kHeader)
    return fail(1, QStringLiteral("the first line must be the header: %1").arg(kHeader.join(QStringLiteral("<TAB>"))));

  std::vector<PlanRow> rows;
  QSet<QString> seen;
  for (int i = 1; i < lines.size(); ++i) {
    const int lineNumber = i + 1;
    if (lines[i].trimmed().isEmpty()) continue;
    const QStringList f = lines[i].split(QLatin1Char('\t'));
    if (f.size() != kHeader.size())
      return fail(lineNumber, QStringLiteral("expected %1 tab-separated fields, found %2").arg(kHeader.size()).arg(f.size()));
    PlanRow row;
    row.line = lineNumber;
    row.name = f[0];
    row.sheet = f[1];
    if (row.name.isEmpty()) return fail(lineNumber, QStringLiteral("the object's name is empty"));
    if (f[2] == QLatin1String("Y")) row.include = true;
    else if (f[2] == QLatin1String("N")) row.include = false;
    else if (!f[2].isEmpty()) return fail(lineNumber, QStringLiteral("include must be Y or N, not \"%1\"").arg(f[2]));
    row.title = optionalField(f[3]);
    row.slide = optionalField(f[4]);
    if (!f[5].isEmpty() && f[5] != QLatin1String("Picture") && f[5] != QLatin1String("Excel object"))
      return fail(lineNumber, QStringLiteral("paste_as must be Picture or Excel object, not \"%1\"").arg(f[5]));
    row.pasteAs = optionalField(f[5]);
    const QString key = row.name + QChar(0) + row.sheet;
    if (seen.contains(key))
      return fail(lineNumber, QStringLiteral("%1 on %2 is planned twice").arg(row.name, row.sheet));
    seen.insert(key);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace morvane::app
