// Reading a whole workbook package into a WorkbookModel.
#pragma once

#include <memory>

#include "ooxml/package.h"
#include "ooxml/xlsx/workbook_model.h"

namespace morvane::ooxml::xlsx {

// Reads the workbook part, every sheet with its drawing, the shared strings and the styles.
// Fails when the workbook part, a sheet, drawing or chart sheet part is missing or is not the
// XML it must be; the message names the file and the part. Optional parts (styles, shared
// strings, theme) may be absent. Charts' own parts are not read here.
Result<WorkbookModel> readWorkbook(const Package& package);

// The pieces, each reading one part into its slice of the model (workbook_reader.cpp,
// sheet_reader.cpp, styles_reader.cpp, drawing_reader.cpp, shared_strings_reader.cpp).
Status readWorkbookPart(const Package& package, const QString& partName, WorkbookModel& model);
// Cells naming shared strings keep `sharedStrings` (null: the workbook has none).
Status readWorksheet(const Package& package, const QString& partName,
                     std::shared_ptr<const StringTable> sharedStrings, Worksheet& sheet);
// A chart sheet: its drawing part and the chart part of the drawing's chart.
Status readChartsheet(const Package& package, const QString& partName, SheetEntry& sheet);
Result<Drawing> readDrawing(const Package& package, const QString& partName);
Result<Styles> readStyles(const Package& package, const QString& partName);
Result<StringTable> readSharedStrings(const Package& package, const QString& partName);

}  // namespace morvane::ooxml::xlsx
