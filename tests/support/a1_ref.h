// A1 and R1C1 references for the office double: "A1", "$A$1:$C$5", "b1:b10000", "D:D",
// "1:2", and "=Sheet!C1:C8". The real host has its own parser; the contract suite keeps
// the two in step.
#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace morvane::fake {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

struct CellRect {
  int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
  bool wholeColumns() const { return row1 == 1 && row2 == kMaxRows; }
  bool wholeRows() const { return col1 == 1 && col2 == kMaxColumns; }
};

std::optional<CellRect> parseA1(const QString& address);
QString formatA1(const CellRect& rect);  // absolute: "$A$1", "$A$1:$C$5", "$A:$H", "$1:$2"
QString columnLetters(int column);

// "Sheet1!$A$1:$B$3" or "'My Sheet'!A1" -> sheet and rect; nullopt for anything else.
struct SheetRef {
  QString sheet;
  CellRect rect;
};
std::optional<SheetRef> parseSheetRef(const QString& formula);
// "Data!$A$1,Data!$C$1:$C$2" -> its areas in order (one for a single reference); empty when
// a part is not a sheet reference.
std::vector<SheetRef> parseSheetRefs(const QString& formula);
// "=Sheet!C1:C8" (R1C1, absolute parts only) -> "Sheet!$A:$H".
std::optional<QString> r1c1ToA1(const QString& formula);
// Quotes a sheet name for a reference when it needs it: 'My Sheet', 'Sheet''1'.
QString quoteSheetName(const QString& sheet);

}  // namespace morvane::fake
