// Number texts for charts (tick labels, data labels) through the shared number-format engine.
#pragma once

#include <QString>

namespace morvane::render::chart {

// `value` shown with format `code` ("General" when empty).
QString formatChartNumber(double value, const QString& code, bool date1904 = false);

}  // namespace morvane::render::chart
