// The two paste runs the dialog's OK starts: order of steps, progress reporting, the steps
// run with errors ignored, failures that end a run, and the Excel-object copy.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMimeData>

#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"
#include "paste_fixture.h"

using namespace morvane;

using morvane::startup::vbCritical;
using paste::Progress;
using pastetest::PasteTest;

namespace {

class TitleRunTest : public PasteTest {
 protected:
  // Records, in the call log, each row selection with the progress window's state then.
  void watchSelections() {
    window->onSelect = [this](int row) {
      const Progress* p = commands.progress();
      f.office.log.call(QStringLiteral("List.Select(%1) %2 %3")
                            .arg(row)
                            .arg(p ? Progress::caption(p->Label2) : QString("-"))
                            .arg(p ? Progress::caption(p->Label1) : QString("-")));
    };
  }
};

}  // namespace

TEST_F(TitleRunTest, PastesIncludedRowsOntoNewTitledSlides) {
  addRow("Chart 1", "Data", "Y", "", "First");
  addRow("Chart 2", "Data", "N", "", "Skipped");
  addRow("{Chart Sheet}", "Graph", "Y", "", "");
  addRow("Sales", "Data", "Y", "", "Third");
  pasteToPowerPoint();
  QPointer<paste::Dialog> dialog = commands.dialog();
  clickOk();

  ASSERT_EQ(slideCount(), 6);
  const QString titles[] = {"First", "", "Third"};
  const QString sources[] = {"chart|Data|Chart 1|bitmap", "chartsheet|Graph|Graph|all", "range|Data|$A$1:$B$3|bitmap"};
  for (int k = 0; k < 3; ++k) {
    const auto s = slide(4 + k);
    EXPECT_EQ(s->layout, ppt::ppLayoutTitleOnly);
    ASSERT_EQ(s->shapes.size(), 2u) << k;
    EXPECT_EQ(s->shapes[0]->kind, fake::ShapeState::Kind::Picture);
    EXPECT_EQ(s->shapes[0]->source, sources[k]);
    EXPECT_FLOAT_EQ(s->shapes[0]->left, 20);
    EXPECT_FLOAT_EQ(s->shapes[0]->top, 120);
    EXPECT_EQ(s->shapes[1]->kind, fake::ShapeState::Kind::Title);
    EXPECT_EQ(s->shapes[1]->text, titles[k]);
  }
  EXPECT_EQ(log().callsStartingWith("Slides.Add"), QStringList({"Slides.Add(4,12)", "Slides.Add(5,12)", "Slides.Add(6,12)"}));
  EXPECT_EQ(log().count("View.PasteSpecial(1,0,\"\",0,\"\",0)"), 3);
  EXPECT_EQ(log().count("Shapes.AddLabel"), 0);  // not ticked
  EXPECT_EQ(f.desktop.yields, 3);
  EXPECT_EQ(f.desktop.sleeps, std::vector<int>{100});
  EXPECT_EQ(window->currentRow(), 3);
  EXPECT_EQ(window->listIndex(), 3);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(!dialog || dialog->isUnloaded());
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_FALSE(f.tool.ended());

  Progress* p = commands.progress();
  ASSERT_TRUE(p);
  EXPECT_TRUE(p->isVisible());
  EXPECT_EQ(Progress::caption(p->Label1), "3 Object(s) out of 3");
  EXPECT_EQ(Progress::caption(p->Label2), "D O N E !");
  EXPECT_FLOAT_EQ(p->barWidth(), 180);
  EXPECT_FLOAT_EQ(p->overlayWidth(), 120);
  EXPECT_FALSE(p->Label3->isVisible());
}

TEST_F(TitleRunTest, FinishedStateIsShownBeforeTheLastObjectIsPasted) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  watchSelections();
  pasteToPowerPoint();
  clickOk();
  const int first = log().indexOf("List.Select(0)");
  const int last = log().indexOf("List.Select(1)");
  ASSERT_GE(first, 0);
  ASSERT_GE(last, 0);
  EXPECT_EQ(log().calls()[first], "List.Select(0)  1 Object(s) out of 2");
  EXPECT_EQ(log().calls()[last], "List.Select(1) D O N E ! 2 Object(s) out of 2");
  EXPECT_LT(last, log().indexOf("View.PasteSpecial", log().indexOf("View.PasteSpecial") + 1));
}

