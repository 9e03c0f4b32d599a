// Finds the charts of a workbook package by following its relationships (workbook ->
// worksheets and chartsheets -> drawings -> charts), with each chart's anchor size, for tests
// that run before the workbook model draws charts itself.
#pragma once

#include <QSizeF>
#include <QString>
#include <vector>

#include "ooxml/chart/chart_model.h"
#include "ooxml/package.h"
#include "ooxml/result.h"

namespace morvane::ooxml::xlsx {
class WorkbookDocument;
}

namespace morvane::charttest {

struct ChartRef {
  QString sheetPart;    // "/xl/worksheets/sheet1.xml" or a chartsheet part
  QString chartPart;    // "/xl/charts/chart1.xml"
  QSizeF sizePt;        // from the drawing anchor (64 px columns, 20 px rows)
  bool chartsheet = false;
};

// Every chart in sheet order, then anchor order. Unreadable drawings are skipped.
std::vector<ChartRef> findCharts(const ooxml::Package& package);
// The workbook's theme part name, or empty.
QString themePart(const ooxml::Package& package);
// The chart part `chartPart` with the caches its file left out filled from the workbook's
// cells, as the workbook host reads it.
ooxml::Result<ooxml::chart::ChartModel> readChartWithCells(
    const ooxml::xlsx::WorkbookDocument& document, const QString& chartPart);

}  // namespace morvane::charttest
