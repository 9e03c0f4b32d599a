// Which section a value goes through, the minus sign, conditions, colours, text sections,
// malformed codes and the built-in ids.
#include "format_case.h"

using namespace morvane;

using numfmt_test::caseName;
using numfmt_test::FormatCase;
using numfmt_test::shown;
using render::numfmt::builtinNumberFormat;
using render::numfmt::NumberFormat;
using ::testing::ValuesIn;

NUMFMT_CASE_SUITE(SectionChoice)

const FormatCase kSections[] = {
    {"OneSectionMinusAdded", "0.0", -2.5, "-2.5"},
    {"SecondSectionWithoutMinus", "0;(0)", -5, "(5)"},
    {"SecondSectionExplicitMinusOnce", "0;-0", -5, "-5"},
    {"TwoSectionsZeroTakesFirst", "0;(0)", 0, "0"},
    {"ThirdSectionForZero", "0;-0;\"zero\"", 0, "zero"},
    {"EmptySecondSectionHidesNegatives", "0;;", -5, ""},
    {"EmptyThirdSectionHidesZero", "0;-0;", 0, ""},
    {"HiddenEverything", ";;;", 5, ""},
    {"LastSectionWithAtIsForText", "0;@", -5, "-5"},
    {"AtOnlyShowsNumbersAsGeneral", "@", 12.5, "12.5"},
    {"ColourAloneShowsGeneral", "[Red]", -3.5, "-3.5"},
    {"DocumentedFourSectionsPositive", "[Blue]#,##0.00_);[Red](#,##0.00);0.00;\"sales \"@", 1234.5,
     "1,234.50 "},
    {"DocumentedFourSectionsNegative", "[Blue]#,##0.00_);[Red](#,##0.00);0.00;\"sales \"@", -1234.5,
     "(1,234.50)"},
    {"DocumentedFourSectionsZero", "[Blue]#,##0.00_);[Red](#,##0.00);0.00;\"sales \"@", 0, "0.00"},
};
INSTANTIATE_TEST_SUITE_P(Sections, SectionChoice, ValuesIn(kSections), caseName);

// Conditions, with the program's rule that a section which can only ever receive negative
// numbers drops the minus sign, and any other shows it.
const FormatCase kConditions[] = {
    {"MillionsFirst", "[>=1000000]0.0,,\"M\";[>=1000]0.0,\"K\";0", 1234567, "1.2M"},
    {"ThousandsSecond", "[>=1000000]0.0,,\"M\";[>=1000]0.0,\"K\";0", 12345, "12.3K"},
    {"RestThird", "[>=1000000]0.0,,\"M\";[>=1000]0.0,\"K\";0", 999, "999"},
    {"NegativeInThirdKeepsMinus", "[>=1000000]0.0,,\"M\";[>=1000]0.0,\"K\";0", -5000, "-5000"},
    {"ElseSectionOnlyNegativesDropsMinus", "[>=-1]0;0", -2, "2"},
    {"ElseSectionWithPositivesKeepsMinus", "[>=1]0;0", -2, "-2"},
    {"ConditionOnlyNegativesDropsMinus",
     "[Red][<=-25]General;[Blue][>=25]General;[Green]General;[Yellow]General", -25, "25"},
    {"ConditionSecondSection",
     "[Red][<=-25]General;[Blue][>=25]General;[Green]General;[Yellow]General", 30, "30"},
    {"ConditionNeitherThirdSection",
     "[Red][<=-25]General;[Blue][>=25]General;[Green]General;[Yellow]General", -3, "-3"},
    {"EqualsZeroElseKeepsMinus", "[=0]?;#,##0.00", -12.3, "-12.30"},
    {"FirstConditionWithPositivesKeepsMinus", "[<=9999999]###\\-####;\\(###\\)\\ ###\\-####", -12.3,
     "--12"},
    {"PhoneShort", "[<=9999999]###\\-####;\\(###\\)\\ ###\\-####", 5551234, "555-1234"},
    {"PhoneLong", "[<=9999999]###\\-####;\\(###\\)\\ ###\\-####", 5551234567, "(555) 123-4567"},
    {"NotEqual", "[<>0]\"set\";\"unset\"", 0, "unset"},
    {"LessThan", "[<100]\"small\";\"big\"", 150, "big"},
    {"NoSectionAcceptsShowsHashes", "[>100]0;[<-100]0", 5, "########"},
};
INSTANTIATE_TEST_SUITE_P(Conditions, SectionChoice, ValuesIn(kConditions), caseName);

