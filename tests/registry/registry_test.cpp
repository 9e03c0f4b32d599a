// The workbook scan and the registry sheet, on the office double.
#include "registry/registry.h"

#include <gtest/gtest.h>

#include <map>

#include "registry/registry_edits.h"
#include "support/office_double.h"

using namespace morvane;

using office::Variant;
using registry::kRegistrySheet;
using testbook::ChartOutline;
using testbook::NameOutline;
using testbook::SheetOutline;
using testbook::WorkbookOutline;

namespace {

SheetOutline worksheet(const QString& name, QStringList charts = {}) {
  SheetOutline s;
  s.name = name;
  for (const auto& c : charts) s.charts.push_back(ChartOutline{c, {}});
  return s;
}

SheetOutline chartSheet(const QString& name) {
  SheetOutline s;
  s.kind = SheetOutline::Kind::ChartSheet;
  s.name = name;
  return s;
}

// A registry sheet as start-up leaves it: text format on A:H, "0" on D.
SheetOutline registrySheet(std::vector<std::vector<Variant>> rows = {}) {
  SheetOutline s = worksheet(kRegistrySheet);
  s.visible = excel::xlSheetVeryHidden;
  for (int r = 0; r < int(rows.size()); ++r)
    for (int c = 0; c < int(rows[r].size()); ++c)
      if (!rows[r][c].isEmpty()) s.cells[{r + 1, c + 1}] = rows[r][c];
  return s;
}

class RegistryTest : public ::testing::Test {
 protected:
  void open(WorkbookOutline outline) {
    office.openWorkbook(outline);
    auto* reg = office.sheet(kRegistrySheet).get();
    for (int c = 1; c <= 8; ++c) reg->columnFormats[c] = QStringLiteral("@");
    reg->columnFormats[4] = QStringLiteral("0");
    app = office.attachExcel();
    wb = app->activeWorkbook();
  }
  void sync() { registry::SyncRegistry(*wb, table, counts); }
  QStringList tableRows() const {
    QStringList out;
    for (int r = 1; r <= table.rowCount(); ++r)
      out << QStringLiteral("%1|%2|%3|%4")
                 .arg(table.at(1, r).toText(), table.at(2, r).toText(), table.at(3, r).toText(),
                      table.at(4, r).toText());
    return out;
  }
  Variant reg(int row, int column) { return office.sheet(kRegistrySheet)->cell(row, column); }

  fake::Office office;
  std::shared_ptr<excel::Application> app;
  std::shared_ptr<excel::Workbook> wb;
  registry::ObjectTable table;
  registry::Counts counts;
};

WorkbookOutline firstFillWorkbook() {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"Chart 1", "Chart 2", "Chart 3"}), chartSheet("Graph"),
                 worksheet("Sheet2"), registrySheet()};
  outline.names = {NameOutline{"Area", "Sheet2!$A$1:$C$4"}};
  return outline;
}

}  // namespace

TEST_F(RegistryTest, FirstFillWritesEveryObjectInScanOrder) {
  open(firstFillWorkbook());
  sync();
  EXPECT_EQ(tableRows(), (QStringList{"Chart 1|Sheet1|Y|1", "Chart 2|Sheet1|Y|2", "Chart 3|Sheet1|Y|3",
                                      "{Chart Sheet}|Graph|Y|4", "Area|Sheet2|Y|5"}));
  EXPECT_EQ(counts.objectCount, 5);
  EXPECT_EQ(counts.knownObjectCount, 5);
  EXPECT_EQ(reg(4, 1), Variant("{Chart Sheet}"));
  EXPECT_EQ(reg(4, 2), Variant("Graph"));
  EXPECT_EQ(reg(5, 1), Variant("Area"));
  for (int r = 1; r <= 5; ++r) {
    EXPECT_EQ(reg(r, 3), Variant("Y"));
    EXPECT_EQ(reg(r, 4), Variant(r));
    EXPECT_TRUE(reg(r, 5).isEmpty());
    EXPECT_TRUE(reg(r, 6).isEmpty());
    EXPECT_EQ(reg(r, 7), Variant("Picture"));
    EXPECT_EQ(table.at(7, r), Variant("Picture"));
  }
}

