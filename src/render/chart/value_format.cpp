#include "render/chart/value_format.h"

#include "render/numfmt/number_format.h"

namespace render {

QString formatChartNumber(double value, const QString& code, bool date1904) {
  if (code.isEmpty() || code.compare("General", Qt::CaseInsensitive) == 0)
    return formatGeneral(value);
  return NumberFormat::parse(code).format(value, date1904).text;
}

}  // namespace render
