// Set-up: its order, the steps that may fail, the status line and the mode cell.
#include "mainwindow_fixture.h"

#include <QComboBox>

using namespace morvane;

using namespace mwtest;
using office::Variant;

namespace {

class SetUpTest : public MainWindowTest {
 protected:
  // Opens the workbook, runs start-up's checks, then loads the window with the log cleared.
  void load(const WorkbookOutline& outline) {
    f.office.openWorkbook(outline);
    forms = std::make_unique<mainwindow::MainForms>(f.tool);
    ASSERT_TRUE(morvane::startup::PrepareWorkbook(f.tool));
    f.office.log.clear();
    forms->loadMainWindow();
  }
  Variant modeCell() { return f.office.sheet("kukukukuZichron")->cell(2, 20); }
  QString status() { return mainwindow::UserFormObj::caption(w().Label19); }
};

}  // namespace

TEST_F(SetUpTest, ProbesThePresentationThenWritesStatusThenModeThenLoadsTheList) {
  f.office.openPresentation(2, "Quarterly.pptx");
  load(chartsWorkbook(2));
  const auto& log = f.office.log;
  const int attach = log.indexOf("GetObject(PowerPoint.Application)");
  const int windows = log.indexOf("Windows.Count");
  const int presName = log.indexOf("Presentation.Name");
  const int bookName = log.indexOf("Workbook.Name");
  const int modeWrite = log.indexOf("Range(kukukukuZichron!$T$2).Value=True");
  const int scan = log.indexOf("Workbook.Sheets", modeWrite);
  const int copy = log.indexOf("Chart(Chart 1).ChartArea.Copy");
  ASSERT_GE(attach, 0);
  EXPECT_LT(attach, windows);
  EXPECT_LT(windows, presName);
  EXPECT_LT(presName, bookName);
  EXPECT_LT(bookName, modeWrite);
  EXPECT_LT(modeWrite, scan);
  EXPECT_LT(scan, copy);
  EXPECT_EQ(status(), "Active XLS file: Book1.xlsx\rActive PPT file: Quarterly.pptx");
  EXPECT_EQ(w().Label19->text(), "Active XLS file: Book1.xlsx\nActive PPT file: Quarterly.pptx");
  EXPECT_EQ(modeCell(), Variant(true));
  EXPECT_TRUE(w().isTitleMode());
  EXPECT_EQ(w().focusWidget(), w().TextBox1);
  EXPECT_TRUE(w().setupFinished());
  EXPECT_EQ(w().ComboChtSort->currentText(), "By Numerator");
  EXPECT_EQ(w().ComboBox1->currentText(), "Bitmap");
}

TEST_F(SetUpTest, PresentationProgramNotRunningOrWithoutWindow) {
  const QString none = "Active XLS file: Book1.xlsx\rActive PPT file: No Active presentation is running";
  f.office.powerPointRunning = false;
  load(chartsWorkbook(1));
  EXPECT_EQ(status(), none);

  forms->unloadMainWindow();
  f.office.powerPointRunning = true;  // running, but no presentation window open
  forms->loadMainWindow();
  EXPECT_EQ(status(), none);

  forms->unloadMainWindow();
  f.office.openPresentation(1);
  f.office.log.failOn("Windows.Count");  // an unreadable window count: not running
  forms->loadMainWindow();
  EXPECT_EQ(status(), none);
}

TEST_F(SetUpTest, FailingStatusStepsLeaveTheStatusUnwrittenAndGoOn) {
  f.office.openPresentation(1);
  f.office.log.failOn("Presentation.Name");
  load(chartsWorkbook(1));
  EXPECT_EQ(status(), "");
  EXPECT_EQ(modeCell(), Variant(true));  // the next step still ran
  EXPECT_EQ(w().listCount(), 1);

  forms->unloadMainWindow();
  f.office.log.failOn("Workbook.Name");
  forms->loadMainWindow();
  EXPECT_EQ(status(), "");
  EXPECT_EQ(w().listCount(), 1);
}

TEST_F(SetUpTest, FailingModeCellWriteAppliesNeitherLayout) {
  f.office.log.failOn("Range(kukukukuZichron!$T$2).Value=True");
  load(chartsWorkbook(2));
  EXPECT_TRUE(modeCell().isEmpty());
  EXPECT_EQ(mainwindow::UserFormObj::caption(w().Label14), "");  // no layout set its header
  EXPECT_EQ(w().listCount(), 2);  // the list still loads
  EXPECT_EQ(w().windowTitle(), "Morvane© Central");
}

TEST_F(SetUpTest, ModeCellFalseOpensInSlideNumberModeThroughTheButtonsHandler) {
  load(withModeCell(chartsWorkbook(2), Variant(false)));
  EXPECT_EQ(modeCell(), Variant(false));
  EXPECT_TRUE(w().isNumberMode());
  EXPECT_FALSE(w().isTitleMode());
  EXPECT_EQ(mainwindow::UserFormObj::caption(w().Label14), "Slide\rNb");
  EXPECT_EQ(w().focusWidget(), w().TextBox10);
  // Selecting the button ran its click handler, whose walk asked the spreadsheet for Min.
  EXPECT_EQ(f.office.log.count("Application.WorksheetFunction.Min"), 1);
}

TEST_F(SetUpTest, ModeCellTrueSelectsNothingNewAndAnyOtherValueNeitherLayout) {
  load(withModeCell(chartsWorkbook(1), Variant(true)));
  EXPECT_TRUE(w().isTitleMode());
  // OptionButton6 was already selected in the design: its handler did not run.
  EXPECT_EQ(f.office.log.count("Application.WorksheetFunction.Min"), 0);
  EXPECT_EQ(mainwindow::UserFormObj::caption(w().Label14), "Nume-\rrator");

  forms->unloadMainWindow();
  f.office.sheet("kukukukuZichron")->cells[{2, 20}] = Variant("yes");
  forms->loadMainWindow();
  EXPECT_EQ(mainwindow::UserFormObj::caption(w().Label14), "");
  EXPECT_EQ(modeCell(), Variant("yes"));  // not empty: left alone
}

TEST_F(SetUpTest, FailingModeStepIsSkippedAndTheNextStillRuns) {
  // Step 11 cannot read the cell; step 12 reads FALSE and applies its layout.
  auto outline = withModeCell(chartsWorkbook(2), Variant(false));
  f.office.openWorkbook(outline);
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  ASSERT_TRUE(morvane::startup::PrepareWorkbook(f.tool));
  f.office.log.failOn("Sheet(kukukukuZichron).Cells(2,20)", 2);  // the read of step 11
  forms->loadMainWindow();
  EXPECT_TRUE(w().isNumberMode());
  EXPECT_EQ(mainwindow::UserFormObj::caption(w().Label14), "Slide\rNb");
}

TEST_F(SetUpTest, ScanFailureEndsLoadingAndTheToolThroughTheGuard) {
  f.office.openWorkbook(chartsWorkbook(1));
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  // The scan's first look at the registry's A1 fails: set-up does not catch it.
  f.office.log.failOn("Sheet(kukukukuZichron).Range(A1)");
  forms->runUserCommand([this] { morvane::startup::StartTool(f.tool); });
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.contains("failed"));
  EXPECT_EQ(f.messages.shown[0].title, "Morvane©");
  EXPECT_EQ(forms->mainWindow(), nullptr);
  EXPECT_GE(f.office.log.indexOf("SaveAfterCommand"), 0);
  EXPECT_TRUE(f.tool.ended());
}
