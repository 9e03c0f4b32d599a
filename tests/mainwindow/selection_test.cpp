// The selection handler: the copies by kind, version and format, the counter, the state it
// records, the editing controls it loads, and failures reaching the code that set the row.
#include "mainwindow_fixture.h"

#include "office/automation_error.h"

using namespace morvane;

using namespace mwtest;
using mainwindow::UserFormObj;

namespace {

class SelectionTest : public MainWindowTest {
 protected:
  // Data: Chart 1 and Chart 2; Sheet2 with the range "Area"; the chart sheet "Graph".
  WorkbookOutline mixed() {
    WorkbookOutline outline;
    outline.sheets.push_back(worksheet("Data", {"a", "b"}));
    outline.sheets.push_back(worksheet("Sheet2"));
    outline.sheets.push_back(chartSheet("Graph"));
    outline.names.push_back(NameOutline{"Area", "Sheet2!$A$1:$B$3", false, {}});
    return outline;
  }
  int rowOf(const QString& name) {
    for (int r = 0; r < w().listCount(); ++r)
      if (w().listText(r, 0) == name) return r;
    return -1;
  }
  // The calls the selection of `name` makes, with `format` chosen beforehand.
  QStringList selectionCalls(const QString& name, const QString& format) {
    w().setPasteFormat(format);
    w().setListIndex(-1);
    const int from = f.office.log.calls().size();
    w().setListIndex(rowOf(name));
    return f.office.log.calls().mid(from);
  }
};

}  // namespace

TEST_F(SelectionTest, EmbeddedChartAtVersion16CopiesTheChartAreaTwiceWhateverTheFormat) {
  open(mixed());
  const QStringList expected = {"Workbook.Worksheets(Data)", "Sheet(Data).ChartObjects(Chart 2)",
                                "ChartObject(Chart 2).Activate", "Workbook.Application",
                                "Application.ActiveChart", "Chart(Chart 2).ChartArea.Copy",
                                "Workbook.ActiveSheet", "Sheet(Data).ChartObjects(Chart 2)",
                                "ChartObject(Chart 2).Activate", "Workbook.ActiveChart",
                                "Chart(Chart 2).ChartArea.Copy", "Workbook.Application",
                                "Application.ActiveWindow.Visible=False"};
  EXPECT_EQ(selectionCalls("Chart 2", "Bitmap"), expected);
  EXPECT_NE(w().previewPicture(), nullptr);  // preview code 2: the bitmap
  EXPECT_EQ(selectionCalls("Chart 2", "Enhanced Metafile"), expected);
  EXPECT_EQ(w().previewPicture(), nullptr);  // preview code -4147: the double offers no EMF
  EXPECT_EQ(w().selectedKind(), mainwindow::kEmbeddedChart);
  EXPECT_FALSE(f.office.excel->activeWindowVisible);
}

TEST_F(SelectionTest, EmbeddedChartAtVersion11CopiesAPictureInThePasteFormat) {
  f.office.excel->version = "11.0";
  open(mixed());
  const QStringList head = {"Workbook.Worksheets(Data)", "Sheet(Data).ChartObjects(Chart 1)",
                            "ChartObject(Chart 1).Activate", "Workbook.Application",
                            "Application.ActiveChart", "Chart(Chart 1).ChartArea.Copy",
                            "Workbook.Application", "Application.ActiveChart"};
  const QStringList tail = {"Workbook.Application", "Application.ActiveWindow.Visible=False"};
  EXPECT_EQ(selectionCalls("Chart 1", "Enhanced Metafile"),
            head + QStringList{"Chart(Chart 1).CopyPicture(1,1,-4147)"} + tail);
  EXPECT_EQ(selectionCalls("Chart 1", "Bitmap"), head + QStringList{"Chart(Chart 1).CopyPicture(1,1,2)"} + tail);
  EXPECT_NE(w().previewPicture(), nullptr);
}

TEST_F(SelectionTest, ChartSheetCopiesItsChartAreaAndPreviewsAsAMetafile) {
  open(mixed());
  EXPECT_EQ(selectionCalls("{Chart Sheet}", "Bitmap"),
            QStringList({"Workbook.Charts(Graph)", "Chart(Graph).ChartArea.Copy"}));
  EXPECT_EQ(w().selectedKind(), mainwindow::kChartSheet);
  EXPECT_EQ(w().selectedSheet(), "Graph");
  // The chart-area copy offers a bitmap, but a chart sheet always asks for the metafile.
  EXPECT_EQ(w().previewPicture(), nullptr);
}

