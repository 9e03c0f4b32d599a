#include "mainwindow/column_widths.h"

#include <QRegularExpression>

#include <cmath>

namespace morvane::mainwindow {

int cmToPixels(double cm, double dpi) { return int(std::lround(cm * dpi / 2.54)); }

int lengthToPixels(const QString& length, double dpi) {
  static const QRegularExpression pattern(
      QStringLiteral(R"(^\s*(\d+(?:\.\d*)?|\.\d+)\s*(cm|pt|in|mm)?\s*$)"),
      QRegularExpression::CaseInsensitiveOption);
  const auto match = pattern.match(length);
  if (!match.hasMatch()) return -1;
  const double value = match.captured(1).toDouble();
  const QString unit = match.captured(2).toLower();
  double inches = value / 72.0;  // a bare number is points
  if (unit == QLatin1String("cm")) inches = value / 2.54;
  else if (unit == QLatin1String("mm")) inches = value / 25.4;
  else if (unit == QLatin1String("in")) inches = value;
  return int(std::lround(inches * dpi));
}

std::vector<int> columnWidthsFromText(const QString& text, double dpi) {
  std::vector<int> widths;
  for (const QString& entry : text.split(QLatin1Char(';'))) widths.push_back(lengthToPixels(entry, dpi));
  return widths;
}

}  // namespace morvane::mainwindow
