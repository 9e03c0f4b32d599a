#include "render/chart/value_format.h"

#include "render/numfmt/number_format.h"

namespace morvane::render::chart {

QString formatChartNumber(double value, const QString& code, bool date1904) {
  if (code.isEmpty() || code.compare("General", Qt::CaseInsensitive) == 0)
    return numfmt::formatGeneral(value);
  return numfmt::NumberFormat::parse(code).format(value, date1904).text;
}

}  // namespace morvane::render::chart
