// The window grown to 1.5 times its design size, on a screen smaller than its design
// (test_mainwindow_small_screen: 1600 x 1000 pixels at scale 2) and under a dark desktop
// palette; screenshots of each.
#include <QFrame>
#include <QScreen>
#include <QScrollBar>

#include "mainwindow/controls.h"
#include "mainwindow_fixture.h"
#include "support/palette_check.h"
#include "support/test_env.h"

using namespace morvane;
using namespace mwtest;

namespace {

QSize designSize(const QWidget& w) {
  return QSize(qRound(515.25 * w.logicalDpiX() / 72), qRound(455.25 * w.logicalDpiY() / 72));
}

void saveScreenshot(QWidget& w, const QString& name) {
  ASSERT_TRUE(w.grab().save(testenv::outputDir(QStringLiteral("screenshots")) + '/' + name));
}

// Every button of the window, and the spin button beside them.
QList<QWidget*> buttons(mainwindow::UserFormObj& w) {
  QList<QWidget*> out{w.SpinButton1};
  for (QPushButton* b : w.findChildren<QPushButton*>()) out << b;
  return out;
}

class ResizeTest : public MainWindowTest {};

}  // namespace

// The list and the preview take the room; each button keeps its distance to its nearest
// edge: left or right, and the window's bottom or the list's bottom, whichever is nearer.
TEST_F(ResizeTest, AtOneAndAHalfTimesTheListAndPreviewGrowAndButtonsKeepToTheirEdges) {
  open(chartsWorkbook(3));
  activate();
  clickRow(0);
  const QSize design = designSize(w());
  ASSERT_EQ(w().size(), design);
  const QRect list0 = w().listCharts->geometry(), preview0 = w().FrameChrPreview->geometry();
  const QRectF picture0 = w().imgChart->pictureRect();
  std::map<QWidget*, QRect> before;
  for (QWidget* b : buttons(w())) before[b] = b->geometry();
  saveScreenshot(w(), QStringLiteral("design_size.png"));

  w().resize(design * 1.5);
  const QRect list = w().listCharts->geometry(), preview = w().FrameChrPreview->geometry();
  EXPECT_GT(list.width(), list0.width());
  EXPECT_GT(list.height(), list0.height());
  EXPECT_GT(preview.width(), preview0.width());
  EXPECT_GT(preview.height(), preview0.height());
  const QRectF picture = w().imgChart->pictureRect();
  EXPECT_GT(picture.width(), picture0.width());
  EXPECT_NEAR(picture.width() / picture.height(), picture0.width() / picture0.height(), 0.01);
  EXPECT_TRUE(QRectF(w().imgChart->rect()).adjusted(-1, -1, 1, 1).contains(picture));

  for (const auto& [button, was] : before) {
    SCOPED_TRACE(button->objectName().toStdString());
    const QRect now = button->geometry();
    EXPECT_EQ(now.size(), was.size());
    if (was.left() < design.width() - was.right())
      EXPECT_EQ(now.left(), was.left());
    else
      EXPECT_EQ(w().width() - now.right(), design.width() - was.right());
    if (was.top() - list0.bottom() < design.height() - was.bottom())
      EXPECT_EQ(now.top() - list.bottom(), was.top() - list0.bottom());
    else
      EXPECT_EQ(w().height() - now.bottom(), design.height() - was.bottom());
  }
  EXPECT_FALSE(w().findChild<QScrollBar*>(QStringLiteral("verticalScroll"))->isVisible());
  saveScreenshot(w(), QStringLiteral("enlarged.png"));
}

// The window fits the screen, frame included, and every button can be brought into view by
// the keyboard's focus and by the scroll bar.
TEST_F(ResizeTest, SmallScreenTheWindowFitsAndEveryButtonCanBeReached) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  open(chartsWorkbook(2));
  if (screen.height() >= designSize(w()).height() + 40)
    GTEST_SKIP() << "the screen holds the design; test_mainwindow_small_screen runs this";
  activate();
  EXPECT_TRUE(screen.contains(w().frameGeometry())) << w().frameGeometry().height();
  auto* bar = w().findChild<QScrollBar*>(QStringLiteral("verticalScroll"));
  ASSERT_TRUE(bar->isVisible());
  const QRect view = w().rect().adjusted(0, 0, -bar->width(), 0);
  for (QWidget* b : buttons(w())) {
    SCOPED_TRACE(b->objectName().toStdString());
    bar->setValue(bar->minimum());
    b->setFocus();
    EXPECT_TRUE(view.contains(b->geometry())) << b->geometry().top();
  }
  EXPECT_FALSE(w().findChild<QScrollBar*>(QStringLiteral("horizontalScroll"))->isVisible());
  bar->setValue(bar->maximum());
  EXPECT_TRUE(view.contains(w().SonicClick6->geometry()));
  saveScreenshot(w(), QStringLiteral("scale_2_small_screen.png"));
}

// The colours the design fixes (the red "Paste to", the white status line, each mode's list
// background) come with their own background or text, so they read under a dark palette as under a
// light one.
TEST_F(ResizeTest, DarkPaletteKeepsTheFixedColoursReadable) {
  const QPalette before = QApplication::palette();
  QApplication::setPalette(testenv::darkPalette());
  open(chartsWorkbook(3));
  activate();
  for (int r = 0; r < w().listCount(); ++r)
    w().setListText(r, 5, QStringLiteral("Title %1").arg(r));
  w().setListIndex(-1);  // no highlighted row in the measured list
  const auto listArea = [&] {
    return QRect(w().listCharts->viewport()->mapTo(&w(), QPoint()),
                 w().listCharts->viewport()->size());
  };
  const QImage title = w().grab().toImage();
  EXPECT_GE(testenv::textContrast(title, w().Label25->geometry()), 4.5);
  EXPECT_GE(testenv::textContrast(title, w().Label19->geometry().adjusted(2, 2, -2, -2)), 4.5);
  EXPECT_GE(testenv::textContrast(title, listArea()), 4.5);
  saveScreenshot(w(), QStringLiteral("dark_palette.png"));
  clickOption(w().OptionButton8);
  w().setListIndex(-1);
  EXPECT_GE(testenv::textContrast(w().grab().toImage(), listArea()), 4.5) << "slide-number mode";
  QApplication::setPalette(before);
}
