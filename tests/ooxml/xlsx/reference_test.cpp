// Reading defined names' formulas as one area of one sheet, R1C1 translation and the quoting
// of sheet names: the forms real workbooks hold and those that must be refused.
#include "ooxml/xlsx/formula_reference.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace morvane;

using namespace ooxml::xlsx;

namespace {

struct FormRow {
  const char* label;
  const char* formula;
  const char* sheet;    // nullptr: no range
  const char* address;  // absolute A1 of the area
};

class ReferenceForms : public ::testing::TestWithParam<FormRow> {};

TEST_P(ReferenceForms, ResolveToOneAreaOrNothing) {
  const FormRow row = GetParam();
  const auto area = parseSheetArea(QString::fromUtf8(row.formula));
  if (!row.sheet) {
    EXPECT_FALSE(area.has_value()) << row.formula;
    return;
  }
  ASSERT_TRUE(area.has_value()) << row.formula;
  EXPECT_EQ(area->sheet, QString::fromUtf8(row.sheet));
  EXPECT_EQ(formatA1Area(area->area), QString::fromUtf8(row.address));
}

const FormRow kForms[] = {
    {"Plain", "Sheet1!$A$1:$C$5", "Sheet1", "$A$1:$C$5"},
    {"LeadingEquals", "=Sheet1!$A$1:$C$5", "Sheet1", "$A$1:$C$5"},
    {"QuotedWithBlank", "'sheet One'!$G$1:$H$10", "sheet One", "$G$1:$H$10"},
    {"DoubledQuote", "'Sheet''1'!$1:$2", "Sheet'1", "$1:$2"},
    {"WholeColumn", "Data!$A:$A", "Data", "$A:$A"},
    {"WholeColumnsReversed", "Data!$H:$A", "Data", "$A:$H"},
    {"SingleCell", "Defines!$B$2", "Defines", "$B$2"},
    {"RelativeParts", "Worksheet!A$4:A$8", "Worksheet", "$A$4:$A$8"},
    {"LowerCase", "data!b1:b3", "data", "$B$1:$B$3"},
    {"UnquotedUnicode", "Sheet\u30FB1!$A$1:$A$9", "Sheet\u30FB1", "$A$1:$A$9"},
    {"QuotedComma", "'Abc,1'!$A$1:$A$2", "Abc,1", "$A$1:$A$2"},
    {"LastCell", "S!$XFD$1048576", "S", "$XFD$1048576"},
    {"Constant", "0.98", nullptr, nullptr},
    {"QuotedConstant", "\"QP1\"", nullptr, nullptr},
    {"Formula", "SUM(tblExpenses[Amount])", nullptr, nullptr},
    {"NameArithmetic", "HOURS_PER_DAY*CHARGE_RATE", nullptr, nullptr},
    {"RefError", "#REF!", nullptr, nullptr},
    {"SheetRefError", "Sheet1!#REF!", nullptr, nullptr},
    {"OtherWorkbook", "[1]Sheet4!$A$1", nullptr, nullptr},
    {"OtherWorkbookQuoted", "'[2]Sheet 6'!$A$1", nullptr, nullptr},
    {"Union", "Sheet1!$A$1,Sheet1!$B$2", nullptr, nullptr},
    {"UnionInOneSheet", "Sheet1!$A:$A,$1:$1", nullptr, nullptr},
    {"ThreeD", "Sheet1:Sheet3!$A$1", nullptr, nullptr},
    {"NoSheet", "$A$1:$B$2", nullptr, nullptr},
    {"PastLastColumn", "S!$XFE$1", nullptr, nullptr},
    {"PastLastRow", "S!$A$1048577", nullptr, nullptr},
    {"UnterminatedQuote", "'Sheet 1!$A$1", nullptr, nullptr},
    {"Empty", "", nullptr, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Formulas, ReferenceForms, ::testing::ValuesIn(kForms),
                         [](const auto& info) { return std::string(info.param.label); });

struct UnionRow {
  const char* label;
  const char* formula;
  const char* areas;  // "sheet!address" joined by ";", empty: not a union of areas
};

class UnionForms : public ::testing::TestWithParam<UnionRow> {};

TEST_P(UnionForms, SplitIntoTheirAreasOrNothing) {
  QStringList areas;
  for (const SheetArea& a : parseSheetAreas(QString::fromUtf8(GetParam().formula)))
    areas << a.sheet + QLatin1Char('!') + formatA1Area(a.area);
  EXPECT_EQ(areas.join(QLatin1Char(';')), QString::fromUtf8(GetParam().areas));
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, UnionForms,
    ::testing::Values(
        UnionRow{"OneArea", "=Data!$A$1:$B$2", "Data!$A$1:$B$2"},
        UnionRow{"TwoAreas", "Data!$A$1:$A$2,Data!$C$1:$C$2", "Data!$A$1:$A$2;Data!$C$1:$C$2"},
        UnionRow{"QuotedCommaAndQuote", "'Abc,1'!$A$1,'It''s'!$C:$C", "Abc,1!$A$1;It's!$C:$C"},
        UnionRow{"PartWithoutSheet", "Sheet1!$A:$A,$1:$1", ""},
        UnionRow{"FunctionArguments", "SUM(Data!A1,Data!B1)", ""},
        UnionRow{"TrailingComma", "Data!$A$1,", ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(R1C1, ColumnsAndCellsBecomeA1Areas) {
  auto a = parseSheetAreaR1C1(u"=kukukukuZichron!C1:C8");
  ASSERT_TRUE(a);
  EXPECT_EQ(formatSheetArea(*a), "kukukukuZichron!$A:$H");
  a = parseSheetAreaR1C1(u"='My Sheet'!R2C1:R5C3");
  ASSERT_TRUE(a);
  EXPECT_EQ(formatSheetArea(*a), "'My Sheet'!$A$2:$C$5");
  a = parseSheetAreaR1C1(u"=S!R3:R4");
  ASSERT_TRUE(a);
  EXPECT_EQ(formatA1Area(a->area), "$3:$4");
  a = parseSheetAreaR1C1(u"=S!R[1]C[2]");  // relative to A1
  ASSERT_TRUE(a);
  EXPECT_EQ(formatA1Area(a->area), "$C$2");
  EXPECT_FALSE(parseSheetAreaR1C1(u"=S!R[-1]C"));  // above row 1
  EXPECT_FALSE(parseSheetAreaR1C1(u"=S!C0"));
  EXPECT_FALSE(parseSheetAreaR1C1(u"=S!C16385"));
  EXPECT_FALSE(parseSheetAreaR1C1(u"=0.5"));
  EXPECT_FALSE(parseSheetAreaR1C1(u"=S!C1:R2"));
}

TEST(SheetNames, QuotedExactlyWhenTheProgramQuotes) {
  EXPECT_EQ(quoteSheetName("Sheet1"), "Sheet1");
  EXPECT_EQ(quoteSheetName("kukukukuZichron"), "kukukukuZichron");
  EXPECT_EQ(quoteSheetName(QString::fromUtf8("데이터")), QString::fromUtf8("데이터"));
  EXPECT_EQ(quoteSheetName("My Sheet"), "'My Sheet'");
  EXPECT_EQ(quoteSheetName("Sheet'1"), "'Sheet''1'");
  EXPECT_EQ(quoteSheetName("2019"), "'2019'");
  EXPECT_EQ(quoteSheetName("A1"), "'A1'");       // reads as a cell
  EXPECT_EQ(quoteSheetName("XFE1"), "XFE1");     // past the last column: not a cell
  EXPECT_EQ(quoteSheetName("R2C3"), "'R2C3'");   // reads as R1C1
  EXPECT_EQ(quoteSheetName("a-b"), "'a-b'");
  // What is written reads back as the same sheet.
  for (const QString& name : {QStringLiteral("It's (2)"), QStringLiteral("C"), QStringLiteral("x.y_z")}) {
    const auto back = parseSheetArea(formatSheetArea(SheetArea{name, CellRange::cell(1, 1)}));
    ASSERT_TRUE(back) << name.toStdString();
    EXPECT_EQ(back->sheet, name);
  }
}

TEST(A1Areas, LoneLinesOnlyWhereAllowed) {
  EXPECT_FALSE(parseA1Area(u"D"));
  EXPECT_FALSE(parseA1Area(u"7"));
  const auto d = parseA1Area(u"D", true);
  ASSERT_TRUE(d);
  EXPECT_EQ(formatA1Area(*d), "$D:$D");
  EXPECT_FALSE(parseA1Area(u"A1:B2:C3"));
  EXPECT_FALSE(parseA1Area(u"A:1"));
  EXPECT_FALSE(parseA1Area(u"$A$"));
  EXPECT_EQ(columnLetters(16384), "XFD");
  EXPECT_EQ(columnNumber(u"xfd"), 16384);
  EXPECT_EQ(columnNumber(u"XFE"), 0);
}

}  // namespace
