// The forms behind start-up: close, refresh, help, the commands' hooks, other forms, and the
// splash and closing windows.
#include "mainwindow_fixture.h"

#include "mainwindow/controls.h"
#include "mainwindow/help_launcher.h"
#include "mainwindow/splash_forms.h"

#include <QCloseEvent>

using namespace morvane;

using namespace mwtest;
using mainwindow::UserFormObj;

namespace {
class FormsTest : public MainWindowTest {};
}  // namespace

TEST_F(FormsTest, LastWindowClosingNeverQuitsQt) {
  QApplication::setQuitOnLastWindowClosed(true);
  open(chartsWorkbook(1));
  EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
  EXPECT_EQ(f.tool.forms, forms.get());
  EXPECT_TRUE(w().isVisible());
  EXPECT_EQ(forms->splash(), nullptr);  // start-up unloaded it
}

TEST_F(FormsTest, CloseShowsTheClosingFormThenUnloadsEverythingAndEndsTheTool) {
  open(chartsWorkbook(1));
  bool closingShownAtYield = false, mainLoadedAtYield = false;
  f.desktop.onYield = [&] {
    closingShownAtYield = forms->closing() && forms->closing()->isVisible();
    mainLoadedAtYield = forms->mainWindow() != nullptr;
  };
  w().SonicClick6->click();
  EXPECT_TRUE(closingShownAtYield);
  EXPECT_TRUE(mainLoadedAtYield);
  EXPECT_EQ(forms->mainWindow(), nullptr);
  EXPECT_EQ(forms->closing(), nullptr);
  EXPECT_TRUE(f.tool.ended());
  EXPECT_TRUE(f.messages.shown.empty());
}

TEST_F(FormsTest, TheCloseBoxUnloadsTheWindowAndEndsTheTool) {
  open(chartsWorkbook(1));
  QPointer<UserFormObj> window = &w();
  QCloseEvent event;
  QApplication::sendEvent(window, &event);
  EXPECT_EQ(forms->mainWindow(), nullptr);
  EXPECT_TRUE(f.tool.ended());
  ASSERT_FALSE(window.isNull());  // not deleted inside its own event
  EXPECT_FALSE(window->isVisible());
}

TEST_F(FormsTest, RefreshOpensANewWindowWithoutEndingTheTool) {
  open(chartsWorkbook(2));
  clickRow(0);
  QTest::keyClicks(w().TextBox1, "Edited");
  QPointer<UserFormObj> old = &w();
  QStringList atYields;
  f.desktop.onYield = [&] {
    atYields << QStringLiteral("splash=%1 main=%2")
                    .arg(forms->splash() && forms->splash()->isVisible())
                    .arg(forms->mainWindow() != nullptr);
  };
  const int attachesBefore = f.office.log.count("GetObject(Excel.Application)");
  old->CommandButton5->click();
  // The refresh's own yield with the splash up and the old window gone, then start-up's.
  EXPECT_EQ(atYields, QStringList({"splash=1 main=0", "splash=1 main=0"}));
  EXPECT_EQ(f.office.log.count("GetObject(Excel.Application)"), attachesBefore + 1);
  ASSERT_NE(forms->mainWindow(), nullptr);
  EXPECT_NE(forms->mainWindow(), old.data());
  EXPECT_TRUE(w().isVisible());
  EXPECT_EQ(column(5), QStringList({"", ""}));  // edits are gone
  EXPECT_EQ(forms->splash(), nullptr);
  EXPECT_FALSE(f.tool.ended());
  // The old window outlived its own handler and goes once control is back in the loop.
  ASSERT_FALSE(old.isNull());
  EXPECT_TRUE(old->isUnloaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(old.isNull());
}

TEST_F(FormsTest, NamesOfSeveralAreasAreNamedOnceAfterTheWindowOpens) {
  WorkbookOutline outline = chartsWorkbook(1);
  outline.names = {NameOutline{"Pair", "Data!$A$1:$A$2,Data!$C$1:$C$2", false, {}},
                   NameOutline{"Area", "Data!$A$1:$B$2", false, {}},
                   NameOutline{"Trio", "Data!$A$1,Data!$B$2,Data!$C$3", false, {}}};
  bool windowShown = false;
  f.messages.onShow = [&](const auto&) { windowShown = forms->mainWindow() && w().isVisible(); };
  open(outline);
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt,
            "left out: Pair refers to several areas\rleft out: Trio refers to several areas");
  EXPECT_EQ(f.messages.shown[0].style, 64);
  EXPECT_EQ(f.messages.shown[0].title, "Morvane©");
  EXPECT_TRUE(windowShown);
  EXPECT_EQ(column(0), QStringList({"Chart 1", "Area"}));
  w().CommandButton5->click();  // Refresh runs start-up again, which names them again
  EXPECT_EQ(f.messages.shown.size(), 2u);
  EXPECT_FALSE(f.tool.ended());
}

