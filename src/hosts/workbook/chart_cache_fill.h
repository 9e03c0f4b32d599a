// Chart parts written without cached values: openpyxl and other generators give a c:numRef
// or c:strRef its formula only, and the program fills the cache from the cells when it opens
// the file. fillChartCaches does the same to the part's XML before the chart reader sees it,
// so every reference (series values, categories and names, chart and axis titles) is covered.
#pragma once

#include "ooxml/xlsx/workbook_model.h"

#include <QByteArray>
#include <QStringList>

namespace morvane::hosts::workbook {

struct ChartCacheReport {
  int filled = 0;          // references given a cache
  QStringList unresolved;  // one line per reference left without one: the formula and why
};

// `chartXml` with a c:numCache / c:strCache added to every c:numRef / c:strRef that has a
// formula but no cache, read from `model`'s cells (readChartCells): numbers as numbers with
// the first cell's format code, texts as the cells show them, empty cells as missing points;
// category references keep the texts of text cells too; a c:multiLvlStrRef gets its
// c:multiLvlStrCache level by level (readChartCellLevels). Hidden rows and columns are left out
// unless the chart plots them (c:plotVisOnly off). A reference that cannot be resolved stays
// without a cache (the chart then draws whatever else it has) and is listed in `report`.
// Returns the bytes untouched when no cache is missing, and when the XML cannot be read or is
// nested deeper than `maxDepth` (the chart reader reports those). Never throws.
QByteArray fillChartCaches(const QByteArray& chartXml, const ooxml::xlsx::WorkbookModel& model,
                           ChartCacheReport* report = nullptr, int maxDepth = 256);

}  // namespace morvane::hosts::workbook