TEST(NumberFormatColor, NamedColoursAndPaletteIndexes) {
  const auto f = NumberFormat::parse("[Blue]0;[Red]-0;[Color10]0;[Magenta]@");
  EXPECT_EQ(f.format(1).color, QColor(0, 0, 255));
  EXPECT_EQ(f.format(-1).color, QColor(255, 0, 0));
  EXPECT_EQ(f.format(0).color, QColor(0, 128, 0));
  EXPECT_EQ(f.formatText("t").color, QColor(255, 0, 255));
}

TEST(NumberFormatColor, NamesIgnoreCaseAndOutOfRangeIndexIsNoColour) {
  EXPECT_EQ(NumberFormat::parse("[GREEN]0").format(1).color, QColor(0, 255, 0));
  EXPECT_EQ(NumberFormat::parse("[color56]0").format(1).color, QColor(0x33, 0x33, 0x33));
  EXPECT_FALSE(NumberFormat::parse("[Color57]0").format(1).color.has_value());
  EXPECT_FALSE(NumberFormat::parse("0").format(1).color.has_value());
}

TEST(NumberFormatColor, DefaultPaletteEnds) {
  EXPECT_EQ(render::numfmt::defaultPaletteColor(1), QColor(0, 0, 0));
  EXPECT_EQ(render::numfmt::defaultPaletteColor(2), QColor(255, 255, 255));
  EXPECT_EQ(render::numfmt::defaultPaletteColor(22), QColor(0xFF, 0x80, 0x80));
  EXPECT_FALSE(render::numfmt::defaultPaletteColor(0).has_value());
}

TEST(NumberFormatText, TextSectionWrapsTheText) {
  const auto v = NumberFormat::parse("0;0;0;\"text: \"@").formatText("abc");
  EXPECT_EQ(v.text, "text: abc");
  EXPECT_FALSE(v.rightAligned);
}

TEST(NumberFormatText, NoTextSectionShowsTextAsIs) {
  const auto v = NumberFormat::parse("[Red]0.00").formatText("abc");
  EXPECT_EQ(v.text, "abc");
  EXPECT_FALSE(v.color.has_value());
  EXPECT_FALSE(v.rightAligned);
  EXPECT_EQ(NumberFormat().formatText("x").text, "x");
}

TEST(NumberFormatText, SingleAtSectionKeepsColourAndLiterals) {
  const auto v = NumberFormat::parse("[Red]\"<\"@\">\"").formatText("a");
  EXPECT_EQ(v.text, "<a>");
  EXPECT_EQ(v.color, QColor(255, 0, 0));
}

TEST(NumberFormatText, TextSectionWithoutAtReplacesTheText) {
  EXPECT_EQ(NumberFormat::parse("0;0;0;\"n/a\"").formatText("abc").text, "n/a");
  EXPECT_EQ(NumberFormat::parse("0;0;0;").formatText("abc").text, "");
}

TEST(NumberFormatKinds, DateTextGeneral) {
  EXPECT_TRUE(NumberFormat::parse("yyyy-mm-dd").isDate());
  EXPECT_TRUE(NumberFormat::parse("[h]:mm").isDate());
  EXPECT_FALSE(NumberFormat::parse("0.00").isDate());
  EXPECT_FALSE(NumberFormat::parse("0;[Red]dd").isDate());
  EXPECT_TRUE(NumberFormat::parse("@").isText());
  EXPECT_FALSE(NumberFormat::parse("0").isText());
  EXPECT_TRUE(NumberFormat::parse("General").isGeneral());
  EXPECT_TRUE(NumberFormat::parse("general").isGeneral());
  EXPECT_TRUE(NumberFormat().isGeneral());
  EXPECT_FALSE(NumberFormat::parse("0").isGeneral());
}

