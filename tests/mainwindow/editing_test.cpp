// Editing an item as a user does: slide number and title boxes, include flags, moves.
#include "mainwindow_fixture.h"

#include "mainwindow/controls.h"

#include <QToolButton>

using namespace morvane;

using namespace mwtest;
using mainwindow::UserFormObj;

namespace {

class EditingTest : public MainWindowTest {
 protected:
  void openNumberMode(int charts) {
    open(withModeCell(chartsWorkbook(charts), office::Variant(false)));
    activate();
  }
  void moveUp() { w().SpinButton1->upButton()->click(); }
  void moveDown() { w().SpinButton1->downButton()->click(); }
};

}  // namespace

TEST_F(EditingTest, SlideNumberKeepsOnlyNumbers) {
  openNumberMode(2);
  clickRow(1);
  QLineEdit* box = w().TextBox10;
  QTest::keyClicks(box, "7");
  EXPECT_EQ(w().listText(1, 4), "7");
  QTest::keyClicks(box, "a");  // 7a is written, then the box reverts to 7, which is written
  EXPECT_EQ(box->text(), "7");
  EXPECT_EQ(w().listText(1, 4), "7");
  EXPECT_EQ(w().lastSlideNumberText(), "7");

  box->clear();  // a user clearing the box
  EXPECT_EQ(w().listText(1, 4), "");
  QTest::keyClicks(box, " ");  // a blank disappears at once
  EXPECT_EQ(box->text(), "");
  EXPECT_EQ(w().listText(1, 4), "");
  QTest::keyClicks(box, "-");  // a lone sign is not numeric
  EXPECT_EQ(box->text(), "");
  EXPECT_EQ(w().listText(1, 4), "");
  box->insert("-3.5");  // a whole negative number, pasted, passes
  EXPECT_EQ(w().listText(1, 4), "-3.5");
  QTest::keyClicks(box, "1");
  EXPECT_EQ(w().listText(1, 4), "-3.51");
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClick(box, Qt::Key_Backspace);
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(box->text(), "-3");
  EXPECT_EQ(w().listText(1, 4), "-3");
  EXPECT_EQ(w().listText(0, 4), "");  // only the selected row
}

TEST_F(EditingTest, SlideNumberRevertsToTheTextAtTheLastKeyPress) {
  openNumberMode(2);
  clickRow(0);
  QLineEdit* box = w().TextBox10;
  QTest::keyClicks(box, "12");
  box->setSelection(0, 2);
  box->insert("x");  // not a key press: the last key-press text was "1"
  EXPECT_EQ(box->text(), "1");
  EXPECT_EQ(w().listText(0, 4), "1");
}

TEST_F(EditingTest, NoSelectedRowMeansNoWrite) {
  openNumberMode(2);
  w().setListIndex(-1);
  QTest::keyClicks(w().TextBox10, "5");
  w().SonicClick21->click();
  EXPECT_EQ(column(4), QStringList({"", ""}));
  EXPECT_EQ(column(2), QStringList({"Y", "Y"}));
}

TEST_F(EditingTest, SlideTitleIsStoredExactlyAsTyped) {
  open(chartsWorkbook(2));
  activate();
  clickRow(0);
  QTest::keyClicks(w().TextBox1, "  Q1 revenue ");
  EXPECT_EQ(w().listText(0, 5), "  Q1 revenue ");
  clickRow(1);
  EXPECT_EQ(w().TextBox1->toPlainText(), "");
  clickRow(0);
  EXPECT_EQ(w().TextBox1->toPlainText(), "  Q1 revenue ");
}

TEST_F(EditingTest, IncludeToggleAndToggleAll) {
  open(chartsWorkbook(3));
  clickRow(1);
  w().SonicClick21->click();
  EXPECT_EQ(column(2), QStringList({"Y", "N", "Y"}));
  // Row 0 holds Y: every row becomes N, whatever it held.
  w().SonicClick20->click();
  EXPECT_EQ(column(2), QStringList({"N", "N", "N"}));
  w().SonicClick21->click();
  EXPECT_EQ(column(2), QStringList({"N", "Y", "N"}));
  w().SonicClick20->click();
  EXPECT_EQ(column(2), QStringList({"Y", "Y", "Y"}));
  w().setListText(0, 2, "y");  // neither Y nor N (case counts): nothing changes
  w().SonicClick20->click();
  EXPECT_EQ(column(2), QStringList({"y", "Y", "Y"}));
}