TEST_F(RegistryTest, SecondScanRecognisesEverythingAndWritesNothing) {
  open(firstFillWorkbook());
  sync();
  office.log.clear();
  sync();
  EXPECT_EQ(tableRows().size(), 5);
  EXPECT_EQ(office.log.callsStartingWith(QStringLiteral("Range")).filter(QStringLiteral(".Value=")).size(), 0);
}

TEST_F(RegistryTest, NewObjectsAreAppendedWithTheNextNumerators) {
  open(firstFillWorkbook());
  office.sheet(kRegistrySheet)->cells[{3, 3}] = QStringLiteral("N");  // excluded by the user
  sync();
  office.sheet("Sheet1")->charts.push_back(std::make_shared<fake::ChartState>(fake::ChartState{"Chart 4", {}, office.sheet("Sheet1"), false}));
  office.workbook().names.push_back(std::make_shared<fake::NameState>(fake::NameState{"Totals", {}, "Sheet2!$D$1:$D$9", false}));
  sync();
  EXPECT_EQ(tableRows(), (QStringList{"Chart 1|Sheet1|Y|1", "Chart 2|Sheet1|Y|2", "Chart 3|Sheet1|Y|3",
                                      "Chart 4|Sheet1|Y|6", "{Chart Sheet}|Graph|Y|4",
                                      "Area|Sheet2|Y|5", "Totals|Sheet2|Y|7"}));
  EXPECT_EQ(reg(6, 1), Variant("Chart 4"));
  EXPECT_EQ(reg(6, 4), Variant(6));
  EXPECT_EQ(reg(7, 1), Variant("Totals"));
  EXPECT_EQ(reg(7, 7), Variant("Picture"));
}

TEST_F(RegistryTest, RecognisedRowsKeepTheirFlagAndNumeratorAndTheLastMatchWins) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"Chart 1", "Chart 2"}),
                 registrySheet({{"Chart 1", "Sheet1", "N", 7}, {"Chart 2", "Sheet1", "Y", 3},
                                {"Chart 1", "Sheet1", "Y", 9}})};
  open(outline);
  sync();
  EXPECT_EQ(tableRows(), (QStringList{"Chart 1|Sheet1|Y|9", "Chart 2|Sheet1|Y|3"}));
}

TEST_F(RegistryTest, AChartSheetIsRecognisedByItsExactNameWhateverTheRowCount) {
  WorkbookOutline outline;
  outline.sheets = {chartSheet("Graph"), registrySheet({{"{Chart Sheet}", "Graph", "N", 4}})};
  open(outline);
  sync();  // a one-row registry
  EXPECT_EQ(tableRows(), QStringList{"{Chart Sheet}|Graph|N|4"});
  EXPECT_TRUE(reg(2, 1).isEmpty());  // not appended a second time

  WorkbookOutline confusable;
  confusable.sheets = {worksheet("Sheet1", {"Chart 1"}), chartSheet("Sheet"),
                       registrySheet({{"Chart 1", "Sheet1", "N", 8}, {"{Chart Sheet}", "sheet", "N", 2}})};
  open(confusable);
  sync();
  // Neither the chart's row (Sheet1 contains "Sheet") nor a row of another letter case.
  EXPECT_EQ(tableRows(), (QStringList{"Chart 1|Sheet1|N|8", "{Chart Sheet}|Sheet|Y|9"}));
}