TEST_F(FormsTest, RefreshThatStartUpRefusesLeavesNoWindowAndEndsTheTool) {
  open(chartsWorkbook(1));
  f.office.excel->workbook = nullptr;  // the user closed the workbook meanwhile
  w().CommandButton5->click();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].prompt, "An Excel instance found but no Activeworkbook");
  EXPECT_EQ(forms->mainWindow(), nullptr);
  EXPECT_EQ(forms->splash(), nullptr);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(FormsTest, HelpOpensTheGuideOrSaysItCouldNot) {
  open(chartsWorkbook(1));
  QTest::mouseClick(w().Image3, Qt::LeftButton);
  ASSERT_EQ(f.desktop.opened.size(), 1);
  EXPECT_TRUE(f.desktop.opened[0].endsWith("/help/index.html"));
  EXPECT_TRUE(QFileInfo(f.desktop.opened[0]).isFile());
  EXPECT_TRUE(f.messages.shown.empty());

  f.desktop.openSucceeds = false;
  QTest::mouseClick(w().Image3, Qt::LeftButton);
  QTest::mouseClick(w().Image3, Qt::LeftButton);
  ASSERT_EQ(f.messages.shown.size(), 2u);  // once per click
  EXPECT_EQ(f.messages.shown[0].prompt, "Sorry, couldn't launch the help file...");
  EXPECT_EQ(f.messages.shown[0].style, morvane::startup::vbOKOnly);
  EXPECT_EQ(f.messages.shown[0].title, "");
  EXPECT_TRUE(w().isVisible());
  EXPECT_FALSE(f.tool.ended());

  f.desktop.openSucceeds = true;
  f.desktop.opened.clear();
  mainwindow::ShowHelp(f.tool, {"/nonexistent/share/morvane/help/index.html"});
  EXPECT_TRUE(f.desktop.opened.isEmpty());
  EXPECT_EQ(f.messages.shown.size(), 3u);
}

// F1 opens the help from any control; Ctrl+W closes as the Close button does, Esc does not.
TEST_F(FormsTest, F1OpensTheHelpAndCtrlWClosesEscDoesNot) {
  open(chartsWorkbook(1));
  activate();
  clickRow(0);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
  ASSERT_EQ(f.desktop.opened.size(), 1);
  EXPECT_TRUE(f.desktop.opened[0].endsWith("/help/index.html"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(f.tool.ended());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(forms->mainWindow(), nullptr);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(FormsTest, CommandButtonsRunTheirHooksThroughTheGuard) {
  f.office.openWorkbook(chartsWorkbook(2));
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  QStringList ran;
  forms->setCommands({[&](UserFormObj& window) { ran << "paste" << window.objectName(); },
                      [&](UserFormObj&) { ran << "express"; },
                      [&](UserFormObj& window) {
                        ran << "pdf";
                        window.setListIndex(1);  // a run selecting rows, as the export does
                        f.office.log.failOn("Workbook.Worksheets(Data)");
                        window.setListIndex(0);  // fails inside the nested handler
                        ran << "not reached";
                      }});
  morvane::startup::StartTool(f.tool);
  w().SonicClick19->click();
  w().SonicClick18->click();
  EXPECT_EQ(ran, QStringList({"paste", "UserFormObj", "express"}));
  w().SonicClick10->click();
  EXPECT_EQ(ran.last(), "pdf");
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_TRUE(f.messages.shown[0].prompt.startsWith("Run-time error"));
  EXPECT_GE(f.office.log.indexOf("SaveAfterCommand"), 0);
  EXPECT_TRUE(f.tool.ended());
}

TEST_F(FormsTest, AnotherFormKeepsTheToolAliveUntilItIsUnloaded) {
  open(chartsWorkbook(1));
  auto* progress = new QWidget;
  progress->show();
  forms->registerForm(progress);
  forms->unloadMainWindow();
  EXPECT_FALSE(f.tool.ended());
  EXPECT_EQ(forms->loadedFormCount(), 1);
  QPointer<QWidget> guard = progress;
  forms->unloadForm(progress);
  EXPECT_TRUE(f.tool.ended());
  EXPECT_FALSE(guard->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());
}

TEST_F(FormsTest, SplashAndClosingShowTheirCaptionsOverATurningIndicator) {
  f.office.openWorkbook(chartsWorkbook(1));
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  forms->showSplash();
  mainwindow::SplashWindow* splash = forms->splash();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->windowTitle(), "Morvane©");
  EXPECT_EQ(splash->Label1->text(), "Loading Morvane©...");
  EXPECT_EQ(splash->Label1->palette().color(QPalette::Window), QColor(128, 128, 255));
  EXPECT_EQ(splash->Label1->palette().color(QPalette::WindowText),
            splash->palette().color(QPalette::HighlightedText));
  EXPECT_NEAR(splash->width(), 62.44 / 25.4 * splash->logicalDpiX(), 1.0);
  EXPECT_NEAR(splash->height(), 98.95 / 25.4 * splash->logicalDpiY(), 1.0);
  EXPECT_TRUE(splash->Gif89a1->isAnimating());
  const int step = splash->Gif89a1->step();
  QTest::qWait(250);
  EXPECT_NE(splash->Gif89a1->step(), step);

  forms->showClosing();
  EXPECT_EQ(forms->closing()->Label1->text(), "Closing Morvane©...");
  EXPECT_NEAR(forms->closing()->height(), 69.85 / 25.4 * splash->logicalDpiY(), 1.0);
  forms->unloadClosing();
  forms->unloadSplash();
  forms->unloadSplash();  // unloading an unloaded form is harmless
  EXPECT_EQ(forms->loadedFormCount(), 0);
  EXPECT_TRUE(f.tool.ended());
}
