#include "app/plan.h"

#include <gtest/gtest.h>

using namespace morvane;

using morvane::app::parsePlan;
using morvane::app::PlanError;
using morvane::app::PlanRow;

namespace {

const QString kHeader = QStringLiteral("name\tsheet\tinclude\ttitle\tslide\tpaste_as\n");

QString errorOf(const QString& text) {
  const auto result = parsePlan(text, QStringLiteral("plan.tsv"));
  return std::holds_alternative<PlanError>(result) ? std::get<PlanError>(result).message : QString();
}

}  // namespace

TEST(Plan, RowsKeepOnlyTheFieldsTheyGive) {
  const auto result = parsePlan(kHeader + "Chart 1\tSales\tN\tQ1 sales\t\t\r\n"
                                          "{Chart Sheet}\tOverview\t\t\t3\tExcel object\n\n",
                                QStringLiteral("plan.tsv"));
  ASSERT_TRUE(std::holds_alternative<std::vector<PlanRow>>(result));
  const auto& rows = std::get<std::vector<PlanRow>>(result);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "Chart 1");
  EXPECT_EQ(rows[0].include, std::optional<bool>(false));
  EXPECT_EQ(rows[0].title, std::optional<QString>("Q1 sales"));
  EXPECT_FALSE(rows[0].slide.has_value());
  EXPECT_FALSE(rows[0].pasteAs.has_value());
  EXPECT_EQ(rows[1].line, 3);
  EXPECT_FALSE(rows[1].include.has_value());
  EXPECT_EQ(rows[1].slide, std::optional<QString>("3"));
  EXPECT_EQ(rows[1].pasteAs, std::optional<QString>("Excel object"));
}

TEST(Plan, MalformedFilesNameTheLine) {
  EXPECT_EQ(errorOf("name\tsheet\n"), QStringLiteral("plan.tsv:1: the first line must be the header: "
                                                     "name<TAB>sheet<TAB>include<TAB>title<TAB>slide<TAB>paste_as"));
  EXPECT_TRUE(errorOf(kHeader + "Chart 1\tSales\tY\n").startsWith("plan.tsv:2: expected 6"));
  EXPECT_TRUE(errorOf(kHeader + "Chart 1\tSales\tyes\t\t\t\n").startsWith("plan.tsv:2: include must be Y or N"));
  EXPECT_TRUE(errorOf(kHeader + "Chart 1\tSales\t\t\t\tpicture\n").contains("paste_as must be"));
  EXPECT_TRUE(errorOf(kHeader + "\tSales\t\t\t\t\n").contains("name is empty"));
  EXPECT_TRUE(errorOf(kHeader + "A\tS\tY\t\t\t\nA\tS\tN\t\t\t\n").startsWith("plan.tsv:3: A on S is planned twice"));
  EXPECT_TRUE(errorOf("").startsWith("plan.tsv:1:"));
}