TEST_F(RegistryTest, OnlyVisibleNamesToRangesAreTaken) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1"), worksheet("Sheet2"), registrySheet()};
  outline.names = {NameOutline{"Hidden", "Sheet1!$A$1", true}, NameOutline{"kuku123", "kukukukuZichron!$A:$H"},
                NameOutline{"Rate", "0.98"}, NameOutline{"Broken", "#REF!"},
                NameOutline{"Area", "Sheet2!$B$2:$C$3", false, "Sheet1"}};
  open(outline);
  sync();
  // A sheet-level name carries its sheet's prefix; its sheet column is the range's sheet.
  EXPECT_EQ(tableRows(), QStringList{"Sheet1!Area|Sheet2|Y|1"});
}

TEST_F(RegistryTest, NamesOfSeveralAreasAreReportedAndTheScanIsOtherwiseTheSame) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Data", {"Chart 1"}), worksheet("Other"), registrySheet()};
  outline.names = {NameOutline{"Pair", "Data!$A$1:$A$2,Data!$C$1:$C$2", false, {}},
                   NameOutline{"HiddenPair", "Data!$A$1,Data!$B$1", true, {}},
                   NameOutline{"Area", "Data!$B$2:$C$3", false, {}},
                   NameOutline{"Across", "Data!$A$1,Other!$A$1", false, {}},  // no range at all
                   NameOutline{"Rate", "0.98", false, {}},
                   NameOutline{"Pair", "Other!$A$1,Other!$B$1", false, "Other"}};
  open(outline);
  sync();
  const QStringList plainRows = tableRows();
  const auto plainRegistry = office.sheet(kRegistrySheet)->cells;
  EXPECT_EQ(office.log.callsStartingWith("Name(").filter(".AreasCount").size(), 0);

  open(outline);  // the same workbook afresh, scanned by the reporting form
  QStringList leftOut{"stale"};
  registry::SyncRegistry(*wb, table, counts, leftOut);
  EXPECT_EQ(leftOut, (QStringList{"Pair", "Other!Pair"}));
  EXPECT_EQ(tableRows(), plainRows);
  EXPECT_EQ(plainRows, (QStringList{"Chart 1|Data|Y|1", "Area|Data|Y|2"}));
  EXPECT_EQ(office.sheet(kRegistrySheet)->cells, plainRegistry);
  EXPECT_EQ(counts.objectCount, 2);
}

TEST_F(RegistryTest, NumericLookingNamesAreStoredAsText) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("12", {"Chart 1"}), registrySheet()};
  open(outline);
  sync();
  EXPECT_EQ(reg(1, 2), Variant("12"));
}

TEST_F(RegistryTest, AWorkbookWithoutObjectsLeavesAnEmptyRegistry) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1"), registrySheet()};
  open(outline);
  sync();
  EXPECT_EQ(counts.objectCount, 0);
  EXPECT_TRUE(office.sheet(kRegistrySheet)->cells.empty());
}

TEST_F(RegistryTest, DeletedChartKeepsItsRowAndTheOthersTheirNumerators) {
  open(firstFillWorkbook());
  sync();
  // The user deleted Chart 1; the next start-up renames the others Chart 1 and Chart 2.
  auto sheet1 = office.sheet("Sheet1");
  sheet1->charts.erase(sheet1->charts.begin());
  sheet1->charts[0]->name = "Chart 1";
  sheet1->charts[1]->name = "Chart 2";
  sync();
  EXPECT_EQ(tableRows().mid(0, 2), (QStringList{"Chart 1|Sheet1|Y|1", "Chart 2|Sheet1|Y|2"}));
  EXPECT_EQ(reg(3, 1), Variant("Chart 3"));  // the old row stays
}

TEST_F(RegistryTest, ClearedA1MeansAFirstFillAgainOverTheFirstRows) {
  open(firstFillWorkbook());
  sync();
  auto& cells = office.sheet(kRegistrySheet)->cells;
  cells.erase({1, 1});
  office.sheet("Sheet1")->charts.pop_back();
  sync();
  EXPECT_EQ(reg(1, 1), Variant("Chart 1"));
  EXPECT_EQ(reg(5, 1), Variant("Area"));  // rows below n keep their old content
  EXPECT_EQ(tableRows().last(), "Area|Sheet2|Y|4");
}