TEST_F(TitleRunTest, LabelsEverySlideOnlyWhenTicked) {
  addRow("Chart 1", "Data");
  addRow("Sales", "Data");
  pasteToPowerPoint();
  clickOk(true);
  ASSERT_EQ(slideCount(), 5);
  EXPECT_EQ(slide(4)->shapes.back()->text, "/home/user/Book1.xlsx ,  Chart 1 ,  Data");
  EXPECT_EQ(slide(5)->shapes.back()->text, "/home/user/Book1.xlsx ,  Sales ,  Data");
  EXPECT_EQ(log().count("Shapes.AddLabel"), 2);
}

TEST_F(TitleRunTest, MetafileFormatPastesAsEnhancedMetafile) {
  addRow("Chart 1", "Data");
  window->format = "Enhanced Metafile";
  pasteToPowerPoint();
  clickOk();
  EXPECT_EQ(log().callsStartingWith("View.PasteSpecial"), QStringList{"View.PasteSpecial(2,0,\"\",0,\"\",0)"});
}

// The batch's SVG override pastes the SVG picture whatever the window's format.
TEST_F(TitleRunTest, TheSvgOverridePastesSvgWhateverTheFormat) {
  addRow("Chart 1", "Data");
  addRow("Sales", "Data");
  f.tool.pictureOverride = startup::PictureOverride::Svg;
  window->format = "Enhanced Metafile";
  pasteToPowerPoint();
  clickOk();
  EXPECT_EQ(log().count("View.PasteSpecial(100,0,\"\",0,\"\",0)"), 2);
  EXPECT_EQ(log().callsStartingWith("View.PasteSpecial").size(), 2);
  const auto& slides = f.office.powerPoint->presentation->slides;
  ASSERT_FALSE(slides.empty());
  EXPECT_TRUE(slides.back()->shapes.front()->source.endsWith("|svg"));
}

// The selection step runs with errors ignored: the run pastes whatever the clipboard holds.
TEST_F(TitleRunTest, FailedSelectionPastesWhatTheClipboardHolds) {
  addRow("Chart 1", "Data");
  addRow("Sales", "Data");
  f.office.log.failOn("Name(Sales).RefersToRange");
  pasteToPowerPoint();
  clickOk();
  EXPECT_TRUE(f.messages.shown.empty());
  ASSERT_EQ(slideCount(), 5);
  EXPECT_EQ(slide(5)->shapes[0]->source, "chart|Data|Chart 1|bitmap");
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(TitleRunTest, FailureEndsTheRunKeepingAndSavingWhatWasPasted) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  addRow("Chart 3", "Data");
  pasteToPowerPoint();
  f.office.log.failOn("View.PasteSpecial", 2);
  clickOk();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].style, vbCritical);
  EXPECT_TRUE(f.messages.shown[0].prompt.contains("PasteSpecial"));
  ASSERT_EQ(slideCount(), 5);  // the second slide was added before its paste failed
  EXPECT_EQ(slide(4)->shapes.size(), 2u);
  EXPECT_EQ(log().count("Slides.Add"), 2);  // the third row was never reached
  EXPECT_GE(f.office.powerPoint->saves, 1);
  EXPECT_EQ(f.office.commandSaves, 1);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(TitleRunTest, ExcelObjectsAreCopiedByTheSelectionHandlersKindRule) {
  addRow("{Chart Sheet}", "Graph", "Y", "", "", "Excel object");
  addRow("Chart 2", "Data", "Y", "", "", "Excel object");
  addRow("ChartData", "Data", "Y", "", "", "Excel object");  // a named range, not a chart
  pasteToPowerPoint();
  f.office.log.clear();
  clickOk();
  EXPECT_TRUE(f.messages.shown.empty()) << prompts().join("|").toStdString();
  ASSERT_EQ(slideCount(), 6);
  EXPECT_EQ(slide(4)->shapes[0]->source, "chartsheet|Graph|Graph|all");
  EXPECT_EQ(slide(5)->shapes[0]->source, "chart|Data|Chart 2|all");
  EXPECT_EQ(slide(6)->shapes[0]->source, "range|Data|$D$1:$E$4|all");
  EXPECT_EQ(log().count("Sheet(Data).ChartObjects(ChartData)"), 0);
  EXPECT_GE(log().indexOf("Sheet(Graph).Select"), 0);
  EXPECT_GE(log().indexOf("ChartObject(Chart 2).Activate"), 0);
  EXPECT_EQ(log().count("View.PasteSpecial(10,0,\"\",0,\"\",0)"), 3);
}

