// The two list modes, the selection walk, the paste format and the paste-as buttons.
#include "mainwindow_fixture.h"

#include "mainwindow/column_widths.h"

#include <QHeaderView>

using namespace morvane;

using namespace mwtest;
using mainwindow::UserFormObj;

namespace {

class ModesTest : public MainWindowTest {
 protected:
  std::vector<int> shownWidths() {
    std::vector<int> out;
    for (int c = 0; c < 8; ++c)
      out.push_back(w().listCharts->isColumnHidden(c) ? 0 : w().listCharts->columnWidth(c));
    return out;
  }
  std::vector<int> cm(std::initializer_list<double> widths) {
    std::vector<int> out;
    for (double c : widths) out.push_back(mainwindow::cmToPixels(c, w().logicalDpiX()));
    return out;
  }
  QColor background(QWidget* widget) { return widget->palette().color(QPalette::Window); }
  // The charts whose selection handler ran since log entry `from`, in order (a copy at
  // version 16 activates its chart twice).
  QStringList copiedCharts(int from) {
    QStringList activations;
    for (const QString& c : f.office.log.calls().mid(from))
      if (c.startsWith("ChartObject(") && c.endsWith(").Activate")) activations << c.mid(12, c.size() - 22);
    QStringList runs;
    for (int i = 0; i < activations.size(); i += 2) runs << activations[i];
    return runs;
  }
};

}  // namespace

TEST_F(ModesTest, SwitchingLayoutsChangesColumnsHeadersVisibilityAndColours) {
  open(chartsWorkbook(3));
  activate();
  UserFormObj& window = w();
  EXPECT_EQ(shownWidths(), cm({3, 4, 1, 0.9, 0, 5.5, 1.5, 0}));
  EXPECT_EQ(UserFormObj::caption(window.Label14), "Nume-\rrator");
  EXPECT_EQ(UserFormObj::caption(window.Label12), "Slide title");
  EXPECT_TRUE(window.Label21->isVisible());
  EXPECT_FALSE(window.Label27->isVisible());
  EXPECT_TRUE(window.TextBox1->isVisible() && window.Label11->isVisible());
  EXPECT_FALSE(window.TextBox10->isVisible() || window.Label26->isVisible());
  const QColor titleColour = background(window.listCharts);
  const QStringList before = column(0) + column(3) + column(5);

  clickOption(window.OptionButton8);
  ASSERT_TRUE(window.isNumberMode());
  EXPECT_EQ(shownWidths(), cm({3, 4, 1, 0, 1, 0, 1.5, 0}));
  EXPECT_EQ(UserFormObj::caption(window.Label14), "Slide\rNb");
  EXPECT_EQ(window.Label14->text(), "Slide\nNb");
  EXPECT_EQ(UserFormObj::caption(window.Label12), "");
  EXPECT_FALSE(window.Label21->isVisible());
  EXPECT_TRUE(window.Label27->isVisible());
  EXPECT_FALSE(window.TextBox1->isVisible() || window.Label11->isVisible());
  EXPECT_TRUE(window.TextBox10->isVisible() && window.Label26->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), window.TextBox10);
  const QColor numberColour = background(window.listCharts);
  // Two clearly different backgrounds, the same on every control the mode colours.
  const int distance = std::abs(titleColour.red() - numberColour.red()) +
                       std::abs(titleColour.green() - numberColour.green()) +
                       std::abs(titleColour.blue() - numberColour.blue());
  EXPECT_GT(distance, 60);
  for (QWidget* c : {static_cast<QWidget*>(window.OptionButton6), static_cast<QWidget*>(window.OptionButton8),
                     static_cast<QWidget*>(window.Frame1), static_cast<QWidget*>(window.ComboChtSort),
                     static_cast<QWidget*>(window.ComboBox1), static_cast<QWidget*>(window.Frame3)})
    EXPECT_EQ(background(c), numberColour) << c->objectName().toStdString();
  EXPECT_EQ(column(0) + column(3) + column(5), before);  // values kept

  clickOption(window.OptionButton6);
  EXPECT_EQ(shownWidths(), cm({3, 4, 1, 0.9, 0, 5.5, 1.5, 0}));
  EXPECT_EQ(background(window.Frame3), titleColour);
  EXPECT_EQ(QApplication::focusWidget(), window.TextBox1);
}

TEST_F(ModesTest, SwitchingModeWalksTheSelectionBackToTheTopRow) {
  open(chartsWorkbook(3));
  int from = f.office.log.calls().size();
  clickOption(w().OptionButton8);
  EXPECT_EQ(copiedCharts(from), QStringList({"Chart 3", "Chart 2", "Chart 1"}));
  EXPECT_EQ(w().listIndex(), 0);
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    1 of 3");

  // Row 2 already selected: selecting it again runs nothing; then rows 1 and 0.
  clickRow(2);
  from = f.office.log.calls().size();
  clickOption(w().OptionButton6);
  EXPECT_EQ(copiedCharts(from), QStringList({"Chart 2", "Chart 1"}));
}

TEST_F(ModesTest, WalkStopsAtFourRowsWithTenObjects) {
  open(chartsWorkbook(10));
  const int from = f.office.log.calls().size();
  clickOption(w().OptionButton8);
  EXPECT_EQ(copiedCharts(from), QStringList({"Chart 4", "Chart 3", "Chart 2", "Chart 1"}));
  EXPECT_EQ(f.office.log.callsStartingWith("Application.WorksheetFunction.Min").size(), 1);
}

TEST_F(ModesTest, PasteFormatRebuildsThePreviewAndFocusesTheModesBox) {
  open(chartsWorkbook(2));
  activate();
  clickRow(1);
  ASSERT_NE(w().previewPicture(), nullptr);  // the double's chart copy offers a bitmap
  const int from = f.office.log.calls().size();
  w().ComboBox1->setCurrentIndex(w().ComboBox1->findText("Enhanced Metafile"));
  EXPECT_EQ(w().pasteFormat(), "Enhanced Metafile");
  EXPECT_GE(f.office.log.indexOf("Chart(Chart 2).ChartArea.Copy", from), 0);
  // The double offers no metafile for a chart copy, so the metafile preview is empty.
  EXPECT_EQ(w().previewPicture(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), w().TextBox1);
}

TEST_F(ModesTest, PasteAsButtonsWriteTheSelectedRowOnly) {
  open(chartsWorkbook(2));
  clickOption(w().OptionButton2);  // no row selected: nothing to write
  EXPECT_EQ(column(6), QStringList({"Picture", "Picture"}));
  clickRow(1);
  EXPECT_TRUE(w().OptionButton1->isChecked());
  w().OptionButton2->click();
  EXPECT_EQ(column(6), QStringList({"Picture", "Excel object"}));
  EXPECT_EQ(w().tableCopy().at(7, 2).toText(), "Picture");  // the table copy is not written
  clickRow(0);  // "Picture" selects OptionButton1 again
  EXPECT_TRUE(w().OptionButton1->isChecked());
  clickRow(1);
  EXPECT_TRUE(w().OptionButton2->isChecked());
  w().OptionButton1->click();
  EXPECT_EQ(column(6), QStringList({"Picture", "Picture"}));
}
