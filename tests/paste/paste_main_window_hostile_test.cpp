// The progress window closed between two objects with the real main window and forms: the
// main window is unloaded and deleted while the run that reads its list is under way.
#include "main_window_fixture.h"
#include "paste/confirm_dialog.h"
#include "paste/progress_window.h"

#include <QPointer>
#include <QPushButton>

using namespace morvane;

using pastetest::MainWindowPasteTest;

TEST_F(MainWindowPasteTest, ClosingTheProgressWindowMidRunDeletesTheMainWindowSafely) {
  include({"Y", "Y", "Y"});
  QPointer<mainwindow::UserFormObj> window = &w();
  w().SonicClick19->click();
  ASSERT_TRUE(paste->dialog());
  const int second = f.desktop.yields + 2;  // start-up has yielded already
  f.desktop.onYield = [this, second] {
    if (f.desktop.yields != second) return;
    paste->progress()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  };
  paste->dialog()->SonicClick1->click();

  EXPECT_FALSE(window);  // deleted while the run was still going
  EXPECT_EQ(f.office.log.count("View.PasteSpecial"), 1);
  EXPECT_EQ(slideCount(), 3);
  EXPECT_EQ(f.office.powerPoint->saves, 1);
  EXPECT_TRUE(f.messages.shown.empty());
  EXPECT_TRUE(f.tool.ended());
}
