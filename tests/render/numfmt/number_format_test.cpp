// Numbers through format codes: placeholders, separators, scaling, rounding, scientific
// notation, fractions, literals and fills. Rows marked "documented" come from the program's
// own help pages.
#include "format_case.h"

using namespace morvane;

using numfmt_test::caseName;
using numfmt_test::FormatCase;
using numfmt_test::shown;
using render::numfmt::NumberFormat;
using ::testing::ValuesIn;

NUMFMT_CASE_SUITE(NumberCodes)

// Documented: the help page's table of digit placeholders and separators.
const FormatCase kDocumented[] = {
    {"FourHashesOneDecimal", "####.#", 1234.59, "1234.6"},
    {"TrailingZerosShown", "#.000", 8.9, "8.900"},
    {"LeadingZeroOneOptionalDecimal", "0.#", .631, "0.6"},
    {"OptionalSecondDecimalDropped", "#.0#", 12, "12.0"},
    {"OptionalSecondDecimalKept", "#.0#", 1234.568, "1234.57"},
    {"QuestionMarksAlignTwoDigitInteger", "???.???", 44.398, " 44.398"},
    {"QuestionMarksAlignTwoDecimals", "???.???", 102.65, "102.65 "},
    {"QuestionMarksAlignOneDecimal", "???.???", 2.8, "  2.8  "},
    {"FractionQuarter", "# ??\?/???", 5.25, "5   1/4  "},
    {"FractionTenths", "# ??\?/???", 5.3, "5   3/10 "},
    {"ThousandsSeparator", "#,###", 12000, "12,000"},
    {"TrailingCommaScalesThousands", "#,", 12000, "12"},
    {"TwoTrailingCommasScaleMillions", "0.0,,", 12200000, "12.2"},
    {"TextBeforeNumberTakesMinusInFront", "\"The value is \"0.", -5, "-The value is 5."},
};
INSTANTIATE_TEST_SUITE_P(Documented, NumberCodes, ValuesIn(kDocumented), caseName);

const FormatCase kPlaceholders[] = {
    {"ZerosPadLeft", "00000", 123, "00123"},
    {"HashShowsNothingForZero", "#", 0, ""},
    {"ZeroShowsZero", "0", 0, "0"},
    {"HashIntegerDropsLeadingZero", "#.##", 0.5, ".5"},
    {"PointStaysWithoutDecimals", "#.##", 12, "12."},
    {"ZeroPoint", "0.", 5, "5."},
    {"NoIntegerPlaceholderStillShowsInteger", ".00", 12.5, "12.50"},
    {"SocialSecurityNumber", "000-00-0000", 123456789, "123-45-6789"},
    {"PhoneNumber", "(###) ###-####", 5551234567, "(555) 123-4567"},
    {"PhoneNumberShortLeavesEmptyArea", "(###) ###-####", 1234567, "() 123-4567"},
    {"ExtraDigitsGoToFirstPlaceholder", "0-0", 12345, "1234-5"},
    {"HashZeroDecimalKeepsInnerZero", "0.#0", 1.5, "1.50"},
    {"QuestionMarkIntegerBlank", "?", 0, " "},
    {"LargeIntegerFifteenDigits", "0", 123456789012345678.0, "123456789012346000"},
    {"NoPlaceholdersOnlyText", "\"none\"", 42, "none"},
};
INSTANTIATE_TEST_SUITE_P(Placeholders, NumberCodes, ValuesIn(kPlaceholders), caseName);

const FormatCase kSeparators[] = {
    {"GroupsMillions", "#,##0", 1234567.891, "1,234,568"},
    {"GroupsNothingBelowThousand", "#,##0", 123, "123"},
    {"GroupedZero", "#,##0", 0, "0"},
    {"GroupedEmptyForZero", "#,###", 0, ""},
    {"GroupedNegative", "#,##0", -1234, "-1,234"},
    {"GroupedTwoDecimals", "#,##0.00", 1234.5, "1,234.50"},
    {"GroupedZeroPadding", "0,000", 5, "0,005"},
    {"GroupedAndScaled", "#,##0,\"K\"", 1234567, "1,235K"},
    {"ScaledBeforeLiteral", "0.0,,\"M\"", 1234567, "1.2M"},
    {"CommaBetweenLiteralsIsLiteral", "0 \",\" 0", 12, "1 , 2"},
    {"CommaAfterTextIsLiteral", "\"a\",0", 3, "a,3"},
};
INSTANTIATE_TEST_SUITE_P(Separators, NumberCodes, ValuesIn(kSeparators), caseName);

