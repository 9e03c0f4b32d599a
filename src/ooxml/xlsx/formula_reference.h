// Reading a defined name's formula as a reference to one area of one sheet, and the sheet
// name quoting rules the spreadsheet program applies when it writes references.
#pragma once

#include "ooxml/xlsx/cell_reference.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace morvane::ooxml::xlsx {

struct SheetArea {
  QString sheet;   // unquoted sheet name
  CellRange area;
};

// The one area a formula names: "Sheet1!$A$1:$C$5", "'sheet One'!$G$1:$H$10",
// "'Sheet''1'!$1:$2", "Data!$A:$A", "Data!B3", relative parts ("Worksheet!A$4:A$8"), with or
// without a leading "=". nullopt for everything that is not exactly one area on one named
// sheet: constants, formulas, "#REF!", other workbooks ("[1]Sheet1!A1"), 3-D references,
// unions ("Sheet1!A1,Sheet1!B2") and references without a sheet. Whether the sheet exists is
// the caller's question.
std::optional<SheetArea> parseSheetArea(QStringView formula);

// The areas of a union, "Data!$A$1:$A$2,Data!$C$1:$C$2", in order; one area for what
// parseSheetArea reads. Empty when any part of it is not such an area (each part names its
// own sheet; which sheets they are is the caller's question).
std::vector<SheetArea> parseSheetAreas(QStringView formula);

// The same for an R1C1 formula ("=kukukukuZichron!C1:C8", "=Data!R2C1:R5C3", "=S!R[1]C"),
// relative parts taken against cell A1. nullopt as above.
std::optional<SheetArea> parseSheetAreaR1C1(QStringView formula);

// "Sheet1", "'My Sheet'", "'Sheet''1'": the name as it appears in front of "!".
QString quoteSheetName(const QString& sheet);
bool sheetNameNeedsQuotes(const QString& sheet);
// "Sheet1!$A:$H", "'My Sheet'!$A$1": an area written as the program writes it in a name.
QString formatSheetArea(const SheetArea& area);

}  // namespace morvane::ooxml::xlsx
