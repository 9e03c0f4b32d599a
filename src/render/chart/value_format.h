// Number texts for charts (tick labels, data labels) through the shared number-format engine.
#pragma once

#include <QString>

namespace render {

// `value` shown with format `code` ("General" when empty).
QString formatChartNumber(double value, const QString& code, bool date1904 = false);

}  // namespace render
