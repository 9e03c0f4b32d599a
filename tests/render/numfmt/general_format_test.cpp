// The General format as a cell of standard width shows it.
#include <gtest/gtest.h>

#include <limits>

#include "render/numfmt/number_format.h"

using namespace morvane;

using render::numfmt::formatGeneral;

struct GeneralCase {
  const char* name;
  double value;
  int maxChars;
  const char* expected;
};

class GeneralFormat : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(GeneralFormat, ShowsWhatTheProgramShows) {
  const GeneralCase& c = GetParam();
  EXPECT_EQ(formatGeneral(c.value, c.maxChars).toStdString(), c.expected) << c.value;
}

const GeneralCase kGeneral[] = {
    {"Zero", 0, 11, "0"},
    {"Integer", 1234567, 11, "1234567"},
    {"ElevenDigitInteger", 12345678901, 11, "12345678901"},
    {"TwelveDigitIntegerScientific", 123456789012, 11, "1.23457E+11"},
    {"ElevenDigitsRoundedToInteger", 12345678901.5, 11, "12345678902"},
    {"RoundingPastElevenDigits", 99999999999.5, 11, "1E+11"},
    {"BinaryNoiseHidden", 0.1 + 0.2, 11, "0.3"},
    {"Third", 1.0 / 3, 11, "0.333333333"},
    {"TwoThirdsRounded", 2.0 / 3, 11, "0.666666667"},
    {"TenThousandth", 0.0001, 11, "0.0001"},
    {"HundredThousandthScientific", 0.00001, 11, "1E-05"},
    {"SmallFixedRounded", 0.000123456789, 11, "0.000123457"},
    {"DecimalsFitWidth", 1234567.891234, 11, "1234567.891"},
    {"NegativeSignNotCounted", -1234.5678901234, 11, "-1234.56789"},
    {"HugeExponentThreeDigits", 1e100, 11, "1E+100"},
    {"TinyExponentThreeDigits", 1.23456789e-100, 11, "1.2346E-100"},
    {"WiderCellFifteenDigits", 1.0 / 3, 20, "0.333333333333333"},
    {"WiderCellLargeInteger", 123456789012345.0, 20, "123456789012345"},
    {"MantissaRoundsToTen", 9.999999e20, 11, "1E+21"},
};

INSTANTIATE_TEST_SUITE_P(Values, GeneralFormat, ::testing::ValuesIn(kGeneral),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GeneralFormatEdges, NotANumber) {
  EXPECT_EQ(formatGeneral(std::numeric_limits<double>::quiet_NaN()), "#NUM!");
  EXPECT_EQ(formatGeneral(-std::numeric_limits<double>::infinity()), "#NUM!");
}

TEST(GeneralFormatEdges, TooNarrowWidthIsRaised) {
  EXPECT_EQ(formatGeneral(123456789, 2), "1E+08");
}
