// The refresh run on the office double: which shapes it redraws, how it finds their objects
// again after renames and deletions, and what it reports.
#include "paste/refresh_run.h"

#include <QCoreApplication>
#include <QPushButton>

#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"
#include "paste_fixture.h"

using namespace morvane;
using pastetest::PasteTest;
using Outcome = paste::RefreshItem::Outcome;
using paste::Dialog;

namespace {

class RefreshRunTest : public PasteTest {
 protected:
  // Paste Express of list rows onto slide 1, as the user would.
  void pasteRows(std::initializer_list<int> rows) {
    f.office.powerPoint->shownSlide = 1;
    for (int row : rows) {
      window->setListIndex(row);
      pasteExpress();
    }
  }
  paste::RefreshReport refresh(paste::RefreshRequest request = {}) {
    return paste::RefreshDeck(*f.tool.workbook, *presentation(), request);
  }
  std::shared_ptr<ppt::Presentation> presentation() {
    return f.office.attachPowerPoint()->activePresentation();
  }
  std::vector<std::shared_ptr<fake::ShapeState>> pictures() {
    std::vector<std::shared_ptr<fake::ShapeState>> out;
    for (const auto& shape : slide(1)->shapes)
      if (shape->kind == fake::ShapeState::Kind::Picture) out.push_back(shape);
    return out;
  }
};

}  // namespace

TEST_F(RefreshRunTest, PastedShapesAreRedrawnWhereTheUserLeftThem) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  addRow("{Chart Sheet}", "Graph");
  pasteRows({1, 2});
  ASSERT_EQ(pictures().size(), 2u);
  pictures()[0]->left = 5;
  pictures()[0]->width = 77;
  f.office.log.clear();

  paste::RefreshRequest request;
  request.listed = {{"Chart 1", "Data"}, {"Chart 2", "Data"}, {"{Chart Sheet}", "Graph"}};
  const auto report = refresh(request);
  ASSERT_EQ(report.items.size(), 2u);
  EXPECT_EQ(report.count(Outcome::Refreshed), 2);
  EXPECT_EQ(f.office.log.count("Shape.ReplaceWithClipboard(1)"), 2);
  EXPECT_FLOAT_EQ(pictures()[0]->left, 5);
  EXPECT_FLOAT_EQ(pictures()[0]->width, 77);
  EXPECT_TRUE(pictures()[1]->source.endsWith("|Graph|Graph|bitmap"))
      << pictures()[1]->source.toStdString();
  // Chart 1 is included but on no slide.
  ASSERT_EQ(report.notInDeck.size(), 1u);
  EXPECT_EQ(report.notInDeck[0].name, "Chart 1");
  EXPECT_TRUE(report.reportedAnything());
}

TEST_F(RefreshRunTest, ChartsAreFoundByTheirKeyAfterTheFirstIsDeletedAndTheOthersRenamed) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  addRow("Chart 3", "Data");
  pasteRows({0, 1, 2});
  // The first chart goes; at the next start-up the others take the names before them.
  auto& charts = f.office.sheet("Data")->charts;
  charts.erase(charts.begin());
  charts[0]->name = "Chart 1";
  charts[1]->name = "Chart 2";
  f.office.log.clear();

  const auto report = refresh();
  ASSERT_EQ(report.items.size(), 3u);
  EXPECT_EQ(report.items[0].outcome, Outcome::Gone);  // not the renamed second chart
  EXPECT_EQ(report.items[1].outcome, Outcome::Refreshed);
  EXPECT_EQ(report.items[2].outcome, Outcome::Refreshed);
  EXPECT_EQ(pictures()[0]->source, "chart|Data|Chart 1|bitmap");  // the deleted one's picture stays
  EXPECT_EQ(pictures()[1]->source, "chart|Data|Chart 1|bitmap");  // the old Chart 2, renamed
  EXPECT_EQ(pictures()[2]->source, "chart|Data|Chart 2|bitmap");
  EXPECT_EQ(office::SourceRecord::fromCompact(pictures()[1]->sourceTag)->name, "Chart 1");
  EXPECT_EQ(f.office.log.count("Shape.ReplaceWithClipboard"), 2);
}

TEST_F(RefreshRunTest, DryRunsStopsAndOtherWorkbooksTouchNothing) {
  addRow("Chart 1", "Data");
  pasteRows({0});
  const struct {
    const char* what;
    paste::RefreshRequest request;
    size_t items;
    Outcome outcome;
  } cases[] = {
      {"dry run", {{}, true, true, {}, {}}, 1, Outcome::WouldRefresh},
      {"stopped", {{}, false, true, {}, [](int, int) { return false; }}, 0, Outcome::Refreshed},
      {"another workbook's tag",
       {QStringLiteral("Other.xlsx"), false, true, {}, {}},
       0,
       Outcome::Refreshed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    f.office.log.clear();
    const auto report = refresh(c.request);
    ASSERT_EQ(report.items.size(), c.items);
    if (c.items) {
      EXPECT_EQ(report.items[0].outcome, c.outcome);
    }
    EXPECT_EQ(f.office.log.count("Shape.ReplaceWithClipboard"), 0);
    EXPECT_EQ(f.office.log.count("CopyPicture"), 0);
  }
  EXPECT_EQ(paste::countTaggedObjects(*presentation(), f.tool.workbook->name()), 1);
  EXPECT_EQ(paste::countTaggedObjects(*presentation(), "Other.xlsx"), 0);
}

// "Paste to PowerPoint"'s dialog offers the refresh only when the deck holds objects of this
// workbook, beside OK and Cancel, which keep their places.
TEST_F(RefreshRunTest, TheDialogOffersARefreshOfTheObjectsAlreadyPasted) {
  addRow("Chart 1", "Data");
  addRow("Chart 2", "Data");
  pasteToPowerPoint();
  Dialog* plain = commands.dialog();
  ASSERT_TRUE(plain);
  plain->adjustSize();
  EXPECT_TRUE(plain->RefreshButton->isHidden());
  const int okFromRight = plain->width() - plain->SonicClick1->geometry().x();
  plain->SonicClick2->click();

  pasteRows({1});
  f.messages.shown.clear();
  const int saves = f.office.powerPoint->saves;
  pasteToPowerPoint();
  Dialog* offering = commands.dialog();
  ASSERT_TRUE(offering);
  offering->adjustSize();
  ASSERT_FALSE(offering->RefreshButton->isHidden());
  EXPECT_EQ(offering->RefreshButton->text(), "Refresh the 1 pasted objects");
  EXPECT_EQ(offering->width() - offering->SonicClick1->geometry().x(), okFromRight);
  f.office.log.clear();
  offering->RefreshButton->click();
  QCoreApplication::processEvents();
  EXPECT_EQ(f.office.log.count("Shape.ReplaceWithClipboard"), 1);
  EXPECT_EQ(f.office.log.count("View.PasteSpecial"), 0);
  EXPECT_EQ(f.office.powerPoint->saves, saves + 1);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "1 object(s) refreshed.\rChart 1 (Data): not in the deck");
  EXPECT_TRUE(commands.progress() && !commands.progress()->isHidden());
}