TEST(NumberFormatMalformed, TreatedAsGeneral) {
  for (const char* code : {"\"abc", "0;0;0;0;0", "[Red", "[<abc]0", "", "   "}) {
    const auto f = NumberFormat::parse(QString::fromUtf8(code));
    EXPECT_TRUE(f.isGeneral()) << code;
    EXPECT_EQ(f.format(1234.5).text, "1234.5") << code;
  }
}

TEST(NumberFormatMalformed, TrailingEscapesAndStarsAreHarmless) {
  EXPECT_EQ(shown("0\\", 5), "5");
  EXPECT_EQ(shown("0_", 5), "5 ");
  EXPECT_EQ(shown("0*", 5), "5");
}

TEST(BuiltinNumberFormat, KnownIdsAndGaps) {
  EXPECT_EQ(builtinNumberFormat(0), "General");
  EXPECT_EQ(builtinNumberFormat(14), "m/d/yyyy");
  EXPECT_EQ(builtinNumberFormat(13), "# ?\?/??");
  EXPECT_EQ(builtinNumberFormat(49), "@");
  for (int id : {-1, 23, 36, 50, 164}) EXPECT_EQ(builtinNumberFormat(id), "") << id;
}

class BuiltinIds : public ::testing::TestWithParam<FormatCase> {};
TEST_P(BuiltinIds, ShowWhatTheProgramShows) {
  const FormatCase& c = GetParam();
  const int id = std::atoi(c.code);
  EXPECT_EQ(NumberFormat::parse(builtinNumberFormat(id)).format(c.value).text.toStdString(),
            c.expected)
      << "id " << id;
}
// The code column holds the id.
const FormatCase kBuiltins[] = {
    {"Id1", "1", 1234.5, "1235"},
    {"Id2", "2", 1234.5, "1234.50"},
    {"Id3", "3", 1234.5, "1,235"},
    {"Id4", "4", 1234.5, "1,234.50"},
    {"Id5Negative", "5", -1234.5, "($1,235)"},
    {"Id8Positive", "8", 1234.5, "$1,234.50 "},
    {"Id9", "9", 0.5, "50%"},
    {"Id10", "10", 0.5, "50.00%"},
    {"Id11", "11", 1234.5, "1.23E+03"},
    {"Id12", "12", 1234.5, "1234 1/2"},
    {"Id14", "14", 45000.75, "3/15/2023"},
    {"Id15", "15", 45000.75, "15-Mar-23"},
    {"Id16", "16", 45000.75, "15-Mar"},
    {"Id17", "17", 45000.75, "Mar-23"},
    {"Id18", "18", 45000.75, "6:00 PM"},
    {"Id19", "19", 45000.75, "6:00:00 PM"},
    {"Id20", "20", 45000.75, "18:00"},
    {"Id21", "21", 45000.75, "18:00:00"},
    {"Id22", "22", 45000.75, "3/15/2023 18:00"},
    {"Id37Negative", "37", -1234, "(1,234)"},
    {"Id38Positive", "38", 1234, "1,234 "},
    {"Id40Negative", "40", -0.5, "(0.50)"},
    {"Id45", "45", 45000.75, "00:00"},
    {"Id46", "46", 45000.75, "1080018:00:00"},
    {"Id47", "47", 0.5 / 86400, "00:00.5"},
    {"Id48", "48", 12345, "12.3E+3"},
    {"Id49", "49", 12.5, "12.5"},
};
INSTANTIATE_TEST_SUITE_P(Builtins, BuiltinIds, ValuesIn(kBuiltins), caseName);
