// The paste commands behind the real main window's buttons.
#include "main_window_fixture.h"
#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace morvane;

using pastetest::MainWindowPasteTest;

TEST_F(MainWindowPasteTest, TitleRunFromThePasteButtonUsesTheWindowsSelectionHandler) {
  ASSERT_EQ(w().listCount(), 3);
  include({"Y", "N", "Y"});
  w().setListText(0, 5, "Sales by month");
  w().SonicClick19->click();
  ASSERT_TRUE(paste->dialog());
  EXPECT_EQ(paste->dialog()->label1Text(), "2 object(s) will be pasted to \r\rDeck.pptx\r\rContinue?");
  paste->dialog()->SonicClick1->click();

  EXPECT_TRUE(f.messages.shown.empty());
  ASSERT_EQ(slideCount(), 4);
  EXPECT_TRUE(slide(3)->shapes[0]->source.startsWith("chart|Data|" + w().listText(0, 0)));
  EXPECT_EQ(slide(3)->shapes[1]->text, "Sales by month");
  EXPECT_TRUE(slide(4)->shapes[0]->source.startsWith("range|Data|$A$1:$B$3"));
  EXPECT_FALSE(w().isVisible());
  EXPECT_EQ(w().currentRow(), 2);
  EXPECT_EQ(paste::Progress::caption(paste->progress()->Label2), "D O N E !");
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_FALSE(f.tool.ended());

  paste->progress()->close();  // closes the main window too, and with it the tool
  EXPECT_TRUE(f.tool.ended());
  EXPECT_FALSE(forms->mainWindow());
}

TEST_F(MainWindowPasteTest, NumberRunKeepsTheMainWindowShown) {
  w().show();
  w().setOptionButton8(true);
  include({"Y", "Y", "Y"});
  w().setListText(0, 4, "2");
  w().setListText(2, 4, "1");
  w().SonicClick19->click();
  ASSERT_TRUE(paste->dialog());
  paste->dialog()->SonicClick1->click();

  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_EQ(slideCount(), 2);
  EXPECT_TRUE(slide(2)->shapes[0]->source.startsWith("chart|Data|"));
  EXPECT_TRUE(slide(1)->shapes[0]->source.startsWith("range|Data|"));
  EXPECT_TRUE(w().isVisible());
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(MainWindowPasteTest, PasteExpressPastesTheSelectedRow) {
  w().setListIndex(2);
  f.office.powerPoint->shownSlide = 1;
  w().SonicClick18->click();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "Done!");
  ASSERT_FALSE(slide(1)->shapes.empty());
  EXPECT_TRUE(slide(1)->shapes[0]->source.startsWith("range|Data|"));
  EXPECT_EQ(f.office.powerPoint->saves, 1);
}

// The window's own selection handling shows no preview for an object whose picture cannot be
// made, and the run it starts leaves that object's slide without a picture.
TEST_F(MainWindowPasteTest, AnObjectWithoutAPictureHasNoPreviewAndNoPictureOnItsSlide) {
  f.office.sheet("Data")->charts[0]->unreadable = true;
  w().setListIndex(1);
  w().setListIndex(0);
  EXPECT_FALSE(w().previewPicture());
  EXPECT_TRUE(w().pictureProblem().startsWith("Invalid picture"));
  EXPECT_TRUE(f.messages.shown.empty());
  w().SonicClick19->click();
  ASSERT_TRUE(paste->dialog());
  paste->dialog()->SonicClick1->click();

  ASSERT_EQ(slideCount(), 5);
  ASSERT_EQ(slide(3)->shapes.size(), 1u);
  EXPECT_EQ(slide(3)->shapes[0]->kind, fake::ShapeState::Kind::Title);
  EXPECT_TRUE(slide(4)->shapes[0]->source.startsWith("chart|Data|" + w().listText(1, 0)));
  EXPECT_TRUE(slide(5)->shapes[0]->source.startsWith("range|Data|"));
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.contains(w().listText(0, 0) + " (Data): Invalid picture"));
  EXPECT_FALSE(f.tool.ended());
}