namespace {

class NumberRunTest : public PasteTest {
 protected:
  NumberRunTest() { window->titleMode = false; }
};

}  // namespace

TEST_F(NumberRunTest, PastesOntoTheNumberedSlidesInListOrder) {
  addRow("Chart 1", "Data", "Y", "3");
  addRow("Chart 2", "Data", "Y", "");   // no number: skipped, not counted
  addRow("Chart 3", "Data", "N", "2");  // excluded
  addRow("Sales", "Data", "Y", "1", "ignored title");
  addRow("{Chart Sheet}", "Graph", "Y", "3");
  window->show();
  pasteToPowerPoint();
  f.office.log.clear();  // the dialog looked through the slides for objects pasted before
  clickOk();
  EXPECT_TRUE(f.messages.shown.empty()) << prompts().join("|").toStdString();
  EXPECT_EQ(slideCount(), 3);
  EXPECT_EQ(log().count("Slides.Add"), 0);
  ASSERT_EQ(slide(3)->shapes.size(), 3u);  // two objects and the title, placed at one corner
  EXPECT_EQ(slide(3)->shapes[0]->source, "chart|Data|Chart 1|bitmap");
  EXPECT_EQ(slide(3)->shapes[2]->source, "chartsheet|Graph|Graph|all");
  EXPECT_FLOAT_EQ(slide(3)->shapes[2]->left, 20);
  EXPECT_EQ(slide(3)->layout, ppt::ppLayoutTitleOnly);
  EXPECT_EQ(slide(1)->shapes[0]->source, "range|Data|$A$1:$B$3|bitmap");
  EXPECT_EQ(slide(1)->shapes[1]->text, "");  // no title text in this mode
  EXPECT_TRUE(slide(2)->shapes.empty());
  EXPECT_LT(log().indexOf("Slides.Item(3)"), log().indexOf("Slides.Item(1)"));
  EXPECT_TRUE(window->isVisible());  // the main window stays
  EXPECT_EQ(f.desktop.yields, 3);
  EXPECT_EQ(f.desktop.sleeps, std::vector<int>{100});
  EXPECT_EQ(Progress::caption(commands.progress()->Label1), "3 Object(s) out of 3");
  EXPECT_EQ(Progress::caption(commands.progress()->Label2), "D O N E !");
  EXPECT_EQ(f.office.powerPoint->saves, 1);
}

TEST_F(NumberRunTest, CheckBoxIsReadAgainForEveryRow) {
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "2");
  pasteToPowerPoint();
  QPointer<paste::Dialog> dialog = commands.dialog();
  f.desktop.onYield = [&] {
    if (dialog) dialog->Check1->setChecked(true);  // ticked while the first object is under way
  };
  clickOk(false);
  EXPECT_EQ(log().count("Shapes.AddLabel"), 1);
  EXPECT_EQ(slide(2)->shapes.back()->kind, fake::ShapeState::Kind::Label);
  EXPECT_NE(slide(1)->shapes.back()->kind, fake::ShapeState::Kind::Label);
}

TEST_F(NumberRunTest, ExcelObjectsAreAlwaysEmbeddedAndRangesCopiedWithoutSelectingTheSheet) {
  f.office.powerPoint->version = "12.0";
  addRow("Sales", "Data", "Y", "2", "", "Excel object");
  pasteToPowerPoint();
  f.office.log.clear();
  clickOk();
  EXPECT_EQ(log().callsStartingWith("View.PasteSpecial"), QStringList{"View.PasteSpecial(10,0,\"\",0,\"\",0)"});
  EXPECT_EQ(log().count("Sheet(Data).Select"), 0);
  EXPECT_GE(log().indexOf("Range(Data!$A$1:$B$3).Copy"), 0);
}

