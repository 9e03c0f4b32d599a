// Reads a DrawingML chart part into a ChartModel.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "ooxml/result.h"

#include <QByteArray>
#include <QString>

namespace morvane::ooxml {
class Package;
}

namespace morvane::ooxml::chart {

// Reads the chart part `chartPartName` ("/xl/charts/chart1.xml") of `package`.
// Success: the model, with every element the file lacks at its default. Failure: NotFound
// when there is no such part, BadXml when the part is not XML or its root is not
// c:chartSpace, Unsafe past the package's limits. Never throws.
Result<ChartModel> readChart(const Package& package, const QString& chartPartName);

// The same from the part's bytes; `partName` names the part in messages.
Result<ChartModel> readChartXml(const QByteArray& xml, const QString& partName,
                                int maxXmlDepth = 256);

}  // namespace morvane::ooxml::chart
