// Windows unloaded, and deleted, while a paste run is under way: Cancel or the close box of
// the progress window between two objects, and the main window closed during a run. The run
// must stop before its next object without touching a deleted window, keep and save what
// it pasted, and the tool must end once the run has returned. Built under AddressSanitizer
// in CI.
#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"
#include "paste_fixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>

using namespace morvane;

using pastetest::PasteTest;

namespace {

class HostileRunTest : public PasteTest {
 protected:
  void addFourRows() {
    for (const char* name : {"Chart 1", "Chart 2", "Chart 3", "Sales"})
      addRow(name, "Data", "Y", QStringLiteral("%1").arg(window->rows.size() + 1));
  }
  // At the `n`-th yield, does `action` and then deletes every window waiting for deletion,
  // so that nothing unloaded survives until the run returns.
  void atYield(int n, std::function<void()> action) {
    f.desktop.onYield = [this, n, action = std::move(action)] {
      if (f.desktop.yields != n) return;
      action();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
  }
  int pastedObjects() const { return log().count("View.PasteSpecial"); }
  void cancelEndsTheLookAhead(bool titleMode) {
    window->titleMode = titleMode;
    for (const char* name : {"Chart 1", "Chart 2", "Chart 3"})
      addRow(name, "Data", "Y", QStringLiteral("%1").arg(window->rows.size() + 1));
    addRow("Chart 9", "Data", "N", "2");  // not included: not announced
    window->show();
    pasteToPowerPoint();
    QStringList announced;
    atYield(titleMode ? 2 : 3, [&] {
      announced = f.office.excel->prefetches.back();
      commands.progress()->SonicClick2->click();
    });
    clickOk();
    EXPECT_EQ(pastedObjects(), titleMode ? 1 : 2);
    EXPECT_EQ(announced, QStringList({"Data|Chart 1", "Data|Chart 2", "Data|Chart 3"}));
    ASSERT_EQ(f.office.excel->prefetches.size(), 2u);
    EXPECT_TRUE(f.office.excel->prefetches.back().isEmpty());
  }
};

}  // namespace

TEST_F(HostileRunTest, CancelDuringATitleRunStopsBeforeTheNextObject) {
  addFourRows();
  pasteToPowerPoint();
  QPointer<paste::Dialog> dialog = commands.dialog();
  QPointer<paste::Progress> progress;
  atYield(2, [&] {
    progress = commands.progress();
    progress->SonicClick2->click();
  });
  clickOk();

  EXPECT_EQ(pastedObjects(), 1);
  EXPECT_EQ(slideCount(), 4);
  EXPECT_EQ(slide(4)->shapes[0]->source, "chart|Data|Chart 1|bitmap");
  EXPECT_FALSE(progress);  // deleted during the run, which went on without it
  EXPECT_FALSE(window);
  EXPECT_EQ(forms.mainWindowUnloads, 1);
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_TRUE(!dialog || dialog->isUnloaded());
  EXPECT_EQ(f.desktop.sleeps, std::vector<int>{100});
  EXPECT_TRUE(f.tool.ended());
}

// The run announces the rows it will visit, in its order, and a cancel ends the look-ahead
// before the run returns, so nothing goes on drawing for rows it no longer reaches.
TEST_F(HostileRunTest, CancelEndsTheLookAheadOfATitleRun) { cancelEndsTheLookAhead(true); }
TEST_F(HostileRunTest, CancelEndsTheLookAheadOfANumberRun) { cancelEndsTheLookAhead(false); }

TEST_F(HostileRunTest, CloseBoxDuringANumberRunStopsBeforeTheNextObject) {
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "2");
  addRow("Chart 3", "Data", "Y", "3");
  window->show();
  pasteToPowerPoint();
  atYield(3, [&] { commands.progress()->close(); });
  clickOk();

  EXPECT_EQ(pastedObjects(), 2);
  EXPECT_TRUE(slide(3)->shapes.empty());
  EXPECT_FALSE(commands.progress());
  EXPECT_FALSE(window);
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(HostileRunTest, MainWindowClosedDuringANumberRunStopsTheRunAndKeepsTheProgressWindow) {
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "2");
  window->show();
  pasteToPowerPoint();
  atYield(2, [&] { forms.unloadMainWindow(); });
  clickOk();

  EXPECT_EQ(pastedObjects(), 1);
  EXPECT_FALSE(window);
  ASSERT_TRUE(commands.progress());  // still loaded: the tool goes on until it is closed
  EXPECT_FALSE(f.tool.ended());
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  commands.progress()->close();
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(HostileRunTest, ClosingAfterTheRunEndsTheTool) {
  addRow("Chart 1", "Data");
  pasteToPowerPoint();
  clickOk();
  ASSERT_TRUE(commands.progress());
  EXPECT_FALSE(f.tool.ended());
  commands.progress()->close();
  EXPECT_TRUE(f.tool.ended());
  EXPECT_EQ(forms.mainWindowUnloads, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(commands.progress());
  EXPECT_FALSE(window);
}

// In slide-number mode the dialog stays visible until the first object's yield: cancelling
// it there stops the run, and the dialog, whose OK handler is still running, is deleted only
// once that handler has returned.
TEST_F(HostileRunTest, DialogCancelledDuringItsOwnRunIsDeletedOnlyAfterTheRun) {
  window->titleMode = false;
  addRow("Chart 1", "Data", "Y", "1");
  addRow("Chart 2", "Data", "Y", "2");
  window->show();
  pasteToPowerPoint();
  QPointer<paste::Dialog> dialog = commands.dialog();
  bool survived = false;
  atYield(1, [&] { dialog->SonicClick2->click(); });
  f.desktop.onYield = [this, &dialog, &survived, hook = f.desktop.onYield] {
    hook();
    survived = dialog && dialog->isUnloaded() && dialog->isRunning();
  };
  clickOk();

  EXPECT_TRUE(survived);
  EXPECT_EQ(pastedObjects(), 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(dialog);
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_FALSE(f.tool.ended());  // the main window and the progress window are still loaded
}
