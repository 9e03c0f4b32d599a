#include "fidelity_fixture.h"

#include "ooxml/chart/chart_reader.h"
#include "ooxml/xlsx/workbook_document.h"
#include "workbook_charts.h"

using namespace morvane;

namespace morvane::charttest {

namespace {

bool hasCachedData(const ooxml::chart::ChartModel& chart) {
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
    for (const ooxml::chart::Series& s : g.series)
      if (s.pointCount() > 0) return true;
  return false;
}

}  // namespace

std::optional<LoadedChart> loadChart(const QString& path, int index, QString* error) {
  auto document = ooxml::xlsx::WorkbookDocument::open(path);
  if (!document) {
    if (error) *error = document.error().message;
    return std::nullopt;
  }
  const ooxml::Package& package = document.value()->package();
  const auto refs = findCharts(package);
  if (index < 0 || index >= int(refs.size())) {
    if (error) *error = "no such chart";
    return std::nullopt;
  }
  // The file's own caches as they are; the cells only where the file wrote none (the 3-D
  // set's workbooks), as the workbook host fills them.
  auto model = ooxml::chart::readChart(package, refs[size_t(index)].chartPart);
  if (model && model.value().seriesCount() > 0 && !hasCachedData(model.value()))
    model = readChartWithCells(*document.value(), refs[size_t(index)].chartPart);
  if (!model) {
    if (error) *error = model.error().message;
    return std::nullopt;
  }
  LoadedChart c;
  c.model = model.value();
  c.theme = ooxml::chart::readTheme(package, themePart(package));
  c.sizePt = refs[size_t(index)].sizePt;
  c.layout = render::chart::layoutChart(c.model, c.theme, QRectF(QPointF(0, 0), c.sizePt));
  return c;
}

namespace {

// The first axis of a group: its categories, or the x values of a scatter or bubble group.
bool isFirstAxis(const ooxml::chart::ChartModel& chart, int id) {
  for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
    if (!g.axisIds.empty() && g.axisIds.front() == id) return true;
  return false;
}

}  // namespace

const render::chart::AxisLayout* valueAxis(const LoadedChart& c, int n) {
  for (const render::chart::AxisLayout& a : c.layout.axes)
    if (!isFirstAxis(c.model, a.axis.id) && n-- == 0) return &a;
  return nullptr;
}

const render::chart::AxisLayout* categoryAxis(const LoadedChart& c) {
  for (const render::chart::AxisLayout& a : c.layout.axes)
    if (isFirstAxis(c.model, a.axis.id)) return &a;
  return nullptr;
}

QStringList legendTexts(const render::chart::ChartLayout& layout) {
  QStringList out;
  for (const render::chart::LegendEntry& e : layout.legend) out << e.text;
  return out;
}

}  // namespace morvane::charttest
