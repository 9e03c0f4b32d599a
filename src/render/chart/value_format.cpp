#include "render/chart/value_format.h"

#ifdef MORVANE_HAVE_NUMFMT
#include "render/numfmt/number_format.h"
#endif

#include <cmath>

namespace render {

#ifdef MORVANE_HAVE_NUMFMT

QString formatChartNumber(double value, const QString& code, bool date1904) {
  if (code.isEmpty() || code.compare("General", Qt::CaseInsensitive) == 0)
    return formatGeneral(value);
  return NumberFormat::parse(code).format(value, date1904).text;
}

bool isDateFormat(const QString& code) {
  return !code.isEmpty() && NumberFormat::parse(code).isDate();
}

#else

// Until the shared engine is built: General and plain percentages only.
QString formatChartNumber(double value, const QString& code, bool) {
  if (code.contains('%')) {
    const int dot = code.indexOf('.');
    const int decimals = dot < 0 ? 0 : int(code.mid(dot + 1).count('0'));
    return QString::number(value * 100, 'f', decimals) + "%";
  }
  if (std::abs(value) < 1e-12) return "0";
  return QString::number(value, 'g', 10);
}

bool isDateFormat(const QString& code) {
  const QString c = code.toLower();
  return c.contains("yy") || c.contains("dd") || c.contains("mmm");
}

#endif

}  // namespace render
