// The list load, the exchange sort by variant comparison and the pasting orders.
#include "mainwindow_fixture.h"

#include "mainwindow/table_sort.h"

#include <QComboBox>

using namespace morvane;

using namespace mwtest;
using office::Variant;
using registry::ObjectTable;

namespace {

ObjectTable tableOf(const std::vector<std::pair<QString, Variant>>& rows, int keyColumn) {
  ObjectTable t;
  for (const auto& [name, key] : rows) {
    const int r = t.addRow();
    t.at(1, r) = name;
    t.at(keyColumn, r) = key;
  }
  return t;
}

QStringList names(const ObjectTable& t) {
  QStringList out;
  for (int r = 1; r <= t.rowCount(); ++r) out << t.at(1, r).toText();
  return out;
}

}  // namespace

TEST(ExchangeSort, EqualKeysMayChangeTheirOrder) {
  ObjectTable t = tableOf({{"A", 2}, {"B", 2}, {"C", 1}}, 4);
  mainwindow::exchangeSort(t, 4);
  EXPECT_EQ(names(t), QStringList({"C", "B", "A"}));
}

TEST(ExchangeSort, TextOrderByCodeUnit) {
  ObjectTable t;
  for (const char* n : {"{Chart Sheet}", "Chart 2", "apple", "Chart 10", "Zebra", "Chart 1"}) {
    const int r = t.addRow();
    t.at(1, r) = QString::fromUtf8(n);
  }
  mainwindow::exchangeSort(t, 1);
  // 10 between 1 and 2; upper case before lower case; "{" after every letter.
  EXPECT_EQ(names(t), QStringList({"Chart 1", "Chart 10", "Chart 2", "Zebra", "apple", "{Chart Sheet}"}));
}

TEST(ExchangeSort, NumbersBeforeTextsAndEmptyAsZero) {
  ObjectTable t = tableOf({{"t2", QString("2")}, {"n3", 3}, {"e", Variant()}, {"n-1", -1}, {"t10", QString("10")}}, 4);
  mainwindow::exchangeSort(t, 4);
  EXPECT_EQ(names(t), QStringList({"n-1", "e", "n3", "t10", "t2"}));
}

namespace {
class ListLoadTest : public MainWindowTest {};

// Three charts on three sheets whose registry numerators give the order c, a, b.
WorkbookOutline threeSheets() {
  WorkbookOutline outline;
  outline.sheets.push_back(worksheet("Beta", {"x"}));
  outline.sheets.push_back(worksheet("Alpha", {"y"}));
  outline.sheets.push_back(worksheet("Gamma", {"z"}));
  return outline;
}
}  // namespace

TEST_F(ListLoadTest, LoadsByNumeratorWithNoRowSelected) {
  open(threeSheets());
  EXPECT_EQ(w().ComboChtSort->currentText(), "By Numerator");
  EXPECT_EQ(w().ComboBox1->currentText(), "Bitmap");
  EXPECT_EQ(w().listIndex(), -1);
  EXPECT_TRUE(w().listCharts->selectedItems().isEmpty());
  ASSERT_EQ(w().listCount(), 3);
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 2", "Chart 3"}));
  EXPECT_EQ(column(1), QStringList({"Beta", "Alpha", "Gamma"}));
  EXPECT_EQ(column(2), QStringList({"Y", "Y", "Y"}));
  EXPECT_EQ(column(3), QStringList({"1", "2", "3"}));
  EXPECT_EQ(column(6), QStringList({"Picture", "Picture", "Picture"}));
  EXPECT_EQ(column(7), QStringList({"", "", ""}));
  // The load selected row 0 once (its copy ran) before the sorts refilled the list.
  // (version 16 activates the chart twice per copy)
  EXPECT_EQ(f.office.log.count("ChartObject(Chart 1).Activate"), 2);
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    1 of 3");
}

TEST_F(ListLoadTest, PastingOrderSortsOnTheSecondCall) {
  open(threeSheets());
  w().SortListChart(2);
  EXPECT_EQ(column(1), QStringList({"Beta", "Alpha", "Gamma"}));  // refilled before the sort
  w().SortListChart(2);
  EXPECT_EQ(column(1), QStringList({"Alpha", "Beta", "Gamma"}));
}

TEST_F(ListLoadTest, ChoosingAnOrderAsAUserSortsAndClearsTheSelection) {
  open(threeSheets());
  clickRow(2);
  ASSERT_EQ(w().listIndex(), 2);
  w().ComboChtSort->setCurrentIndex(1);  // the user's choice arrives as a signal
  EXPECT_EQ(column(1), QStringList({"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(w().listIndex(), -1);
  w().ComboChtSort->setCurrentIndex(2);
  EXPECT_EQ(column(1), QStringList({"Beta", "Alpha", "Gamma"}));
  EXPECT_TRUE(f.messages.shown.empty());
}

TEST_F(ListLoadTest, EditsAreReplacedByTheTableCopyOnAnOrderChange) {
  open(threeSheets());
  clickRow(0);
  w().SonicClick21->click();
  EXPECT_EQ(w().listText(0, 2), "N");
  w().ComboChtSort->setCurrentIndex(0);
  EXPECT_EQ(column(2), QStringList({"Y", "Y", "Y"}));
}

TEST_F(ListLoadTest, NamesThatReferToNoRangeLeaveNothingFound) {
  WorkbookOutline outline;
  outline.sheets.push_back(worksheet("Data"));
  outline.names.push_back(NameOutline{"Rate", "0.98", false, {}});
  open(outline);
  ASSERT_EQ(w().listCount(), 1);
  EXPECT_EQ(w().listText(0, 0), "Nothing Found!");
  clickRow(0);  // the placeholder is no object: nothing is copied, the counter stays
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Charts:  0 of 0");
  EXPECT_EQ(f.office.log.count("Application.ActiveWindow.Visible"), 0);
  w().ComboChtSort->setCurrentIndex(0);
  EXPECT_EQ(w().listCount(), 1);
  EXPECT_EQ(w().listText(0, 0), "Nothing Found!");
}

TEST_F(ListLoadTest, OneObjectMakesNoComparisonAndShowsIt) {
  open(chartsWorkbook(1));
  ASSERT_EQ(w().listCount(), 1);
  EXPECT_EQ(w().listText(0, 0), "Chart 1");
}

TEST_F(ListLoadTest, PastingOrderWaitsForSetUpAndForKnownObjects) {
  f.office.openWorkbook(chartsWorkbook(2));
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  ASSERT_TRUE(morvane::startup::PrepareWorkbook(f.tool));
  mainwindow::UserFormObj window(f.tool);
  window.ComboChtSort->addItems({"By Name", "By Sheet", "By Numerator"});
  // With no object counted a sort would show "Nothing Found!": set-up is not finished, so
  // the order change sorts nothing at all.
  f.tool.counts.objectCount = 0;
  window.ComboChtSort->setCurrentIndex(1);
  EXPECT_EQ(window.listCount(), 0);

  f.tool.counts = {};
  window.UserForm_Initialize();
  ASSERT_EQ(window.listCount(), 2);
  f.tool.counts.knownObjectCount = 0;  // finished, but no known object
  window.setListText(0, 0, "edited");
  window.ComboChtSort->setCurrentIndex(0);
  EXPECT_EQ(window.listText(0, 0), "edited");  // not refilled
}
