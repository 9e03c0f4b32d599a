#include "ooxml/chart/detail/series_reader.h"

#include "ooxml/chart/detail/format_reader.h"
#include "ooxml/detail/xml.h"

#include <algorithm>
#include <string_view>

namespace morvane::ooxml::chart::detail {

namespace {

// The points of a c:strCache / c:numCache / literal / c:lvl into `texts` (and `numbers`).
// Declared points after the last one present are blanks. They cost memory without costing
// bytes in the file, so a declared count is honoured only as far as the points present or
// this many, whichever is more.
constexpr int kMaxDeclaredBlanks = 100000;

int declaredCount(const pugi::xml_node& cache, int present) {
  const int declared = std::clamp(childInt(cache, "c:ptCount").value_or(0), 0, kMaxPoints);
  return std::min(declared, std::max(present, kMaxDeclaredBlanks));
}

void readPoints(const pugi::xml_node& cache, bool numeric, DataCache& out) {
  int present = 0;
  for (const pugi::xml_node& pt : cache.children("c:pt")) {
    const long long idx = pt.attribute("idx").as_llong(-1);
    if (idx >= 0 && idx < kMaxPoints) present = std::max(present, int(idx) + 1);
  }
  const int count = std::max(present, declaredCount(cache, present));
  out.texts.assign(size_t(count), QString());
  if (numeric) out.numbers.assign(size_t(count), std::nullopt);
  for (const pugi::xml_node& pt : cache.children("c:pt")) {
    const long long idx = pt.attribute("idx").as_llong(-1);
    if (idx < 0 || idx >= count) continue;
    const char* v = pt.child("c:v").text().get();
    out.texts[size_t(idx)] = qstr(v);
    if (numeric) out.numbers[size_t(idx)] = parseNumber(v);
  }
}

void readMultiLevel(const pugi::xml_node& cache, DataCache& out) {
  int present = 0;
  for (const pugi::xml_node& lvl : cache.children("c:lvl")) {
    if (int(out.levels.size()) >= kMaxLevels) break;
    DataCache level;
    readPoints(lvl, false, level);
    present = std::max(present, int(level.texts.size()));
    out.levels.push_back(std::move(level.texts));
  }
  const int count = declaredCount(cache, present);
  for (auto& level : out.levels) level.resize(size_t(count));
  out.texts = out.levels.empty() ? std::vector<QString>(size_t(count)) : out.levels.front();
}

}  // namespace

DataCache readDataSource(const pugi::xml_node& source) {
  DataCache out;
  if (!source) return out;
  for (const pugi::xml_node& ref : source.children()) {
    const std::string_view name = ref.name();
    pugi::xml_node cache;
    const bool levelsOnly = (name == "c:numRef" || name == "c:strRef") && !ref.child("c:numCache") &&
                            !ref.child("c:strCache") && ref.child("c:multiLvlStrCache");
    if (name == "c:numRef" && !levelsOnly) {
      out.numeric = true;
      cache = ref.child("c:numCache");
    } else if (name == "c:strRef" && !levelsOnly) {
      cache = ref.child("c:strCache");
    } else if (name == "c:numLit") {
      out.numeric = true;
      cache = ref;
    } else if (name == "c:strLit") {
      cache = ref;
    } else if (name == "c:multiLvlStrRef" || levelsOnly) {
      // Categories over several columns filled from the cells carry levels in any reference.
      out.present = true;
      out.formula = qstr(ref.child("c:f").text().get());
      readMultiLevel(ref.child("c:multiLvlStrCache"), out);
      return out;
    } else if (name == "c:v") {  // literal series name in c:tx
      out.present = true;
      out.texts = {qstr(ref.text().get())};
      return out;
    } else {
      continue;
    }
    out.present = true;
    out.formula = qstr(ref.child("c:f").text().get());
    out.formatCode = qstr(cache.child("c:formatCode").text().get());
    readPoints(cache, out.numeric, out);
    return out;
  }
  return out;
}

Marker readMarker(const pugi::xml_node& marker) {
  Marker m;
  m.symbol = childString(marker, "c:symbol");
  if (const auto size = childInt(marker, "c:size")) m.size = std::clamp(*size, 2, 72);
  m.format = readShapeFormat(marker.child("c:spPr"));
  return m;
}

DataLabelSettings readLabelSettings(const pugi::xml_node& node) {
  DataLabelSettings s;
  s.showValue = childBool(node, "c:showVal");
  s.showCategory = childBool(node, "c:showCatName");
  s.showSeries = childBool(node, "c:showSerName");
  s.showPercent = childBool(node, "c:showPercent");
  s.showLegendKey = childBool(node, "c:showLegendKey");
  s.showBubbleSize = childBool(node, "c:showBubbleSize");
  if (const pugi::xml_node fmt = node.child("c:numFmt")) {
    s.numFmt = qstr(fmt.attribute("formatCode").value());
    s.numFmtSourceLinked = fmt.attribute("sourceLinked").as_bool();
  }
  s.position = childString(node, "c:dLblPos");
  s.separator = qstr(node.child("c:separator").text().get());
  s.text = readTextBody(node.child("c:txPr"));
  s.format = readShapeFormat(node.child("c:spPr"));
  s.deleted = childBool(node, "c:delete").value_or(false);
  return s;
}

DataLabels readDataLabels(const pugi::xml_node& dLbls) {
  DataLabels labels;
  if (!dLbls) return labels;
  labels.present = true;
  labels.settings = readLabelSettings(dLbls);
  labels.showLeaderLines = childBool(dLbls, "c:showLeaderLines");
  for (const pugi::xml_node& d : dLbls.children("c:dLbl")) {
    DataLabel label;
    label.index = childInt(d, "c:idx").value_or(-1);
    if (label.index < 0) continue;
    label.settings = readLabelSettings(d);
    label.customText = readTextBody(d.child("c:tx").child("c:rich"));
    label.layout = readLayout(d.child("c:layout"));
    labels.points.push_back(label);
  }
  return labels;
}

Series readSeries(const pugi::xml_node& ser) {
  Series s;
  s.index = std::max(0, childInt(ser, "c:idx").value_or(0));
  s.order = std::max(0, childInt(ser, "c:order").value_or(s.index));
  if (const pugi::xml_node tx = ser.child("c:tx")) {
    const DataCache name = readDataSource(tx);
    QStringList parts;
    for (const QString& t : name.texts) parts << t;
    s.name = parts.join(' ');
    s.hasName = name.present;
  }
  s.categories = readDataSource(ser.child("c:cat"));
  if (!s.categories.present) s.categories = readDataSource(ser.child("c:xVal"));
  s.values = readDataSource(ser.child("c:val"));
  if (!s.values.present) s.values = readDataSource(ser.child("c:yVal"));
  s.bubbleSizes = readDataSource(ser.child("c:bubbleSize"));
  s.format = readShapeFormat(ser.child("c:spPr"));
  if (const pugi::xml_node marker = ser.child("c:marker")) s.marker = readMarker(marker);
  for (const pugi::xml_node& d : ser.children("c:dPt")) {
    DataPoint p;
    p.index = childInt(d, "c:idx").value_or(-1);
    if (p.index < 0) continue;
    p.format = readShapeFormat(d.child("c:spPr"));
    if (const pugi::xml_node marker = d.child("c:marker")) p.marker = readMarker(marker);
    p.explosion = childInt(d, "c:explosion");
    p.invertIfNegative = childBool(d, "c:invertIfNegative");
    s.points.push_back(p);
  }
  s.labels = readDataLabels(ser.child("c:dLbls"));
  for (const pugi::xml_node& t : ser.children("c:trendline")) {
    Trendline line;
    line.type = childString(t, "c:trendlineType");
    line.order = std::clamp(childInt(t, "c:order").value_or(2), 2, 6);
    line.period = std::clamp(childInt(t, "c:period").value_or(2), 2, 255);
    line.name = qstr(t.child("c:name").text().get());
    line.format = readShapeFormat(t.child("c:spPr"));
    s.trendlines.push_back(line);
  }
  for (const pugi::xml_node& e : ser.children("c:errBars")) {
    ErrorBars bars;
    bars.xDirection = childString(e, "c:errDir") == "x";
    if (const QString t = childString(e, "c:errBarType"); !t.isEmpty()) bars.barType = t;
    if (const QString t = childString(e, "c:errValType"); !t.isEmpty()) bars.valueType = t;
    if (const auto v = childDouble(e, "c:val"); v && *v >= 0) bars.value = *v;
    bars.noEndCap = childBool(e, "c:noEndCap").value_or(false);
    bars.plus = readDataSource(e.child("c:plus"));
    bars.minus = readDataSource(e.child("c:minus"));
    bars.format = readShapeFormat(e.child("c:spPr"));
    s.errorBars.push_back(bars);
  }
  s.smooth = childBool(ser, "c:smooth");
  s.invertIfNegative = childBool(ser, "c:invertIfNegative").value_or(false);
  s.explosion = childInt(ser, "c:explosion");
  s.shape = childString(ser, "c:shape");
  s.bubble3D = childBool(ser, "c:bubble3D").value_or(false);
  return s;
}

}  // namespace morvane::ooxml::chart::detail