const FormatCase kRounding[] = {
    {"HalfAwayFromZeroExactHalf", "0.00", 0.125, "0.13"},
    {"FifteenDigitsBeforeRounding", "0.00", 2.675, "2.68"},
    {"FifteenDigitsOneThousandth", "0.00", 1.005, "1.01"},
    {"NegativeHalfAwayFromZero", "0", -2.5, "-3"},
    {"PositiveHalfUp", "0", 0.5, "1"},
    {"RoundingCarriesIntoGroups", "#,##0", 999999.5, "1,000,000"},
    {"NegativeRoundsToZeroKeepsSign", "0.00", -0.001, "-0.00"},
    {"Percent", "0%", 0.125, "13%"},
    {"PercentOneDecimal", "0.0%", 0.1234, "12.3%"},
    {"EscapedPercentDoesNotScale", "0\\%", 5, "5%"},
};
INSTANTIATE_TEST_SUITE_P(Rounding, NumberCodes, ValuesIn(kRounding), caseName);

const FormatCase kScientific[] = {
    {"TwoDecimals", "0.00E+00", 12345, "1.23E+04"},
    {"NegativeExponent", "0.00E+00", 0.000123, "1.23E-04"},
    {"Zero", "0.00E+00", 0, "0.00E+00"},
    {"NegativeValue", "0.00E+00", -12345, "-1.23E+04"},
    {"MinusFormHidesPlus", "0.00E-00", 12345, "1.23E04"},
    {"MinusFormShowsMinus", "0.00E-00", 0.000123, "1.23E-04"},
    {"RoundingCarriesIntoExponent", "0.0E+0", 9.96, "1.0E+1"},
    {"EngineeringThousands", "##0.0E+0", 12345, "12.3E+3"},
    {"EngineeringOneThousand", "##0.0E+0", 1000, "1.0E+3"},
    {"EngineeringHundred", "##0.0E+0", 100, "100.0E+0"},
    {"EngineeringMilli", "##0.0E+0", 0.0123, "12.3E-3"},
    {"ExponentStepTwo", "#0.00E+00", 123456, "12.35E+04"},
    {"NoDecimals", "#E-0", 3.14159, "3E0"},
    {"ZeroPlaceholdersPad", "000E-0", 10, "010E0"},
};
INSTANTIATE_TEST_SUITE_P(Scientific, NumberCodes, ValuesIn(kScientific), caseName);

const FormatCase kFractions[] = {
    {"MixedHalf", "# ?/?", 1.5, "1 1/2"},
    {"MixedBelowOneKeepsSpace", "# ?/?", 0.5, " 1/2"},
    {"WholeNumberBlanksFraction", "# ?/?", 5, "5    "},
    {"ZeroShowsZero", "# ?/?", 0, "0    "},
    {"Negative", "# ?/?", -1.25, "-1 1/4"},
    {"RoundsUpToWhole", "# ?/?", 0.99, "1    "},
    {"Improper", "?/?", 1.5, "3/2"},
    {"ImproperZero", "?/?", 0, "0/1"},
    {"BestTwoDigitApproximation", "# ?\?/??", 3.14159265, "3 14/99"},
    {"FixedDenominatorNotReduced", "?/8", 0.25, "2/8"},
    {"FixedDenominatorMixed", "# ?/8", 5.3, "5 2/8"},
    {"FixedDenominatorRoundsToWhole", "# ?/4", 5.9, "6    "},
    {"FixedTwoDigitDenominator", "# ?\?/16", 1.5, "1  8/16"},
    {"ZeroWithFixedDenominator", "# ?/10", 0, "0     "},
    {"FixedDenominatorRoundsToZeroBlanks", "# ?/2", 3.1, "3    "},
    {"ImproperTwoDigits", "?\?/??", 2.5, " 5/2 "},
    {"LongDenominatorPadsRight", "# ?\?/?????????", 0.123251512342345, " 480894/3901729  "},
    {"LongDenominatorBetweenLiterals", "\"s\"?\?/?????????\"e\"", 0.123251512342345,
     "s480894/3901729  e"},
    {"Builtin13PadsDenominator", "# ?\?/??", 1234.5, "1234  1/2 "},
    // An improper numerator past 64 bits: 15 significant digits, as large numbers show.
    {"ImproperNumeratorPast64Bits", "?/99999999", 1.7e13, "1699999983000000000000/99999999"},
    {"ImproperNumeratorPast15Digits", "?/?", 123456789012345.0, "123456789012345/1"},
};
INSTANTIATE_TEST_SUITE_P(Fractions, NumberCodes, ValuesIn(kFractions), caseName);

