// Multi-level category labels: the innermost labels next to the axis, each outer level as a
// row of group labels centred on the categories they span, and the lines the program draws
// between categories and groups down through the rows.
#include "render/chart/layout_context.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace morvane::render::chart::detail {

namespace {

constexpr double kRowPad = 3;  // above and below the text of a row

// The first category of each group of level `k`: where the level or any level outside it
// names a new group (category 0 always starts one).
std::vector<int> groupStarts(const std::vector<std::vector<QString>>& levels, size_t k, int n) {
  std::vector<bool> start(size_t(n), false);
  if (n > 0) start[0] = true;
  for (size_t level = k; level < levels.size(); ++level)
    for (int i = 0; i < n && i < int(levels[level].size()); ++i)
      if (!levels[level][size_t(i)].trimmed().isEmpty()) start[size_t(i)] = true;
  std::vector<int> out;
  for (int i = 0; i < n; ++i)
    if (start[size_t(i)]) out.push_back(i);
  return out;
}

TextStyle rowStyle(const AxisLayout& a) {
  TextStyle style = a.labelStyle;
  style.rotationDeg = 0;
  return style;
}

// The category edges of a group, clamped to the plot: start and end along the axis.
std::pair<double, double> groupSpan(const AxisLayout& a, int first, int last) {
  double lo = a.coordinate(first - 0.5), hi = a.coordinate(last + 0.5);
  const double e0 = a.edge(false), e1 = a.edge(true);
  lo = std::clamp(lo, std::min(e0, e1), std::max(e0, e1));
  hi = std::clamp(hi, std::min(e0, e1), std::max(e0, e1));
  return {std::min(lo, hi), std::max(lo, hi)};
}

// A group's text as drawn: wrapped to the group's width along a horizontal axis.
QString shownText(const AxisLayout& a, const CategoryGroupLabel& g, const QString& raw) {
  if (!a.horizontal) return raw;
  const auto [lo, hi] = groupSpan(a, g.first, g.last);
  return wrapText(rowStyle(a), raw, std::max(hi - lo - 2 * kRowPad, 1.0));
}

// Depth of row `level` (1-based) across the axis.
double rowDepth(const AxisLayout& a, size_t level, std::vector<QString>* texts = nullptr) {
  double depth = 0;
  const TextStyle style = rowStyle(a);
  for (const CategoryGroupLabel& g : a.groupLevels[level - 1]) {
    const QString t = shownText(a, g, g.text);
    if (texts) texts->push_back(t);
    if (t.trimmed().isEmpty()) continue;
    const QSizeF s = measureText(style, t);
    depth = std::max(depth, a.horizontal ? s.height() : s.width());
  }
  if (depth <= 0) depth = measureText(style, "0").height();
  return depth + 2 * kRowPad;
}

}  // namespace

void planCategoryLevels(AxisLayout& a, const ooxml::chart::DataCache& source) {
  a.groupLevels.clear();
  a.levelDividers.clear();
  const auto& levels = source.levels;
  const int n = std::min(a.categoryCount, int(a.labels.size()));
  if (levels.size() < 2 || n <= 0) return;
  if (a.axis.noMultiLevelLabels) {
    // One row of plain labels: each category's texts of all levels, the outermost first.
    for (int i = 0; i < n; ++i) {
      QStringList parts;
      for (size_t k = levels.size(); k-- > 0;)
        if (i < int(levels[k].size()) && !levels[k][size_t(i)].trimmed().isEmpty())
          parts << levels[k][size_t(i)];
      a.labels[size_t(i)] = parts.join(' ');
    }
    return;
  }
  for (size_t k = 1; k < levels.size(); ++k) {
    const std::vector<int> starts = groupStarts(levels, k, n);
    std::vector<CategoryGroupLabel> row;
    for (size_t j = 0; j < starts.size(); ++j) {
      CategoryGroupLabel g;
      g.level = int(k);
      g.first = starts[j];
      g.last = j + 1 < starts.size() ? starts[j + 1] - 1 : n - 1;
      g.text = g.first < int(levels[k].size()) ? levels[k][size_t(g.first)] : QString();
      row.push_back(g);
    }
    a.groupLevels.push_back(row);
  }
}

double levelRowsDepth(const AxisLayout& a) {
  if (a.groupLevels.empty()) return 0;
  double depth = kRowPad;  // between the innermost labels and the first row
  for (size_t level = 1; level <= a.groupLevels.size(); ++level) depth += rowDepth(a, level);
  return depth;
}

void placeCategoryLevels(AxisLayout& a) {
  a.levelDividers.clear();
  if (a.groupLevels.empty()) return;
  const bool h = a.horizontal;
  const double dir = h ? (a.labelsFarSide ? -1 : 1) : (a.labelsFarSide ? 1 : -1);
  const double axisAt = h ? a.line.y1() : a.line.x1();
  // Each category edge's divider runs down to the deepest row it separates.
  std::map<int, double> reach;  // edge index (category i starts at edge i) -> end across
  const int n = a.categoryCount;
  double bottom = a.labelAnchor + dir * (a.innerLabelDepth + kRowPad);
  for (int i = 0; i <= n; ++i) reach[i] = bottom;
  for (size_t level = 1; level <= a.groupLevels.size(); ++level) {
    std::vector<QString> texts;
    const double depth = rowDepth(a, level, &texts);
    std::vector<CategoryGroupLabel>& row = a.groupLevels[level - 1];
    for (size_t j = 0; j < row.size(); ++j) {
      CategoryGroupLabel& g = row[j];
      g.text = texts[j];
      const auto [lo, hi] = groupSpan(a, g.first, g.last);
      const double across = bottom + dir * depth / 2;
      g.center = h ? QPointF((lo + hi) / 2, across) : QPointF(across, (lo + hi) / 2);
      reach[g.first] = reach[g.last + 1] = bottom + dir * depth;
    }
    bottom += dir * depth;
  }
  const double e0 = a.edge(false), e1 = a.edge(true);
  for (const auto& [edge, end] : reach) {
    const double pos = std::clamp(a.coordinate(edge - 0.5), std::min(e0, e1), std::max(e0, e1));
    a.levelDividers.push_back(h ? QLineF(pos, axisAt, pos, end) : QLineF(axisAt, pos, end, pos));
  }
}

}  // namespace morvane::render::chart::detail
