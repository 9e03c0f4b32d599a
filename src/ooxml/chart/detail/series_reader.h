// Readers for the series of a chart group: data caches, markers, points and data labels.
// Internal to the chart model.
#pragma once

#include "ooxml/chart/chart_model.h"

#include <pugixml.hpp>

namespace morvane::ooxml::chart::detail {

// At most this many points per data reference, a whole column of a sheet; later ones are
// dropped (a hostile ptCount).
inline constexpr int kMaxPoints = 1 << 20;
// At most this many levels of multi-level categories; outer ones past it are dropped.
inline constexpr int kMaxLevels = 32;

// A data source element (c:cat, c:val, c:xVal, c:yVal, c:bubbleSize, c:tx) holding a
// c:strRef, c:numRef, c:multiLvlStrRef, c:strLit or c:numLit.
DataCache readDataSource(const pugi::xml_node& source);
DataLabelSettings readLabelSettings(const pugi::xml_node& node);
DataLabels readDataLabels(const pugi::xml_node& dLbls);
Marker readMarker(const pugi::xml_node& marker);
Series readSeries(const pugi::xml_node& ser);

}  // namespace morvane::ooxml::chart::detail
