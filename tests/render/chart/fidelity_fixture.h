// Loads a chart of the fidelity set (or the corpus) with its theme and lays it out at its
// anchor size, for tests that compare with what the program's pictures show.
#pragma once

#include "ooxml/chart/chart_model.h"
#include "ooxml/chart/theme.h"
#include "render/chart/chart_layout.h"

#include <QString>

#include <optional>

namespace morvane::charttest {

struct LoadedChart {
  ooxml::chart::ChartModel model;
  ooxml::chart::Theme theme;
  QSizeF sizePt;
  render::chart::ChartLayout layout;
};

// The `index`-th chart (0-based) of `path`; nullopt when the file or chart cannot be read
// (the reason goes to `error`).
std::optional<LoadedChart> loadChart(const QString& path, int index, QString* error = nullptr);

// The n-th value axis (0 primary, 1 secondary), and the first category (or x) axis.
const render::chart::AxisLayout* valueAxis(const LoadedChart& chart, int n = 0);
const render::chart::AxisLayout* categoryAxis(const LoadedChart& chart);

QStringList legendTexts(const render::chart::ChartLayout& layout);

}  // namespace morvane::charttest
