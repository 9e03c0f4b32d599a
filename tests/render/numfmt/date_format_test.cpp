// Dates and times: the codes, the month/minute ambiguity, rounding, elapsed time, the two date
// systems and serials that are no date. 45000 is Wednesday 15 March 2023.
#include "format_case.h"

using namespace morvane;

using numfmt_test::caseName;
using numfmt_test::FormatCase;
using numfmt_test::shown;
using render::numfmt::NumberFormat;
using ::testing::ValuesIn;

NUMFMT_CASE_SUITE(DateCodes)

// 4:36:03 PM on 15 March 2023, and three quarters of a second later.
constexpr double kAfternoon = 45000 + (16 * 3600 + 36 * 60 + 3) / 86400.0;
constexpr double kAfternoonAndAQuarter = kAfternoon + 0.75 / 86400;

// Documented: the help page's table of date and time codes.
const FormatCase kDocumented[] = {
    {"MonthNumber", "m", 45000, "3"},
    {"MonthTwoDigits", "mm", 45000, "03"},
    {"MonthAbbreviation", "mmm", 45000, "Mar"},
    {"MonthName", "mmmm", 45000, "March"},
    {"MonthLetter", "mmmmm", 45000, "M"},
    {"DayNumber", "d", 45000, "15"},
    {"DayTwoDigits", "dd", 45006, "21"},
    {"DayTwoDigitsPadded", "dd", 44991, "06"},
    {"WeekdayAbbreviation", "ddd", 45000, "Wed"},
    {"WeekdayName", "dddd", 45000, "Wednesday"},
    {"YearTwoDigits", "yy", 45000, "23"},
    {"YearFourDigits", "yyyy", 45000, "2023"},
    {"HourTwentyFour", "h", kAfternoon, "16"},
    {"HourTwelve", "h AM/PM", kAfternoon, "4 PM"},
    {"HourMinuteTwelve", "h:mm AM/PM", kAfternoon, "4:36 PM"},
    {"SecondsShortAmPm", "h:mm:ss A/P", kAfternoon, "4:36:03 P"},
    {"Hundredths", "h:mm:ss.00", kAfternoonAndAQuarter, "16:36:03.75"},
    {"ElapsedHours", "[h]:mm", (25 * 60 + 2) / 1440.0, "25:02"},
    {"ElapsedMinutes", "[mm]:ss", (63 * 60 + 46) / 86400.0, "63:46"},
    {"ElapsedSeconds", "[ss]", 3735 / 86400.0, "3735"},
    {"Time0Point75", "h:mm", 0.75, "18:00"},
};
INSTANTIATE_TEST_SUITE_P(Documented, DateCodes, ValuesIn(kDocumented), caseName);

