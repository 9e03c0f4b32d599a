// "Paste to PowerPoint" up to the confirmation dialog, "Paste Express", and Go to PPT.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "office/clipboard_formats.h"
#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"
#include "paste_fixture.h"
#include "startup/go_to_powerpoint.h"

using namespace morvane;

using morvane::startup::vbCritical;
using morvane::startup::vbExclamation;
using morvane::startup::vbInformation;
using morvane::startup::vbOKCancel;
using pastetest::PasteTest;

namespace {

class ChartsToPresentationTest : public PasteTest {};

}  // namespace

TEST_F(ChartsToPresentationTest, NoPresentationInEveryFormGivesOneMessage) {
  addRow("Chart 1", "Data");
  for (int situation = 0; situation < 3; ++situation) {
    f.messages.shown.clear();
    f.office.powerPointRunning = situation != 0;
    if (situation == 1) f.office.powerPoint->presentation.reset();
    if (situation == 2) {
      f.office.openPresentation(3);
      f.office.log.failOn("Windows.Count");
    }
    pasteToPowerPoint();
    ASSERT_EQ(f.messages.shown.size(), 1u) << situation;
    EXPECT_EQ(f.messages.shown[0].prompt, "No Active presentation found!");
    EXPECT_EQ(f.messages.shown[0].style, vbExclamation);
    EXPECT_EQ(f.messages.shown[0].title, "Morvane©");
    EXPECT_FALSE(commands.dialog());
    EXPECT_FALSE(f.tool.ended());
  }
  EXPECT_EQ(log().count("ActiveWindow.ViewType="), 0);
}

TEST_F(ChartsToPresentationTest, TitleModeCountsIncludedRowsIntoTheDialog) {
  addRow("Chart 1", "Data", "Y");
  addRow("Chart 2", "Data", "N");
  addRow("Sales", "Data", "Y");
  pasteToPowerPoint();
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_EQ(f.office.powerPoint->viewType, ppt::ppViewSlide);
  EXPECT_EQ(f.tool.confirmationCount, 2);
  EXPECT_EQ(f.tool.progressTotal, 2);
  paste::Dialog* dialog = commands.dialog();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->windowTitle(), "Morvane©");
  EXPECT_EQ(dialog->label1Text(), "2 object(s) will be pasted to \r\rDeck.pptx\r\rContinue?");
  EXPECT_EQ(dialog->Label1->text(), "2 object(s) will be pasted to \n\nDeck.pptx\n\nContinue?");
  EXPECT_EQ(dialog->Label2->text(), "Include path, name and sheet at the bottom of each slide");
  EXPECT_FALSE(dialog->Check1->isChecked());
  EXPECT_FALSE(dialog->SonicClick1->isHidden());
  EXPECT_EQ(dialog->SonicClick1->text(), "OK");
  EXPECT_EQ(dialog->SonicClick2->text(), "Cancel");
  EXPECT_FALSE(f.tool.ended());
  EXPECT_EQ(log().count("View.PasteSpecial"), 0);
}

TEST_F(ChartsToPresentationTest, NothingIncludedOffersOnlyCancelAndCancelKeepsTheSlideView) {
  addRow("Chart 1", "Data", "N");
  pasteToPowerPoint();
  paste::Dialog* dialog = commands.dialog();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->label1Text().startsWith("0 object(s) will be pasted to "));
  EXPECT_TRUE(dialog->SonicClick1->isHidden());
  dialog->SonicClick2->click();
  EXPECT_TRUE(dialog->isUnloaded());
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(f.office.powerPoint->viewType, ppt::ppViewSlide);
  EXPECT_EQ(slideCount(), 3);
  EXPECT_FALSE(f.tool.ended());  // the main window is still loaded
}

TEST_F(ChartsToPresentationTest, EveryCommandShowsAFreshDialog) {
  addRow("Chart 1", "Data");
  pasteToPowerPoint();
  QPointer<paste::Dialog> first = commands.dialog();
  first->Check1->setChecked(true);
  window->rows[0][2] = "N";
  pasteToPowerPoint();
  ASSERT_TRUE(commands.dialog());
  EXPECT_NE(commands.dialog(), first.data());
  EXPECT_FALSE(commands.dialog()->Check1->isChecked());
  EXPECT_TRUE(commands.dialog()->label1Text().startsWith("0 "));
  EXPECT_TRUE(!first || first->isUnloaded());
}