namespace {

// The scan's table with the given edits applied, as the window's list hands it over.
registry::ListEdits editsOf(registry::ObjectTable table,
                            const std::map<std::pair<int, int>, QString>& texts, bool titleMode) {
  for (int r = 1; r <= table.rowCount(); ++r)
    for (int c = 1; c <= 8; ++c) table.at(c, r) = table.at(c, r).toText();
  for (const auto& [at, text] : texts) table.at(at.second, at.first) = text;
  return {table, titleMode};
}

QStringList editableColumns(const registry::ObjectTable& table) {
  QStringList out;
  for (int r = 1; r <= table.rowCount(); ++r)
    out << QStringList{table.at(3, r).toText(), table.at(4, r).toText(), table.at(5, r).toText(),
                       table.at(6, r).toText(), table.at(7, r).toText()}
               .join('|');
  return out;
}

}  // namespace

// The user's edits, written on Save, come back with the next scan; the numerators (texts in
// the list after a move) are numbers again, so the next appended object still follows them.
TEST_F(RegistryTest, SavedEditsAreWrittenIntoTheObjectsRowsAndReadBack) {
  open(firstFillWorkbook());
  sync();
  // (row, column) -> text: Chart 1 and Chart 2 swapped places, so they swapped numerators.
  const auto edits = editsOf(table,
                             {{{1, 4}, "2"},
                              {{2, 4}, "1"},
                              {{1, 3}, "N"},
                              {{2, 5}, "3"},
                              {{2, 6}, "  Q1 sales"},
                              {{5, 7}, "Excel object"}},
                             false);
  registry::WriteListEdits(*wb, edits);
  EXPECT_EQ(reg(1, 4), Variant(2.0));
  EXPECT_EQ(reg(2, 4), Variant(1.0));
  EXPECT_EQ(reg(2, 5), Variant("3"));
  EXPECT_EQ(reg(2, 20), Variant(false));
  EXPECT_TRUE(reg(1, 8).isEmpty());

  sync();
  EXPECT_EQ(editableColumns(table),
            (QStringList{"N|2|||Picture", "Y|1|3|  Q1 sales|Picture", "Y|3|||Picture",
                         "Y|4|||Picture", "Y|5|||Excel object"}));
  office.sheet("Sheet1")->charts.push_back(std::make_shared<fake::ChartState>(
      fake::ChartState{"Chart 4", {}, office.sheet("Sheet1"), false}));
  sync();
  EXPECT_EQ(reg(6, 4), Variant(6));
}

TEST_F(RegistryTest, AListWithoutEditsWritesNothing) {
  open(firstFillWorkbook());
  office.sheet(kRegistrySheet)->cells[{2, 20}] = true;
  sync();
  office.log.clear();
  registry::WriteListEdits(*wb, editsOf(table, {}, true));
  EXPECT_EQ(office.log.callsStartingWith(QStringLiteral("Range")).filter(QStringLiteral(".Value=")),
            QStringList());
}

// Each object's values go to the row the scan reads them from: the last match of name and
// sheet, of the name alone for a named range; a row of no registry object is passed over.
TEST_F(RegistryTest, EditsGoToTheRowTheScanReadsAndUnknownObjectsAreLeftOut) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"Chart 1"}), worksheet("Sheet2"),
                    registrySheet({{"Chart 1", "Sheet1", "Y", 1},
                                   {"Area", "Sheet9", "Y", 2},
                                   {"Chart 1", "Sheet1", "Y", 3},
                                   {"Chart 1", "Other", "Y", 4}})};
  outline.names = {NameOutline{"Area", "Sheet2!$A$1:$B$2", false, {}}};
  open(outline);
  sync();
  registry::ObjectTable extra = table;
  const int ghost = extra.addRow();
  extra.at(1, ghost) = QStringLiteral("Chart 9");
  extra.at(2, ghost) = QStringLiteral("Sheet1");
  registry::WriteListEdits(
      *wb, editsOf(extra, {{{1, 6}, "Top"}, {{2, 6}, "Named"}, {{3, 6}, "?"}}, true));
  EXPECT_TRUE(reg(1, 6).isEmpty());
  EXPECT_EQ(reg(3, 6), Variant("Top"));
  EXPECT_TRUE(reg(4, 6).isEmpty());
  EXPECT_EQ(reg(2, 6), Variant("Named"));
  EXPECT_TRUE(reg(5, 1).isEmpty());
}

