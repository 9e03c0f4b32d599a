#include "fidelity_fixture.h"

#include "workbook_charts.h"

#include "ooxml/chart/chart_reader.h"

using namespace morvane;

namespace morvane::charttest {

std::optional<LoadedChart> loadChart(const QString& path, int index, QString* error) {
  auto package = ooxml::Package::open(path);
  if (!package) {
    if (error) *error = package.error().message;
    return std::nullopt;
  }
  const auto refs = findCharts(*package.value());
  if (index < 0 || index >= int(refs.size())) {
    if (error) *error = "no such chart";
    return std::nullopt;
  }
  auto model = ooxml::chart::readChart(*package.value(), refs[size_t(index)].chartPart);
  if (!model) {
    if (error) *error = model.error().message;
    return std::nullopt;
  }
  LoadedChart c;
  c.model = model.value();
  c.theme = ooxml::chart::readTheme(*package.value(), themePart(*package.value()));
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