// Selecting the slide runs with errors ignored: the object lands on the slide shown, and the
// title step on the numbered slide, which holds no object, then ends the run.
TEST_F(NumberRunTest, FailedSlideSelectionPastesOntoTheShownSlide) {
  addRow("Chart 1", "Data", "Y", "3");
  pasteToPowerPoint();
  f.office.powerPoint->shownSlide = 2;
  f.office.log.failOn("Slides.Item(3)", 1);
  clickOk();
  ASSERT_FALSE(slide(2)->shapes.empty());
  EXPECT_EQ(slide(2)->shapes[0]->source, "chart|Data|Chart 1|bitmap");
  EXPECT_EQ(slide(3)->layout, ppt::ppLayoutTitleOnly);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.contains("'Item' of object 'Shapes'"));
  EXPECT_GE(f.office.powerPoint->saves, 1);
  EXPECT_TRUE(f.tool.ended());
}

// Paste Express releases the presentation program; OK on a dialog still open attaches again.
TEST_F(TitleRunTest, OkAfterPasteExpressStillPastes) {
  addRow("Chart 1", "Data");
  pasteToPowerPoint();
  window->setListIndex(0);
  pasteExpress();
  ASSERT_EQ(prompts(), QStringList{"Done!"});
  clickOk();
  EXPECT_EQ(prompts(), QStringList{"Done!"});
  EXPECT_EQ(slideCount(), 4);
  EXPECT_FALSE(f.tool.ended());
}