// A registry written before the window saved anything: E and F empty, G "Picture" or, by
// hand, something else; the scan gives the defaults it always gave.
TEST_F(RegistryTest, ARegistryWithoutTheWindowsColumnsReadsAsBefore) {
  WorkbookOutline outline;
  outline.sheets = {worksheet("Sheet1", {"Chart 1", "Chart 2"}),
                    registrySheet({{"Chart 1", "Sheet1", "N", 4, Variant(), Variant(), "Picture"},
                                   {"Chart 2", "Sheet1", "Y", 2, Variant(), Variant(), "Bitmap"}})};
  open(outline);
  sync();
  EXPECT_EQ(editableColumns(table), (QStringList{"N|4|||Picture", "Y|2|||Picture"}));
  for (int r = 1; r <= 2; ++r) {
    EXPECT_EQ(table.at(5, r), Variant(QString()));
    EXPECT_EQ(table.at(6, r), Variant(QString()));
  }
}

TEST(RegistryQueries, WorksheetExistsIgnoresCaseAndChartSheets) {
  fake::Office office;
  WorkbookOutline outline;
  outline.sheets = {worksheet("Data"), chartSheet(kRegistrySheet)};
  office.openWorkbook(outline);
  auto wb = office.attachExcel()->activeWorkbook();
  EXPECT_TRUE(registry::WorksheetExists(*wb, "DATA"));
  EXPECT_FALSE(registry::WorksheetExists(*wb, kRegistrySheet));
  office.log.failOn("Workbook.Worksheets", 0);
  EXPECT_FALSE(registry::WorksheetExists(*wb, "Data"));  // a failing lookup is "no"
}

TEST(RegistryQueries, CountObjectsCountsHiddenAndRangelessNamesButNotTheRegistryName) {
  fake::Office office;
  WorkbookOutline outline;
  outline.sheets = {worksheet("Data", {"A", "B"}), chartSheet("Graph")};
  outline.names = {NameOutline{"kuku123", "Data!$A:$H"}, NameOutline{"Hidden", "Data!$A$1", true},
                NameOutline{"Rate", "0.5"}, NameOutline{"KUKU123", "Data!$A$1"}};
  office.openWorkbook(outline);
  auto wb = office.attachExcel()->activeWorkbook();
  registry::Counts counts;
  registry::CountObjects(*wb, counts);
  EXPECT_EQ(counts.objectCount, 6);  // the comparison with kuku123 is case-sensitive
  EXPECT_EQ(counts.knownObjectCount, 6);
}

TEST(RegistryQueries, CountingPast32767ObjectsOverflows) {
  fake::Office office;
  WorkbookOutline outline;
  outline.sheets = {worksheet("Data")};
  for (int i = 0; i < 32768; ++i) outline.names.push_back(NameOutline{QStringLiteral("N%1").arg(i), "Data!$A$1"});
  office.openWorkbook(outline);
  auto wb = office.attachExcel()->activeWorkbook();
  registry::Counts counts;
  try {
    registry::CountObjects(*wb, counts);
    FAIL() << "no overflow";
  } catch (const office::AutomationError& e) {
    EXPECT_EQ(e.number(), office::AutomationError::kOverflow);
  }
}
