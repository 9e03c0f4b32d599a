// The progress window on its own: layout, ProgressStyle1's bar and captions, the finished
// state, and what its buttons and close box do.
#include "paste/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <cmath>

#include "support/palette_check.h"

using namespace morvane;

using paste::Progress;

namespace {

const QString k25Blanks(25, QLatin1Char(' '));

int himetric(double value, int dpi) { return int(std::lround(value / 2540.0 * dpi)); }

}  // namespace

TEST(ProgressWindow, ControlsSitAtTheirDesignPositions) {
  Progress p;
  const int dx = p.logicalDpiX(), dy = p.logicalDpiY();
  EXPECT_EQ(p.windowTitle(), "Paste progress");
  EXPECT_EQ(p.size(), QSize(himetric(9525, dx), himetric(5027, dy)));
  EXPECT_EQ(p.labPg1a->geometry(), QRect(himetric(1482, dx), himetric(635, dy), himetric(6526, dx), himetric(882, dy)));
  EXPECT_EQ(p.labPg1->pos(), QPoint(himetric(1552, dx), himetric(741, dy)));
  EXPECT_EQ(p.labPg1v->geometry(), QRect(himetric(1552, dx), himetric(811, dy), himetric(6350, dx), himetric(635, dy)));
  EXPECT_EQ(p.labPg1va->pos(), p.labPg1v->pos());
  EXPECT_EQ(p.Label1->pos(), QPoint(himetric(2752, dx), himetric(1693, dy)));
  EXPECT_EQ(p.Label2->pos(), QPoint(himetric(2752, dx), himetric(2328, dy)));
  EXPECT_EQ(p.Label3->pos(), QPoint(himetric(3810, dx), himetric(3810, dy)));
  EXPECT_EQ(p.SonicClick3->pos(), QPoint(himetric(423, dx), himetric(3175, dy)));
  EXPECT_EQ(p.SonicClick2->pos(), QPoint(himetric(6774, dx), himetric(3175, dy)));
  EXPECT_EQ(p.SonicClick3->text(), "Go to PPT");
  EXPECT_EQ(p.SonicClick2->text(), "Cancel");
  EXPECT_EQ(Progress::caption(p.Label3), "Processing...");
  // Initialisation: the full bar width, 180 points, kept in the tag; the bar empty.
  EXPECT_EQ(p.tag(), "180");
  EXPECT_FLOAT_EQ(p.barWidth(), 0);
  EXPECT_EQ(Progress::caption(p.labPg1), "");
}

// The count line holds the longest text a paste writes into it, inside the form.
TEST(ProgressWindow, CountLineHoldsTwoHundredAndFiftyObjectsWithoutClipping) {
  Progress p;
  const QString longest = QStringLiteral("250 Object(s) out of 250");
  Progress::setCaption(p.Label1, longest);
  EXPECT_GE(p.Label1->contentsRect().width(), p.Label1->fontMetrics().horizontalAdvance(longest));
  EXPECT_LE(p.Label1->geometry().right(), p.width());
}

TEST(ProgressWindow, SingleObjectFillsTheBarWithNoWhiteOverlay) {
  Progress p;
  p.ProgressStyle1(1.0f, true);
  EXPECT_EQ(Progress::caption(p.labPg1v), k25Blanks + "100%");
  EXPECT_EQ(Progress::caption(p.labPg1va), k25Blanks + "100%");
  EXPECT_FLOAT_EQ(p.barWidth(), 180);
  EXPECT_FLOAT_EQ(p.overlayWidth(), 0);
  EXPECT_EQ(p.labPg1va->width(), 0);
  EXPECT_EQ(p.labPg1->width(), p.labPg1v->width());
}