namespace {

class ForeignClipboardTest : public PasteTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

// The first row was selected (and copied) before another program put its own picture on the
// clipboard: selecting that row again runs nothing, yet it must paste its own object.
TEST_P(ForeignClipboardTest, EveryPastedObjectIsItsOwnRows) {
  window->titleMode = GetParam();
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "2");
  window->setListIndex(0);
  QImage other(40, 30, QImage::Format_RGB32);
  other.fill(Qt::magenta);
  auto* mime = new QMimeData;
  mime->setImageData(other);
  QGuiApplication::clipboard()->setMimeData(mime);
  pasteToPowerPoint();
  clickOk();
  EXPECT_TRUE(f.messages.shown.empty()) << prompts().join("|").toStdString();
  const int first = GetParam() ? 4 : 1;
  for (int k = 0; k < 2; ++k) {
    ASSERT_FALSE(slide(first + k)->shapes.empty()) << k;
    EXPECT_EQ(slide(first + k)->shapes[0]->source,
              QStringLiteral("chart|Data|Chart %1|bitmap").arg(k + 1));
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ForeignClipboardTest, ::testing::Values(true, false),
                         [](const auto& info) {
                           return std::string(info.param ? "Title" : "SlideNumber");
                         });

namespace {

enum class Command { TitleRun, NumberRun, Express };

struct AltTextCase {
  const char* name;
  Command command;
  const char* object;
  const char* sheet;
  const char* title;
  const char* pasteAs;
  const char* expected;
};

void PrintTo(const AltTextCase& c, std::ostream* os) { *os << c.name; }

const AltTextCase kAltTexts[] = {
    {"TitledSlide", Command::TitleRun, "Chart 1", "Data", "Quarterly sales", "Picture",
     "Quarterly sales"},
    {"UntitledSlide", Command::TitleRun, "Chart 1", "Data", " ", "Picture", "Chart 1, Data"},
    {"ChartSheet", Command::TitleRun, "{Chart Sheet}", "Graph", "", "Picture",
     "Chart sheet, Graph"},
    {"TitledObject", Command::TitleRun, "Sales", "Data", "The table", "Excel object", "The table"},
    {"NumberedSlideIgnoresTheTitle", Command::NumberRun, "Sales", "Data", "Unused", "Picture",
     "Sales, Data"},
    {"PasteExpress", Command::Express, "Chart 2", "Data", "Unused", "Picture", "Chart 2, Data"},
};

class AltTextTest : public PasteTest, public ::testing::WithParamInterface<AltTextCase> {};

}  // namespace

// Every pasted picture and object is named for screen readers.
TEST_P(AltTextTest, PastedObjectsAreNamedForScreenReaders) {
  const AltTextCase& c = GetParam();
  window->titleMode = c.command != Command::NumberRun;
  addRow(c.object, c.sheet, "Y", "2", c.title, c.pasteAs);
  if (c.command == Command::Express) {
    window->setListIndex(0);
    pasteExpress();
  } else {
    pasteToPowerPoint();
    clickOk();
  }
  const int target = c.command == Command::TitleRun ? 4 : c.command == Command::NumberRun ? 2 : 1;
  ASSERT_FALSE(slide(target)->shapes.empty()) << prompts().join("|").toStdString();
  EXPECT_EQ(slide(target)->shapes[0]->alternativeText, QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Commands, AltTextTest, ::testing::ValuesIn(kAltTexts),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

struct MissingCase {
  const char* name;
  bool titleMode;
  const char* pasteAs;
  const char* failingCopy;  // the copy of Chart 2 that cannot make its picture
};

void PrintTo(const MissingCase& c, std::ostream* os) { *os << c.name; }

const MissingCase kMissing[] = {
    {"TitlePicture", true, "Picture", "Chart(Chart 2).CopyPicture"},
    {"TitleExcelObject", true, "Excel object", "Chart(Chart 2).ChartArea.Copy"},
    {"NumberPicture", false, "Picture", "Chart(Chart 2).CopyPicture"},
    {"NumberExcelObject", false, "Excel object", "Chart(Chart 2).ChartArea.Copy"},
};

class MissingPictureTest : public PasteTest, public ::testing::WithParamInterface<MissingCase> {};

}  // namespace

// An object whose picture cannot be made leaves its slide without a picture (never the
// previous object's), the run goes on, and one message at the end names it.
TEST_P(MissingPictureTest, TheRunGoesOnAndNamesTheObjectAtTheEnd) {
  const MissingCase& c = GetParam();
  window->titleMode = c.titleMode;
  addRow("Chart 1", "Data", "Y", "1", "One", c.pasteAs);
  addRow("Chart 2", "Data", "Y", "2", "Two", c.pasteAs);
  addRow("Sales", "Data", "Y", "3", "Three", c.pasteAs);
  f.office.log.failOn(c.failingCopy, 0, office::AutomationError::invalidPicture("part unreadable"));
  pasteToPowerPoint();
  clickOk(true);

  ASSERT_EQ(f.messages.shown.size(), 1u) << prompts().join("|").toStdString();
  EXPECT_EQ(f.messages.shown[0].style, startup::vbExclamation);
  EXPECT_EQ(f.messages.shown[0].title, startup::kToolTitle);
  EXPECT_TRUE(
      f.messages.shown[0].prompt.endsWith("\r\rChart 2 (Data): Invalid picture: part unreadable"))
      << f.messages.shown[0].prompt.toStdString();
  ASSERT_EQ(commands.missingPictures().size(), 1u);
  EXPECT_FALSE(f.tool.ended());
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_EQ(log().callsStartingWith("View.PasteSpecial").size(), 2);

  const int first = c.titleMode ? 4 : 1;
  const QString objects[] = {"chart|Data|Chart 1|", "", "range|Data|$A$1:$B$3|"};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const auto s = slide(first + k);
    const auto pictures = std::count_if(s->shapes.begin(), s->shapes.end(), [](const auto& shape) {
      return shape->kind != fake::ShapeState::Kind::Title &&
             shape->kind != fake::ShapeState::Kind::Label;
    });
    EXPECT_EQ(pictures, objects[k].isEmpty() ? 0 : 1);
    if (!objects[k].isEmpty()) EXPECT_TRUE(s->shapes[0]->source.startsWith(objects[k]));
  }
  // A new slide keeps its title and label; a numbered one is left as it was.
  const auto missing = slide(first + 1);
  if (c.titleMode) {
    ASSERT_EQ(missing->shapes.size(), 2u);
    EXPECT_EQ(missing->shapes[0]->text, "Two");
    EXPECT_EQ(missing->shapes[1]->kind, fake::ShapeState::Kind::Label);
  } else {
    EXPECT_TRUE(missing->shapes.empty());
    EXPECT_NE(missing->layout, ppt::ppLayoutTitleOnly);
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, MissingPictureTest, ::testing::ValuesIn(kMissing),
                         [](const auto& info) { return std::string(info.param.name); });
