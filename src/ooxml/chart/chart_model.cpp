#include "ooxml/chart/chart_model.h"

#include <algorithm>

namespace morvane::ooxml::chart {

void TextFormat::mergeFrom(const TextFormat& over) {
  if (over.sizePt) sizePt = over.sizePt;
  if (over.bold) bold = over.bold;
  if (over.italic) italic = over.italic;
  if (over.underline) underline = over.underline;
  if (over.color) color = over.color;
  if (!over.latinFont.isEmpty()) latinFont = over.latinFont;
}

TextFormat TextBody::defaultFormat() const {
  return paragraphs.empty() ? TextFormat() : paragraphs.front().defaults;
}

bool TextBody::isBare() const {
  return !paragraphs.empty() &&
         std::none_of(paragraphs.begin(), paragraphs.end(),
                      [](const TextParagraph& p) { return p.hasProperties; });
}

QString TextBody::plainText() const {
  QStringList lines;
  for (const TextParagraph& p : paragraphs) {
    QString line;
    for (const TextRun& r : p.runs) line += r.text;
    lines << line;
  }
  return lines.join('\n');
}

std::optional<double> DataCache::number(int i) const {
  if (numeric) {
    if (i < 0 || i >= int(numbers.size())) return std::nullopt;
    return numbers[size_t(i)];
  }
  bool ok = false;
  const double v = text(i).toDouble(&ok);
  return ok ? std::optional<double>(v) : std::nullopt;
}

QString DataCache::text(int i) const {
  if (i < 0 || i >= int(texts.size())) return QString();
  return texts[size_t(i)];
}

bool DataLabelSettings::showsAnything() const {
  return !deleted && (showValue.value_or(false) || showCategory.value_or(false) ||
                      showSeries.value_or(false) || showPercent.value_or(false) ||
                      showBubbleSize.value_or(false));
}

void DataLabelSettings::mergeFrom(const DataLabelSettings& over) {
  auto take = [](auto& mine, const auto& theirs) {
    if (theirs) mine = theirs;
  };
  take(showValue, over.showValue);
  take(showCategory, over.showCategory);
  take(showSeries, over.showSeries);
  take(showPercent, over.showPercent);
  take(showLegendKey, over.showLegendKey);
  take(showBubbleSize, over.showBubbleSize);
  if (over.numFmt) {
    numFmt = over.numFmt;
    numFmtSourceLinked = over.numFmtSourceLinked;
  }
  if (!over.position.isEmpty()) position = over.position;
  if (!over.separator.isEmpty()) separator = over.separator;
  if (!over.text.isEmpty()) text = over.text;
  if (over.format.fill.isSet()) format.fill = over.format.fill;
  if (over.format.line.isSet()) format.line = over.format.line;
  if (over.deleted) deleted = true;
}

const DataLabel* DataLabels::pointLabel(int i) const {
  for (const DataLabel& l : points)
    if (l.index == i) return &l;
  return nullptr;
}

DataLabelSettings DataLabels::forPoint(int i) const {
  DataLabelSettings s = settings;
  if (const DataLabel* l = pointLabel(i)) {
    // A point label replaces the series' format as a whole when it has its own spPr.
    if (l->settings.format.fill.isSet() || l->settings.format.line.isSet())
      s.format = ShapeFormat();
    s.mergeFrom(l->settings);
  }
  return s;
}

const DataPoint* Series::point(int i) const {
  for (const DataPoint& p : points)
    if (p.index == i) return &p;
  return nullptr;
}

int Series::pointCount() const {
  return values.present && values.count() > 0 ? values.count() : categories.count();
}

bool Title::hasText() const {
  return !rich.plainText().trimmed().isEmpty() || !referenceText.isEmpty();
}

const Axis* PlotArea::axis(int id) const {
  for (const Axis& a : axes)
    if (a.id == id) return &a;
  return nullptr;
}

int ChartModel::seriesCount() const {
  int n = 0;
  for (const ChartGroup& g : plotArea.groups) n += int(g.series.size());
  return n;
}

}  // namespace morvane::ooxml::chart
