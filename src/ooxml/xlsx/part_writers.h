// Internal to WorkbookDocument::save: each function patches one part's XML with the model's
// edits and returns the new bytes, leaving everything the model does not describe as it was.
#pragma once

#include "ooxml/package.h"
#include "ooxml/xlsx/workbook_model.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

namespace morvane::ooxml::xlsx::detail {

// The cells in `cells` are written from `sheet` (value, style; removed when blank and
// unstyled); <cols> is rebuilt from the model when `columns`. `existing` empty: a new part.
Result<QByteArray> writeWorksheetPart(const Package& package, const QString& partName,
                                      const Worksheet& sheet,
                                      const std::set<std::pair<int, int>>& cells, bool columns);

struct NewXf {
  int base;
  int numFmtId;
};
// Appends the new number formats and cell formats. With no styles part yet, starts from the
// default style sheet that WorkbookDocument's default Styles mirror.
Result<QByteArray> writeStylesPart(const Package& package, const QString& partName,
                                   const std::vector<NewXf>& newXfs,
                                   const std::map<int, QString>& newNumberFormats);

// Sheet names and states, new sheets (already given their relationship ids), and defined
// names: indices in `editedNames` get their new formula, those from `savedNameCount` on are
// appended.
Result<QByteArray> writeWorkbookPart(const Package& package, const WorkbookModel& model,
                                     size_t savedSheetCount, size_t savedNameCount,
                                     const std::set<int>& editedNames);

// The cNvPr name of the chart frames at `objects`.
Result<QByteArray> writeDrawingPart(const Package& package, const Drawing& drawing,
                                    const std::set<int>& objects);

// Number text as the program stores it: the shortest form that reads back exactly.
QString storedNumber(double value);

}  // namespace morvane::ooxml::xlsx::detail