TEST_F(ChartsToPresentationTest, SlideNumberModeCountsOnlyIncludedRowsWithANumber) {
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "2");
  addRow("Chart 2", "Data", "Y", "");    // no number: neither counted nor checked
  addRow("Chart 3", "Data", "N", "99");  // not included: never checked
  addRow("Sales", "Data", "Y", "3");     // equal to the slide count passes
  pasteToPowerPoint();
  EXPECT_TRUE(f.messages.shown.empty()) << prompts().join("|").toStdString();
  EXPECT_EQ(f.tool.confirmationCount, 2);
  EXPECT_EQ(f.tool.progressTotal, 2);
  ASSERT_TRUE(commands.dialog());
}

// Only whole numbers from 1 to the slide count pass; every other number is refused before
// anything is pasted, and the tool goes on.
TEST_F(ChartsToPresentationTest, SlideNumbersOutsideOneToTheSlideCountAreRefused) {
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "");
  struct Case {
    const char* number;
    bool tooGreat;
  };
  const Case cases[] = {{"4", true}, {"0", false}, {"-1", false}, {"2.5", false},
                        {"abc", false}, {"40000", false}, {"1e1", true}};
  for (const Case& c : cases) {
    f.messages.shown.clear();
    window->rows[1][4] = c.number;
    pasteToPowerPoint();
    ASSERT_EQ(f.messages.shown.size(), 1u) << c.number;
    const auto& shown = f.messages.shown[0];
    EXPECT_EQ(shown.style, vbOKCancel + vbInformation) << c.number;
    EXPECT_EQ(shown.title, "Morvane©");
    if (c.tooGreat) {
      EXPECT_EQ(shown.prompt,
                "At least one Slide Number in the list is greater\rthan the number of slides in the "
                "PowerPoint file.\rOperation is aborted");
    } else {
      EXPECT_EQ(shown.prompt, QStringLiteral("The Slide Number \"%1\" of Chart 2 (Data) is not a whole number\r"
                                             "from 1 to 3, the number of slides in the PowerPoint file.\r"
                                             "Operation is aborted")
                                  .arg(c.number));
    }
    EXPECT_FALSE(commands.dialog()) << c.number;
    EXPECT_FALSE(f.tool.ended());
  }
  EXPECT_EQ(log().count("View.PasteSpecial"), 0);
  EXPECT_EQ(slideCount(), 3);
}

TEST_F(ChartsToPresentationTest, AnyNumberIsTooGreatForAnEmptyPresentation) {
  f.office.openPresentation(0);
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "1");
  pasteToPowerPoint();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.startsWith("At least one Slide Number"));
}

namespace {

class PasteExpressTest : public PasteTest {};

}  // namespace

TEST_F(PasteExpressTest, NoSelectedRowGivesAMessageAndPastesNothing) {
  addRow("Chart 1", "Data");
  pasteExpress();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, paste::kNoSelectionMessage);
  EXPECT_EQ(f.messages.shown[0].style, vbExclamation);
  EXPECT_EQ(log().count("View.PasteSpecial"), 0);
  EXPECT_FALSE(f.tool.ended());
  EXPECT_TRUE(window && !window->isUnloaded());
}

TEST_F(PasteExpressTest, PastesTheSelectedRowOntoTheShownSlideEvenWhenExcluded) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data", "N");
  window->setListIndex(1);
  f.office.powerPoint->shownSlide = 2;
  slide(2)->layout = ppt::ppLayoutText;
  pasteExpress();
  ASSERT_EQ(slide(2)->shapes.size(), 2u);  // the picture, then the title the layout adds
  EXPECT_EQ(slide(2)->shapes[0]->source, "chart|Data|Chart 2|bitmap");
  EXPECT_FLOAT_EQ(slide(2)->shapes[0]->left, 20);
  EXPECT_EQ(slide(2)->layout, ppt::ppLayoutTitleOnly);
  EXPECT_EQ(window->currentRow(), 1);
  EXPECT_EQ(f.desktop.sleeps, std::vector<int>{100});
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "Done!");
  EXPECT_EQ(f.messages.shown[0].style, vbInformation);
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_EQ(log().count("View.PasteSpecial(1,0,\"\",0,\"\",0)"), 1);
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(PasteExpressTest, OnlyTheSelectedRowsOwnCopyKeepsItsSource) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  f.office.powerPoint->shownSlide = 1;
  window->setListIndex(1);
  // Something else reaches the clipboard after the selection: pasted, but with no source.
  f.tool.workbook->worksheet("Data")->chartObject("Chart 1")->chart()->copyPicture(
      excel::xlScreen, excel::xlScreen, excel::xlBitmap);
  pasteExpress();
  window->setListIndex(0);
  pasteExpress();
  std::vector<std::shared_ptr<fake::ShapeState>> pictures;
  for (const auto& shape : slide(1)->shapes)
    if (shape->kind == fake::ShapeState::Kind::Picture) pictures.push_back(shape);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0]->source, "chart|Data|Chart 1|bitmap");
  EXPECT_EQ(pictures[0]->provenance, "");
  const auto source = office::SourceRecord::fromCompact(pictures[1]->provenance);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->name, "Chart 1");
  EXPECT_EQ(source->sheet, "Data");
  EXPECT_EQ(source->workbook, f.tool.workbook->name());
}

