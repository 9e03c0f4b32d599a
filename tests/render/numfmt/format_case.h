// Table rows for the number-format tests: a named row is a format code, a value and the text
// the spreadsheet program shows for it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "render/numfmt/number_format.h"

namespace morvane::numfmt_test {

struct FormatCase {
  const char* name;  // the row's name in test output: letters, digits, '_'
  const char* code;
  double value;
  const char* expected;
};

inline std::string caseName(const ::testing::TestParamInfo<FormatCase>& info) {
  return info.param.name;
}

inline std::string shown(const char* code, double value, bool date1904 = false) {
  return render::numfmt::NumberFormat::parse(QString::fromUtf8(code))
      .format(value, date1904)
      .text.toStdString();
}

}  // namespace morvane::numfmt_test

// Declares a suite `Suite` whose rows each check one FormatCase.
#define NUMFMT_CASE_SUITE(Suite)                                             \
  class Suite : public ::testing::TestWithParam<numfmt_test::FormatCase> {}; \
  TEST_P(Suite, ShowsWhatTheProgramShows) {                                  \
    const numfmt_test::FormatCase& c = GetParam();                           \
    EXPECT_EQ(numfmt_test::shown(c.code, c.value), c.expected)               \
        << "code " << c.code << " value " << c.value;                        \
  }
