// The compact cell store as the worksheet reader fills it: every kind of value, shared and
// inline texts, styles and formulas, sparse and out-of-order rows, and edits of a copy.
#include <gtest/gtest.h>

#include "ooxml/package.h"
#include "ooxml/xlsx/workbook_reader.h"

using namespace morvane;
using namespace ooxml::xlsx;

namespace {

const QString kStrings = QStringLiteral("/xl/sharedStrings.xml");
const QString kSheet = QStringLiteral("/xl/worksheets/sheet1.xml");

const char kStringsXml[] =
    R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<si><t>North</t></si><si><r><t>Rich </t></r><r><t>text</t></r><rPh><t>x</t></rPh></si>)"
    "<si><t>Gr\xC3\xB6\xC3\x9F"
    "e \xE2\x82\xAC</t></si></sst>";

// Rows out of order, cells out of order within a row, a cell given twice, a cell without a
// reference, the sheet's last cell.
const char kSheetXml[] =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)"
    R"(<row r="3"><c r="B3" t="s"><v>2</v></c><c r="A3" t="inlineStr"><is><t>Inline</t></is></c></row>)"
    R"(<row r="1"><c r="A1"><v>1.5</v></c><c r="B1" t="s" s="4"><v>0</v></c><c r="C1" s="3"/>)"
    R"(<c><v>-2e3</v></c><c r="E1" t="b"><v>1</v></c><c r="F1" t="e"><v>#N/A</v></c></row>)"
    R"(<row r="2"><c r="A2" t="str"><f>A1&amp;""</f><v>1.5</v></c><c r="B2"><f>NA()</f></c>)"
    R"(<c r="C2" t="s"><v>1</v></c><c r="C2"><v>7</v></c><c r="D2" t="b"><v>0</v></c></row>)"
    R"(<row r="1048576"><c r="XFD1048576"><v>9</v></c></row>)"
    R"(</sheetData></worksheet>)";

struct Expected {
  int row, column;
  CellValue value;
  int style = 0;
  bool hasStyle = false, hasFormula = false;
};

Worksheet readSample() {
  auto package = ooxml::Package::create(QStringLiteral("Cells.xlsx"));
  EXPECT_TRUE(package->write(kStrings, kStringsXml, QStringLiteral("application/xml")).ok());
  EXPECT_TRUE(package->write(kSheet, kSheetXml, QStringLiteral("application/xml")).ok());
  auto strings = readSharedStrings(*package, kStrings);
  EXPECT_TRUE(strings.ok());
  Worksheet sheet;
  const auto read = readWorksheet(*package, kSheet,
                                  std::make_shared<const StringTable>(std::move(*strings)), sheet);
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message.toStdString());
  return sheet;
}

void expectCells(const CellStore& cells, const std::vector<Expected>& expected) {
  EXPECT_EQ(cells.size(), expected.size());
  size_t i = 0;
  cells.forEachIn({1, 1, kMaxRows, kMaxColumns}, [&](int row, int column, const Cell& cell) {
    if (i >= expected.size()) return false;
    const Expected& e = expected[i++];
    const std::string where = cellName(row, column).toStdString();
    EXPECT_EQ(row, e.row) << where;
    EXPECT_EQ(column, e.column) << where;
    EXPECT_EQ(cell.value, e.value) << where << " " << cell.value.text.toStdString();
    EXPECT_EQ(cell.style, e.style) << where;
    EXPECT_EQ(cell.hasStyle, e.hasStyle) << where;
    EXPECT_EQ(cell.hasFormula, e.hasFormula) << where;
    return true;
  });
  EXPECT_EQ(i, expected.size());
}

}  // namespace

TEST(CellStore, ReadsEveryKindOfCellInSheetOrder) {
  const Worksheet sheet = readSample();
  expectCells(sheet.cells, {
                               {1, 1, CellValue::fromNumber(1.5)},
                               {1, 2, CellValue::fromText(QStringLiteral("North")), 4, true},
                               {1, 3, {}, 3, true},
                               {1, 4, CellValue::fromNumber(-2000)},
                               {1, 5, CellValue::fromBoolean(true)},
                               {1, 6, CellValue::fromError(QStringLiteral("#N/A"))},
                               {2, 1, CellValue::fromText(QStringLiteral("1.5")), 0, false, true},
                               {2, 2, {}, 0, false, true},
                               {2, 3, CellValue::fromNumber(7)},  // the later of the two wins
                               {2, 4, CellValue::fromBoolean(false)},
                               {3, 1, CellValue::fromText(QStringLiteral("Inline"))},
                               {3, 2,
                                CellValue::fromText(QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                                                      "e \xE2\x82\xAC"))},
                               {kMaxRows, kMaxColumns, CellValue::fromNumber(9)},
                           });
  EXPECT_FALSE(sheet.cell(2, 5));
  EXPECT_FALSE(sheet.cell(4, 1));
  EXPECT_EQ(sheet.cells.ownStyle(1, 2), 4);
  EXPECT_FALSE(sheet.cells.ownStyle(1, 1));
  EXPECT_EQ(sheet.cells.bounds(), (CellRange{1, 1, kMaxRows, kMaxColumns}));
  EXPECT_EQ(sheet.cells.lastBefore(1, 3)->column, 2);
  EXPECT_EQ(sheet.cells.firstAfter(2, 2)->column, 3);
  EXPECT_FALSE(sheet.cells.firstAfter(3, 2));
}

TEST(CellStore, EditsChangeOnlyTheirCopy) {
  const Worksheet original = readSample();
  Worksheet edited = original;
  // A lone surrogate survives: edited texts keep every UTF-16 code unit.
  const QString odd = QStringLiteral("x") + QChar(0xD800);
  edited.cells.set(3, 2, Cell{CellValue::fromText(QStringLiteral("first")), 0, false, false});
  edited.cells.set(3, 2, Cell{CellValue::fromText(odd), 5, true, false});
  edited.cells.set(500, 7, Cell{CellValue::fromNumber(3), 0, false, false});
  EXPECT_TRUE(edited.cells.erase(1, 1));
  EXPECT_FALSE(edited.cells.erase(1, 1));
  EXPECT_EQ(edited.cell(3, 2)->value.text, odd);
  EXPECT_EQ(edited.cell(3, 2)->style, 5);
  EXPECT_EQ(edited.cell(500, 7)->value, CellValue::fromNumber(3));
  EXPECT_FALSE(edited.cell(1, 1));
  EXPECT_EQ(edited.cells.size(), original.cells.size());  // one added, one erased
  EXPECT_EQ(original.cell(1, 1)->value, CellValue::fromNumber(1.5));
  EXPECT_EQ(original.cell(3, 2)->value.text, QString::fromUtf8("Gr\xC3\xB6\xC3\x9F"
                                                               "e \xE2\x82\xAC"));
  EXPECT_FALSE(original.cell(500, 7));
}
