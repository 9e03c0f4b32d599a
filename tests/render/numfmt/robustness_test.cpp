// Hostile and extreme input: codes made of random format characters, absurd sizes and values
// at the ends of the double range never crash and keep the result's invariants.
#include <QElapsedTimer>
#include <limits>
#include <random>

#include "format_case.h"

using namespace morvane;

using numfmt_test::shown;
using render::numfmt::FormattedValue;
using render::numfmt::NumberFormat;

namespace {

void expectConsistent(const FormattedValue& v, const QString& code) {
  EXPECT_GE(v.fillPosition, -1) << code.toStdString();
  EXPECT_LE(v.fillPosition, v.text.size()) << code.toStdString();
  EXPECT_EQ(v.fillChar.has_value(), v.fillPosition >= 0) << code.toStdString();
}

}  // namespace

TEST(NumberFormatRobustness, RandomCodesNeverCrash) {
  const QString alphabet = QStringLiteral("0#?.,;%E+-/@\"\\_*[]<>=hmsdyAP$ Ge123!()[]:RedColor[h]");
  std::mt19937 random(20240601);
  std::uniform_int_distribution<int> length(0, 24);
  std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
  const double values[] = {0,
                           -1.5,
                           1e300,
                           -1e300,
                           45000.5,
                           -1e-300,
                           1e15,
                           0.999,
                           2958466,
                           5e-324,
                           1234.5678,
                           -0.0,
                           std::numeric_limits<double>::quiet_NaN()};
  for (int round = 0; round < 3000; ++round) {
    QString code;
    for (int n = length(random); n > 0; --n) code += alphabet[pick(random)];
    const NumberFormat f = NumberFormat::parse(code);
    for (double v : values) {
      expectConsistent(f.format(v), code);
      expectConsistent(f.format(v, true), code);
    }
    expectConsistent(f.formatText(QStringLiteral("text")), code);
  }
}

TEST(NumberFormatRobustness, HugeCodesStayFast) {
  QElapsedTimer timer;
  timer.start();
  const QString zeros(20000, u'0');
  EXPECT_EQ(NumberFormat::parse(zeros).format(5).text.size(), 20000);
  const QString decimals = QStringLiteral("0.") + QString(20000, u'#');
  EXPECT_EQ(NumberFormat::parse(decimals).format(1.5).text, "1.5");
  const QString commas = QStringLiteral("0") + QString(100000, u',');
  EXPECT_EQ(NumberFormat::parse(commas).format(1e300).text, "0");
  QString quoted;
  for (int i = 0; i < 20000; ++i) quoted += QStringLiteral("\"x\"");
  EXPECT_EQ(NumberFormat::parse(quoted).format(1).text.size(), 20000);
  EXPECT_LT(timer.elapsed(), 5000);
}

TEST(NumberFormatRobustness, ExtremeValues) {
  EXPECT_EQ(shown("0", 1e300).size(), 301u);
  EXPECT_EQ(shown("0.00", 5e-324), "0.00");
  EXPECT_EQ(shown("0.00E+00", 1e300), "1.00E+300");
  EXPECT_EQ(shown("0.00E+00", 5e-324), "4.94E-324");
  EXPECT_EQ(shown("# ?/?", 1e20), "100000000000000000000    ");
  EXPECT_EQ(shown("?/?", 1e20), "100000000000000000000/1");
  EXPECT_EQ(shown("?/4", 1e20), "400000000000000000000/4");
  EXPECT_EQ(shown("0.0", -0.0), "0.0");
  EXPECT_EQ(shown("# ?/123456789012", 1.5), "1 50000000/99999999");
  EXPECT_EQ(shown("[h]:mm", 2958465), "71003160:00");
}