TEST(ProgressWindow, FourObjectsStepByQuartersWithTheOverlayOneStepBehind) {
  Progress p;
  const float expectedBar[] = {45, 90, 135, 180};
  const float expectedOverlay[] = {0, 45, 90, 135};
  const char* captions[] = {"25%", "50%", "75%", "100%"};
  for (int k = 1; k <= 4; ++k) {
    p.ProgressStyle1(float(k) / 4.0f, true);
    EXPECT_EQ(Progress::caption(p.labPg1v), k25Blanks + captions[k - 1]);
    EXPECT_FLOAT_EQ(p.barWidth(), expectedBar[k - 1]);
    EXPECT_FLOAT_EQ(p.overlayWidth(), expectedOverlay[k - 1]);
  }
}

TEST(ProgressWindow, BarWidthIsRoundedDownAndPercentRounded) {
  Progress p;
  p.ProgressStyle1(1.0f / 3.0f, true);
  EXPECT_FLOAT_EQ(p.barWidth(), 60);
  EXPECT_EQ(Progress::caption(p.labPg1v), k25Blanks + "33%");
  p.ProgressStyle1(2.0f / 3.0f, true);
  EXPECT_FLOAT_EQ(p.barWidth(), 120);
  EXPECT_EQ(Progress::caption(p.labPg1v), k25Blanks + "67%");
}

TEST(ProgressWindow, WithoutShowValueOnlyTheBarMoves) {
  Progress p;
  p.ProgressStyle1(0.5f, true);
  p.ProgressStyle1(0.75f, false);
  EXPECT_FLOAT_EQ(p.barWidth(), 135);
  EXPECT_EQ(Progress::caption(p.labPg1v), k25Blanks + "50%");
  EXPECT_FLOAT_EQ(p.overlayWidth(), 0);
}

TEST(ProgressWindow, FinishedStateHidesTheAnimationAndProcessing) {
  Progress p;
  p.showForm();
  EXPECT_TRUE(p.Gif89a1->isVisible());
  p.showFinished();
  EXPECT_EQ(Progress::caption(p.Label2), "D O N E !");
  EXPECT_FALSE(p.Gif89a1->isVisible());
  EXPECT_FALSE(p.Label3->isVisible());
}

TEST(ProgressWindow, EveryWayOfClosingUnloadsTheMainWindowOnceAndDeletesLater) {
  for (int way = 0; way < 3; ++way) {
    auto* p = new Progress;
    QPointer<Progress> watch(p);
    int mainUnloads = 0, goTo = 0;
    p->setQueryClose([&] { ++mainUnloads; });
    p->setGoToPowerPoint([&] {
      ++goTo;
      p->unload();
    });
    p->showForm();
    if (way == 0) p->SonicClick2->click();
    if (way == 1) p->close();
    if (way == 2) p->SonicClick3->click();
    EXPECT_EQ(mainUnloads, 1) << way;
    EXPECT_EQ(goTo, way == 2 ? 1 : 0);
    ASSERT_TRUE(watch) << "deleted at once";
    EXPECT_TRUE(p->isUnloaded());
    EXPECT_FALSE(p->isVisible());
    p->unload();  // again: nothing more happens
    EXPECT_EQ(mainUnloads, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(watch);
  }
}

// The blue count and status lines and the navy percentage stand on the design's light
// backgrounds, so a dark desktop palette leaves them readable.
TEST(ProgressWindow, DarkPaletteKeepsTheBlueAndNavyTextsReadable) {
  const QPalette before = QApplication::palette();
  QApplication::setPalette(testenv::darkPalette());
  {
    Progress p;
    p.ProgressStyle1(0.0f, true);
    Progress::setCaption(p.Label1, QStringLiteral("3 Object(s) out of 10"));
    Progress::setCaption(p.Label2, QStringLiteral("D O N E !"));
    const QImage picture = p.grab().toImage();
    for (QWidget* text : {static_cast<QWidget*>(p.Label1), static_cast<QWidget*>(p.Label2),
                          static_cast<QWidget*>(p.labPg1v)}) {
      SCOPED_TRACE(text->objectName().toStdString());
      EXPECT_GE(testenv::textContrast(picture, text->geometry()), 4.5);
    }
  }
  QApplication::setPalette(before);
}