TEST_F(SelectionTest, NamedRangeCopiesAPictureOfItsRangeOnItsOwnSheet) {
  open(mixed());
  const int row = rowOf("Area");
  w().setListText(row, 1, "Elsewhere");  // the sheet column is not what is used
  const QStringList calls = selectionCalls("Area", "Bitmap");
  EXPECT_EQ(calls.first(), "Workbook.Names(Area)");
  EXPECT_TRUE(calls.contains("Name(Area).RefersToRange"));
  EXPECT_TRUE(calls.contains("Workbook.Worksheets(Sheet2)"));
  EXPECT_TRUE(calls.contains("Application.Worksheets(Sheet2)"));
  EXPECT_EQ(calls.last(), "Range(Sheet2!$A$1:$B$3).CopyPicture(1,2)");
  EXPECT_EQ(w().selectedSheet(), "Sheet2");
  EXPECT_EQ(w().selectedName(), "Area");
  EXPECT_EQ(w().selectedKind(), mainwindow::kNamedRange);
  EXPECT_NE(w().previewPicture(), nullptr);
  EXPECT_EQ(selectionCalls("Area", "Enhanced Metafile").last(), "Range(Sheet2!$A$1:$B$3).CopyPicture(1,-4147)");
  EXPECT_EQ(f.office.log.count("Application.ActiveWindow.Visible"), 1);  // the load's Chart 1 only
}

// The batch's SVG override: pictures are copied in SVG whatever the window's format, which
// the window keeps, and the preview still follows the window's format.
TEST_F(SelectionTest, TheSvgOverrideCopiesInSvgAndLeavesTheWindowsFormatAndPreview) {
  f.office.excel->version = "11.0";
  open(mixed());
  f.tool.pictureOverride = startup::PictureOverride::Svg;
  for (const QString format : {mainwindow::kBitmap, mainwindow::kEnhancedMetafile}) {
    SCOPED_TRACE(format.toStdString());
    EXPECT_EQ(selectionCalls("Area", format).last(), "Range(Sheet2!$A$1:$B$3).CopyPicture(1,100)");
    EXPECT_TRUE(selectionCalls("Chart 1", format).contains("Chart(Chart 1).CopyPicture(1,1,100)"));
    EXPECT_EQ(w().pasteFormat(), format);
    // The SVG copy's bitmap fallback serves the bitmap preview; there is no metafile.
    EXPECT_EQ(w().previewPicture() != nullptr, format == mainwindow::kBitmap);
  }
}

TEST_F(SelectionTest, CounterCaptionNamesThePositionAndTheRowCount) {
  open(chartsWorkbook(5));
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    1 of 5");  // from the load's selection
  clickRow(3);
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    4 of 5");
  EXPECT_EQ(w().selectedName(), "Chart 4");
  clickRow(0);
  EXPECT_EQ(UserFormObj::caption(w().lblChtDisplayCnt), "Objects:    1 of 5");
}

TEST_F(SelectionTest, NoSelectionLeavesEverythingAsItWas) {
  open(chartsWorkbook(2));
  clickRow(1);
  const int calls = f.office.log.calls().size();
  const auto* picture = w().previewPicture();
  w().setListIndex(-1);
  w().listCharts_Change();  // called by other code with no row selected
  EXPECT_EQ(f.office.log.calls().size(), calls);
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    2 of 2");
  EXPECT_EQ(w().previewPicture(), picture);
  EXPECT_EQ(w().selectedName(), "Chart 2");
}

TEST_F(SelectionTest, LoadsTheRowsTitleNumberAndPasteAsIntoTheControls) {
  open(withModeCell(chartsWorkbook(3), office::Variant(false)));
  activate();
  w().setListText(1, 4, "12");
  w().setListText(1, 5, "  Sales");
  w().setListText(1, 6, "Excel object");
  w().setListText(2, 6, "Something else");
  clickRow(1);
  EXPECT_EQ(w().TextBox10->text(), "12");
  EXPECT_EQ(w().TextBox1->toPlainText(), "  Sales");
  EXPECT_TRUE(w().OptionButton2->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), w().TextBox10);
  clickRow(2);  // an unknown paste-as value changes neither button
  EXPECT_TRUE(w().OptionButton2->isChecked());
  EXPECT_EQ(w().listText(2, 6), "Something else");
  EXPECT_EQ(w().TextBox10->text(), "");
}