TEST_F(PasteExpressTest, ExcelObjectsFollowThePresentationProgramVersion) {
  addRow("Sales", "Data", "Y", "", "", "Excel object");
  window->setListIndex(0);
  f.office.log.clear();
  pasteExpress();
  f.office.powerPoint->version = "12.0";
  pasteExpress();
  const QStringList pastes = log().callsStartingWith("View.PasteSpecial");
  ASSERT_EQ(pastes.size(), 2);
  EXPECT_TRUE(pastes[0].startsWith("View.PasteSpecial(10,"));
  EXPECT_TRUE(pastes[1].startsWith("View.PasteSpecial(0,"));
  // A named range's sheet is selected before its range is copied.
  EXPECT_LT(log().indexOf("Sheet(Data).Select"), log().indexOf("Range(Data!$A$1:$B$3).Copy"));
}

TEST_F(PasteExpressTest, AFailureAfterThePasteEndsTheCommandWithThePresentationSaved) {
  addRow("Chart 1", "Data");
  window->setListIndex(0);
  f.office.log.failOn("Slide(1).Layout=");
  pasteExpress();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].style, vbCritical);
  EXPECT_NE(prompts().join("|"), "Done!");
  EXPECT_EQ(slide(1)->shapes.size(), 1u);  // what was pasted stays
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_TRUE(f.tool.ended());
}

TEST(GoToPowerPointTitle, RemovesEveryExactDotPpt) {
  EXPECT_EQ(morvane::startup::powerPointWindowTitle("Deck.ppt"), "Microsoft PowerPoint - [Deck]");
  EXPECT_EQ(morvane::startup::powerPointWindowTitle("Deck.pptx"), "Microsoft PowerPoint - [Deckx]");
  EXPECT_EQ(morvane::startup::powerPointWindowTitle("Q1.PPT"), "Microsoft PowerPoint - [Q1.PPT]");
  EXPECT_EQ(morvane::startup::powerPointWindowTitle("a.ppt.ppt"), "Microsoft PowerPoint - [a]");
}

namespace {

class GoToPowerPointTest : public PasteTest {
 protected:
  void pasteOneObject() {
    addRow("Chart 1", "Data");
    pasteToPowerPoint();
    clickOk();
    ASSERT_TRUE(commands.progress());
  }
};

}  // namespace

TEST_F(GoToPowerPointTest, BringsThePresentationForwardAndEndsTheTool) {
  pasteOneObject();
  f.office.log.clear();
  const int savesBefore = f.office.powerPoint->saves;
  f.office.powerPoint->visible = false;
  commands.progress()->SonicClick3->click();

  EXPECT_EQ(forms.mainWindowUnloads, 2);  // Go to PPT, then the progress window's closing
  EXPECT_LT(log().indexOf("GetObject(PowerPoint.Application)"), log().indexOf("CreateObject(PowerPoint.Application)"));
  EXPECT_LT(log().indexOf("CreateObject(PowerPoint.Application)"), log().indexOf("PowerPoint.Visible=True"));
  EXPECT_LT(log().indexOf("PowerPoint.Visible=True"), log().indexOf("PowerPoint.Save"));
  EXPECT_TRUE(f.office.powerPoint->visible);
  EXPECT_EQ(f.desktop.activated, QStringList{"Microsoft PowerPoint - [Deckx]"});
  EXPECT_EQ(f.office.powerPoint->saves, savesBefore + 1);
  EXPECT_EQ(f.desktop.opened, QStringList{"/home/user/Deck.pptx"});
  EXPECT_TRUE(!commands.progress() || commands.progress()->isUnloaded());
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(GoToPowerPointTest, NoRunningPresentationProgramIsReportedAndTheToolEnds) {
  pasteOneObject();
  f.office.powerPointRunning = false;
  commands.progress()->SonicClick3->click();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].style, vbCritical);
  EXPECT_TRUE(!window || window->isUnloaded());  // unloaded before the failure
  EXPECT_TRUE(f.desktop.opened.isEmpty());
  EXPECT_TRUE(f.tool.ended());
}
