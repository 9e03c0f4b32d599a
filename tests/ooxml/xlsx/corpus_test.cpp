// Every workbook of the shared corpus (real producers: the spreadsheet program, LibreOffice,
// POI, XlsxWriter, PhpSpreadsheet) loads into the model, and what the model says about a few
// of them matches their files.
#include "ooxml/xlsx/sheet_geometry.h"
#include "ooxml/xlsx/workbook_document.h"
#include "support/test_env.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace morvane;

using namespace ooxml::xlsx;

namespace {

std::unique_ptr<WorkbookDocument> openCorpusFile(const QString& name) {
  auto doc = WorkbookDocument::open(testenv::corpusDir(QStringLiteral("xlsx")) + QLatin1Char('/') + name);
  EXPECT_TRUE(doc.ok()) << (doc.ok() ? "" : doc.error().message.toStdString());
  return doc.ok() ? std::move(doc.value()) : nullptr;
}

TEST(Corpus, EveryWorkbookLoadsWithItsChartsResolved) {
  const QString dir = testenv::corpusDir(QStringLiteral("xlsx"));
  MORVANE_REQUIRE(!dir.isEmpty(), "the shared xlsx corpus");
  const QStringList files = QDir(dir).entryList({"*.xlsx", "*.xlsm"}, QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty());
  int charts = 0;
  for (const QString& file : files) {
    SCOPED_TRACE(file.toStdString());
    auto doc = openCorpusFile(file);
    if (!doc) continue;
    const WorkbookModel& m = doc->model();
    EXPECT_FALSE(m.sheets.empty());
    const int digit = maxDigitWidth(m.styles.defaultFont());
    for (const SheetEntry& sheet : m.sheets) {
      if (sheet.kind == SheetEntry::Kind::Chartsheet) {
        EXPECT_TRUE(doc->package().hasPart(sheet.chartPart)) << sheet.name.toStdString();
      }
      if (!sheet.drawing) continue;
      for (int i : sheet.drawing->chartIndices()) {
        const DrawingObject& chart = sheet.drawing->objects[size_t(i)];
        ++charts;
        EXPECT_FALSE(chart.name.isEmpty());
        EXPECT_TRUE(doc->package().hasPart(chart.chartPart)) << chart.chartPart.toStdString();
        const QSizeF size = anchorSizePoints(sheet.worksheet, chart, digit);
        EXPECT_GT(size.width(), 0);
        EXPECT_GT(size.height(), 0);
      }
    }
    EXPECT_FALSE(doc->isModified());
  }
  EXPECT_GT(charts, 50);
}

TEST(Corpus, SheetKindsAndStatesInTabOrder) {
  MORVANE_REQUIRE(!testenv::corpusDir("xlsx").isEmpty(), "the shared xlsx corpus");
  auto doc = openCorpusFile(QStringLiteral("cal_hidden_veryhidden_chartsheet.xlsx"));
  ASSERT_TRUE(doc);
  const auto& s = doc->model().sheets;
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(s[0].name, "Visible");
  EXPECT_EQ(s[1].state, SheetEntry::State::Hidden);
  EXPECT_EQ(s[2].state, SheetEntry::State::VeryHidden);
  EXPECT_EQ(s[3].kind, SheetEntry::Kind::Chartsheet);
  EXPECT_FALSE(s[3].chartPart.isEmpty());
  EXPECT_FALSE(doc->model().themePart.isEmpty());
}

TEST(Corpus, NamesInFileOrderWithScopeAndBuiltIns) {
  MORVANE_REQUIRE(!testenv::corpusDir("xlsx").isEmpty(), "the shared xlsx corpus");
  auto doc = openCorpusFile(QStringLiteral("poi_names_global_and_local.xlsx"));
  ASSERT_TRUE(doc);
  const auto& m = doc->model();
  ASSERT_EQ(m.names.size(), 2u);
  EXPECT_EQ(m.reportedName(m.names[0]), "NR_Global_B2");
  EXPECT_EQ(m.reportedName(m.names[1]), "Defines!NR_To_A1");
  EXPECT_EQ(m.names[1].formula, "Defines!$A$1");

  auto kyc = openCorpusFile(QStringLiteral("poi_long_sheet_names_protected.xlsx"));
  ASSERT_TRUE(kyc);
  EXPECT_TRUE(kyc->model().lockStructure);
  EXPECT_EQ(kyc->model().reportedName(kyc->model().names[0]), "KYC!Print_Titles");
  EXPECT_TRUE(kyc->model().names[1].hidden);
}

TEST(Corpus, AnchorSizeFollowsColumnWidthsAndRowHeights) {
  MORVANE_REQUIRE(!testenv::corpusDir("xlsx").isEmpty(), "the shared xlsx corpus");
  // XlsxWriter's default chart is 480 x 288 pixels, anchored across default cells.
  auto doc = openCorpusFile(QStringLiteral("xw_chart_three_on_one_sheet.xlsx"));
  ASSERT_TRUE(doc);
  const SheetEntry& sheet = doc->model().sheets[0];
  ASSERT_TRUE(sheet.drawing);
  const auto charts = sheet.drawing->chartIndices();
  ASSERT_EQ(charts.size(), 3u);
  EXPECT_EQ(sheet.drawing->objects[size_t(charts[2])].name, "Chart 3");
  const QSizeF size = anchorSizePoints(sheet.worksheet, sheet.drawing->objects[size_t(charts[0])],
                                       maxDigitWidth(doc->model().styles.defaultFont()));
  EXPECT_DOUBLE_EQ(size.width(), 360);
  EXPECT_DOUBLE_EQ(size.height(), 216);
  // Values: numbers and shared strings.
  EXPECT_EQ(sheet.worksheet.cell(5, 3)->value, CellValue::fromNumber(15));
  EXPECT_EQ(sheet.worksheet.cell(7, 1)->value.type, CellValue::Type::Text);
}

}  // namespace