// Arrow keys move through the list and leave the focus there while each row still runs the
// handler; a click still hands the focus to the mode's edit box.
class ListKeysTest : public SelectionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ListKeysTest, ArrowKeysKeepTheFocusInTheListAClickMovesItToTheEditBox) {
  const bool titleMode = GetParam();
  open(withModeCell(chartsWorkbook(3), office::Variant(titleMode)));
  activate();
  QWidget* box = titleMode ? static_cast<QWidget*>(w().TextBox1) : w().TextBox10;
  w().setListText(1, 5, "Second");
  clickRow(0);
  EXPECT_EQ(QApplication::focusWidget(), box);
  w().listCharts->setFocus();
  QTest::keyClick(w().listCharts, Qt::Key_Down);
  EXPECT_EQ(w().lblChtDisplayCnt->text(), "Objects:    2 of 3");
  EXPECT_EQ(w().selectedName(), "Chart 2");
  EXPECT_EQ(w().TextBox1->toPlainText(), "Second");
  EXPECT_EQ(QApplication::focusWidget(), w().listCharts);
  QTest::keyClick(w().listCharts, Qt::Key_End);
  EXPECT_EQ(w().selectedName(), "Chart 3");
  EXPECT_EQ(QApplication::focusWidget(), w().listCharts);
  clickRow(0);
  EXPECT_EQ(QApplication::focusWidget(), box);
}

INSTANTIATE_TEST_SUITE_P(BothModes, ListKeysTest, ::testing::Bool());

TEST_F(SelectionTest, ChartPrefixedDefinedNameIsTakenForAnEmbeddedChart) {
  WorkbookOutline outline = chartsWorkbook(1);
  outline.names.push_back(NameOutline{"Chart Data", "Data!$A$1:$B$2", false, {}});
  open(outline);
  const int row = [&] {
    for (int r = 0; r < w().listCount(); ++r)
      if (w().listText(r, 0) == "Chart Data") return r;
    return -1;
  }();
  ASSERT_GE(row, 0);
  const int from = f.office.log.calls().size();
  // The worksheet has no chart object of that name: the failure reaches the code that set
  // the row, nested in the assignment.
  EXPECT_THROW(w().setListIndex(row), office::AutomationError);
  EXPECT_EQ(f.office.log.calls().mid(from).mid(0, 2),
            QStringList({"Workbook.Worksheets(Data)", "Sheet(Data).ChartObjects(Chart Data)"}));
  EXPECT_EQ(f.office.log.indexOf("Name(Chart Data).RefersToRange", from), -1);
}

TEST_F(SelectionTest, UserSelectingADeletedObjectShowsTheErrorSavesAndEndsTheTool) {
  open(chartsWorkbook(2));
  const office::AutomationError error = office::AutomationError::methodFailed("Copy", "ChartArea");
  f.office.log.failOn("Chart(Chart 2).ChartArea.Copy", 1, error);
  std::vector<QString> logAtMessage;
  f.messages.onShow = [&](const fake::ShownMessage&) {
    logAtMessage.push_back(f.office.log.calls().join('\n'));
  };
  QPointer<UserFormObj> window = &w();
  clickRow(1);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  const auto& shown = f.messages.shown[0];
  EXPECT_EQ(shown.prompt, error.userText());
  EXPECT_EQ(shown.title, "Morvane©");
  // The message came before the presentation was saved; the tool ended after both.
  EXPECT_FALSE(logAtMessage[0].contains("SaveAfterCommand"));
  EXPECT_GE(f.office.log.indexOf("SaveAfterCommand"), 0);
  EXPECT_TRUE(f.tool.ended());
  EXPECT_EQ(forms->mainWindow(), nullptr);
  ASSERT_FALSE(window.isNull());  // hidden, deleted only once back in the event loop
  EXPECT_FALSE(window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}
