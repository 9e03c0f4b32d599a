#include "office/automation_error.h"
#include "office/variant.h"

#include <gtest/gtest.h>

using namespace morvane;

using office::AutomationError;
using office::compareVariants;
using office::Int16;
using office::Variant;
using office::variantGreater;

namespace {

int errorNumberOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace

TEST(VariantCompare, NumbersNumericallyTextsByCodeUnit) {
  EXPECT_TRUE(variantGreater(Variant(10), Variant(9)));
  EXPECT_TRUE(variantGreater(Variant("Chart 2"), Variant("Chart 10")));  // text order
  EXPECT_TRUE(variantGreater(Variant("a"), Variant("Z")));                // upper before lower
  EXPECT_TRUE(variantGreater(Variant("{Chart Sheet}"), Variant("zeta")));
  EXPECT_TRUE(variantGreater(Variant("abc"), Variant("ab")));  // prefix first
  EXPECT_FALSE(variantGreater(Variant("ab"), Variant("ab")));
}

TEST(VariantCompare, NumberBeforeTextAndEmptyAsZeroOrEmptyText) {
  EXPECT_TRUE(variantGreater(Variant("1"), Variant(99)));
  EXPECT_FALSE(variantGreater(Variant(99), Variant("1")));
  EXPECT_EQ(compareVariants(Variant(), Variant(0)), std::strong_ordering::equal);
  EXPECT_TRUE(variantGreater(Variant(1), Variant()));
  EXPECT_TRUE(variantGreater(Variant(), Variant(-1)));
  EXPECT_EQ(compareVariants(Variant(), Variant("")), std::strong_ordering::equal);
  EXPECT_TRUE(variantGreater(Variant("a"), Variant()));
  EXPECT_EQ(compareVariants(Variant(), Variant()), std::strong_ordering::equal);
  EXPECT_TRUE(variantGreater(Variant(0), Variant(true)));  // True is -1
}

TEST(VariantText, NumbersInShortestDecimalForm) {
  EXPECT_EQ(Variant(1).toText(), "1");
  EXPECT_EQ(Variant(0.5).toText(), "0.5");
  EXPECT_EQ(Variant(-12.25).toText(), "-12.25");
  EXPECT_EQ(Variant(1e20).toText(), "1E+20");
  EXPECT_EQ(Variant(0.1 + 0.2).toText(), "0.3");
  EXPECT_EQ(Variant().toText(), "");
  EXPECT_EQ(Variant(true).toText(), "True");
}

TEST(NumericText, AcceptsNumbersRejectsLoneSignsAndJunk) {
  const QLocale c(QLocale::English, QLocale::UnitedStates);
  for (const char* yes : {"7", " 7 ", "-3", "+2.5", "1,234", "1e3", "1.5E-2", ".5", "0"})
    EXPECT_TRUE(office::isNumericText(yes, c)) << yes;
  for (const char* no : {"", " ", "-", "+", ".", "7a", "a7", "1e", "1.2.3", "--1", "1 2"})
    EXPECT_FALSE(office::isNumericText(no, c)) << no;
}

TEST(NumericText, FollowsTheLocaleDecimalSeparator) {
  const QLocale de(QLocale::German, QLocale::Germany);
  EXPECT_TRUE(office::isNumericText("2,5", de));
  EXPECT_EQ(*office::parseNumericText("1.234,5", de), 1234.5);
}

TEST(IntegerConversion, BankersRoundingAndOverflow) {
  EXPECT_EQ(office::toInt16(Variant(2.5)), 2);
  EXPECT_EQ(office::toInt16(Variant(3.5)), 4);
  EXPECT_EQ(office::toInt16(Variant(-2.5)), -2);
  EXPECT_EQ(office::toInt16(Variant("11.0")), 11);
  EXPECT_EQ(office::toInt16(Variant()), 0);
  EXPECT_EQ(office::toInt16(Variant(32767)), 32767);
  EXPECT_EQ(errorNumberOf([] { office::toInt16(Variant(32767.5)); }), AutomationError::kOverflow);
  EXPECT_EQ(errorNumberOf([] { office::toInt16(Variant(-32769)); }), AutomationError::kOverflow);
  EXPECT_EQ(errorNumberOf([] { office::toInt16(Variant("abc")); }),
            AutomationError::kTypeMismatch);
}

TEST(Int16Count, OverflowsPast32767InsteadOfWrapping) {
  Int16 n(32766);
  ++n;
  EXPECT_EQ(n.value(), 32767);
  EXPECT_EQ(errorNumberOf([&] { ++n; }), AutomationError::kOverflow);
  EXPECT_EQ(n.value(), 32767);
}

TEST(AutomationErrorText, GivesNumberAndDescription) {
  EXPECT_EQ(AutomationError::overflow().userText(), "Run-time error '6':\r\rOverflow");
}