TEST_F(EditingTest, MoveUpSwapsObjectsNotNumeratorsWithoutRunningTheSelectionHandler) {
  open(chartsWorkbook(5));
  clickRow(3);
  const int calls = f.office.log.calls().size();
  w().setListText(3, 5, "Moved title");
  moveUp();
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 2", "Chart 4", "Chart 3", "Chart 5"}));
  EXPECT_EQ(column(3), QStringList({"1", "2", "3", "4", "5"}));
  EXPECT_EQ(w().listText(2, 5), "Moved title");
  EXPECT_EQ(w().listIndex(), 2);
  EXPECT_TRUE(w().listCharts->topLevelItem(2)->isSelected());
  EXPECT_FALSE(w().listCharts->topLevelItem(3)->isSelected());
  EXPECT_EQ(f.office.log.calls().size(), calls);  // no copy: the handler stood still
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    4 of 5");
  EXPECT_FALSE(w().rowMoving());
  // "By Numerator" again keeps the order and the edits: the table copy follows the list.
  w().ComboChtSort->setCurrentIndex(1);
  w().ComboChtSort->setCurrentIndex(2);
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 2", "Chart 4", "Chart 3", "Chart 5"}));
  EXPECT_EQ(w().listText(2, 5), "Moved title");
}

TEST_F(EditingTest, MoveDownAndTheEnds) {
  open(chartsWorkbook(3));
  clickRow(2);
  moveDown();  // the bottom row stays
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 2", "Chart 3"}));
  clickRow(0);
  moveUp();  // the top row stays
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 2", "Chart 3"}));
  // ...but the list was still copied into the table copy, edits included.
  w().setListText(0, 2, "N");
  moveUp();
  EXPECT_EQ(w().tableCopy().at(3, 1).toText(), "N");
  moveDown();
  EXPECT_EQ(column(0), QStringList({"Chart 2", "Chart 1", "Chart 3"}));
  EXPECT_EQ(column(2), QStringList({"Y", "N", "Y"}));
  EXPECT_EQ(w().listIndex(), 1);
  moveDown();
  EXPECT_EQ(column(0), QStringList({"Chart 2", "Chart 3", "Chart 1"}));
}

// The spin button takes the focus as one control; its Up and Down keys move the row.
TEST_F(EditingTest, SpinButtonKeysMoveTheSelectedRow) {
  open(chartsWorkbook(3));
  activate();
  clickRow(1);
  w().SpinButton1->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), w().SpinButton1);
  QTest::keyClick(w().SpinButton1, Qt::Key_Up);
  EXPECT_EQ(column(0), QStringList({"Chart 2", "Chart 1", "Chart 3"}));
  QTest::keyClick(w().SpinButton1, Qt::Key_Down);
  QTest::keyClick(w().SpinButton1, Qt::Key_Down);
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Chart 3", "Chart 2"}));
  EXPECT_EQ(QApplication::focusWidget(), w().SpinButton1);
}

TEST_F(EditingTest, MovesNeedTheNumeratorOrder) {
  open(chartsWorkbook(3));
  w().ComboChtSort->setCurrentIndex(1);  // By Sheet
  clickRow(1);
  const QStringList before = column(0);
  moveDown();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt,
            "Moving objects in list is only allowed  when Pasting Order is in Numerator mode");
  EXPECT_EQ(f.messages.shown[0].style,
            morvane::startup::vbOKOnly + morvane::startup::vbExclamation);
  EXPECT_EQ(f.messages.shown[0].title, "Morvane©");
  EXPECT_EQ(column(0), before);
  EXPECT_FALSE(f.tool.ended());
}

// The copy-back after a move keeps the table's numerators as numbers, so numerator 10 stays
// after 9 when the order is chosen again (copying the list's texts would put it after 1).
TEST_F(EditingTest, NumeratorOrderSurvivesAMoveWithTenObjects) {
  open(chartsWorkbook(10));
  clickRow(4);
  moveUp();
  const QStringList afterMove = column(0);
  EXPECT_EQ(afterMove.mid(3, 2), QStringList({"Chart 5", "Chart 4"}));
  EXPECT_TRUE(w().tableCopy().at(4, 10).isNumber());
  w().ComboChtSort->setCurrentIndex(0);
  w().ComboChtSort->setCurrentIndex(2);
  EXPECT_EQ(column(0), afterMove);
  EXPECT_EQ(column(3), QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
}