const FormatCase kLiterals[] = {
    {"QuotedUnits", "0 \"units\"", 5, "5 units"},
    {"UnquotedTextMinusFirst", "A\"TODO\"", -1, "-ATODO"},
    {"EscapedLetter", "\\r", -1, "-r"},
    {"CurrencyMinusBeforeSymbol", "$#,##0.00", -1234.5, "-$1,234.50"},
    {"UnderscoreGivesOneSpace", "_(0_)", 5, " 5 "},
    {"EuroLocaleBlock", "#,##0.00 [$€-407]", 1234.5, "1,234.50 €"},
    {"CurrencyCodeBlock", "[$USD] 0", 5, "USD 5"},
    {"LocaleOnlyBlockShowsNothing", "[$-409]0.0", 5, "5.0"},
    {"UnknownSwitchIgnored", "[DBNum1]0", 7, "7"},
    {"GeneralInBothSections", "General;-General", -5, "-5"},
    {"GeneralWithText", "\"Total: \"General", 1234.5, "Total: 1234.5"},
    {"GeneralWithTextMinusFirst", "\"Total: \"General", -5, "-Total: 5"},
    {"GeneralThirdOfOne", "General", 1.0 / 3, "0.333333333"},
};
INSTANTIATE_TEST_SUITE_P(Literals, NumberCodes, ValuesIn(kLiterals), caseName);

// Codes found in the workbooks of the shared corpus.
const FormatCase kWorkbookCodes[] = {
    {"EscapedSpaceBetweenPlaceholders", "\"$\"#\\ ##0", 12345, "$12 345"},
    {"YenWithEscapedMinus", "\"￥\"#,##0.00;\"￥\"\\-#,##0.00", -1234.567, "￥-1,234.57"},
    {"EuropeanAccountingNegative", "_-* #,##0.00_-;\\-* #,##0.00_-;_-* \"-\"??_-;_-@_-", -1234.567,
     "-1,234.57 "},
    {"ChineseTimeUnits", "h\"时\"mm\"分\"ss\"秒\";@", 45000.75, "18时00分00秒"},
    {"ChineseNumeralsSwitchIgnored", "[DBNum1][$-804]General", 1234.567, "1234.567"},
    {"DateWithTextSection", "[$-409]mmmm\\ d\\,\\ yyyy;@", 45000, "March 15, 2023"},
    {"DegreesSuffix", "0.00\"°\"", 21.456, "21.46°"},
    {"RedNegativeDollars", "\"$\"#,##0;[Red]\\-\"$\"#,##0", -1234.5, "-$1,235"},
};
INSTANTIATE_TEST_SUITE_P(WorkbookCodes, NumberCodes, ValuesIn(kWorkbookCodes), caseName);

TEST(NumberFormatFill, RecordsCharacterAndPosition) {
  const auto v = NumberFormat::parse("0*-").format(5);
  EXPECT_EQ(v.text, "5");
  ASSERT_TRUE(v.fillChar.has_value());
  EXPECT_EQ(*v.fillChar, u'-');
  EXPECT_EQ(v.fillPosition, 1);
}

TEST(NumberFormatFill, AccountingSpacesBetweenSymbolAndNumber) {
  const auto f = NumberFormat::parse(render::numfmt::builtinNumberFormat(44));
  const auto positive = f.format(1234.5);
  EXPECT_EQ(positive.text, " $1,234.50 ");
  EXPECT_EQ(positive.fillPosition, 2);
  EXPECT_EQ(positive.fillChar, QChar(u' '));
  EXPECT_EQ(f.format(-1234.5).text, " $(1,234.50)");
  EXPECT_EQ(f.format(0).text, " $-   ");
  EXPECT_EQ(f.formatText("x").text, " x ");
}

TEST(NumberFormatFill, OnlyTheFirstFillCounts) {
  const auto v = NumberFormat::parse("*x0*y").format(3);
  EXPECT_EQ(v.text, "3");
  EXPECT_EQ(v.fillChar, QChar(u'x'));
  EXPECT_EQ(v.fillPosition, 0);
}

TEST(NumberFormatFill, MinusSignShiftsFillPosition) {
  const auto v = NumberFormat::parse("$* 0").format(-7);
  EXPECT_EQ(v.text, "-$7");
  EXPECT_EQ(v.fillPosition, 2);
}

TEST(NumberFormatFill, NoneWithoutStar) {
  const auto v = NumberFormat::parse("0").format(3);
  EXPECT_FALSE(v.fillChar.has_value());
  EXPECT_EQ(v.fillPosition, -1);
  EXPECT_TRUE(v.rightAligned);
}

TEST(NumberFormatValues, NotANumberShowsNumError) {
  EXPECT_EQ(shown("0.00", std::numeric_limits<double>::quiet_NaN()), "#NUM!");
  EXPECT_EQ(shown("0.00", std::numeric_limits<double>::infinity()), "#NUM!");
}

TEST(NumberFormatValues, CopiesShareTheParsedCode) {
  const NumberFormat a = NumberFormat::parse("0.0");
  const NumberFormat b = a;
  EXPECT_EQ(b.format(2).text, "2.0");
  EXPECT_EQ(b.code(), "0.0");
  EXPECT_EQ(NumberFormat().code(), "General");
}