const FormatCase kCodes[] = {
    {"IsoDate", "yyyy-mm-dd", 45000, "2023-03-15"},
    {"UsDate", "m/d/yyyy", 45000, "3/15/2023"},
    {"UpperCaseLetters", "YYYY-MM-DD", 45000, "2023-03-15"},
    {"OneLetterYearIsTwoDigits", "y", 45000, "23"},
    {"ThreeLetterYearIsFourDigits", "yyy", 45000, "2023"},
    {"EraYear", "e", 45000, "2023"},
    {"MinuteAfterHour", "hh:mm", kAfternoon, "16:36"},
    {"MinuteBeforeSecond", "mm:ss", kAfternoon, "36:03"},
    {"MonthThenMinute", "yyyy-mm-dd hh:mm", kAfternoon, "2023-03-15 16:36"},
    {"MinuteAfterHourPastLiteral", "h \"h\" m \"min\"", kAfternoon, "16 h 36 min"},
    {"MonthBeforeDay", "mm/dd", kAfternoon, "03/15"},
    {"MidnightTwelveAm", "h:mm AM/PM", 0, "12:00 AM"},
    {"NoonTwelvePm", "h:mm AM/PM", 0.5, "12:00 PM"},
    {"LowerCaseAmPmShownUpper", "h am/pm", 0.25, "6 AM"},
    {"LowerCaseAP", "h a/p", 0.25, "6 a"},
    {"Tenths", "mm:ss.0", 1.26 / 86400, "00:01.3"},
    {"Thousandths", "ss.000", 1.2346 / 86400, "01.235"},
    {"SecondsRoundUp", "h:mm:ss", 0.5 + 0.6 / 86400, "12:00:01"},
    {"SecondsRoundHalfUp", "h:mm:ss", kAfternoonAndAQuarter, "16:36:04"},
    {"SecondsRoundIntoMinute", "hh:mm:ss", 119.99 / 86400, "00:02:00"},
    {"ElapsedSecondsRound", "[h]\\h m\\m s\\s", 0.0001, "0h 0m 9s"},
    {"MinutesNotRounded", "h:mm", (10 * 3600 + 29 * 60 + 40) / 86400.0, "10:29"},
    {"RoundingRollsIntoNextDay", "d h:mm:ss", 1.999999, "2 0:00:00"},
    {"ElapsedHoursPadded", "[hh]:mm", 1 / 24.0, "01:00"},
    {"ElapsedIncludesDays", "[h]:mm:ss", 2.5, "60:00:00"},
    {"LongSystemDate", "[$-F800]dddd, mmmm dd, yyyy", 45000, "Wednesday, March 15, 2023"},
    {"LocaleTime", "[$-409]h:mm AM/PM", 0.75, "6:00 PM"},
    {"EscapedLetters", "d \\d\\a\\y", 45000, "15 day"},
    {"ColourAndDate", "[Red]yyyy", 45000, "2023"},
    {"DateInNegativeSection", "0;yyyy", -45000, "2023"},
};
INSTANTIATE_TEST_SUITE_P(Codes, DateCodes, ValuesIn(kCodes), caseName);

// The 1900 system has day 0 and a 29 February 1900, and Sunday 1 January 1900.
const FormatCase kSystem1900[] = {
    {"DayZero", "m/d/yyyy", 0, "1/0/1900"},
    {"DayOne", "yyyy-mm-dd dddd", 1, "1900-01-01 Sunday"},
    {"LastFebruaryDay", "yyyy-mm-dd", 59, "1900-02-28"},
    {"FictionalLeapDay", "yyyy-mm-dd dddd", 60, "1900-02-29 Wednesday"},
    {"FirstOfMarch", "yyyy-mm-dd dddd", 61, "1900-03-01 Thursday"},
    {"LastDay", "yyyy-mm-dd", 2958465, "9999-12-31"},
    {"PastLastDay", "yyyy-mm-dd", 2958466, "########"},
    {"Negative", "yyyy-mm-dd", -1, "########"},
    {"NegativeTime", "h:mm", -0.5, "########"},
};
INSTANTIATE_TEST_SUITE_P(System1900, DateCodes, ValuesIn(kSystem1900), caseName);

TEST(DateSystem1904, CountsFromFirstOfJanuary1904) {
  EXPECT_EQ(shown("yyyy-mm-dd dddd", 0, true), "1904-01-01 Friday");
  EXPECT_EQ(shown("yyyy-mm-dd", 45000 - 1462, true), "2023-03-15");
  EXPECT_EQ(shown("ddd", 45000 - 1462, true), "Wed");
  EXPECT_EQ(shown("yyyy-mm-dd", 2958465 - 1462, true), "9999-12-31");
  EXPECT_EQ(shown("yyyy-mm-dd", 2958465 - 1461, true), "########");
  EXPECT_EQ(shown("[h]:mm", 1.5, true), "36:00");
}

TEST(DateNotShowable, HashesFillTheCell) {
  const auto v = NumberFormat::parse("yyyy").format(-1);
  EXPECT_EQ(v.fillChar, QChar(u'#'));
  EXPECT_EQ(v.fillPosition, 0);
  EXPECT_TRUE(v.rightAligned);
}
